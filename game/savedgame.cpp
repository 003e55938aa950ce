#include "game/savedgame.h"

#include "game/gamestate.h"
#include "model/elementcontext.h"
#include "model/generator.h"
#include "model/picture.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

namespace {

const QByteArray kEol = QByteArrayLiteral("\r\n");

// The ten background textures a game may name.
constexpr std::array<std::uint32_t, 10> kTextureIds{146, 147, 148, 192, 227, 229, 231, 233, 237, 247};

class Writer {
public:
    Writer& num(std::int64_t v) {
        text_ += QByteArray::number(v);
        return *this;
    }
    Writer& sp() {
        text_ += ' ';
        return *this;
    }
    Writer& eol() {
        text_ += kEol;
        return *this;
    }
    Writer& raw(const QByteArray& s) {
        text_ += s;
        return *this;
    }
    // Values separated by blanks, then the line end.
    template <class... T> Writer& line(T... values) {
        bool first = true;
        ((first ? void(first = false) : void(sp()), num(values)), ...);
        return eol();
    }
    template <std::size_t K> Writer& line(const std::array<std::int32_t, K>& values) {
        for (std::size_t k = 0; k < K; ++k) {
            if (k)
                sp();
            num(values[k]);
        }
        return eol();
    }
    QByteArray take() { return std::move(text_); }
    void reserve(qsizetype n) { text_.reserve(n); }

private:
    QByteArray text_;
};

// White-space separated values after the first line, as formatted scanning reads them.
class Scanner {
public:
    Scanner(const QByteArray& bytes, qsizetype from)
        : data_(bytes.constData()), end_(bytes.size()), at_(from) {}

    QByteArray token() {
        while (at_ < end_ && isBlank(data_[at_]))
            ++at_;
        const qsizetype start = at_;
        while (at_ < end_ && !isBlank(data_[at_]))
            ++at_;
        return QByteArray(data_ + start, at_ - start);
    }
    qsizetype position() const { return at_; }
    void rewind(qsizetype position) { at_ = position; }

    bool int32(std::int32_t& value) { return parse(token(), value); }
    bool uint32(std::uint32_t& value) { return parse(token(), value); }
    // A value that must lie in lo..hi.
    bool int32In(std::int32_t& value, std::int64_t lo, std::int64_t hi) {
        return int32(value) && value >= lo && value <= hi;
    }
    bool flag(std::int32_t& value) { return int32In(value, 0, 1); }

private:
    static bool isBlank(char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
    }
    template <class T> static bool parse(const QByteArray& t, T& value) {
        const char* first = t.constData();
        const char* last = first + t.size();
        if (first != last && *first == '+')
            ++first;
        if (first == last)
            return false;
        const auto [ptr, ec] = std::from_chars(first, last, value);
        return ec == std::errc() && ptr == last;
    }

    const char* data_;
    qsizetype end_;
    qsizetype at_;
};

int opposite(int side) {
    return (side + 2) % 4;
}

// Picture borders an element at homeIndex i touches; its straight edges must number the same.
int borderCount(int i, int rows, int columns) {
    const int r = i / columns, c = i % columns;
    return (r == 0) + (r == rows - 1) + (c == 0) + (c == columns - 1);
}

bool isTexture(std::uint32_t id) {
    return std::find(kTextureIds.begin(), kTextureIds.end(), id) != kTextureIds.end();
}

SavedGameError damaged() {
    return SavedGameError::Damaged;
}

// Sections 2-6 of the file: cut size, body squares, stacking order, settings, main frame.
SavedGameError parseHead(Scanner& in, qsizetype fileSize, SavedGame& g) {
    using namespace SavedGameLimits;
    if (!in.int32In(g.rows, 1, maxRowsOrColumns) || !in.int32In(g.columns, 1, maxRowsOrColumns))
        return damaged();
    const std::int64_t n = std::int64_t(g.rows) * g.columns;
    // Every element brings a membership line of N characters: a file shorter than N x N bytes
    // cannot hold the game, so nothing is sized from its numbers.
    if (n * n > fileSize)
        return damaged();

    g.bodyRects.resize(n);
    for (Rect& r : g.bodyRects) {
        if (!in.int32In(r.left, -maxCoordinate, maxCoordinate) ||
            !in.int32In(r.top, -maxCoordinate, maxCoordinate) ||
            !in.int32In(r.right, -maxCoordinate, maxCoordinate) ||
            !in.int32In(r.bottom, -maxCoordinate, maxCoordinate))
            return damaged();
    }

    g.stackOrder.resize(n);
    std::vector<char> seen(n, 0);
    for (std::int32_t& s : g.stackOrder) {
        if (!in.int32In(s, 0, n - 1) || seen[s]++)
            return damaged();
    }

    Settings& st = g.settings;
    if (!in.uint32(g.backgroundColor) || !in.uint32(g.outlineColor) || !in.uint32(g.textColor) ||
        !in.int32In(g.elementSize, minElementSize, maxElementSize) || !in.int32(st.captureArea) ||
        !in.int32(st.outlineThickness) || !in.int32(st.scrollArea) || !in.int32(st.mouseScrollSpeed) ||
        !in.int32(st.keyScrollSpeed) || !in.int32(st.threeD) || !in.int32(st.scrollEnabled) ||
        !in.int32(st.showTimer) || !in.flag(g.cut.irregularBase) || !in.flag(g.cut.shiftKnobs) ||
        !in.flag(g.cut.rotateElements) || !in.flag(g.cut.mosaic) || !in.int32(st.exactAssembly))
        return damaged();
    if (g.backgroundColor > 0xFFFFFF || g.outlineColor > 0xFFFFFF || g.textColor > 0xFFFFFF)
        return damaged();
    st.outlineColor = fromColorRef(g.outlineColor);
    if (!st.isValid())
        return damaged();
    for (const Rect& r : g.bodyRects)
        if (r.width() != g.elementSize || r.height() != g.elementSize)
            return damaged();

    if (in.token() != "[MAINFRAME]")
        return damaged();
    if (!in.int32(g.scrollX) || !in.int32(g.scrollY) || !in.int32(g.maxScrollX) || !in.int32(g.maxScrollY) ||
        !in.int32In(g.boardWidth, 0, maxBoardSide) || !in.int32In(g.boardHeight, 0, maxBoardSide) ||
        !in.flag(g.bitmapBackground) || !in.int32(g.fullScreen) || !in.uint32(g.backgroundBitmapId) ||
        !in.int32In(g.hours, 0, std::numeric_limits<std::int32_t>::max() / 3600 - 1) ||
        !in.int32In(g.minutes, 0, 59) || !in.int32In(g.seconds, 0, 59))
        return damaged();
    if (!isTexture(g.backgroundBitmapId))
        return damaged();
    return SavedGameError::None;
}

// One element record; membership lines are collected for the partition check.
bool parseElement(Scanner& in, const SavedGame& g, SavedElement& e, QByteArray& membership) {
    const int n = g.count();
    if (!in.int32In(e.orientation, 0, 3) || !in.flag(e.alone) || !in.flag(e.fullyJoined))
        return false;
    for (std::int32_t& v : e.joinedNeighbour)
        if (!in.int32In(v, -1, n - 1))
            return false;
    for (std::int32_t& v : e.edgeSign)
        if (!in.int32In(v, -1, 1))
            return false;
    for (std::int32_t& v : e.edgeShift)
        if (!in.int32In(v, -1, 1))
            return false;
    // Turned elements exist only where turning is allowed; their pictures would be missing.
    if (!g.cut.rotateElements && e.orientation != 0)
        return false;
    membership = in.token();
    return membership.size() == n;
}

// Joins name each other from opposite sides with fitting edges, straight edges lie on the picture
// border, and an element is alone exactly when it is joined to nothing.
bool elementsConsistent(const SavedGame& g) {
    const int n = g.count();
    for (int i = 0; i < n; ++i) {
        const SavedElement& a = g.elements[i];
        const int straight = static_cast<int>(std::count(a.edgeSign.begin(), a.edgeSign.end(), 0));
        if (straight != borderCount(i, g.rows, g.columns))
            return false;
        bool joined = false;
        for (int side = 0; side < 4; ++side) {
            const int j = a.joinedNeighbour[side];
            if (j < 0)
                continue;
            joined = true;
            const SavedElement& b = g.elements[j];
            const int other = opposite(side);
            if (j == i || b.joinedNeighbour[other] != i || a.orientation != b.orientation ||
                a.edgeSign[side] == 0 || a.edgeSign[side] != -b.edgeSign[other] ||
                a.edgeShift[side] != -b.edgeShift[other])
                return false;
        }
        if (a.alone != (joined ? 0 : 1))
            return false;
    }
    return true;
}

// The membership lines must describe a partition: every line marks its own element, and every
// element it marks carries the very same line. Joined elements share a block, and no member of
// a block of several is alone.
bool buildBlocks(SavedGame& g, const std::vector<QByteArray>& lines) {
    const int n = g.count();
    QHash<QByteArray, int> groupOf;
    groupOf.reserve(n);
    std::vector<int> group(n);
    std::vector<std::vector<std::int32_t>> groups;
    for (int i = 0; i < n; ++i) {
        auto it = groupOf.constFind(lines[i]);
        if (it == groupOf.constEnd()) {
            it = groupOf.insert(lines[i], static_cast<int>(groups.size()));
            groups.emplace_back();
        }
        group[i] = it.value();
        groups[it.value()].push_back(i);
    }
    for (const auto& members : groups) {
        const QByteArray& line = lines[members.front()];
        // A marked character is anything but '0', as the program has always read it.
        const auto marked = static_cast<std::size_t>(n - line.count('0'));
        if (marked != members.size())
            return false;
        for (const int m : members)
            if (line[m] == '0')
                return false;
    }
    for (int i = 0; i < n; ++i) {
        const SavedElement& e = g.elements[i];
        for (const int j : e.joinedNeighbour)
            if (j >= 0 && group[j] != group[i])
                return false;
        if (groups[group[i]].size() > 1 && e.alone)
            return false;
    }
    g.blocks.clear();
    for (auto& members : groups)
        if (members.size() > 1)
            g.blocks.push_back(std::move(members));
    return true;
}

} // namespace

std::uint32_t colorRef(const QColor& c) {
    return static_cast<std::uint32_t>(c.red()) | static_cast<std::uint32_t>(c.green()) << 8 |
           static_cast<std::uint32_t>(c.blue()) << 16;
}

QColor fromColorRef(std::uint32_t v) {
    return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

QByteArray formatSavedGame(const GameState& state, int fullScreen) {
    const Puzzle& p = state.puzzle;
    const Settings& s = state.settings;
    const CutParameters& cut = state.cut;
    const BackgroundState& bg = state.background;
    const Board& board = state.board;
    const int n = p.count();

    Writer w;
    w.reserve(static_cast<qsizetype>(n) * (n + 64) + 512);
    w.raw("[GLOBALS]").eol().line(p.rows, p.columns);
    for (const Rect& r : p.bodyRects)
        w.line(r.left, r.top, r.right, r.bottom);
    for (const int i : p.stackOrder)
        w.num(i).sp();
    w.eol();
    w.line(colorRef(bg.backgroundColor), colorRef(s.outlineColor), colorRef(bg.textColor),
           p.geometry.elementSize, s.captureArea, s.outlineThickness, s.scrollArea, s.mouseScrollSpeed,
           s.keyScrollSpeed, s.threeD, s.scrollEnabled, s.showTimer, cut.irregularBase, cut.shiftKnobs,
           cut.rotateElements, cut.mosaic, s.exactAssembly);
    const std::int32_t carried = state.clock.clockCarried;
    w.eol().raw("[MAINFRAME]").eol();
    w.line(board.scrollX, board.scrollY).line(board.maxScrollX, board.maxScrollY);
    w.line(board.boardWidth, board.boardHeight);
    w.line(bg.bitmapBackground, fullScreen, static_cast<std::uint32_t>(bg.backgroundBitmapId), carried / 3600,
           carried / 60 % 60, carried % 60);
    w.eol().raw("[ELEMENTS]").eol();
    for (int i = 0; i < n; ++i) {
        const Element& e = p.element(i);
        w.line(e.orientation, e.alone, e.fullyJoined);
        w.line(e.joinedNeighbour).line(e.edgeSign).line(e.edgeShift);
        w.raw(p.blocks.membershipLine(i)).eol().eol();
    }
    return w.take();
}

bool writeSavedGame(const QString& path, const GameState& state, int fullScreen) {
    // Written beside the target and renamed over it only when complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray text = formatSavedGame(state, fullScreen);
    if (file.write(text) != text.size())
        return false;
    return file.commit();
}

SavedGameError parseSavedGame(const QByteArray& bytes, SavedGame& game) {
    qsizetype firstEnd = bytes.indexOf('\n');
    if (firstEnd < 0)
        firstEnd = bytes.size();
    QByteArray first = bytes.left(firstEnd);
    if (first.endsWith('\r'))
        first.chop(1);
    if (first != "[GLOBALS]")
        return SavedGameError::UnknownFormat;

    SavedGame g;
    Scanner in(bytes, firstEnd);
    if (const SavedGameError e = parseHead(in, bytes.size(), g); e != SavedGameError::None)
        return e;
    const qsizetype beforeName = in.position();
    if (in.token() != "[ELEMENTS]")
        in.rewind(beforeName); // a missing section name is tolerated, as it always was

    const int n = g.count();
    g.elements.resize(n);
    std::vector<QByteArray> lines(n);
    for (int i = 0; i < n; ++i)
        if (!parseElement(in, g, g.elements[i], lines[i]))
            return damaged();
    if (!elementsConsistent(g) || !buildBlocks(g, lines))
        return damaged();
    game = std::move(g);
    return SavedGameError::None;
}

SavedGameError readSavedGameFile(const QString& path, SavedGame& game) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return SavedGameError::CannotOpen;
    // A file holds N lines of N characters; 256 MB is room for some 16000 elements, far beyond
    // any game worth playing, and keeps an absurd file from being read into memory.
    constexpr qint64 maxFileSize = qint64(256) << 20;
    if (file.size() > maxFileSize)
        return SavedGameError::Damaged;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return SavedGameError::CannotOpen;
    return parseSavedGame(bytes, game);
}

bool pictureFitsSavedGame(const SavedGame& game, const QImage& picture) {
    return !picture.isNull() &&
           std::int64_t(picture.width()) == std::int64_t(game.columns) * game.elementSize &&
           std::int64_t(picture.height()) == std::int64_t(game.rows) * game.elementSize;
}

void installSavedGame(const SavedGame& g, const QImage& picture, GameState& state, QSize fullScreenClient,
                      IProgress* progress) {
    CutParameters& cut = state.cut;
    cut.irregularBase = g.cut.irregularBase;
    cut.shiftKnobs = g.cut.shiftKnobs;
    cut.rotateElements = g.cut.rotateElements;
    cut.mosaic = g.cut.mosaic;
    cut.elementSize = g.elementSize;
    cut.rows = g.rows;
    cut.columns = g.columns;
    cut.pictureWidth = picture.width();
    cut.pictureHeight = picture.height();
    state.cutRows = g.rows;
    state.cutColumns = g.columns;
    state.cutElementSize = g.elementSize;
    state.settings = g.settings;

    BackgroundState& bg = state.background;
    bg.backgroundColor = fromColorRef(g.backgroundColor);
    bg.hasBackgroundBrush = true;
    bg.textColor = fromColorRef(g.textColor);
    bg.bitmapBackground = g.bitmapBackground;
    if (bg.backgroundBitmapId != static_cast<int>(g.backgroundBitmapId) || bg.texture.isNull()) {
        bg.backgroundBitmapId = static_cast<int>(g.backgroundBitmapId);
        bg.loadTexture();
    }

    state.turnedPictures = {picture, QImage(), QImage(), QImage()};
    state.pictureWidth = picture.width();
    state.pictureHeight = picture.height();

    Puzzle& p = state.puzzle;
    p.create(g.rows, g.columns);
    p.geometry =
        Geometry::compute(g.elementSize, g.cut.mosaic, g.cut.irregularBase, g.settings.outlineThickness);
    state.shapes.setOptions(ShapeOptions{p.geometry, g.cut.mosaic != 0, g.settings.threeD != 0});
    p.stackOrder = g.stackOrder;
    for (const auto& block : g.blocks)
        p.blocks.makeBlock(block);

    const int n = g.count();
    const bool showProgress = progress && n >= progressThreshold;
    if (showProgress)
        progress->begin(0, n, progressStep(n));
    ElementContext context{p, state.shapes, state.turnedPictures, state.settings.outlineColor, {}, {}};
    const int offset = p.geometry.bodyOffset, size = p.geometry.bitmapSize;
    for (int i = 0; i < n; ++i) {
        if (showProgress)
            progress->setPosition(i);
        const SavedElement& s = g.elements[i];
        Element& e = p.element(i);
        e.homeIndex = i;
        e.orientation = s.orientation;
        e.alone = s.alone;
        e.fullyJoined = s.fullyJoined;
        e.joinedNeighbour = s.joinedNeighbour;
        e.edgeSign = s.edgeSign;
        e.edgeShift = s.edgeShift;
        const Rect& body = g.bodyRects[i];
        e.cellRect = {body.left - offset, body.top - offset, body.left - offset + size,
                      body.top - offset + size};
        p.bodyRects[i] = body;
        state.shapes.buildShape(e);
        state.shapes.computeShapeBounds(e);
        placeBoardRegion(context, i);
    }
    if (showProgress)
        progress->end();

    // At least the stored board, so a game saved on a larger screen keeps its places; at least
    // the present screen, so one saved on a smaller screen fills it.
    const QSize screen(state.screenWidth, state.screenHeight);
    const QSize fitted = boardSizeFor(g.columns, g.rows, size, screen, fullScreenClient);
    state.board.resize(std::max(fitted.width(), g.boardWidth), std::max(fitted.height(), g.boardHeight),
                       state.screenWidth, state.screenHeight);

    state.clock.clockCarried = g.clockCarried();
    state.pickedElement = -1;
    state.flags.pictureLoaded = 1;
    state.flags.cutDone = 1;
    state.flags.elementsExist = 1;
    state.flags.gameCompleted = 0;
    state.flags.generateAfterTurning = 0;
}

bool writePictureBmp24(const QString& path, const QImage& picture) {
    if (picture.isNull())
        return false;
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    return !rgb.isNull() && writeBitmapFile(path, rgb);
}
