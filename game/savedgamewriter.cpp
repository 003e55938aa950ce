// The text file of a saved game as the program writes it, streamed to its device.
#include "game/savedgame.h"

#include "game/gamestate.h"
#include "model/picture.h"

#include <QBuffer>
#include <QSaveFile>

#include <array>
#include <charconv>
#include <span>
#include <string>
#include <tuple>

namespace {

// Writes the text in pieces of about a megabyte, so a game of any size never needs its whole
// file in memory. A failed write is remembered and ends the writing.
class Writer {
public:
    explicit Writer(QIODevice& device) : device_(device) { buffer_.reserve(kChunk + 256); }

    Writer& num(std::int64_t v) {
        char text[24];
        const auto result = std::to_chars(text, text + sizeof text, v);
        buffer_.append(text, result.ptr - text);
        return *this;
    }
    Writer& sp() {
        buffer_.push_back(' ');
        return *this;
    }
    Writer& eol() {
        buffer_.append("\r\n", 2);
        return flushIfFull();
    }
    Writer& raw(const char* s) {
        buffer_.append(s);
        return *this;
    }
    // A long run of bytes goes to the device directly.
    Writer& bytes(const char* data, std::size_t size) {
        if (size < kChunk) {
            buffer_.append(data, size);
            return flushIfFull();
        }
        flush();
        if (ok_ && device_.write(data, qint64(size)) != qint64(size))
            ok_ = false;
        return *this;
    }
    // Values separated by blanks, then the line end.
    template <class... T> Writer& line(T... values) {
        bool first = true;
        ((first ? void(first = false) : void(sp()), num(values)), ...);
        return eol();
    }
    template <std::size_t K> Writer& line(const std::array<std::int32_t, K>& values) {
        return std::apply([this](auto... v) -> Writer& { return this->line(v...); }, values);
    }
    bool finish() {
        flush();
        return ok_;
    }

private:
    static constexpr std::size_t kChunk = std::size_t(1) << 20;

    Writer& flushIfFull() {
        if (buffer_.size() >= kChunk)
            flush();
        return *this;
    }
    void flush() {
        if (ok_ && !buffer_.empty() &&
            device_.write(buffer_.data(), qint64(buffer_.size())) != qint64(buffer_.size()))
            ok_ = false;
        buffer_.clear();
    }

    QIODevice& device_;
    std::string buffer_;
    bool ok_ = true;
};

} // namespace

SavedGame savedGameSnapshot(const GameState& state, int fullScreen, std::int32_t carried) {
    const Puzzle& p = state.puzzle;
    const BackgroundState& bg = state.background;
    const Board& board = state.board;
    const int n = p.count();

    SavedGame g;
    g.rows = p.rows;
    g.columns = p.columns;
    g.bodyRects = p.bodyRects;
    g.stackOrder = p.stackOrder;
    g.backgroundColor = colorRef(bg.backgroundColor);
    g.outlineColor = colorRef(state.settings.outlineColor);
    g.textColor = colorRef(bg.textColor);
    g.elementSize = p.geometry.elementSize;
    g.settings = state.settings;
    g.cut.irregularBase = state.cut.irregularBase;
    g.cut.shiftKnobs = state.cut.shiftKnobs;
    g.cut.rotateElements = state.cut.rotateElements;
    g.cut.mosaic = state.cut.mosaic;
    // The view's scale and window are no part of the game.
    const QPoint scroll = board.savedScroll(), maxScroll = board.savedMaxScroll();
    g.scrollX = scroll.x();
    g.scrollY = scroll.y();
    g.maxScrollX = maxScroll.x();
    g.maxScrollY = maxScroll.y();
    g.boardWidth = board.boardWidth;
    g.boardHeight = board.boardHeight;
    g.bitmapBackground = bg.bitmapBackground;
    g.fullScreen = fullScreen;
    g.backgroundBitmapId = static_cast<std::uint32_t>(bg.backgroundBitmapId);
    g.hours = carried / 3600;
    g.minutes = carried / 60 % 60;
    g.seconds = carried % 60;
    g.elements.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const Element& e = p.element(i);
        SavedElement& s = g.elements[static_cast<std::size_t>(i)];
        s.orientation = e.orientation;
        s.alone = e.alone() ? 1 : 0;
        s.fullyJoined = e.fullyJoined(state.settings.threeD != 0) ? 1 : 0;
        s.joinedNeighbour = e.joinedNeighbour;
        s.edgeSign = e.edgeSign;
        s.edgeShift = e.edgeShift;
        // Each block once, when its lowest member comes up.
        const auto& members = p.blocks.members(i);
        if (members.size() > 1 && members.front() == i)
            g.blocks.push_back(members);
    }
    return g;
}

namespace {

// Sections 2 to 6 of either form: the body squares only in the described one, which keeps them
// apart from the element records.
void writeHead(Writer& w, const SavedGame& g, SavedGameForm form) {
    w.raw(form == SavedGameForm::Described ? describedFormLine : compactFormLine)
        .eol()
        .line(g.rows, g.columns);
    if (form == SavedGameForm::Described)
        for (const Rect& r : g.bodyRects)
            w.line(r.left, r.top, r.right, r.bottom);
    for (const int i : g.stackOrder)
        w.num(i).sp();
    w.eol();
    const Settings& s = g.settings;
    w.line(g.backgroundColor, g.outlineColor, g.textColor, g.elementSize, s.captureArea, s.outlineThickness,
           s.scrollArea, s.mouseScrollSpeed, s.keyScrollSpeed, s.threeD, s.scrollEnabled, s.showTimer,
           g.cut.irregularBase, g.cut.shiftKnobs, g.cut.rotateElements, g.cut.mosaic, s.exactAssembly);
    w.eol().raw("[MAINFRAME]").eol();
    w.line(g.scrollX, g.scrollY).line(g.maxScrollX, g.maxScrollY);
    w.line(g.boardWidth, g.boardHeight);
    w.line(g.bitmapBackground, g.fullScreen, g.backgroundBitmapId, g.hours, g.minutes, g.seconds);
    w.eol().raw("[ELEMENTS]").eol();
}

// The block each element belongs to, by index into the game's blocks; -1 for a block of its own.
std::vector<std::int32_t> blockIndices(const SavedGame& g) {
    std::vector<std::int32_t> blockOf(static_cast<std::size_t>(g.count()), -1);
    for (std::size_t b = 0; b < g.blocks.size(); ++b)
        for (const int m : g.blocks[b])
            blockOf[static_cast<std::size_t>(m)] = static_cast<std::int32_t>(b);
    return blockOf;
}

void writeDescribedElements(Writer& w, const SavedGame& g) {
    const int n = g.count();
    const std::vector<std::int32_t> blockOf = blockIndices(g);
    // One line of N digits, its block's members marked for each element in turn and cleared
    // again: the cost is the digits written, however the elements are joined.
    std::string membership(static_cast<std::size_t>(n) + 2, '0');
    membership[n] = '\r';
    membership[n + 1] = '\n';
    for (int i = 0; i < n; ++i) {
        const SavedElement& e = g.elements[static_cast<std::size_t>(i)];
        w.line(e.orientation, e.alone, e.fullyJoined);
        w.line(e.joinedNeighbour).line(e.edgeSign).line(e.edgeShift);
        const std::int32_t b = blockOf[static_cast<std::size_t>(i)];
        const std::int32_t self = i;
        const std::span<const std::int32_t> members =
            b < 0 ? std::span<const std::int32_t>(&self, 1) : std::span<const std::int32_t>(g.blocks[b]);
        for (const int m : members)
            membership[m] = '1';
        w.bytes(membership.data(), membership.size()).eol();
        for (const int m : members)
            membership[m] = '0';
    }
}

// One line per element: its place, the values of the described record, and its block as the
// number of the block's lowest member (blocks are kept ascending).
void writeCompactElements(Writer& w, const SavedGame& g) {
    const std::vector<std::int32_t> blockOf = blockIndices(g);
    for (int i = 0; i < g.count(); ++i) {
        const auto k = static_cast<std::size_t>(i);
        const SavedElement& e = g.elements[k];
        const Rect& r = g.bodyRects[k];
        const auto [jt, jr, jb, jl] = e.joinedNeighbour;
        const auto [st, sr, sb, sl] = e.edgeSign;
        const auto [ht, hr, hb, hl] = e.edgeShift;
        w.line(r.left, r.top, e.orientation, e.alone, e.fullyJoined, jt, jr, jb, jl, st, sr, sb, sl, ht, hr,
               hb, hl, blockOf[k] < 0 ? i : g.blocks[static_cast<std::size_t>(blockOf[k])].front());
    }
}

} // namespace

bool writeSavedGameTo(QIODevice& device, const SavedGame& g, SavedGameForm form) {
    Writer w(device);
    writeHead(w, g, form);
    if (form == SavedGameForm::Described)
        writeDescribedElements(w, g);
    else
        writeCompactElements(w, g);
    return w.finish();
}

bool writeSavedGameTo(QIODevice& device, const SavedGame& g) {
    return writeSavedGameTo(device, g, savedGameFormFor(g.count()));
}

bool writeSavedGameTo(QIODevice& device, const GameState& state, int fullScreen) {
    return writeSavedGameTo(device, savedGameSnapshot(state, fullScreen, state.clock.clockCarried));
}

QByteArray formatSavedGame(const GameState& state, int fullScreen) {
    const SavedGame game = savedGameSnapshot(state, fullScreen, state.clock.clockCarried);
    return formatSavedGame(game, savedGameFormFor(game.count()));
}

QByteArray formatSavedGame(const SavedGame& game, SavedGameForm form) {
    QByteArray text;
    QBuffer buffer(&text);
    buffer.open(QIODevice::WriteOnly);
    writeSavedGameTo(buffer, game, form);
    return text;
}

bool writeSavedGame(const QString& path, const GameState& state, int fullScreen) {
    // Written beside the target and renamed over it only when complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!writeSavedGameTo(file, state, fullScreen))
        return false;
    return file.commit();
}

bool writePictureBmp24(const QString& path, const QImage& picture) {
    if (picture.isNull())
        return false;
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    return !rgb.isNull() && writeBitmapFile(path, rgb);
}
