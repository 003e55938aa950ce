#include "boardfixture.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

// A 3 x 5 cut with the block {0, 1, 5, 6} assembled at its place and the rest far apart.
struct BlockBoard : BoardFixture {
    BlockBoard() : BoardFixture(plan(3, 5)) {
        bool first = true;
        for (const int i : {0, 1, 5, 6}) {
            dragTo(L, i, first ? home(i) : home(i) + QPoint(1, 2));
            first = false;
        }
        EXPECT_EQ(members(0), (std::vector<std::int32_t>{0, 1, 5, 6}));
        host.clearInvalidations();
    }
};

TEST(KeyStateTest, ButtonsAndModifiersMakeOneWord) {
    EXPECT_EQ(keyStateWord(Qt::LeftButton, Qt::NoModifier), 1);
    EXPECT_EQ(keyStateWord(Qt::RightButton, Qt::NoModifier), 2);
    EXPECT_EQ(keyStateWord(Qt::LeftButton | Qt::RightButton, Qt::NoModifier), 3);
    EXPECT_EQ(keyStateWord(Qt::LeftButton, Qt::ShiftModifier), 5);
    EXPECT_EQ(keyStateWord(Qt::RightButton, Qt::ControlModifier), 10);
    EXPECT_EQ(keyStateWord(Qt::MiddleButton, Qt::NoModifier), 0x10);
    EXPECT_EQ(keyStateWord(Qt::NoButton, Qt::ShiftModifier | Qt::ControlModifier), 12);
    // Alt and the keypad flag are not part of the word.
    EXPECT_EQ(keyStateWord(Qt::LeftButton, Qt::AltModifier | Qt::KeypadModifier), 1);
}

TEST(KeyStateTest, CombinationsMatchOnlyExactly) {
    const ButtonCombos combos;
    const std::pair<int, DragMode> table[] = {{5, DragMode::Separate},
                                              {6, DragMode::Separate},
                                              {2, DragMode::Separate},
                                              {9, DragMode::Block},
                                              {10, DragMode::Block},
                                              {3, DragMode::Block},
                                              {1, DragMode::Element},
                                              {0, DragMode::Hover},
                                              {L | M, DragMode::Hover},
                                              {Ctrl | Shift | L, DragMode::Hover},
                                              {L | R | Shift, DragMode::Hover},
                                              {Ctrl | L | R, DragMode::Hover},
                                              {Shift, DragMode::Hover},
                                              {M, DragMode::Hover}};
    for (const auto& [word, mode] : table)
        EXPECT_EQ(combos.classify(word), mode) << word;
    EXPECT_EQ(combos.turnBlockLeft, 9);
    EXPECT_EQ(combos.turnBlockRight, 10);
}

TEST(PickingTest, AnAloneElementIsLiftedAtOnceAndFollowsTheCursor) {
    BoardFixture f(plan(3, 5));
    const QPoint start = f.body(7);
    const QPoint p = f.grabPoint(7);
    f.press(L, p);
    EXPECT_EQ(f.state.input.pickedElement, 7);
    EXPECT_TRUE(f.state.offTable(7));
    EXPECT_EQ(f.state.puzzle.stackOrder.front(), 7);
    EXPECT_EQ(f.state.input.dragClipRegion, f.state.puzzle.boardRegions[7]);
    EXPECT_EQ(f.host.captures, 1);
    // Lifted: the board shows the background where it lay.
    EXPECT_EQ(f.boardPixel(p), f.state.background.backgroundColor.rgb());

    f.host.clearInvalidations();
    const QRegion before = f.state.puzzle.boardRegions[7];
    f.interaction.mouseMove(L, p + QPoint(37, -11));
    EXPECT_EQ(f.body(7), start + QPoint(37, -11));
    EXPECT_EQ(f.state.puzzle.boardRegions[7], before.translated(37, -11));
    EXPECT_EQ(f.state.input.lastCursor, p + QPoint(37, -11));
    EXPECT_TRUE(f.host.invalidated.contains(before.boundingRect().center()));
    EXPECT_EQ(f.host.invalidated, f.host.invalidated.united(f.state.input.dragClipRegion));
    EXPECT_EQ(f.host.fullInvalidations, 0); // dragging never repaints everything
    f.interaction.buttonUp();
    EXPECT_EQ(f.state.input.pickedElement, -1);
    EXPECT_FALSE(f.state.offTable(7));
    expectBoardShowsElements(f, "after the drag");
    EXPECT_TRUE(f.sound.played.isEmpty()); // picking, moving and releasing are silent
}

TEST(PickingTest, ThePaintShowsTheHeldElementOverTheBoard) {
    BoardFixture f(plan(3, 5));
    f.placeBody(8, f.body(7) + QPoint(20, 20)); // 8 overlaps 7 and lies above it
    f.renderer.redrawBoard({.clearBackground = true});
    f.state.puzzle.stackOrder = {8, 7, 0, 1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14};
    f.renderer.redrawBoard({.clearBackground = true});
    const QPoint p = f.grabPoint(7);
    f.press(L, p);
    f.interaction.mouseMove(L, p + QPoint(5, 5));
    QImage window(800, 600, QImage::Format_RGB32);
    window.fill(Qt::magenta);
    QPainter painter(&window);
    f.renderer.paint(painter, QRegion(window.rect()));
    painter.end();
    const Element& held = f.element(7);
    const QImage heldBitmap = f.bitmapOf(7);
    for (const QRect& r : f.state.input.dragClipRegion.intersected(window.rect()))
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                ASSERT_EQ(window.pixel(x, y),
                          heldBitmap.pixel(x - held.cellRect.left, y - held.cellRect.top));
    const QImage board = f.boardPixels(window.rect());
    const QRegion rest = QRegion(window.rect()).subtracted(f.state.input.dragClipRegion);
    for (const QRect& r : rest)
        for (int y = r.top(); y <= r.bottom(); y += 7)
            for (int x = r.left(); x <= r.right(); x += 7)
                ASSERT_EQ(window.pixel(x, y), board.pixel(x, y));
}

TEST(PickingTest, TheLeftButtonOnABlockMemberOnlyRaisesTheBlock) {
    BlockBoard f;
    f.state.puzzle.stackOrder = {2, 3, 4, 7, 0, 1, 5, 6, 8, 9, 10, 11, 12, 13, 14};
    const QPoint p = f.grabPoint(6);
    f.press(L, p);
    EXPECT_EQ(f.state.input.pickedElement, 6);
    EXPECT_FALSE(f.state.offTable(6)); // nothing lifted yet
    f.interaction.mouseMove(L, p + QPoint(120, 80));
    for (const int i : {0, 1, 5, 6})
        EXPECT_EQ(f.body(i), f.home(i)) << i;
    f.interaction.buttonUp();
    EXPECT_EQ(
        std::vector<std::int32_t>(f.state.puzzle.stackOrder.begin(), f.state.puzzle.stackOrder.begin() + 4),
        (std::vector<std::int32_t>{6, 5, 1, 0}));
    EXPECT_EQ(f.state.input.pickedElement, -1);
    expectBoardShowsElements(f, "after the release");
}

TEST(PickingTest, ARaisedBlockIsDrawnOverWhatLayAboveIt) {
    BlockBoard f;
    f.placeBody(7, f.home(1) + QPoint(30, 20)); // 7 lies over 1, and above it in the stack
    f.state.puzzle.stackOrder = {7, 0, 1, 5, 6, 2, 3, 4, 8, 9, 10, 11, 12, 13, 14};
    f.renderer.redrawBoard({.clearBackground = true});
    const QRegion overlap = f.state.puzzle.boardRegions[1].intersected(f.state.puzzle.boardRegions[7]);
    ASSERT_FALSE(overlap.isEmpty());
    auto shows = [&](int i) {
        const Element& e = f.element(i);
        const QImage bitmap = f.bitmapOf(i);
        const QImage board = f.boardPixels(f.state.board.rect());
        for (const QRect& r : overlap)
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    if (board.pixel(x, y) != bitmap.pixel(x - e.cellRect.left, y - e.cellRect.top))
                        return false;
        return true;
    };
    ASSERT_TRUE(shows(7));
    f.press(L, f.grabPoint(5)); // a member away from 7
    f.interaction.buttonUp();
    EXPECT_TRUE(shows(1));
    EXPECT_TRUE(f.host.invalidated.intersects(overlap));
}

TEST(PickingTest, LeftThenRightMovesTheBlockWithItsMembersHidden) {
    BlockBoard f;
    const QPoint p = f.grabPoint(6);
    f.press(L, p);
    f.press(L | R, p); // the second press arrives with both buttons in the word
    EXPECT_EQ(f.state.input.pickedElement, 6);
    const QPoint by(150, -120);
    f.interaction.mouseMove(L | R, p + by);
    for (const int i : {0, 1, 5}) {
        EXPECT_TRUE(f.state.offTable(i)) << i;
        const QPoint c = f.body(i) + QPoint(f.S() / 2, f.S() / 2);
        EXPECT_EQ(f.boardPixel(c), f.state.background.backgroundColor.rgb()) << i;
    }
    EXPECT_TRUE(f.state.input.blockLifted);
    f.interaction.mouseMove(L | R, p + by + by);
    f.interaction.buttonUp();
    f.interaction.buttonUp(); // the second button's release finds nothing held
    for (const int i : {0, 1, 5, 6}) {
        EXPECT_EQ(f.body(i), f.home(i) + by + by) << i;
        EXPECT_FALSE(f.state.offTable(i)) << i;
    }
    EXPECT_FALSE(f.state.input.blockLifted);
    EXPECT_EQ(f.members(0), (std::vector<std::int32_t>{0, 1, 5, 6}));
    EXPECT_TRUE(f.joinedTo(1, Bottom, 6));
    expectBoardShowsElements(f, "after the block move");
}

TEST(PickingTest, CtrlWithEitherButtonMovesTheBlock) {
    for (const int word : {Ctrl | L, Ctrl | R}) {
        BlockBoard f;
        f.drag(word, 0, QPoint(-200, 33));
        for (const int i : {0, 1, 5, 6})
            EXPECT_EQ(f.body(i), f.home(i) + QPoint(-200, 33)) << word;
        expectBoardShowsElements(f, "after Ctrl");
    }
}

TEST(PickingTest, RightFirstSeparatesTheElement) {
    BlockBoard f;
    const QPoint p = f.grabPoint(6);
    f.press(R, p);
    EXPECT_TRUE(f.isAlone(6));
    EXPECT_EQ(f.members(0), (std::vector<std::int32_t>{0, 1, 5}));
    f.press(L | R, p);
    f.interaction.mouseMove(L | R, p + QPoint(200, 10));
    f.interaction.buttonUp();
    EXPECT_EQ(f.body(6), f.home(6) + QPoint(200, 10));
    for (const int i : {0, 1, 5})
        EXPECT_EQ(f.body(i), f.home(i));
    expectBoardShowsElements(f, "after separating");
}

TEST(PickingTest, SeparatingDragsNeverSnapCtrlOnAnAloneElementDoes) {
    for (const int word : {R, Shift | L, Shift | R, Ctrl | L, L}) {
        BoardFixture f(plan(3, 5));
        f.placeBody(5, f.home(5));
        f.dragTo(word, 6, f.home(6) + QPoint(2, 2));
        const bool snaps = word == (Ctrl | L) || word == L;
        EXPECT_EQ(f.joinedTo(6, Left, 5), snaps) << word;
        EXPECT_EQ(f.body(6), snaps ? f.home(6) : f.home(6) + QPoint(2, 2)) << word;
    }
}

TEST(PickingTest, AShiftDuringABlockMoveSeparatesAndPutsTheRestBack) {
    BlockBoard f;
    const QPoint p = f.grabPoint(6);
    f.press(Ctrl | L, p);
    f.interaction.mouseMove(Ctrl | L, p + QPoint(100, 0)); // the rest of the block is lifted
    f.interaction.mouseMove(Shift | L, p + QPoint(200, 0));
    EXPECT_TRUE(f.isAlone(6));
    EXPECT_EQ(f.body(6), f.home(6) + QPoint(200, 0));
    for (const int i : {0, 1, 5}) {
        EXPECT_FALSE(f.state.offTable(i)) << i; // visible again where the block had got to
        EXPECT_EQ(f.body(i), f.home(i) + QPoint(100, 0)) << i;
    }
    f.interaction.buttonUp();
    expectBoardShowsElements(f, "after separating from a moving block");
}

TEST(PickingTest, APressOnAnotherElementPutsTheHeldOneBack) {
    BoardFixture f(plan(3, 5));
    const QPoint p = f.grabPoint(2);
    f.press(L, p);
    f.interaction.mouseMove(L, p + QPoint(10, 10));
    f.press(L | R, f.grabPoint(9));
    EXPECT_EQ(f.state.input.pickedElement, 9);
    EXPECT_FALSE(f.state.offTable(2));
    f.interaction.buttonUp();
    expectBoardShowsElements(f, "after the second press");
}

TEST(PickingTest, OtherWordsHoverAndScrollEvenWhileHolding) {
    BoardFixture f(plan(3, 5));
    f.state.board.scrollX = 100;
    f.state.board.scrollY = 100;
    const QPoint p = f.grabPoint(3) - QPoint(100, 100); // client point
    f.press(L, p);
    const QPoint atBody = f.body(3);
    EXPECT_TRUE(f.interaction.mouseMove(L | M, QPoint(5, 300)));
    EXPECT_EQ(f.state.board.scrollX, 97);
    EXPECT_EQ(f.body(3), atBody);
    EXPECT_EQ(f.host.updates, 1);
    // The held element stays at its board place; where it is painted follows the view.
    EXPECT_EQ(f.state.input.dragClipRegion, f.state.puzzle.boardRegions[3].translated(-97, -100));
    EXPECT_TRUE(f.interaction.mouseMove(Ctrl | Shift | L, QPoint(5, 300)));
    EXPECT_EQ(f.state.board.scrollX, 94);
    EXPECT_FALSE(f.interaction.mouseMove(L, QPoint(5, 300))); // a combination: dragging, no scrolling
    EXPECT_EQ(f.state.board.scrollX, 94);
    f.interaction.buttonUp();
}

TEST(PickingTest, ARightClickOnEmptyBoardOpensTheMenuOnlyInFullScreenMode) {
    BoardFixture f(plan(2, 3));
    const QPoint empty(5, 1300);
    f.press(R, empty);
    f.interaction.buttonUp();
    EXPECT_TRUE(f.host.commands.empty());
    f.host.full = true;
    for (const int word : {L, Shift | R, Ctrl | R})
        f.press(word, empty);
    EXPECT_TRUE(f.host.commands.empty());
    f.press(R, empty);
    EXPECT_EQ(f.host.commands, std::vector<int>{Interaction::popupMenuCommand});
    EXPECT_EQ(f.host.captures, 0);
    f.press(R, f.grabPoint(0)); // on an element it picks
    EXPECT_EQ(f.host.commands.size(), 1u);
    EXPECT_EQ(f.state.input.pickedElement, 0);
}

} // namespace
