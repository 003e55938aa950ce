#include "game/autosave.h"
#include "filebytes.h"
#include "game/savedgamesupport.h"
#include "game/settingschoice.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>
#include <random>

namespace {

std::unique_ptr<GameState> exampleState() {
    auto s = std::make_unique<GameState>();
    s->screenWidth = 1024;
    s->screenHeight = 768;
    Puzzle& p = s->puzzle;
    p.create(1, 2);
    p.geometry = Geometry::compute(64, false, true, 4);
    p.bodyRects = {{200, 150, 264, 214}, {420, 300, 484, 364}};
    p.stackOrder = {1, 0};
    p.element(0).edgeSign = {0, 1, 0, 0};
    p.element(1).edgeSign = {0, -1, 0, 0};
    p.element(1).orientation = 2;
    s->board.resize(1024, 768, 1024, 768);
    s->clock.clockCarried = 3 * 60 + 25;
    return s;
}

// Tokens after the first line, as (offset, length).
std::vector<std::pair<qsizetype, qsizetype>> tokensOf(const QByteArray& bytes) {
    std::vector<std::pair<qsizetype, qsizetype>> tokens;
    qsizetype at = bytes.indexOf('\n');
    while (at < bytes.size()) {
        while (at < bytes.size() && QChar::isSpace(bytes[at]))
            ++at;
        const qsizetype start = at;
        while (at < bytes.size() && !QChar::isSpace(bytes[at]))
            ++at;
        if (at > start)
            tokens.emplace_back(start, at - start);
    }
    return tokens;
}

QByteArray withToken(const QByteArray& bytes, std::size_t k, const QByteArray& text) {
    const auto tokens = tokensOf(bytes);
    QByteArray changed = bytes;
    return changed.replace(tokens.at(k).first, tokens.at(k).second, text);
}

QByteArray tokenAt(const QByteArray& bytes, std::size_t k) {
    const auto t = tokensOf(bytes).at(k);
    return bytes.mid(t.first, t.second);
}

// Where the values of a file of N elements sit among its tokens.
struct Layout {
    int n;
    std::size_t bodyRect(int i, int v) const { return 2 + 4 * i + v; }
    std::size_t stack(int k) const { return 2 + 4 * n + k; }
    std::size_t setting(int v) const { return 2 + 5 * n + v; }
    std::size_t mainFrame(int v) const { return 2 + 5 * n + 17 + 1 + v; }
    std::size_t element(int i, int v) const { return 2 + 5 * n + 17 + 13 + 1 + 16 * i + v; }
    std::size_t membership(int i) const { return element(i, 15); }
};

// The example game in the compact form: its place, turn, joins, edges and block per element.
const char* const kCompactExample = "[GLOBALS 2]\n"
                                    "1 2\n"
                                    "1 0 \n"
                                    "32125 8421504 0 64 5 4 20 3 150 1 1 1 1 1 1 0 0\n"
                                    "\n"
                                    "[MAINFRAME]\n"
                                    "0 0\n"
                                    "0 0\n"
                                    "1024 768\n"
                                    "1 0 192 0 3 25\n"
                                    "\n"
                                    "[ELEMENTS]\n"
                                    "200 150 0 1 0 -1 -1 -1 -1 0 1 0 0 0 0 0 0 0\n"
                                    "420 300 2 1 0 -1 -1 -1 -1 0 -1 0 0 0 0 0 0 1\n";

TEST(SavedGameFile, WritesTheExampleExactly) {
    const auto s = exampleState();
    EXPECT_EQ(formatSavedGame(*s, 0), crlf(kLayoutExample));
    const SavedGame snapshot = savedGameSnapshot(*s, 0, s->clock.clockCarried);
    EXPECT_EQ(formatSavedGame(snapshot, SavedGameForm::Compact), crlf(kCompactExample));
    SavedGame described, compact;
    ASSERT_EQ(parseSavedGame(crlf(kLayoutExample), described), SavedGameError::None);
    ASSERT_EQ(parseSavedGame(QByteArray(kCompactExample), compact), SavedGameError::None);
    EXPECT_TRUE(samePlay(compact, described));
    EXPECT_EQ(compact.clockCarried(), 205);
}

TEST(SavedGameFile, ReadsTheExampleWithEitherLineEnd) {
    for (const QByteArray& text : {crlf(kLayoutExample), QByteArray(kLayoutExample)}) {
        SavedGame g;
        ASSERT_EQ(parseSavedGame(text, g), SavedGameError::None);
        EXPECT_EQ(g.rows, 1);
        EXPECT_EQ(g.columns, 2);
        EXPECT_EQ(g.bodyRects[1], (Rect{420, 300, 484, 364}));
        EXPECT_EQ(g.stackOrder, (std::vector<std::int32_t>{1, 0}));
        EXPECT_EQ(g.elements[1].orientation, 2);
        EXPECT_EQ(g.elements[1].edgeSign, (EdgeRecord{0, -1, 0, 0}));
        EXPECT_EQ(g.settings, Settings{});
        EXPECT_EQ(fromColorRef(g.backgroundColor), QColor(125, 125, 0));
        EXPECT_EQ(g.backgroundBitmapId, 192u);
        EXPECT_EQ(g.clockCarried(), 205);
        EXPECT_TRUE(g.blocks.empty());
    }
}

TEST(SavedGameFile, ValuesMaySpreadOverLinesAndMarksAreAnyCharacterButZero) {
    QByteArray text = crlf(kLayoutExample);
    text.replace("32125 8421504 0 64 5 4 20 3 150", "32125 8421504 0 64\r\n5 4 20\t3 150");
    text.replace("1 0 192 0 3 25", "1 0 192 1 2 3");
    text.replace("\r\n10\r\n", "\r\n20\r\n");
    SavedGame g;
    ASSERT_EQ(parseSavedGame(text, g), SavedGameError::None);
    EXPECT_EQ(g.settings.mouseScrollSpeed, 3);
    EXPECT_EQ(g.clockCarried(), 3723);
    EXPECT_TRUE(g.blocks.empty());
}

TEST(SavedGameFile, FirstLineMustBeTheSectionNameAlone) {
    SavedGame g;
    QByteArray text = crlf(kLayoutExample);
    EXPECT_EQ(parseSavedGame(QByteArray(text).replace("[GLOBALS]", "[GLOBALS] "), g),
              SavedGameError::UnknownFormat);
    EXPECT_EQ(parseSavedGame(QByteArray(text).replace("[GLOBALS]", "[SAVED GAMES]"), g),
              SavedGameError::UnknownFormat);
    EXPECT_EQ(parseSavedGame(QByteArray(), g), SavedGameError::UnknownFormat);
}

struct RoundTripCase {
    int rows, columns;
    bool rotate;
    int joins;
};

class SavedGameRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(SavedGameRoundTrip, SaveLoadSaveGivesTheSameBytes) {
    const RoundTripCase c = GetParam();
    auto s = generatedGame(c.rows, c.columns, c.rotate);
    const int joins = joinRows(*s, c.joins);
    if (!c.rotate) {
        EXPECT_EQ(joins, c.joins);
    } else {
        EXPECT_GT(joins, 0) << "the turned game needs joins of its own";
    }
    s->settings.captureArea = 7;
    s->settings.outlineColor = QColor(10, 20, 30);
    s->background.bitmapBackground = 0;
    s->background.backgroundBitmapId = 227;
    s->background.backgroundColor = QColor(1, 2, 3);
    s->background.textColor = QColor(255, 210, 136);
    s->clock.clockCarried = 90061;
    const QByteArray first = formatSavedGame(*s, 1);

    SavedGame g;
    ASSERT_EQ(parseSavedGame(first, g), SavedGameError::None);
    ASSERT_TRUE(pictureFitsSavedGame(g, s->picture));
    const auto installed = installedGame(g, s->picture);
    const GameState& t = *installed;
    EXPECT_EQ(formatSavedGame(t, 1), first);
    // The compact form holds the same game.
    const QByteArray compact = formatSavedGame(g, SavedGameForm::Compact);
    SavedGame fromCompact;
    ASSERT_EQ(parseSavedGame(compact, fromCompact), SavedGameError::None);
    EXPECT_TRUE(samePlay(fromCompact, g));
    EXPECT_EQ(formatSavedGame(fromCompact, SavedGameForm::Described), first);

    // What the bytes stand for arrived as well.
    EXPECT_TRUE(t.puzzle.blocks.isConsistent());
    for (int i = 0; i < s->puzzle.count(); ++i) {
        EXPECT_EQ(t.puzzle.blocks.members(i), s->puzzle.blocks.members(i));
        EXPECT_EQ(t.puzzle.element(i).cellRect, s->puzzle.element(i).cellRect);
        EXPECT_EQ(t.puzzle.element(i).orientation, s->puzzle.element(i).orientation);
        EXPECT_TRUE(samePixels(t.puzzle.element(i).outerRegion, s->puzzle.element(i).outerRegion));
        EXPECT_EQ(t.puzzle.element(i).shapeBounds, s->puzzle.element(i).shapeBounds);
    }
    EXPECT_EQ(t.settings, s->settings);
    EXPECT_EQ(t.background.textColor, QColor(255, 210, 136));
    EXPECT_EQ(t.background.backgroundBitmapId, 227);
    EXPECT_EQ(t.clock.clockCarried, 90061);
    EXPECT_EQ(t.board.boardWidth, s->board.boardWidth);
    EXPECT_TRUE(t.hasElements());
}

INSTANTIATE_TEST_SUITE_P(Games, SavedGameRoundTrip,
                         ::testing::Values(RoundTripCase{1, 1, false, 0}, RoundTripCase{3, 4, false, 5},
                                           RoundTripCase{5, 6, true, 12}, RoundTripCase{2, 9, false, 16}));

// An element joined all round is fully joined only while the bevel is drawn, and is written so:
// with the bevel switched off the file says 0 (a flag left over from the bevel once said 1).
TEST(SavedGameFile, FullyJoinedFollowsTheBevelItIsWrittenWith) {
    auto s = generatedGame(3, 3, false);
    for (int i = 0; i < 9; ++i) {
        if (i % 3 < 2) {
            ASSERT_TRUE(joinPair(*s, i, i + 1)) << i;
        }
        if (i < 6) {
            ASSERT_TRUE(joinPair(*s, i, i + 3)) << i;
        }
    }
    ASSERT_EQ(s->settings.threeD, 1);
    EXPECT_EQ(savedGameSnapshot(*s, 0, 0).elements[4].fullyJoined, 1);
    EXPECT_EQ(savedGameSnapshot(*s, 0, 0).elements[0].fullyJoined, 0);
    FakeCursor cursor;
    SettingsChoice flat = SettingsChoice::from(s->settings);
    flat.threeD = 0;
    flat.apply(*s, cursor);
    const SavedGame g = savedGameSnapshot(*s, 0, 0);
    EXPECT_EQ(g.elements[4].fullyJoined, 0);
    EXPECT_EQ(g.elements[4].alone, 0);
    EXPECT_TRUE(formatSavedGame(*s, 0).contains("\r\n[ELEMENTS]\r\n"));
    SavedGame read;
    ASSERT_EQ(parseSavedGame(formatSavedGame(*s, 0), read), SavedGameError::None);
    EXPECT_EQ(read.elements[4].fullyJoined, 0);
}

TEST(SavedGameFile, StoredBoardIsALowerBoundAndScrollIsIgnored) {
    QByteArray text = crlf(kLayoutExample);
    text.replace("0 0\r\n0 0\r\n1024 768", "300 200\r\n5 5\r\n1600 1200");
    // An element near the stored board's corner: the board keeps room for it.
    text.replace("420 300 484 364", "1480 1580 1544 1644");
    SavedGame g;
    ASSERT_EQ(parseSavedGame(text, g), SavedGameError::None);
    GameState t;
    t.screenWidth = 1024;
    t.screenHeight = 768;
    installSavedGame(g, coordinatePicture(128, 64), t, QSize(1024, 768), nullptr);
    EXPECT_EQ(t.board.boardWidth, 1600);
    EXPECT_EQ(t.board.boardHeight, 1200);
    EXPECT_EQ(t.board.scrollX, 0);
    EXPECT_EQ(t.board.scrollY, 0);
    EXPECT_EQ(t.board.maxScrollX, 1600 - 1024);

    text.replace("1600 1200", "800 600");
    ASSERT_EQ(parseSavedGame(text, g), SavedGameError::None);
    installSavedGame(g, coordinatePicture(128, 64), t, QSize(1024, 768), nullptr);
    EXPECT_EQ(t.board.boardWidth, 1024);
    EXPECT_EQ(t.board.boardHeight, 768);

    // A stored board beyond the furthest element (plus the margin of a fitted board) and beyond
    // twice the screen is clamped; it no longer asks for a bitmap of any size the file names.
    text.replace("800 600", "2147483647 32768");
    ASSERT_EQ(parseSavedGame(text, g), SavedGameError::None);
    installSavedGame(g, coordinatePicture(128, 64), t, QSize(1024, 768), nullptr);
    const Rect cell = t.puzzle.element(1).cellRect;
    EXPECT_EQ(t.board.boardWidth, 2048);
    EXPECT_EQ(t.board.boardHeight, cell.bottom + 50);
    EXPECT_EQ(t.board.rect().size(), QSize(2048, cell.bottom + 50));
}

TEST(SavedGameFile, EveryDamageIsRefused) {
    auto s = generatedGame(3, 4, false);
    ASSERT_EQ(joinRows(*s, 5), 5);
    const QByteArray good = formatSavedGame(*s, 0);
    const Layout at{12};
    SavedGame g;
    ASSERT_EQ(parseSavedGame(good, g), SavedGameError::None);

    // An element joined on its right side, and the side its partner names it on.
    int joined = -1;
    for (int i = 0; i < 12 && joined < 0; ++i)
        if (s->puzzle.element(i).joinedNeighbour[Right] >= 0)
            joined = i;
    ASSERT_GE(joined, 0);
    const int partner = s->puzzle.element(joined).joinedNeighbour[Right];
    int alone = -1;
    for (int i = 0; i < 12 && alone < 0; ++i)
        if (s->puzzle.element(i).alone())
            alone = i;
    ASSERT_GE(alone, 0);
    QByteArray line = tokenAt(good, at.membership(joined));

    const std::vector<std::pair<const char*, QByteArray>> damaged = {
        {"more rows than the file holds", withToken(good, 0, "4")},
        {"no rows", withToken(good, 0, "0")},
        {"negative columns", withToken(good, 1, "-4")},
        {"huge rows", withToken(good, 0, "1000000")},
        {"not a number", withToken(good, 1, "four")},
        {"not an integer", withToken(good, 1, "4.0")},
        {"beyond 32 bits", withToken(good, at.bodyRect(2, 0), "99999999999")},
        {"body square of the wrong size", withToken(good, at.bodyRect(3, 2), "100000")},
        {"stacking order with a repeat", withToken(good, at.stack(1), tokenAt(good, at.stack(0)))},
        {"stacking order out of range", withToken(good, at.stack(1), "12")},
        {"colour beyond 24 bits", withToken(good, at.setting(0), "16777216")},
        {"element size out of range", withToken(good, at.setting(3), "4")},
        {"capture area out of range", withToken(good, at.setting(4), "0")},
        {"flag that is not a flag", withToken(good, at.setting(12), "2")},
        {"main-frame section missing", withToken(good, at.mainFrame(-1), "[MAINFRAMES]")},
        {"unknown texture", withToken(good, at.mainFrame(8), "5")},
        {"minutes beyond 59", withToken(good, at.mainFrame(10), "60")},
        {"negative board", withToken(good, at.mainFrame(4), "-1")},
        {"element beyond any board",
         withToken(withToken(good, at.bodyRect(2, 0), "1000000"), at.bodyRect(2, 2),
                   QByteArray::number(1000000 + s->puzzle.geometry.elementSize))},
        {"orientation 4", withToken(good, at.element(5, 0), "4")},
        {"turned although turning is off", withToken(good, at.element(5, 0), "1")},
        {"alone not a flag", withToken(good, at.element(5, 1), "2")},
        {"neighbour out of range", withToken(good, at.element(alone, 3), "12")},
        {"neighbour below -1", withToken(good, at.element(alone, 3), "-2")},
        {"edge sign 2", withToken(good, at.element(5, 6), "2")},
        {"edge shift -2", withToken(good, at.element(5, 10), "-2")},
        {"straight edge inside the picture", withToken(good, at.element(5, 3), "0")},
        {"join named from one side only", withToken(good, at.element(partner, 3 + Left), "-1")},
        {"alone although joined", withToken(good, at.element(joined, 1), "1")},
        {"membership line too short",
         withToken(good, at.membership(alone), tokenAt(good, at.membership(alone)).left(11))},
        {"membership line too long",
         withToken(good, at.membership(alone), tokenAt(good, at.membership(alone)) + "0")},
        {"own flag missing", withToken(good, at.membership(alone), QByteArray(12, '0'))},
        {"a block that its members do not share",
         withToken(good, at.membership(alone), QByteArray(line).replace(alone, 1, "1"))},
        {"joined elements in different blocks",
         withToken(good, at.membership(joined), QByteArray(12, '0').replace(joined, 1, "1"))},
        {"N x N bigger than the file", QByteArray("[GLOBALS]\r\n1024 1024\r\n")},
    };
    for (const auto& [what, text] : damaged) {
        SavedGame out;
        out.rows = -7;
        EXPECT_EQ(parseSavedGame(text, out), SavedGameError::Damaged) << what;
        EXPECT_EQ(out.rows, -7) << what << ": a refused file leaves the result alone";
    }

    // Cut short anywhere before its last value.
    const qsizetype end = good.trimmed().size();
    for (qsizetype length = good.indexOf('\n') + 1; length < end; length += 7) {
        SavedGame out;
        EXPECT_EQ(parseSavedGame(good.left(length), out), SavedGameError::Damaged) << "cut at " << length;
    }
    EXPECT_EQ(parseSavedGame(good.left(end), g), SavedGameError::None);
}

// Where the values of a compact file of N elements sit among its tokens.
struct CompactLayout {
    int n;
    std::size_t element(int i, int v) const { return 2 + n + 17 + 13 + 1 + 18 * i + v; }
    std::size_t block(int i) const { return element(i, 17); }
};

TEST(SavedGameFile, EveryDamageOfTheCompactFormIsRefused) {
    auto s = generatedGame(3, 4, false);
    ASSERT_EQ(joinRows(*s, 5), 5);
    const SavedGame game = savedGameSnapshot(*s, 0, 77);
    const QByteArray good = formatSavedGame(game, SavedGameForm::Compact);
    const CompactLayout at{12};
    SavedGame g;
    ASSERT_EQ(parseSavedGame(good, g), SavedGameError::None);
    ASSERT_TRUE(samePlay(g, game));

    // A block of three or more, its first member and a later one; an element alone.
    const auto& block =
        *std::find_if(game.blocks.begin(), game.blocks.end(), [](const auto& b) { return b.size() >= 3; });
    const int first = block[0], second = block[1], third = block[2];
    int alone = -1;
    for (int i = 11; i >= 0 && alone < 0; --i)
        if (game.elements[i].alone && i > first)
            alone = i;
    ASSERT_GE(alone, 0);
    const auto number = [](int v) { return QByteArray::number(v); };

    const std::vector<std::pair<const char*, QByteArray>> damaged = {
        {"more elements than the file holds", QByteArray("[GLOBALS 2]\r\n200 300\r\n")},
        {"more elements than the largest game", QByteArray(good).replace("\r\n3 4\r\n", "\r\n1 60001\r\n")},
        {"place beyond any board", withToken(good, at.element(3, 0), "1000000")},
        {"place not a number", withToken(good, at.element(3, 1), "x")},
        {"turned although turning is off", withToken(good, at.element(5, 2), "1")},
        {"straight edge inside the picture", withToken(good, at.element(5, 10), "0")},
        {"block named by a later element", withToken(good, at.block(first), number(first + 1))},
        {"negative block", withToken(good, at.block(alone), "-1")},
        {"block named by a member that is not its first", withToken(good, at.block(third), number(second))},
        {"joined elements in different blocks", withToken(good, at.block(second), number(second))},
        {"alone although in a block of several", withToken(good, at.block(alone), number(first))},
        {"alone although joined", withToken(good, at.element(second, 3), "1")},
    };
    for (const auto& [what, text] : damaged) {
        SavedGame out;
        out.rows = -7;
        EXPECT_EQ(parseSavedGame(text, out), SavedGameError::Damaged) << what;
        EXPECT_EQ(out.rows, -7) << what << ": a refused file leaves the result alone";
    }
    EXPECT_EQ(parseSavedGame(QByteArray(good).replace("[GLOBALS 2]", "[GLOBALS 2] "), g),
              SavedGameError::UnknownFormat);
    EXPECT_EQ(parseSavedGame(QByteArray(good).replace("[GLOBALS 2]", "[GLOBALS 3]"), g),
              SavedGameError::UnknownFormat);

    const qsizetype end = good.trimmed().size();
    for (qsizetype length = good.indexOf('\n') + 1; length < end; length += 5) {
        SavedGame out;
        EXPECT_EQ(parseSavedGame(good.left(length), out), SavedGameError::Damaged) << "cut at " << length;
    }
}

// Random damage never gets past the reader unnoticed: whatever it accepts can be built and
// written again, and reads back the same.
TEST(SavedGameFile, RandomDamageIsRefusedOrHarmless) {
    auto s = generatedGame(3, 5, true, 32, 11);
    joinRows(*s, 8);
    const QByteArray described = formatSavedGame(*s, 0);
    const QByteArray compact = formatSavedGame(savedGameSnapshot(*s, 0, 0), SavedGameForm::Compact);
    std::mt19937 random(5);
    const QByteArray alphabet = "0123456789- \r\n1[]x";
    int accepted = 0;
    for (int round = 0; round < 6000; ++round) {
        const QByteArray& good = round % 2 ? compact : described;
        QByteArray text = good;
        const int edits = 1 + static_cast<int>(random() % 3);
        for (int e = 0; e < edits; ++e) {
            const auto at = static_cast<qsizetype>(random() % text.size());
            switch (random() % 3) {
            case 0:
                text[at] = alphabet[static_cast<qsizetype>(random() % alphabet.size())];
                break;
            case 1:
                text.remove(at, 1 + static_cast<qsizetype>(random() % 4));
                break;
            default:
                text.insert(at, alphabet[static_cast<qsizetype>(random() % alphabet.size())]);
                break;
            }
            if (text.isEmpty())
                break;
        }
        SavedGame g;
        if (parseSavedGame(text, g) != SavedGameError::None)
            continue;
        // The compact form keeps no body square's size beside the element size: another size
        // passes the text, and loading refuses it when the picture does not fit.
        if (&good == &compact && g.elementSize != s->puzzle.geometry.elementSize)
            continue;
        ++accepted;
        ASSERT_TRUE(pictureFitsSavedGame(g, s->picture));
        const auto t = installedGame(g, s->picture);
        ASSERT_TRUE(t->puzzle.blocks.isConsistent());
        const QByteArray again = formatSavedGame(*t, 0);
        SavedGame h;
        ASSERT_EQ(parseSavedGame(again, h), SavedGameError::None) << text.toStdString();
        ASSERT_EQ(formatSavedGame(*installedGame(h, s->picture), 0), again);
        ASSERT_EQ(parseSavedGame(formatSavedGame(h, SavedGameForm::Compact), h), SavedGameError::None);
        ASSERT_EQ(formatSavedGame(h, SavedGameForm::Described), again);
    }
    EXPECT_GT(accepted, 0) << "some harmless changes (blanks, positions) should pass";
}

// A game of rows x columns elements joined into one block, lying on its home places (no shapes
// or bitmaps: the text is all that counts here).
std::unique_ptr<GameState> oneBlock(int rows, int columns) {
    auto s = std::make_unique<GameState>();
    Puzzle& p = s->puzzle;
    p.create(rows, columns);
    p.geometry = Geometry::compute(16, false, true, 4);
    const int n = rows * columns;
    std::vector<std::int32_t> all(n);
    for (int i = 0; i < n; ++i) {
        all[i] = i;
        Element& e = p.element(i);
        const int r = i / columns, c = i % columns;
        e.edgeSign = {r ? -1 : 0, c + 1 < columns ? 1 : 0, r + 1 < rows ? 1 : 0, c ? -1 : 0};
        e.joinedNeighbour = {r ? i - columns : -1, c + 1 < columns ? i + 1 : -1,
                             r + 1 < rows ? i + columns : -1, c ? i - 1 : -1};
        p.bodyRects[i] = {c * 16, r * 16, c * 16 + 16, r * 16 + 16};
        p.stackOrder[i] = n - 1 - i;
    }
    p.blocks.makeBlock(all);
    s->board.resize(16, 16, 16, 16);
    s->board.boardWidth = 2100;
    s->board.boardHeight = 2100;
    return s;
}

// The largest game of each form saves and loads again, through files, as one block (in the
// described form every membership line full); a file longer than the largest is not read at
// all. The form changes exactly above 16,384 elements.
TEST(SavedGameFile, TheLargestGamesSaveAndLoad) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.pzs"));
    struct Largest {
        int rows, columns;
        const char* firstLine;
    };
    for (const auto& [rows, columns, firstLine] :
         {Largest{128, 128, "[GLOBALS]\r\n"}, Largest{200, 300, "[GLOBALS 2]\r\n"}}) {
        const auto s = oneBlock(rows, columns);
        const int n = rows * columns;
        ASSERT_TRUE(writeSavedGame(path, *s, 0));
        EXPECT_LE(QFileInfo(path).size(), SavedGameLimits::maxFileSize);
        EXPECT_TRUE(readAll(path).startsWith(firstLine));
        SavedGame g;
        ASSERT_EQ(readSavedGameFile(path, g), SavedGameError::None);
        ASSERT_EQ(g.count(), n);
        ASSERT_EQ(g.blocks.size(), 1u);
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(g.blocks[0][i], i);
        EXPECT_EQ(g.elements[columns + 1].joinedNeighbour,
                  (EdgeRecord{1, columns + 2, 2 * columns + 1, columns}));
        EXPECT_EQ(g.bodyRects[n - 1], s->puzzle.bodyRects[n - 1]);
    }
    ASSERT_EQ(128 * 128, SavedGameLimits::describedFormElements);
    ASSERT_EQ(200 * 300, SavedGameLimits::maxElements);
    EXPECT_LE(QFileInfo(path).size(), qint64(200 * 300) * SavedGameLimits::compactMaxBytesPerElement + 4096);
    EXPECT_EQ(savedGameFormFor(16384), SavedGameForm::Described);
    EXPECT_EQ(savedGameFormFor(16385), SavedGameForm::Compact);

    QFile file(path);
    ASSERT_TRUE(file.resize(SavedGameLimits::maxFileSize + 1));
    SavedGame g;
    EXPECT_EQ(readSavedGameFile(path, g), SavedGameError::Damaged);
}

TEST(SavedGameFile, PictureMustBeTheCutPicture) {
    SavedGame g;
    ASSERT_EQ(parseSavedGame(crlf(kLayoutExample), g), SavedGameError::None);
    EXPECT_TRUE(pictureFitsSavedGame(g, coordinatePicture(128, 64)));
    EXPECT_FALSE(pictureFitsSavedGame(g, coordinatePicture(129, 64)));
    EXPECT_FALSE(pictureFitsSavedGame(g, QImage()));
}

TEST(SavedGameFile, FallbackPictureWriterWritesA24BitBitmap) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.bmp"));
    QImage picture(3, 2, QImage::Format_Indexed8);
    picture.setColorTable({qRgb(1, 2, 3), qRgb(200, 100, 50)});
    picture.fill(1);
    ASSERT_TRUE(writePictureBmp24(path, picture));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.size(), 54 + 2 * 12);
    EXPECT_EQ(static_cast<unsigned char>(bytes[28]), 24); // bits per pixel
    EXPECT_EQ(QImage(path).pixel(2, 1), qRgb(200, 100, 50));
    EXPECT_FALSE(writePictureBmp24(dir.filePath(QStringLiteral("no/such/folder.bmp")), picture));
}

} // namespace
