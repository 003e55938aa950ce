#include "board/selectionoverlay.h"
#include "board/sorter.h"
#include "boardfixture.h"

#include <QPainter>

#include <algorithm>

namespace {

// A 3 x 5 cut at 100 % from the origin through an 800 x 600 window (so board and client points
// are one), elements far apart on the scatter of the fixture, 5 and 6 joined.
struct SelectionBoard : BoardFixture {
    SelectionBoard() : BoardFixture(plan(3, 5)) {
        interaction.viewport().clientResized();
        placeBody(5, home(5));
        dragTo(L, 6, home(6) + QPoint(2, 2));
        EXPECT_TRUE(joinedTo(6, Left, 5));
    }
    std::vector<std::int32_t> selected() const { return state.input.selection.elements(); }
    // A left drag over the table from a to b, with the given word.
    void band(QPoint a, QPoint b, int word = L) {
        press(word, a);
        interaction.mouseMove(word, (a + b) / 2);
        interaction.mouseMove(word, b);
        interaction.buttonUp();
    }
    void click(int word, QPoint p) {
        press(word, p);
        interaction.buttonUp();
    }
    QRect cellOf(int i) const {
        const Rect& c = state.puzzle.element(i).cellRect;
        return QRect(c.left, c.top, c.width(), c.height());
    }
    QImage window() {
        QImage image(host.client, QImage::Format_RGB32);
        QPainter painter(&image);
        renderer.paint(painter, QRegion(0, 0, host.client.width(), host.client.height()));
        return image;
    }
};

// The rectangle takes every loose element and every block wholly inside it and nothing that
// reaches out of it; with Ctrl it adds; a click on the empty table and Escape clear.
TEST(SelectionTest, ARectangleTakesWhatLiesWhollyInsideIt) {
    SelectionBoard f;
    const QRect both = f.cellOf(0).united(f.cellOf(1));
    f.band(both.topLeft() - QPoint(3, 3), both.bottomRight() + QPoint(3, 3));
    EXPECT_EQ(f.selected(), (std::vector<std::int32_t>{0, 1}));
    EXPECT_FALSE(f.state.input.band.active);
    EXPECT_TRUE(f.host.invalidated.contains(f.grabPoint(0)));
    // The block is taken whole, or not at all when only one member lies inside.
    const QRect block = f.cellOf(5).united(f.cellOf(6));
    f.band(block.bottomRight() + QPoint(4, 4), f.cellOf(6).topLeft() - QPoint(4, 4));
    EXPECT_TRUE(f.selected().empty()) << "half a block is no block";
    f.band(block.topLeft() - QPoint(4, 4), block.bottomRight() + QPoint(4, 4), Ctrl | L);
    EXPECT_EQ(f.selected(), (std::vector<std::int32_t>{5, 6}));
    f.band(f.cellOf(2).topLeft() - QPoint(4, 4), f.cellOf(2).bottomRight() + QPoint(4, 4), Ctrl | L);
    EXPECT_EQ(f.selected(), (std::vector<std::int32_t>{2, 5, 6}));
    f.interaction.keyDown(Qt::Key_Escape);
    EXPECT_TRUE(f.selected().empty());
    f.band(both.topLeft() - QPoint(3, 3), both.bottomRight() + QPoint(3, 3));
    f.click(L, QPoint(5, 590)); // empty table
    EXPECT_TRUE(f.selected().empty());
    // A drag on the empty table moves nothing.
    EXPECT_EQ(f.body(0), QPoint(40, 40));
}

// Ctrl + click adds an element or a whole block and takes it away again; Ctrl + drag still moves
// a block, and a Ctrl + double click turns the block without selecting it.
TEST(SelectionTest, CtrlClickAddsAndRemovesAndCtrlDragStillMovesABlock) {
    SelectionBoard f;
    f.click(Ctrl | L, f.grabPoint(3));
    f.click(Ctrl | L, f.grabPoint(6));
    EXPECT_EQ(f.selected(), (std::vector<std::int32_t>{3, 5, 6}));
    f.click(Ctrl | L, f.grabPoint(3));
    EXPECT_EQ(f.selected(), (std::vector<std::int32_t>{5, 6}));
    f.click(Ctrl | L, f.grabPoint(5));
    EXPECT_TRUE(f.selected().empty());

    const QPoint at5 = f.body(5);
    f.drag(Ctrl | L, 6, QPoint(40, 30));
    EXPECT_EQ(f.body(5), at5 + QPoint(40, 30));
    EXPECT_TRUE(f.selected().empty());

    const int turned = f.element(5).orientation;
    const QPoint p = f.grabPoint(5);
    f.click(Ctrl | L, p); // the first click of the double click
    f.interaction.leftDoubleClick(Ctrl | L, p);
    f.interaction.buttonUp();
    EXPECT_NE(f.element(5).orientation, turned);
    EXPECT_TRUE(f.selected().empty());
}

// Dragging any selected element moves the whole selection by the same offset, on top of the
// rest, and nothing joins, not even where a fitting side lies within the capture area; what is
// not selected stays. Joining an unselected element to a selected block selects it with it.
TEST(SelectionTest, ASelectionMovesAsOneAndNeverJoins) {
    SelectionBoard f;
    for (const int i : {0, 2, 6})
        f.click(Ctrl | L, f.grabPoint(i));
    ASSERT_EQ(f.selected(), (std::vector<std::int32_t>{0, 2, 5, 6}));
    std::vector<QPoint> before;
    for (int i = 0; i < f.count(); ++i)
        before.push_back(f.body(i));
    f.placeBody(7, f.home(7));
    f.renderer.redrawBoard({.clearBackground = true});
    const QPoint offset = QPoint(30, 200);
    const QPoint p = f.grabPoint(2);
    f.press(L, p);
    f.interaction.mouseMove(L, p + QPoint(-10, 50));
    EXPECT_EQ(f.state.input.movingSelection.size(), 4u);
    f.interaction.mouseMove(L, p + offset);
    // While it moves the window shows the moving elements where they now are, not where they were.
    const QImage shown = f.window();
    const Element& e0 = f.element(0);
    const QPoint c = f.grabPoint(0);
    const QColor picture = QColor(f.bitmapOf(0).pixel(c - QPoint(e0.cellRect.left, e0.cellRect.top)));
    const QColor tinted = QColor(shown.pixel(c));
    const QColor tint = SelectionOverlay::tint;
    EXPECT_LE(
        std::abs(tinted.red() - (picture.red() * (255 - tint.alpha()) + tint.red() * tint.alpha()) / 255), 2);
    EXPECT_EQ(QColor(shown.pixel(c - offset)), QColor(f.state.background.backgroundColor));
    f.interaction.buttonUp();
    for (int i = 0; i < f.count(); ++i) {
        const bool moved = i == 0 || i == 2 || i == 5 || i == 6;
        EXPECT_EQ(f.body(i), i == 7 ? f.home(7) : before[i] + (moved ? offset : QPoint())) << i;
    }
    for (int k = 0; k < 4; ++k)
        EXPECT_TRUE(f.state.input.selection.contains(f.puzzle().stackOrder[k])) << "on top";
    EXPECT_EQ(f.members(5), (std::vector<std::int32_t>{5, 6}));
    expectBoardShowsElements(f, "a selection put down");

    // Brought within a pixel of a fitting neighbour as a selection: no join.
    const QPoint toJoin = f.home(7) - QPoint(f.S(), 0) - f.body(6) + QPoint(1, 1);
    const QPoint q = f.grabPoint(6);
    f.press(L, q);
    f.interaction.mouseMove(L, q + toJoin);
    f.interaction.buttonUp();
    EXPECT_EQ(f.element(6).joinedNeighbour[Right], -1);
    EXPECT_EQ(f.element(7).joinedNeighbour[Left], -1);

    // Element 7, not selected, dragged onto the selected block: the block is selected whole.
    f.dragTo(L, 7, f.body(6) + QPoint(f.S() + 2, 1));
    ASSERT_TRUE(f.joinedTo(7, Left, 6));
    EXPECT_TRUE(f.state.input.selection.contains(7));
}

// Gathering with a selection lays out only the selected loose elements, in rows from the view's
// top-left; the selected block and the unselected elements stay where they were.
TEST(SelectionTest, GatheringASelectionLaysOutOnlyItsLooseElements) {
    SelectionBoard f;
    for (const int i : {9, 3, 11, 6})
        f.click(Ctrl | L, f.grabPoint(i));
    std::vector<QPoint> before;
    for (int i = 0; i < f.count(); ++i)
        before.push_back(f.body(i));
    EXPECT_EQ(f.interaction.sorter().elementsToGather(), (std::vector<std::int32_t>{3, 9, 11}));
    ASSERT_TRUE(f.interaction.sorter().gatherLoose());
    std::vector<QPoint> laid;
    for (const int i : {3, 9, 11}) {
        EXPECT_NE(f.body(i), before[i]) << i;
        laid.push_back(f.body(i));
        EXPECT_LT(f.element(i).cellRect.top, 2 * f.state.puzzle.geometry.bitmapSize) << "the first row";
    }
    EXPECT_LT(laid[0].x(), laid[1].x()); // in the order of their places
    EXPECT_EQ(f.body(5), before[5]);
    EXPECT_EQ(f.body(6), before[6]);
    // Unselected loose elements stay, or make room by taking a place a laid one left.
    for (int i = 0; i < f.count(); ++i) {
        if (i == 3 || i == 9 || i == 11 || i == 5 || i == 6 || f.body(i) == before[i])
            continue;
        EXPECT_TRUE(f.body(i) == before[3] || f.body(i) == before[9] || f.body(i) == before[11]) << i;
    }
    expectBoardShowsElements(f, "gathered");
}

// The highlight is painted over the board, never into it: at 100 % over the element's shape, in
// the whole-table view over its body; the table under it is the same selected or not.
TEST(SelectionTest, TheHighlightIsAnOverlayAtEveryScale) {
    SelectionBoard f;
    const QImage board = f.boardPixels(f.state.board.rect());
    const QImage plain = f.window();
    f.click(Ctrl | L, f.grabPoint(0));
    EXPECT_EQ(f.boardPixels(f.state.board.rect()), board);
    const QImage marked = f.window();
    const QPoint c = f.grabPoint(0);
    EXPECT_NE(marked.pixel(c), plain.pixel(c));
    EXPECT_EQ(marked.pixel(f.grabPoint(1)), plain.pixel(f.grabPoint(1)));
    f.interaction.viewport().toggleWholeTable();
    const Rect& b = f.puzzle().bodyRects[0];
    const QPointF centre =
        f.state.board.toClientF(QPointF((b.left + b.right) / 2.0, (b.top + b.bottom) / 2.0));
    const QImage whole = f.window();
    f.interaction.keyDown(Qt::Key_Escape);
    const QImage wholePlain = f.window();
    const QPoint at(int(centre.x()), int(centre.y()));
    EXPECT_NE(whole.pixel(at), wholePlain.pixel(at));
}

// With the option, a left drag on a member of a block moves the block and Ctrl + left only raises
// it, as the left button alone does without the option; loose elements drag either way, and
// Ctrl + click still selects.
TEST(SelectionTest, TheOptionLetsTheLeftButtonMoveBlocks) {
    SelectionBoard f;
    f.state.options.leftButtonMovesBlocks = true;
    const QPoint at5 = f.body(5), at6 = f.body(6);
    f.drag(L, 6, QPoint(50, 40));
    EXPECT_EQ(f.body(5), at5 + QPoint(50, 40));
    EXPECT_EQ(f.body(6), at6 + QPoint(50, 40));
    f.drag(Ctrl | L, 6, QPoint(50, 40));
    EXPECT_EQ(f.body(6), at6 + QPoint(50, 40));
    EXPECT_EQ(f.puzzle().stackOrder.front(), 6);
    const QPoint at0 = f.body(0);
    f.drag(Ctrl | L, 0, QPoint(20, 30));
    f.drag(L, 0, QPoint(20, 30));
    EXPECT_EQ(f.body(0), at0 + QPoint(40, 60));
    f.click(Ctrl | L, f.grabPoint(5));
    EXPECT_EQ(f.selected(), (std::vector<std::int32_t>{5, 6}));
}

} // namespace
