#include "board/boardfixture.h"
#include "game/gamestate.h"
#include "game/savedgame.h"
#include "game/savedgamesupport.h"

#include <random>

namespace {

// A fitting side of e against k that is free on both: the side of e, or -1.
int freeFittingSide(const Puzzle& p, int e, int k) {
    const Element& a = p.element(e);
    const Element& b = p.element(k);
    for (int side = 0; side < 4; ++side) {
        const int other = (side + 2) % 4;
        if (a.joinedNeighbour[side] == -1 && b.joinedNeighbour[other] == -1 && a.edgeSign[side] != 0 &&
            a.edgeSign[side] == -b.edgeSign[other] && a.edgeShift[side] == -b.edgeShift[other])
            return side;
    }
    return -1;
}

// A drag of e (its block with a block word) by `by`, shortened so that everything it moves stays
// well inside the board, far enough that no join or turn takes anything beyond the edge: a drop
// beyond the edge would grow the table and move the view, which a saved game does not keep.
QPoint onBoard(BoardFixture& f, int word, int e, QPoint by) {
    const Puzzle& p = f.puzzle();
    e = f.interaction.hitTest(f.grabPoint(e)); // what the press will take, should e lie covered
    if (e < 0)
        return by;
    std::vector<std::int32_t> moved{e};
    if ((word & Ctrl) && p.blocks.blockSize(e) > 1)
        moved = p.blocks.members(e);
    QRect cells;
    for (const int i : moved) {
        const Rect& c = p.element(i).cellRect;
        cells |= QRect(c.left, c.top, c.width(), c.height());
    }
    const int margin = 4 * p.geometry.bitmapSize;
    const QRect board = QRect(0, 0, f.state.board.boardWidth, f.state.board.boardHeight)
                            .adjusted(margin, margin, -margin, -margin);
    const QRect to = cells.translated(by);
    QPoint fix;
    if (to.left() < board.left())
        fix.setX(board.left() - to.left());
    else if (to.right() > board.right())
        fix.setX(board.right() - to.right());
    if (to.top() < board.top())
        fix.setY(board.top() - to.top());
    else if (to.bottom() > board.bottom())
        fix.setY(board.bottom() - to.bottom());
    return by + fix;
}

// Plays at random through the real interaction: drags that bring fitting sides together (so
// joins happen, in tolerant assembly between differently turned elements too), drags of blocks,
// turns of elements and blocks, separations and stray drags.
void playAtRandom(BoardFixture& f, std::mt19937& random, int steps) {
    const int n = f.count();
    const int s = f.S();
    auto pick = [&](int below) { return static_cast<int>(random() % static_cast<unsigned>(below)); };
    for (int step = 0; step < steps; ++step) {
        const int e = pick(n);
        const bool inBlock = f.puzzle().blocks.blockSize(e) > 1;
        const int word = inBlock ? Ctrl | L : L;
        switch (pick(10)) {
        case 0:
        case 1:
        case 2:
        case 3: {
            // Next to a partner with a fitting free side, a few pixels off.
            int k = pick(n), side = -1;
            for (int tries = 0; tries < n && (k == e || f.puzzle().blocks.sameBlock(e, k) ||
                                              (side = freeFittingSide(f.puzzle(), e, k)) < 0);
                 ++tries)
                k = (k + 1) % n;
            if (side < 0 || k == e || f.puzzle().blocks.sameBlock(e, k))
                break;
            const QPoint offsets[4] = {{0, s}, {-s, 0}, {0, -s}, {s, 0}}; // top, right, bottom, left
            const QPoint jitter(pick(5) - 2, pick(5) - 2);
            f.drag(word, e, onBoard(f, word, e, f.body(k) + offsets[side] + jitter - f.body(e)));
            break;
        }
        case 4:
            f.interaction.leftDoubleClick(L, f.grabPoint(e));
            break;
        case 5:
            f.interaction.rightDoubleClick(Ctrl | R, f.grabPoint(e));
            break;
        case 6:
            f.drag(Shift | L, e, onBoard(f, Shift | L, e, QPoint(pick(200) - 100, pick(200) - 100)));
            break;
        default:
            f.drag(word, e, onBoard(f, word, e, QPoint(pick(300) - 150, pick(300) - 150)));
            break;
        }
        // A Ctrl drag too short to move is a Ctrl + click, which selects; a selection would move
        // as one and never join. Played here is what a saved game holds.
        f.interaction.keyDown(Qt::Key_Escape);
    }
}

// Every state random play reaches saves, loads into a fresh game with everything the file holds,
// and saves again to the very same bytes; in both assembly modes, with turning and shifted knobs.
TEST(SavedPlay, EveryStatePlayReachesSavesAndLoadsBack) {
    std::mt19937 random(2024);
    int joinsOfTurnedElements = 0;
    for (int round = 0; round < 40; ++round) {
        const bool exact = round % 4 == 3;
        CutPlan p = plan(3, 4);
        p.size = 32;
        p.second = round;
        std::vector<int> turns(12);
        for (int& t : turns)
            t = static_cast<int>(random() % 4) - 1;
        BoardFixture f(p, exact, turns);
        // Nothing held at the window's edge runs on into new table: the view stays where a loaded
        // game's view starts.
        f.state.settings.scrollEnabled = 0;
        const auto carried = static_cast<std::int32_t>(random() % 100000);
        playAtRandom(f, random, 80);
        for (const auto& [a, b] : f.joins())
            joinsOfTurnedElements += f.element(a).orientation != f.element(b).orientation;

        // The board as the game holds it, with the screen and the clock a saved game needs.
        GameState played;
        static_cast<BoardState&>(played) = f.state;
        played.screenWidth = 1024;
        played.screenHeight = 768;
        played.clock.clockCarried = carried;
        const QByteArray first = formatSavedGame(played, 0);
        SavedGame g;
        ASSERT_EQ(parseSavedGame(first, g), SavedGameError::None) << "round " << round << "\n"
                                                                  << first.toStdString();
        ASSERT_TRUE(pictureFitsSavedGame(g, f.state.picture));
        const auto installed = installedGame(g, f.state.picture);
        const GameState& t = *installed;

        const Puzzle& a = f.puzzle();
        const Puzzle& b = t.puzzle;
        ASSERT_EQ(b.count(), a.count());
        EXPECT_EQ(b.bodyRects, a.bodyRects);
        EXPECT_EQ(b.stackOrder, a.stackOrder);
        for (int i = 0; i < a.count(); ++i) {
            const Element& x = a.element(i);
            const Element& y = b.element(i);
            EXPECT_EQ(y.orientation, x.orientation) << i;
            EXPECT_EQ(y.alone(), x.alone()) << i;
            EXPECT_EQ(y.fullyJoined(t.settings.threeD), x.fullyJoined(f.state.settings.threeD)) << i;
            EXPECT_EQ(y.joinedNeighbour, x.joinedNeighbour) << i;
            EXPECT_EQ(y.edgeSign, x.edgeSign) << i;
            EXPECT_EQ(y.edgeShift, x.edgeShift) << i;
            EXPECT_EQ(y.cellRect, x.cellRect) << i;
            EXPECT_EQ(b.blocks.members(i), a.blocks.members(i)) << i;
        }
        EXPECT_EQ(t.settings, f.state.settings);
        EXPECT_EQ(t.cut.rotateElements, 1);
        EXPECT_EQ(t.clock.clockCarried, played.clock.clockCarried);
        EXPECT_EQ(t.board.boardWidth, f.state.board.boardWidth);
        EXPECT_EQ(t.board.boardHeight, f.state.board.boardHeight);
        EXPECT_EQ(formatSavedGame(t, 0), first) << "round " << round;

        // The compact form holds the same state and builds the same game.
        const QByteArray compact = formatSavedGame(g, SavedGameForm::Compact);
        SavedGame c;
        ASSERT_EQ(parseSavedGame(compact, c), SavedGameError::None) << "round " << round;
        const auto fromCompact = installedGame(c, f.state.picture);
        EXPECT_EQ(formatSavedGame(*fromCompact, 0), first) << "round " << round;
        EXPECT_EQ(formatSavedGame(savedGameSnapshot(*fromCompact, 0, carried), SavedGameForm::Compact),
                  compact);

        // Its elements built ahead (while the player chooses) install as those built in place;
        // taken once, a second install builds them afresh.
        const std::shared_ptr<BuiltElements> built = buildSavedElements(c);
        for (int install = 0; install < 2; ++install) {
            const auto fromAhead = installedGame(c, f.state.picture, built.get());
            const Puzzle& d = fromAhead->puzzle;
            EXPECT_EQ(d.bodyRects, fromCompact->puzzle.bodyRects);
            EXPECT_TRUE(fromAhead->shapes.options() == fromCompact->shapes.options());
            for (int i = 0; i < a.count(); ++i) {
                const Element& x = fromCompact->puzzle.element(i);
                EXPECT_EQ(d.element(i).outerRegion, x.outerRegion) << i;
                EXPECT_EQ(d.element(i).innerRegion, x.innerRegion) << i;
                EXPECT_EQ(d.element(i).shapeBounds, x.shapeBounds) << i;
                EXPECT_EQ(d.boardRegions[i], fromCompact->puzzle.boardRegions[i]) << i;
            }
            EXPECT_EQ(formatSavedGame(*fromAhead, 0), first) << "round " << round;
        }
        EXPECT_TRUE(built->puzzle.elementGrid.empty());
    }
    EXPECT_GT(joinsOfTurnedElements, 0) << "play should join differently turned elements";
}

} // namespace
