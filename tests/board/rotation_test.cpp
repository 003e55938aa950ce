#include "boardfixture.h"

#include <gtest/gtest.h>

namespace {

const QString turnSound = QStringLiteral("wave:218");

struct Snapshot {
    int orientation;
    EdgeRecord sign, shift;
    QImage bitmap;
    QRegion inner, outer, board;
    Rect cell;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(BoardFixture& f, int i) {
    const Element& e = f.element(i);
    return {e.orientation,
            e.edgeSign,
            e.edgeShift,
            f.bitmapOf(i),
            e.innerRegion,
            e.outerRegion,
            f.state.puzzle.boardRegions[i],
            e.cellRect};
}

// A 3 x 5 cut with {0, 1, 5, 6} assembled at its place.
void assembleSquare(BoardFixture& f) {
    f.dragTo(L, 0, f.home(0));
    for (const int i : {1, 5, 6})
        f.dragTo(L, i, f.home(i) + QPoint(1, 1));
    ASSERT_EQ(f.members(0), (std::vector<std::int32_t>{0, 1, 5, 6}));
}

TEST(RotationTest, FourTurnsEitherWayRestoreTheElement) {
    BoardFixture f(plan(3, 5));
    const Snapshot before = snapshot(f, 7);
    const EdgeRecord sign = f.element(7).edgeSign;
    const QPoint p = f.grabPoint(7);
    f.interaction.rightDoubleClick(R, p);
    EXPECT_EQ(f.element(7).orientation, 3); // clockwise: one counter-clockwise step back
    EXPECT_EQ(f.element(7).edgeSign, (EdgeRecord{sign[Left], sign[Top], sign[Right], sign[Bottom]}));
    EXPECT_EQ(f.element(7).cellRect, before.cell);
    for (int k = 0; k < 3; ++k)
        f.interaction.rightDoubleClick(R, p);
    EXPECT_EQ(snapshot(f, 7), before);
    f.interaction.leftDoubleClick(L, p);
    EXPECT_EQ(f.element(7).orientation, 1);
    for (int k = 0; k < 3; ++k)
        f.interaction.leftDoubleClick(L, p);
    EXPECT_EQ(snapshot(f, 7), before);
    EXPECT_EQ(f.sound.played.count(turnSound), 8);
    expectBoardShowsElements(f, "after eight turns");
}

TEST(RotationTest, APlainDoubleClickTakesTheElementOutOfItsBlock) {
    for (const int word : {L, Shift | L, Ctrl | Shift | L}) {
        BoardFixture f(plan(3, 5));
        assembleSquare(f);
        const auto order = f.state.puzzle.stackOrder;
        f.interaction.leftDoubleClick(word, f.grabPoint(6));
        EXPECT_TRUE(f.isAlone(6)) << word;
        EXPECT_EQ(f.element(6).orientation, 1);
        EXPECT_EQ(f.members(0), (std::vector<std::int32_t>{0, 1, 5}));
        EXPECT_EQ(f.body(6), f.home(6));             // turned in place
        EXPECT_EQ(f.state.puzzle.stackOrder, order); // and left where it was in the stack
        expectBoardShowsElements(f, "after turning a member");
    }
}

TEST(RotationTest, CtrlTurnsTheWholeBlockAboutTheElement) {
    BoardFixture f(plan(3, 5));
    assembleSquare(f);
    const auto joinsBefore = f.joins();
    f.interaction.rightDoubleClick(Ctrl | R, f.grabPoint(0)); // clockwise about 0
    EXPECT_EQ(f.members(0), (std::vector<std::int32_t>{0, 1, 5, 6}));
    const int s = f.S();
    EXPECT_EQ(f.body(0), f.home(0));
    EXPECT_EQ(f.body(1), f.home(0) + QPoint(0, s));  // right of 0 turns to below it
    EXPECT_EQ(f.body(5), f.home(0) + QPoint(-s, 0)); // below turns to the left
    EXPECT_EQ(f.body(6), f.home(0) + QPoint(-s, s));
    for (const int i : {0, 1, 5, 6})
        EXPECT_EQ(f.element(i).orientation, 3) << i;
    EXPECT_EQ(f.joins(), joinsBefore);
    EXPECT_TRUE(f.joinedTo(0, Bottom, 1)); // 0's right side is now at the bottom
    EXPECT_EQ(f.sound.played.last(), turnSound);
    EXPECT_EQ(f.cursor.waitDepth, 0);
    expectBoardShowsElements(f, "after a block turn");

    f.interaction.leftDoubleClick(Ctrl | L, f.grabPoint(6)); // and back, about 6
    for (const int i : {0, 1, 5, 6})
        EXPECT_EQ(f.element(i).orientation, 0) << i;
    EXPECT_EQ(f.body(1) - f.body(0), QPoint(s, 0));
    EXPECT_EQ(f.body(5) - f.body(0), QPoint(0, s));
    EXPECT_EQ(f.body(6), f.home(0) + QPoint(-s, s)); // the pivot stays
    EXPECT_EQ(f.joins(), joinsBefore);
    expectBoardShowsElements(f, "after turning back");
}

TEST(RotationTest, ATurnedBlockStillJoinsExactly) {
    // Element 2 starts in the orientation the block gets from one counter-clockwise turn; then
    // it belongs exactly above 1.
    std::vector<int> turns(15, 0);
    turns[2] = -1;
    BoardFixture f(plan(3, 5), true, turns);
    assembleSquare(f);
    f.interaction.leftDoubleClick(Ctrl | L, f.grabPoint(5));
    ASSERT_EQ(f.element(1).orientation, 1);
    ASSERT_EQ(f.element(2).orientation, 1);
    f.dragTo(L, 2, f.body(1) + QPoint(0, -f.S()) + QPoint(3, -2));
    EXPECT_TRUE(f.joinedTo(2, Bottom, 1));
    EXPECT_EQ(f.members(0), (std::vector<std::int32_t>{0, 1, 2, 5, 6}));
}

TEST(RotationTest, CtrlOnAnAloneElementTurnsItInPlace) {
    BoardFixture f(plan(3, 5));
    const auto order = f.state.puzzle.stackOrder;
    const QPoint at = f.body(8);
    f.interaction.leftDoubleClick(Ctrl | L, f.grabPoint(8));
    EXPECT_EQ(f.element(8).orientation, 1);
    EXPECT_EQ(f.body(8), at);
    EXPECT_TRUE(f.isAlone(8));
    EXPECT_EQ(f.state.puzzle.stackOrder, order);
    expectBoardShowsElements(f, "after turning alone");
}

TEST(RotationTest, NothingTurnsWithoutRotationOrOnEmptyBoard) {
    BoardFixture f(plan(2, 3));
    f.interaction.leftDoubleClick(L, QPoint(5, 1300));
    f.interaction.rightDoubleClick(Ctrl | R, QPoint(5, 1300));
    EXPECT_TRUE(f.sound.played.isEmpty());
    f.state.cut.rotateElements = 0;
    f.interaction.leftDoubleClick(L, f.grabPoint(2));
    f.interaction.rightDoubleClick(Ctrl | R, f.grabPoint(2));
    EXPECT_EQ(f.element(2).orientation, 0);
    EXPECT_TRUE(f.sound.played.isEmpty());
}

} // namespace
