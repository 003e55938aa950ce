#include "board/stacking.h"
#include "boardfixture.h"
#include "model/edges.h"

#include <random>

#include <gtest/gtest.h>

namespace {

const QString joinSound = QStringLiteral("wave:259");

// Drops the elements of a row-major list one after another at their places from `origin`; each
// but the first lands 2 pixels off and snaps.
void assemble(BoardFixture& f, const std::vector<int>& order, int orientation = 0) {
    bool first = true;
    for (const int i : order) {
        const QPoint target = f.turnedHome(i, orientation);
        f.dragTo(L, i, first ? target : target + QPoint(2, -2));
        first = false;
    }
}

TEST(SnappingTest, CapturesWithinFivePixelsInBothCoordinatesButNotSix) {
    for (const bool exact : {false, true}) {
        for (const QPoint off : {QPoint(5, 5), QPoint(-5, 5), QPoint(5, -5), QPoint(-5, -5), QPoint(6, 0),
                                 QPoint(0, 6), QPoint(-6, -6), QPoint(5, 6)}) {
            BoardFixture f(plan(3, 5), exact);
            f.placeBody(5, f.home(5));
            f.dragTo(L, 6, f.home(6) + off);
            const bool expected = std::abs(off.x()) <= 5 && std::abs(off.y()) <= 5;
            EXPECT_EQ(f.joinedTo(6, Left, 5), expected) << off.x() << "," << off.y() << " exact " << exact;
            if (expected) {
                EXPECT_EQ(f.body(6), f.home(6)); // jumped to the exact place
                EXPECT_EQ(f.members(6), (std::vector<std::int32_t>{5, 6}));
                EXPECT_FALSE(f.element(5).alone());
                EXPECT_EQ(f.sound.played.last(), joinSound);
                EXPECT_EQ(f.host.captureEnds, 2); // the join ended the drag; so did the button-up
            } else {
                EXPECT_EQ(f.body(6), f.home(6) + off);
                EXPECT_TRUE(f.isAlone(6));
                EXPECT_TRUE(f.sound.played.isEmpty());
            }
            EXPECT_EQ(f.state.input.pickedElement, -1);
        }
    }
}

// Zoomed out, the capture area counts screen pixels: at 50 % a side 10 board pixels away joins
// (5 on the screen), 11 does not; at 100 % and 200 % it is the described 5 and 6. The pass itself
// and a drag through the window at that scale agree.
TEST(SnappingTest, TheCaptureDistanceIsMeasuredOnTheScreenWhenZoomedOut) {
    for (const double scale : {0.25, 0.5, 1.0, 2.0}) {
        const int limit = scale < 1.0 ? int(5 / scale) : 5;
        for (const QPoint off : {QPoint(limit, 0), QPoint(0, -limit), QPoint(-limit, limit),
                                 QPoint(limit + 1, 0), QPoint(0, limit + 1), QPoint(limit, -limit - 1)}) {
            BoardFixture f(plan(3, 5));
            f.state.board.setView(QSize(800, 600), scale);
            EXPECT_EQ(f.joiner.captureDistance(), limit) << scale;
            f.placeBody(5, f.home(5));
            f.placeBody(6, f.home(6) + off);
            const bool expected = std::abs(off.x()) <= limit && std::abs(off.y()) <= limit;
            EXPECT_EQ(f.joiner.snap(6), expected) << scale << " " << off.x() << "," << off.y();
            EXPECT_EQ(f.joinedTo(6, Left, 5), expected) << scale << " " << off.x() << "," << off.y();
        }
    }
    // Dragged at 50 %: two screen pixels off joins; the pointer moves in screen pixels.
    BoardFixture f(plan(3, 5));
    f.state.board.setView(QSize(800, 600), 0.5);
    f.placeBody(5, f.home(5));
    const Board& b = f.state.board;
    const QPoint from = b.toClient(QRect(f.grabPoint(6), QSize(1, 1))).center();
    const QPointF target = b.toClientF(QPointF(f.grabPoint(6) + f.home(6) - f.body(6)));
    f.interaction.leftButtonDown(L, from);
    f.interaction.mouseMove(L, QPoint(int(std::lround(target.x())) + 2, int(std::lround(target.y())) - 2));
    EXPECT_TRUE(f.joinedTo(6, Left, 5));
    EXPECT_EQ(f.body(6), f.home(6));
    f.interaction.buttonUp();
}

// Zoomed out, an element picked up within reach of a fitting neighbour (as the scatter's
// neighbours are in the whole-table view) does not stick to it at the first move; brought back
// after leaving it, it joins. At 100 % nothing of this applies.
TEST(SnappingTest, ZoomedOutAPieceJoinsWhatItIsBroughtToNotWhatItLayBeside) {
    BoardFixture f(plan(3, 5));
    Board& b = f.state.board;
    b.setView(QSize(800, 600), 0.25); // capture distance 20 board pixels
    f.placeBody(5, f.home(5));
    f.placeBody(6, f.home(6) + QPoint(15, 0));
    const QPoint from = b.toClient(QRect(f.grabPoint(6), QSize(1, 1))).topLeft();
    f.interaction.leftButtonDown(L, from);
    EXPECT_EQ(f.state.input.inReachAtPick, std::vector<std::int32_t>{5});
    f.interaction.mouseMove(L, from + QPoint(1, 0));
    EXPECT_FALSE(f.joinedTo(6, Left, 5));
    f.interaction.mouseMove(L, from + QPoint(12, 0)); // 48 board pixels away: out of reach
    EXPECT_TRUE(f.state.input.inReachAtPick.empty());
    f.interaction.mouseMove(L, from - QPoint(3, 0)); // brought back, 3 screen pixels off
    EXPECT_TRUE(f.joinedTo(6, Left, 5));
    f.interaction.buttonUp();
    EXPECT_EQ(f.joiner.partnersInReach(6), std::vector<std::int32_t>{}); // joined: no free side fits
}

TEST(SnappingTest, TheJoinEndsTheDragAtOnce) {
    BoardFixture f(plan(3, 5));
    f.placeBody(5, f.home(5));
    const QPoint p = f.grabPoint(6);
    f.interaction.leftButtonDown(L, p);
    f.interaction.mouseMove(L, p + f.home(6) - f.body(6) + QPoint(3, 3));
    EXPECT_EQ(f.state.input.pickedElement, -1);
    EXPECT_FALSE(f.state.offTable(6));              // drawn back into the board
    f.interaction.mouseMove(L, p + QPoint(300, 0)); // further moves move nothing
    EXPECT_EQ(f.body(6), f.home(6));
    f.interaction.buttonUp();
    EXPECT_EQ(f.body(6), f.home(6));
}

TEST(SnappingTest, ACornerElementJoinsBothNeighboursInOnePass) {
    BoardFixture f(plan(3, 5));
    f.placeBody(1, f.home(1));
    f.placeBody(5, f.home(5));
    f.dragTo(L, 6, f.home(6) + QPoint(3, -2));
    EXPECT_TRUE(f.joinedTo(6, Top, 1));
    EXPECT_TRUE(f.joinedTo(6, Left, 5));
    EXPECT_EQ(f.members(1), (std::vector<std::int32_t>{1, 5, 6}));
    EXPECT_EQ(f.sound.played.count(joinSound), 1); // one pass, one sound
}

TEST(SnappingTest, AfterTheFirstJoinOnePixelOffIsTooFar) {
    BoardFixture f(plan(3, 5));
    f.placeBody(1, f.home(1));
    f.placeBody(5, f.home(5) + QPoint(1, 0));
    f.dragTo(L, 6, f.home(6) + QPoint(2, 2));
    EXPECT_TRUE(f.joinedTo(6, Top, 1));
    EXPECT_EQ(f.element(6).joinedNeighbour[Left], -1);
    EXPECT_TRUE(f.isAlone(5));
    EXPECT_EQ(f.members(6), (std::vector<std::int32_t>{1, 6}));
}

// The first pair (a, b) that are not neighbours in the picture but where a's left edge and b's
// right edge are complementary.
std::pair<int, int> complementaryStrangers(BoardFixture& f) {
    for (int a = 0; a < f.count(); ++a)
        for (int b = 0; b < f.count(); ++b) {
            const Element &ea = f.element(a), &eb = f.element(b);
            if (a == b || b == a - 1 || ea.edgeSign[Left] == 0)
                continue;
            if (ea.edgeSign[Left] == -eb.edgeSign[Right] && ea.edgeShift[Left] == -eb.edgeShift[Right])
                return {a, b};
        }
    return {-1, -1};
}

TEST(SnappingTest, TolerantAssemblyJoinsAnyComplementaryEdgesExactOnlyTrueNeighbours) {
    for (const bool exact : {false, true}) {
        BoardFixture f(plan(3, 5), exact);
        const auto [a, b] = complementaryStrangers(f);
        ASSERT_NE(a, -1);
        f.placeBody(b, QPoint(700, 900));
        f.dragTo(L, a, QPoint(700 + f.S() + 2, 900 - 1));
        EXPECT_EQ(f.joinedTo(a, Left, b), !exact) << a << " to " << b;
        EXPECT_EQ(f.state.puzzle.blocks.sameBlock(a, b), !exact);
    }
}

TEST(SnappingTest, ExactAssemblyNeedsTheSameOrientation) {
    // Find a picture neighbour pair k | e and a turn of e alone after which e's left edge still
    // complements k's right edge, so that tolerant assembly would join them.
    BoardFixture probe(plan(3, 5));
    int e = -1, turn = 0;
    for (int i = 0; i < probe.count() && e == -1; ++i) {
        if (probe.state.puzzle.columnOf(i) == 0)
            continue;
        for (const int t : {-1, 1, 2}) {
            EdgeRecord sign = probe.element(i).edgeSign, shift = probe.element(i).edgeShift;
            turnEdgesBy(sign, t);
            turnEdgesBy(shift, t);
            const Element& k = probe.element(i - 1);
            if (sign[Left] != 0 && sign[Left] == -k.edgeSign[Right] && shift[Left] == -k.edgeShift[Right]) {
                e = i;
                turn = t;
                break;
            }
        }
    }
    ASSERT_NE(e, -1);
    std::vector<int> turns(15, 0);
    turns[e] = turn;
    for (const bool exact : {false, true}) {
        BoardFixture f(plan(3, 5), exact, turns);
        ASSERT_NE(f.element(e).orientation, f.element(e - 1).orientation);
        f.placeBody(e - 1, QPoint(700, 900));
        f.dragTo(L, e, QPoint(700 + f.S() + 1, 900 + 1));
        EXPECT_EQ(f.joinedTo(e, Left, e - 1), !exact);
    }
}

TEST(SnappingTest, StraightBorderEdgesNeverJoin) {
    // Straight edges have sign 0, so sign and shift are "opposite" whenever the shifts are: a
    // left edge with shift 0 against the last column's right edge, a top edge with shift 0
    // against the last row's bottom edge. Without shifted knobs every shift is 0.
    for (const bool shiftKnobs : {false, true}) {
        CutPlan p = plan(3, 5);
        p.shiftKnobs = shiftKnobs;
        BoardFixture f(p);
        int left = -1, top = -1;
        for (int i = 0; i < f.count(); ++i) {
            if (left == -1 && f.puzzle().columnOf(i) == 0 && f.element(i).edgeShift[Left] == 0)
                left = i;
            if (top == -1 && f.puzzle().rowOf(i) == 0 && f.element(i).edgeShift[Top] == 0)
                top = i;
        }
        if (shiftKnobs && (left == -1 || top == -1))
            continue;
        ASSERT_NE(left, -1);
        ASSERT_NE(top, -1);
        const int lastColumn = 4, lastRow = 10;
        ASSERT_EQ(f.element(lastColumn).edgeSign[Right], 0);
        ASSERT_EQ(f.element(lastColumn).edgeShift[Right], 0);
        f.placeBody(lastColumn, QPoint(700, 900));
        f.dragTo(L, left, QPoint(700 + f.S() + 1, 900 + 1));
        EXPECT_TRUE(f.isAlone(left));
        f.placeBody(lastRow, QPoint(300, 900));
        f.dragTo(L, top, QPoint(300 + 1, 900 + f.S() + 1));
        EXPECT_TRUE(f.isAlone(top));
        EXPECT_TRUE(f.sound.played.isEmpty());
        // Linking the aligned pairs of two blocks skips them too, but links complementary ones.
        f.placeBody(left, QPoint(700 + f.S(), 900));
        f.joiner.linkAlignedPairs(left, lastColumn);
        EXPECT_TRUE(f.isAlone(left));
        f.placeBody(top, QPoint(300, 900 + f.S()));
        f.joiner.linkAlignedPairs(lastRow, top);
        EXPECT_TRUE(f.isAlone(top));
        f.placeBody(6, QPoint(100, 1200));
        f.placeBody(7, QPoint(100 + f.S(), 1200));
        f.joiner.linkAlignedPairs(7, 6);
        EXPECT_TRUE(f.joinedTo(7, Left, 6));
    }
}

TEST(SnappingTest, ABlockMovedByOneMemberJoinsEveryAlignedPair) {
    // Two 2 x 2 blocks side by side: columns 0-1 and columns 2-3 of rows 0-1.
    BoardFixture f(plan(3, 5));
    assemble(f, {0, 1, 5, 6});
    f.placeBody(2, f.home(2) + QPoint(300, 0));
    f.placeBody(3, f.home(3) + QPoint(300, 0));
    f.placeBody(7, f.home(7) + QPoint(300, 0));
    f.placeBody(8, f.home(8) + QPoint(300, 0));
    f.dragTo(L, 3, f.home(3) + QPoint(300, 0) + QPoint(1, 1));
    f.dragTo(L, 7, f.home(7) + QPoint(300, 0) + QPoint(1, 1));
    f.dragTo(L, 8, f.home(8) + QPoint(300, 0) + QPoint(1, 1));
    ASSERT_EQ(f.members(2), (std::vector<std::int32_t>{2, 3, 7, 8}));
    // Move the right block by its lower-left member, with Ctrl + left, next to the left one:
    // 7 meets 6, and 2 is linked to 1 on the way.
    f.dragTo(Ctrl | L, 7, f.home(7) + QPoint(4, -3));
    EXPECT_EQ(f.members(0), (std::vector<std::int32_t>{0, 1, 2, 3, 5, 6, 7, 8}));
    EXPECT_TRUE(f.joinedTo(2, Left, 1));
    EXPECT_TRUE(f.joinedTo(7, Left, 6));
    for (const int i : {2, 3, 7, 8}) {
        EXPECT_EQ(f.body(i), f.home(i)) << i;
        EXPECT_FALSE(f.state.offTable(i)) << i;
    }
    EXPECT_FALSE(f.state.input.blockLifted);
}

TEST(SnappingTest, EveryMemberOfAMovedBlockLinksWhereItMeetsTheOther) {
    // The block {1, 6}, moved by 1 into the corner of {0, 5, 10, 11}: 1 snaps to 0, and 6 is
    // linked to 5 and to 11.
    BoardFixture f(plan(3, 5));
    assemble(f, {0, 5, 10, 11});
    f.placeBody(1, QPoint(300, 900));
    f.dragTo(L, 6, QPoint(300, 900 + f.S()) + QPoint(2, 2));
    ASSERT_TRUE(f.joinedTo(6, Top, 1));
    f.dragTo(Ctrl | L, 1, f.home(1) + QPoint(-2, 3));
    EXPECT_TRUE(f.joinedTo(1, Left, 0));
    EXPECT_TRUE(f.joinedTo(6, Left, 5));
    EXPECT_TRUE(f.joinedTo(6, Bottom, 11));
}

TEST(SnappingTest, AJoinedBlockLeavesNothingBehindWhenItMoves) {
    BoardFixture f(plan(3, 5));
    assemble(f, {0, 1, 5, 6});
    expectBoardShowsElements(f, "after joining");
    QRect area;
    for (const int i : {0, 1, 5, 6})
        area |= f.state.puzzle.boardRegions[i].boundingRect();
    f.dragTo(Ctrl | L, 0, f.home(0) - QPoint(400, 0));
    expectBoardShowsElements(f, "after moving the block");
    const QImage old = f.boardPixels(area);
    for (int y = 0; y < old.height(); ++y)
        for (int x = 0; x < old.width(); ++x)
            ASSERT_EQ(old.pixel(x, y), f.state.background.backgroundColor.rgb()) << x << "," << y;
}

TEST(SeparatingTest, TheMiddleOfFiveLeavesTwoPairsAnEndLeavesFour) {
    BoardFixture f(plan(1, 5));
    assemble(f, {0, 1, 2, 3, 4});
    ASSERT_EQ(f.members(0).size(), 5u);
    const QRegion joinedRegion = f.state.puzzle.boardRegions[1];

    f.press(R, f.grabPoint(2)); // the right button alone separates at once
    EXPECT_TRUE(f.isAlone(2));
    EXPECT_EQ(f.members(0), (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(f.members(4), (std::vector<std::int32_t>{3, 4}));
    EXPECT_EQ(f.element(1).joinedNeighbour[Right], -1);
    EXPECT_EQ(f.element(3).joinedNeighbour[Left], -1);
    // 1 has its outline band back on its right side.
    EXPECT_NE(f.state.puzzle.boardRegions[1], joinedRegion);
    f.interaction.buttonUp();

    f.press(KeyState::Shift | L, f.grabPoint(4)); // Shift + left separates as well
    f.interaction.buttonUp();
    EXPECT_TRUE(f.isAlone(4));
    EXPECT_TRUE(f.isAlone(3)); // left with no joins, it is alone again
    const Element& three = f.element(3);
    EXPECT_EQ(f.state.puzzle.boardRegions[3],
              three.outerRegion.translated(three.cellRect.left, three.cellRect.top));

    BoardFixture g(plan(1, 5));
    assemble(g, {0, 1, 2, 3, 4});
    g.press(KeyState::Shift | R, g.grabPoint(0));
    g.interaction.buttonUp();
    EXPECT_TRUE(g.isAlone(0));
    EXPECT_EQ(g.members(1), (std::vector<std::int32_t>{1, 2, 3, 4}));
}

TEST(CompletionTest, AnnouncedOnceInEveryOrientationOfThePicture) {
    for (const int turn : {0, -1, 1, 2}) {
        BoardFixture f(plan(2, 3), false, std::vector<int>(6, turn));
        const int o = (4 - turn) % 4;
        ASSERT_EQ(f.element(0).orientation, o);
        std::vector<int> order{0, 1, 2, 3, 4, 5};
        std::sort(order.begin(), order.end(), [&](int a, int b) {
            const QPoint pa = f.turnedHome(a, o), pb = f.turnedHome(b, o);
            return std::pair(pa.y(), pa.x()) < std::pair(pb.y(), pb.x());
        });
        assemble(f, order, o);
        EXPECT_EQ(f.host.completions, 1) << "turn " << turn;
        EXPECT_EQ(f.sound.played.count(joinSound), 4); // every join but the last one
        EXPECT_TRUE(f.host.completed);
        EXPECT_EQ(f.state.puzzle.stackOrder, (std::vector<std::int32_t>{5, 4, 3, 2, 1, 0}));
        // Taking an element out and putting it back only sounds the join.
        f.press(R, f.grabPoint(order.back()));
        f.interaction.buttonUp();
        f.dragTo(L, order.back(), f.turnedHome(order.back(), o) + QPoint(1, 1));
        EXPECT_EQ(f.host.completions, 1);
        EXPECT_EQ(f.sound.played.last(), joinSound);
    }
}

TEST(CompletionTest, OneElementTurnedDifferentlyPreventsIt) {
    // A 3 x 3 cut whose centre looks the same after a half turn (equal opposite edges and no
    // knob shifts): turned by two it still joins all four neighbours.
    CutPlan p = plan(3, 3);
    p.shiftKnobs = false;
    int second = -1;
    for (int s = 0; s < 60 && second == -1; ++s) {
        p.second = s;
        BoardFixture probe(p);
        const EdgeRecord& sign = probe.element(4).edgeSign;
        if (sign[Top] == sign[Bottom] && sign[Left] == sign[Right])
            second = s;
    }
    ASSERT_NE(second, -1);
    p.second = second;
    std::vector<int> turns(9, 0);
    turns[4] = 2;
    BoardFixture f(p, false, turns);
    assemble(f, {0, 1, 2, 3, 5, 6, 7, 8, 4});
    EXPECT_EQ(f.members(0).size(), 9u);
    EXPECT_EQ(f.joins().size(), 12u);
    EXPECT_FALSE(f.joiner.isComplete());
    EXPECT_EQ(f.host.completions, 0);
    EXPECT_EQ(f.sound.played.last(), joinSound);
}

TEST(StackingTest, RaisingABlockPutsItsMembersOnTopInDescendingOrder) {
    BoardFixture f(plan(2, 3));
    Puzzle& p = f.puzzle();
    p.stackOrder = {4, 0, 5, 2, 1, 3};
    p.blocks.makeBlock({1, 2, 4});
    // What is raised is reported for drawing; raising what is on top already changes nothing.
    BoardChanges changes;
    raiseToTop(p, 2, changes);
    EXPECT_EQ(p.stackOrder, (std::vector<std::int32_t>{4, 2, 1, 0, 5, 3}));
    EXPECT_TRUE(changes.stackingChanged());
    EXPECT_EQ(changes.raisedElements(), (std::vector<std::int32_t>{4, 2, 1}));
    changes.clear();
    raiseToTop(p, 2, changes);
    EXPECT_TRUE(changes.empty());
    raiseToTop(p, 3, changes); // alone
    EXPECT_EQ(p.stackOrder, (std::vector<std::int32_t>{3, 4, 2, 1, 0, 5}));
    EXPECT_EQ(changes.raisedElements(), std::vector<std::int32_t>{3});
    changes.clear();
    raiseToTop(p, 3, changes);
    EXPECT_EQ(p.stackOrder, (std::vector<std::int32_t>{3, 4, 2, 1, 0, 5}));
    EXPECT_TRUE(changes.empty());
    p.blocks.makeBlock({0, 1, 2, 3, 4, 5});
    raiseToTop(p, 0, changes);
    EXPECT_EQ(p.stackOrder, (std::vector<std::int32_t>{5, 4, 3, 2, 1, 0}));
}

TEST(StackingTest, HitTestFindsTheTopmostRegion) {
    BoardFixture f(plan(2, 3));
    f.placeBody(1, QPoint(700, 900));
    f.placeBody(2, QPoint(710, 905));
    const QPoint inBoth(730, 930);
    f.puzzle().stackOrder = {0, 2, 1, 3, 4, 5};
    EXPECT_EQ(f.interaction.hitTest(inBoth), 2);
    raiseToTop(f.puzzle(), 1, f.state.changes);
    EXPECT_EQ(f.interaction.hitTest(inBoth), 1);
    EXPECT_EQ(f.interaction.hitTest(QPoint(5, 5)), -1);
    f.puzzle().clear(); // no game
    EXPECT_EQ(f.interaction.hitTest(inBoth), -1);
}

// Random separations and re-joins of a puzzle laid out at its places, against a model that
// knows only which picture neighbours are joined: separating cuts all of an element's joins,
// nudging an alone element joins it to every neighbour, and blocks are the connected parts.
TEST(BlockModelTest, RandomJoinsAndSeparationsAgreeWithTheModel) {
    std::mt19937 random(20261207);
    for (const bool exact : {false, true}) {
        for (const bool threeD : {true, false}) {
            CutPlan p = plan(4, 5);
            p.threeD = threeD;
            BoardFixture f(p, exact);
            std::set<std::pair<int, int>> model;
            // Everything at its place and joined, built by drags in row-major order.
            std::vector<int> all(f.count());
            for (int i = 0; i < f.count(); ++i)
                all[i] = i;
            assemble(f, all);
            for (int i = 0; i < f.count(); ++i)
                for (const int side : {Right, Bottom}) {
                    const int n = f.puzzle().homeNeighbour(i, side);
                    if (n >= 0)
                        model.insert({i, n});
                }
            for (int step = 0; step < 200; ++step) {
                const int e = static_cast<int>(random() % f.count());
                if (random() % 2 == 0) {
                    const int word = std::array{R, KeyState::Shift | L, KeyState::Shift | R}[random() % 3];
                    f.press(word, f.grabPoint(e));
                    f.interaction.buttonUp();
                    std::erase_if(model, [e](const auto& j) { return j.first == e || j.second == e; });
                } else if (f.state.puzzle.blocks.blockSize(e) == 1) {
                    const QPoint nudge(static_cast<int>(random() % 11) - 5,
                                       static_cast<int>(random() % 11) - 5);
                    if (nudge.isNull())
                        continue;
                    f.drag(L, e, nudge);
                    for (int side = 0; side < 4; ++side) {
                        const int n = f.puzzle().homeNeighbour(e, side);
                        if (n >= 0)
                            model.insert({std::min(e, n), std::max(e, n)});
                    }
                } else {
                    continue;
                }
                ASSERT_EQ(f.joins(), model) << "step " << step;
                ASSERT_TRUE(f.puzzle().blocks.isConsistent());
                for (const std::set<int>& part : componentsOf(f.count(), model)) {
                    const std::vector<std::int32_t> expected(part.begin(), part.end());
                    ASSERT_EQ(f.members(*part.begin()), expected) << "step " << step;
                    for (const int i : part)
                        ASSERT_EQ(f.element(i).alone(), part.size() == 1);
                }
                for (int i = 0; i < f.count(); ++i)
                    ASSERT_EQ(f.body(i), f.home(i)) << "step " << step;
            }
        }
    }
}

} // namespace

// The pass finds its partners through the index of places, yet must make the very joins the
// pass over every element makes, in the same order. Two boards play the same random game, one
// with each pass: elements and blocks are dropped by, onto and a few pixels off one another's
// sides, with every capture area, in both kinds of assembly; after every drag the joins made,
// the places, the blocks and the stacking agree. Zoomed out, the partners in reach at a pick
// agree too.
TEST(SnappingTest, TheIndexedPassJoinsAsThePassOverEveryElement) {
    for (const bool exact : {false, true}) {
        for (std::uint32_t seed = 1; seed <= 3; ++seed) {
            BoardFixture indexed(plan(5, 6), exact), plain(plan(5, 6), exact);
            plain.joiner.plainPass = true;
            std::mt19937 random(seed * 7919 + exact);
            const auto pick = [&](int n) { return static_cast<int>(random() % std::uint32_t(n)); };
            const int s = indexed.S();
            // Crowded: every element on a cell of a grid no larger than the picture, a few pixels
            // off or exactly on it, so that many sides lie within reach of fitting ones.
            for (int i = 0; i < indexed.count(); ++i) {
                const QPoint at(200 + pick(6) * s + (pick(3) ? pick(15) - 7 : 0),
                                200 + pick(5) * s + (pick(3) ? pick(15) - 7 : 0));
                indexed.placeBody(i, at);
                plain.placeBody(i, at);
            }
            for (int step = 0; step < 80; ++step) {
                // Mostly beside a neighbour in the picture, whose sides fit, else beside anything.
                const int e = pick(indexed.count()), side = pick(4);
                const int n = indexed.puzzle().homeNeighbour(e, side);
                const int k = n >= 0 && pick(4) ? n : pick(indexed.count());
                const int capture = 1 + pick(10);
                indexed.state.settings.captureArea = plain.state.settings.captureArea = capture;
                for (BoardFixture* f : {&indexed, &plain})
                    f->state.board.setView(QSize(800, 600), 0.25);
                ASSERT_EQ(indexed.joiner.partnersInReach(e), plain.joiner.partnersInReach(e)) << step;
                for (BoardFixture* f : {&indexed, &plain})
                    f->state.board.setView(QSize(1024, 768), 1.0);
                // Where e lies with k on that side: top, right, bottom, left.
                const std::array<QPoint, 4> beside{QPoint(0, s), QPoint(-s, 0), QPoint(0, -s), QPoint(s, 0)};
                const QPoint target =
                    indexed.body(k) + beside[side] + QPoint(pick(2 * capture + 3) - capture - 1, pick(5) - 2);
                const int word = pick(2) ? L : Ctrl | L;
                const QPoint grab = indexed.grabPoint(e), lift(pick(40) - 20, 30);
                // A block is lifted at its first move; the second brings the held one to target.
                const std::array<QPoint, 2> moves{grab + lift, grab + target - indexed.body(e)};
                for (BoardFixture* f : {&indexed, &plain})
                    f->press(word, grab);
                for (const QPoint to : moves) {
                    for (BoardFixture* f : {&indexed, &plain})
                        f->interaction.mouseMove(word, to);
                    ASSERT_EQ(indexed.joiner.lastJoins(), plain.joiner.lastJoins()) << "step " << step;
                }
                for (BoardFixture* f : {&indexed, &plain})
                    f->interaction.buttonUp();
                const Puzzle& a = indexed.puzzle();
                const Puzzle& b = plain.puzzle();
                for (int i = 0; i < a.count(); ++i) {
                    ASSERT_EQ(a.bodyRects[i], b.bodyRects[i]) << "step " << step << " element " << i;
                    ASSERT_EQ(a.element(i).joinedNeighbour, b.element(i).joinedNeighbour) << "step " << step;
                    ASSERT_EQ(a.blocks.members(i), b.blocks.members(i)) << "step " << step;
                }
                ASSERT_EQ(a.stackOrder, b.stackOrder) << "step " << step;
            }
            // The random game did join things, or it would prove nothing.
            EXPECT_GT(indexed.joins().size(), 5u) << "seed " << seed;
        }
    }
}
