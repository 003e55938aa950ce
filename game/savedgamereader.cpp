// The text file of a saved game read in one pass and checked value by value.
#include "game/savedgame.h"

#include "game/backgroundchoice.h"
#include "model/durablefile.h"
#include "model/element.h"
#include "model/fingerprint.h"
#include "model/picture.h"

#include <QFile>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <future>
#include <limits>
#include <optional>
#include <string>
#include <tuple>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// White-space separated values after the first line, as formatted scanning reads them, taken
// from the device a piece at a time (or from bytes already in memory).
class Scanner {
public:
    Scanner(QIODevice& device, qint64 pieceSize)
        : device_(&device), pieceSize_(std::max<qint64>(1, pieceSize)) {}
    explicit Scanner(const QByteArray& bytes)
        : base_(bytes.constData()), at_(bytes.constData()), end_(bytes.constData() + bytes.size()) {}

    // Where the next character lies: in the device, or in the bytes given.
    qint64 position() const { return device_ ? device_->pos() - (end_ - at_) : at_ - base_; }

    // The first line without its line end; longer than any section name: refused.
    bool firstLine(std::string& line) {
        line.clear();
        for (;;) {
            if (at_ == end_ && !fill())
                return true;
            const char c = *at_++;
            if (c == '\n')
                break;
            if (line.size() > kMaxToken)
                return false;
            line.push_back(c);
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return true;
    }

    // The next token; a token longer than any number or section name reads as empty.
    const std::string& token() {
        token_.clear();
        bool tooLong = false;
        scanToken([&](const char* data, std::size_t size) {
            tooLong = tooLong || token_.size() + size > kMaxToken;
            if (!tooLong)
                token_.append(data, size);
            return true;
        });
        if (tooLong)
            token_.clear();
        return token_;
    }
    // The next character that is not blank, left unread; 0 at the end.
    char peek() { return skipBlanks() ? *at_ : 0; }

    bool int32(std::int32_t& value) { return parse(token(), value); }
    bool uint32(std::uint32_t& value) { return parse(token(), value); }
    // A value that must lie in lo..hi.
    bool int32In(std::int32_t& value, std::int64_t lo, std::int64_t hi) {
        return int32(value) && value >= lo && value <= hi;
    }
    bool flag(std::int32_t& value) { return int32In(value, 0, 1); }

    // Hands the characters of the next token to `run(data, size)` piece by piece, without
    // collecting them; `run` returns false to stop early. Returns false when stopped.
    template <class Run> bool scanToken(Run&& run) {
        if (!skipBlanks())
            return true;
        for (;;) {
            const char* start = at_;
            while (at_ < end_ && !isBlank(*at_))
                ++at_;
            if (at_ > start && !run(start, std::size_t(at_ - start)))
                return false;
            if (at_ < end_ || !fill())
                return true;
        }
    }

    bool failed() const { return failed_; }

private:
    static constexpr std::size_t kMaxToken = 64;
    bool skipBlanks() {
        for (;;) {
            while (at_ < end_ && isBlank(*at_))
                ++at_;
            if (at_ < end_)
                return true;
            if (!fill())
                return false;
        }
    }
    bool fill() {
        if (!device_ || failed_)
            return false;
        buffer_.resize(pieceSize_);
        const qint64 got = device_->read(buffer_.data(), pieceSize_);
        if (got <= 0) {
            failed_ = got < 0;
            return false;
        }
        at_ = buffer_.constData();
        end_ = at_ + got;
        return true;
    }
    template <class T> static bool parse(const std::string& t, T& value) {
        const char* first = t.data();
        const char* last = first + t.size();
        if (first != last && *first == '+')
            ++first;
        if (first == last)
            return false;
        const auto [ptr, ec] = std::from_chars(first, last, value);
        return ec == std::errc() && ptr == last;
    }

    QIODevice* device_ = nullptr;
    qint64 pieceSize_ = 0;
    QByteArray buffer_;
    const char* base_ = nullptr;
    const char* at_ = nullptr;
    const char* end_ = nullptr;
    std::string token_;
    bool failed_ = false;
};

// Picture borders an element at homeIndex i touches; its straight edges must number the same.
int borderCount(int i, int rows, int columns) {
    const int r = i / columns, c = i % columns;
    return (r == 0) + (r == rows - 1) + (c == 0) + (c == columns - 1);
}

SavedGameError damaged() {
    return SavedGameError::Damaged;
}

// How far from the board's origin an element may lie: the scatter grid of the cut, plus a
// screen's worth beyond it in every direction (dragged off the board, turned with its block).
std::int64_t positionReach(const SavedGame& g) {
    const Geometry geometry =
        Geometry::compute(g.elementSize, g.cut.mosaic, g.cut.irregularBase, g.settings.outlineThickness);
    return boardReach(geometry.bitmapSize, g.rows, g.columns);
}

// A body square of the element size, no further out than play can take an element: a far
// element would otherwise ask for a board of any size.
bool bodyRectFits(const Rect& r, std::int32_t size, std::int64_t reach) {
    return r.width() == size && r.height() == size && r.left >= -reach && r.top >= -reach &&
           r.left <= reach && r.top <= reach;
}

std::optional<SavedGameForm> formOf(const std::string& firstLine) {
    if (firstLine == describedFormLine)
        return SavedGameForm::Described;
    if (firstLine == compactFormLine)
        return SavedGameForm::Compact;
    return std::nullopt;
}

// Rows and columns. A file too short to hold that many elements in its form is refused here,
// before anything is sized from its numbers: every element brings a membership line of N
// characters in the described form, a record of at least 38 bytes in the compact one.
bool parseCut(Scanner& in, SavedGameForm form, qint64 fileSize, SavedGame& g) {
    using namespace SavedGameLimits;
    if (!in.int32In(g.rows, 1, maxElements) || !in.int32In(g.columns, 1, maxElements))
        return false;
    const std::int64_t n = std::int64_t(g.rows) * g.columns;
    if (form == SavedGameForm::Described)
        return n <= describedFormElements && n * n <= fileSize;
    return n <= maxElements && n * compactMinBytesPerElement <= fileSize;
}

bool parseSettings(Scanner& in, SavedGame& g) {
    using namespace SavedGameLimits;
    Settings& st = g.settings;
    if (!in.uint32(g.backgroundColor) || !in.uint32(g.outlineColor) || !in.uint32(g.textColor) ||
        !in.int32In(g.elementSize, minElementSize, maxElementSize) || !in.int32(st.captureArea) ||
        !in.int32(st.outlineThickness) || !in.int32(st.scrollArea) || !in.int32(st.mouseScrollSpeed) ||
        !in.int32(st.keyScrollSpeed) || !in.int32(st.threeD) || !in.int32(st.scrollEnabled) ||
        !in.int32(st.showTimer) || !in.flag(g.cut.irregularBase) || !in.flag(g.cut.shiftKnobs) ||
        !in.flag(g.cut.rotateElements) || !in.flag(g.cut.mosaic) || !in.int32(st.exactAssembly))
        return false;
    if (g.backgroundColor > 0xFFFFFF || g.outlineColor > 0xFFFFFF || g.textColor > 0xFFFFFF)
        return false;
    st.outlineColor = fromColorRef(g.outlineColor);
    return st.isValid();
}

bool parseMainFrame(Scanner& in, SavedGame& g) {
    if (in.token() != "[MAINFRAME]")
        return false;
    // The stored board is only a lower bound, checked against the elements when installed.
    if (!in.int32(g.scrollX) || !in.int32(g.scrollY) || !in.int32(g.maxScrollX) || !in.int32(g.maxScrollY) ||
        !in.int32In(g.boardWidth, 0, std::numeric_limits<std::int32_t>::max()) ||
        !in.int32In(g.boardHeight, 0, std::numeric_limits<std::int32_t>::max()) ||
        !in.flag(g.bitmapBackground) || !in.int32(g.fullScreen) || !in.uint32(g.backgroundBitmapId) ||
        !in.int32In(g.hours, 0, std::numeric_limits<std::int32_t>::max() / 3600 - 1) ||
        !in.int32In(g.minutes, 0, 59) || !in.int32In(g.seconds, 0, 59))
        return false;
    return isBackgroundTexture(g.backgroundBitmapId);
}

// Everything before the element records: cut size, the body squares (described form only; the
// compact one keeps each element's place in its record), stacking order, settings, main frame.
SavedGameError parseHead(Scanner& in, SavedGameForm form, qint64 fileSize, SavedGame& g) {
    if (!parseCut(in, form, fileSize, g))
        return damaged();
    const std::int64_t n = std::int64_t(g.rows) * g.columns;
    if (form == SavedGameForm::Described) {
        g.bodyRects.resize(n);
        for (Rect& r : g.bodyRects) {
            if (!in.int32(r.left) || !in.int32(r.top) || !in.int32(r.right) || !in.int32(r.bottom))
                return damaged();
        }
    }

    g.stackOrder.resize(n);
    std::vector<char> seen(n, 0);
    for (std::int32_t& s : g.stackOrder) {
        if (!in.int32In(s, 0, n - 1) || seen[s]++)
            return damaged();
    }

    if (!parseSettings(in, g))
        return damaged();
    const std::int64_t reach = positionReach(g);
    for (const Rect& r : g.bodyRects)
        if (!bodyRectFits(r, g.elementSize, reach))
            return damaged();
    if (!parseMainFrame(in, g))
        return damaged();
    return SavedGameError::None;
}

// The membership lines, checked as they stream past and reduced to one number per element: the
// first element its line marks (its block's representative). A line either claims a new block
// (all it marks still unclaimed) or marks exactly as many elements as its representative's block
// holds, all of them in that block. Blocks then cannot overlap, so the lines describe a
// partition, and no line is kept. Runs of '0' are skipped eight at a time.
class MembershipCheck {
public:
    explicit MembershipCheck(int n) : n_(n), owner_(n, -1), size_(n, 0) {}

    // Reads element i's line from the scanner. A marked character is anything but '0', as the
    // program has always read it.
    bool readLine(Scanner& in, int i) {
        i_ = i;
        rep_ = -1;
        marks_ = 0;
        claiming_ = ownMarked_ = false;
        int k = 0;
        const bool ok = in.scanToken([&](const char* data, std::size_t size) {
            if (std::size_t(n_ - k) < size)
                return false; // longer than N
            const char* end = data + size;
            for (const char* p = skipZeros(data, end); p < end; p = skipZeros(p + 1, end))
                if (!mark(k + static_cast<int>(p - data)))
                    return false;
            k += static_cast<int>(size);
            return true;
        });
        if (!ok || k != n_ || !ownMarked_)
            return false;
        if (claiming_)
            size_[rep_] = marks_;
        return marks_ == size_[rep_];
    }

    // Each element's block, by its representative (its lowest member).
    const std::vector<std::int32_t>& blockOf() const { return owner_; }

private:
    static const char* skipZeros(const char* p, const char* end) {
        constexpr std::uint64_t zeros = 0x3030303030303030ull;
        for (std::uint64_t word; end - p >= 8; p += 8) {
            std::memcpy(&word, p, 8);
            if (word != zeros)
                break;
        }
        while (p < end && *p == '0')
            ++p;
        return p;
    }

    bool mark(int k) {
        ++marks_;
        if (k == i_)
            ownMarked_ = true;
        if (rep_ < 0) {
            rep_ = k;
            if (owner_[k] == -1)
                claiming_ = true;
            else
                return owner_[k] == k; // else its first member belongs to a block starting earlier
        }
        if (!claiming_)
            return owner_[k] == rep_;
        if (owner_[k] != -1)
            return false;
        owner_[k] = rep_;
        return true;
    }

    int n_;
    std::vector<std::int32_t> owner_;
    std::vector<std::int32_t> size_; // members of each claimed block, by representative
    int i_ = 0, rep_ = -1, marks_ = 0;
    bool claiming_ = false, ownMarked_ = false;
};

// One element record without its membership line.
bool parseElement(Scanner& in, const SavedGame& g, SavedElement& e) {
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
    return g.cut.rotateElements || e.orientation == 0;
}

// Joins name each other from opposite sides with complementary edges, straight edges lie on the
// picture border, and an element is alone exactly when it is joined to nothing. Orientations
// may differ: in tolerant assembly any complementary facing edges join, and joining two blocks
// links every aligned pair whatever its turn.
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
            if (j == i || b.joinedNeighbour[other] != i || a.edgeSign[side] == 0 ||
                a.edgeSign[side] != -b.edgeSign[other] || a.edgeShift[side] != -b.edgeShift[other])
                return false;
        }
        if (a.alone != (joined ? 0 : 1))
            return false;
    }
    return true;
}

// The blocks from each element's representative (its block's lowest member, checked to be one
// by the reading). Joined elements share a block, and no member of a block of several is alone.
bool buildBlocks(SavedGame& g, const std::vector<std::int32_t>& blockOf) {
    const int n = g.count();
    std::vector<std::int32_t> size(n, 0);
    for (int i = 0; i < n; ++i)
        ++size[blockOf[i]];
    for (int i = 0; i < n; ++i) {
        const SavedElement& e = g.elements[i];
        for (const int j : e.joinedNeighbour)
            if (j >= 0 && blockOf[j] != blockOf[i])
                return false;
        if (size[blockOf[i]] > 1 && e.alone)
            return false;
    }
    // Blocks of several, each ascending, in the order of their first members.
    std::vector<std::int32_t> blockIndex(n, -1);
    g.blocks.clear();
    for (int i = 0; i < n; ++i) {
        const int rep = blockOf[i];
        if (size[rep] < 2)
            continue;
        if (blockIndex[rep] < 0) {
            blockIndex[rep] = static_cast<std::int32_t>(g.blocks.size());
            g.blocks.emplace_back().reserve(size[rep]);
        }
        g.blocks[blockIndex[rep]].push_back(i);
    }
    return true;
}

// The described form's element records, each with its membership line.
bool parseDescribedElements(Scanner& in, SavedGame& g, std::vector<std::int32_t>& blockOf) {
    const int n = g.count();
    MembershipCheck membership(n);
    for (int i = 0; i < n; ++i)
        if (!parseElement(in, g, g.elements[i]) || !membership.readLine(in, i))
            return false;
    blockOf = membership.blockOf();
    return true;
}

// The compact form's element records: the place of the body square, the values of the described
// record, and the block as the number of its lowest member. An element opens its block when it
// names itself, and may only join a block an earlier element opened, so the blocks are grouped
// as the records go past.
bool parseCompactElements(Scanner& in, SavedGame& g, std::vector<std::int32_t>& blockOf) {
    const int n = g.count();
    const std::int64_t reach = positionReach(g);
    g.bodyRects.resize(n);
    blockOf.assign(n, -1);
    for (int i = 0; i < n; ++i) {
        std::int32_t left = 0, top = 0, block = 0;
        if (!in.int32In(left, -reach, reach) || !in.int32In(top, -reach, reach) ||
            !parseElement(in, g, g.elements[i]) || !in.int32In(block, 0, i) ||
            (block != i && blockOf[block] != block))
            return false;
        g.bodyRects[i] = {left, top, left + g.elementSize, top + g.elementSize};
        blockOf[i] = block;
    }
    return true;
}

// The element records of either form, after the head: checked one by one, then against each
// other.
SavedGameError parseElements(Scanner& in, SavedGameForm form, SavedGame& g) {
    // A missing section name is tolerated, as it always was; anything else in its place is not.
    if (in.peek() == '[' && in.token() != "[ELEMENTS]")
        return damaged();
    g.elements.resize(g.count());
    std::vector<std::int32_t> blockOf;
    const bool read = form == SavedGameForm::Described ? parseDescribedElements(in, g, blockOf)
                                                       : parseCompactElements(in, g, blockOf);
    if (!read)
        return damaged();
    if (in.failed())
        return SavedGameError::CannotOpen;
    if (!elementsConsistent(g) || !buildBlocks(g, blockOf))
        return damaged();
    return SavedGameError::None;
}

SavedGameError parseAll(Scanner& in, qint64 size, SavedGame& game) {
    std::string first;
    std::optional<SavedGameForm> form;
    if (!in.firstLine(first) || !(form = formOf(first)))
        return SavedGameError::UnknownFormat;

    SavedGame g;
    if (const SavedGameError e = parseHead(in, *form, size, g); e != SavedGameError::None)
        return e;
    if (const SavedGameError e = parseElements(in, *form, g); e != SavedGameError::None)
        return e;
    game = std::move(g);
    return SavedGameError::None;
}

// The element records of the form the program writes, walked without reading the membership
// lines: each record's four lines are read, then its line of N digits is stepped over by seeking,
// checking only that it ends where N digits end. Counts the elements joined to another. A file
// laid out otherwise (still readable by the full reader) leaves the count unknown; one that ends
// early is damaged.
SavedGameError countJoined(QIODevice& device, qint64 start, const SavedGame& g, int& joined) {
    // Four lines of at most 15 numbers of a few digits each, with room to spare.
    constexpr qint64 kWindow = 256;
    const int n = g.count();
    joined = 0;
    qint64 at = start; // where the window starts
    int skip = 0;      // characters of the window that belong to the line before
    for (int i = 0; i < n; ++i) {
        if (!device.seek(at))
            return SavedGameError::CannotOpen;
        const QByteArray window = device.read(kWindow);
        const bool whole = window.size() == kWindow;
        if (skip > 0) {
            // The last digit of the line before, then the end of that line.
            if (window.size() < 2 || isBlank(window[0]) || !isBlank(window[1]))
                return SavedGameError::Damaged;
        }
        const QByteArray rest = window.mid(skip);
        Scanner in(rest);
        if (i == 0 && in.peek() == '[' && in.token() != "[ELEMENTS]")
            return SavedGameError::Damaged;
        SavedElement e;
        if (!parseElement(in, g, e) || in.peek() == 0) {
            joined = -1;
            return whole ? SavedGameError::None : SavedGameError::Damaged;
        }
        const qint64 membership = at + skip + in.position();
        if (e.alone == 0)
            ++joined;
        // The window after this line starts on its last digit.
        at = membership + n - 1;
        skip = 1;
    }
    if (!device.seek(at))
        return SavedGameError::CannotOpen;
    const QByteArray end = device.read(2);
    if (end.isEmpty() || isBlank(end[0]) || (end.size() == 2 && !isBlank(end[1])))
        return SavedGameError::Damaged;
    return SavedGameError::None;
}

} // namespace

SavedGameError readSavedGameOverview(QIODevice& device, SavedGameOverview& overview) {
    // Small pieces: the head of the largest game is a few hundred kilobytes.
    Scanner in(device, qint64(64) << 10);
    std::string first;
    std::optional<SavedGameForm> form;
    if (!in.firstLine(first) || !(form = formOf(first)))
        return SavedGameError::UnknownFormat;
    SavedGame g;
    if (const SavedGameError e = parseHead(in, *form, device.size(), g); e != SavedGameError::None)
        return e;
    if (in.failed())
        return SavedGameError::CannotOpen;
    int joined = -1;
    if (*form == SavedGameForm::Compact) {
        // A few bytes an element: read and checked whole, as loading would.
        if (const SavedGameError e = parseElements(in, *form, g); e != SavedGameError::None)
            return e;
        joined = static_cast<int>(std::count_if(g.elements.begin(), g.elements.end(),
                                                [](const SavedElement& e) { return !e.alone; }));
    } else if (const SavedGameError e = countJoined(device, in.position(), g, joined);
               e != SavedGameError::None) {
        return e;
    }
    overview.rows = g.rows;
    overview.columns = g.columns;
    overview.elementSize = g.elementSize;
    overview.clockCarried = g.clockCarried();
    overview.joined = joined;
    return SavedGameError::None;
}

SavedGameError readSavedGame(QIODevice& device, SavedGame& game, qint64 pieceSize) {
    Scanner in(device, pieceSize);
    return parseAll(in, device.size(), game);
}

SavedGameError parseSavedGame(const QByteArray& bytes, SavedGame& game) {
    Scanner in(bytes);
    return parseAll(in, bytes.size(), game);
}

SavedGameError readSavedGameFile(const QString& path, SavedGame& game) {
    QFile file(path);
    if (!openRegularFile(file))
        return SavedGameError::CannotOpen;
    // No game the program makes is longer; anything longer is not read at all.
    if (file.size() > SavedGameLimits::maxFileSize)
        return SavedGameError::Damaged;
    return readSavedGame(file, game);
}

void takeSavedGameText(const QString& gamePath, std::optional<SavedGameText> text, SavedGameFiles& files) {
    if (text) {
        files.game = std::move(text->game);
        files.error = text->error;
        files.built = std::move(text->built);
    } else {
        files.error = readSavedGameFile(gamePath, files.game);
    }
}

SavedGameFiles readSavedGameFiles(const QString& picturePath, const QString& gamePath,
                                  bool fingerprintPicture, PictureReserve* reserve,
                                  std::optional<SavedGameText> text) {
    SavedGameFiles files;
    auto picture = std::async(std::launch::async, [picturePath, fingerprintPicture, reserve] {
        Fingerprint fingerprint;
        LoadResult result = loadPicture(picturePath, fingerprintPicture ? &fingerprint : nullptr, reserve);
        return std::pair(std::move(result), fingerprintPicture ? fingerprint.hex() : QByteArray());
    });
    takeSavedGameText(gamePath, std::move(text), files);
    std::tie(files.picture, files.pictureFingerprint) = picture.get();
    return files;
}
