#include "app/commandtable.h"
#include "framegame.h"
#include "game/widgets/clockwindow.h"

#include <QAction>
#include <QApplication>

#include <algorithm>

namespace {

// Every one of the elements can be seen at once: inside the window, clear of the clock, covered
// by nothing (they are on top, and none overlaps another) and clear of every block.
void expectAllShown(FrameGame& g, const std::vector<int>& elements, const char* what) {
    SCOPED_TRACE(what);
    QApplication::processEvents();
    const Puzzle& p = g.puzzle();
    const Board& b = g.state().board;
    const QRect window = g.view()->rect();
    const QRect clock = g.frame.clockWindow()->isHidden() ? QRect() : g.frame.clockWindow()->geometry();
    for (const int i : elements) {
        const QRegion shown = b.toClient(p.boardRegions[i]);
        ASSERT_TRUE(QRegion(window).contains(shown.boundingRect())) << i;
        ASSERT_FALSE(shown.intersects(clock)) << i;
        for (const int j : p.stackOrder) {
            if (j == i)
                break;
            ASSERT_FALSE(p.boardRegions[j].intersects(p.boardRegions[i])) << j << " covers " << i;
        }
        for (int j = 0; j < p.count(); ++j) {
            if (p.blocks.blockSize(j) > 1) {
                ASSERT_FALSE(p.boardRegions[j].intersects(p.boardRegions[i]))
                    << i << " on block member " << j;
            }
        }
    }
}

// Turns element i upright and drags it so that its body lies a little off `target`, near
// enough to join there.
void bringTo(FrameGame& g, int i, QPoint target) {
    Puzzle& p = g.puzzle();
    for (int guard = 0; p.element(i).orientation != 0 && guard < 4; ++guard)
        g.doubleClick(p.element(i).orientation == 3 ? Qt::LeftButton : Qt::RightButton, g.grabPoint(i));
    ASSERT_EQ(p.element(i).orientation, 0);
    g.dragBody(i, target + QPoint(2, -1) - g.body(i));
}

// On a 10 x 10 game of turned elements in the window's size at start-up, Ctrl+E shows all 36
// border elements at once and Ctrl+G every loose element, through the window's own keys; a
// few joined into blocks stay where they are; the clock never notices.
TEST(SortingFrameTest, BorderThenEveryLooseElementAllInViewAtOnce) {
    // Exact assembly, so that the blocks made below join only as meant among the other elements.
    FrameGame g(FrameGame::Options{.rows = 10, .columns = 10, .size = 64, .rotate = true, .exact = true});
    g.frame.resize(682, 512);
    g.frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&g.frame));
    EXPECT_EQ(g.frame.commands().menuAction(Cmd::EdgesFirst)->text(),
              QStringLiteral("Вы&ложить Края\tCtrl+E"));
    EXPECT_EQ(g.frame.commands().menuAction(Cmd::GatherLoose)->text(),
              QStringLiteral("Со&брать Россыпь\tCtrl+G"));
    const Puzzle& p = g.puzzle();
    std::vector<int> turns;
    for (const Element& e : p.elementGrid)
        turns.push_back(e.orientation);
    const GameClock clock = g.state().clock;

    QTest::keyClick(g.window(), Qt::Key_E, Qt::ControlModifier);
    std::vector<int> border;
    for (int i = 0; i < p.count(); ++i)
        if (p.rowOf(i) == 0 || p.rowOf(i) == 9 || p.columnOf(i) == 0 || p.columnOf(i) == 9)
            border.push_back(i);
    ASSERT_EQ(border.size(), 36u);
    EXPECT_TRUE(std::is_permutation(border.begin(), border.end(), p.stackOrder.begin()));
    expectAllShown(g, border, "Ctrl+E");
    EXPECT_LT(g.state().board.scale, 1.0); // zoomed out until they fit
    for (int i = 0; i < p.count(); ++i)
        ASSERT_EQ(p.element(i).orientation, turns[i]) << i;

    // Two blocks, three elements in an L and a pair, joined by hand in the bottom right corner
    // with the whole table in view; then back to the view before.
    QTest::keyClick(g.window(), Qt::Key_Z);
    ASSERT_TRUE(g.frame.viewport().wholeTableShown());
    const int s = p.geometry.elementSize;
    const QPoint corner(g.state().board.boardWidth - 4 * s, g.state().board.boardHeight - 4 * s);
    bringTo(g, 44, corner);
    bringTo(g, 45, corner + QPoint(s, 0));
    bringTo(g, 54, corner + QPoint(0, s));
    bringTo(g, 66, corner + QPoint(0, -2 * s));
    bringTo(g, 67, corner + QPoint(s, -2 * s));
    ASSERT_EQ(p.blocks.blockSize(44), 3);
    ASSERT_EQ(p.blocks.blockSize(66), 2);
    std::vector<Rect> blockCells;
    for (const int i : {44, 45, 54, 66, 67})
        blockCells.push_back(p.element(i).cellRect);
    QTest::keyClick(g.window(), Qt::Key_Z);
    ASSERT_FALSE(g.frame.viewport().wholeTableShown());

    // The whole board cannot hold them all round the blocks: it grows, to the right first, where
    // the window is wider than the board and the whole table keeps its scale.
    const double wholeTable = g.frame.viewport().wholeTableScale();
    QTest::keyClick(g.window(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(g.state().board.scale, wholeTable);
    std::vector<int> loose;
    for (int i = 0; i < p.count(); ++i)
        if (p.blocks.blockSize(i) == 1)
            loose.push_back(i);
    ASSERT_EQ(loose.size(), 95u);
    expectAllShown(g, loose, "Ctrl+G");
    int k = 0;
    for (const int i : {44, 45, 54, 66, 67})
        EXPECT_EQ(p.element(i).cellRect, blockCells[k++]) << i;
    EXPECT_EQ(p.blocks.blockSize(44), 3);
    EXPECT_EQ(p.blocks.blockSize(66), 2);

    EXPECT_EQ(g.state().clock.clockStart, clock.clockStart);
    EXPECT_EQ(g.state().clock.clockCarried, clock.clockCarried);
    EXPECT_TRUE(g.frame.clockTimer().isActive());
}

} // namespace
