#include "boardfixture.h"
#include "model/picturelevels.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

// A 3 x 4 cut on the 1800 x 1400 board, seen through an 800 x 600 client area (smaller than
// the 1024 x 768 screen), the view told of its size as the window tells it.
struct ViewBoard : BoardFixture {
    ViewBoard() : BoardFixture(plan(3, 4)) { viewport().clientResized(); }
    Viewport& viewport() { return interaction.viewport(); }
    Board& board() { return state.board; }
    QRect client() const { return QRect(QPoint(0, 0), host.client); }
    // Scales from 200 % down to the whole table, the steps of the wheel among them.
    std::vector<double> scales() {
        return {2.0, std::exp2(2.0 / 3), 1.0, std::exp2(-1.0 / 3), 0.5, 0.45, viewport().wholeTableScale()};
    }
};

// Widget and board coordinates are one mapping at every scale and position: a client pixel shows
// the board pixel toBoard gives, whose client area covers it, and the exact mapping goes there and
// back; the visible rectangle is what the corners show.
TEST(ViewTest, ClientAndBoardPointsMapBothWaysAtEveryScaleAndPosition) {
    ViewBoard f;
    std::mt19937 random(7);
    for (const double scale : f.scales()) {
        f.viewport().setScaleAbout(scale, QPointF(400, 300));
        ASSERT_DOUBLE_EQ(f.board().scale, scale);
        for (const QPoint scroll : {QPoint(0, 0), QPoint(f.board().maxScrollX / 2, f.board().maxScrollY / 3),
                                    QPoint(f.board().maxScrollX, f.board().maxScrollY)}) {
            f.board().scrollX = scroll.x();
            f.board().scrollY = scroll.y();
            for (int k = 0; k < 200; ++k) {
                const QPoint p(int(random() % 800), int(random() % 600));
                const QPoint b = f.board().toBoard(p);
                EXPECT_TRUE(f.board().toClient(QRect(b, QSize(1, 1))).contains(p)) << scale << " " << k;
                const QPointF exact(p.x() + 0.25, p.y() + 0.75);
                const QPointF back = f.board().toClientF(f.board().toBoardF(exact));
                EXPECT_NEAR(back.x(), exact.x(), 1e-9);
                EXPECT_NEAR(back.y(), exact.y(), 1e-9);
            }
            const QRectF visible = f.viewport().visibleBoardRect();
            const QRectF corners(f.board().toBoardF(QPointF(0, 0)), f.board().toBoardF(QPointF(800, 600)));
            EXPECT_EQ(visible, corners.intersected(QRectF(0, 0, 1800, 1400))) << scale;
        }
    }
    // At 100 % nothing is scaled: client plus scroll, as always.
    f.viewport().actualSize();
    f.board().scrollX = 37;
    f.board().scrollY = 11;
    EXPECT_EQ(f.board().toBoard(QPoint(5, 6)), QPoint(42, 17));
    EXPECT_EQ(f.board().toClient(QRegion(QRect(100, 100, 5, 5))), QRegion(QRect(63, 89, 5, 5)));
}

// The limits are the scaled board less the client area: the cursor keys bring the board's far
// corner into view at every scale, and its origin back. (With the screen's size instead, the
// right and bottom 224 x 168 pixels of this board could never be seen at 100 %.)
TEST(ViewTest, TheCursorKeysReachEveryCornerOfTheBoardAtEveryScale) {
    ViewBoard f;
    for (const double scale : f.scales()) {
        f.viewport().setScaleAbout(scale, QPointF(0, 0));
        const QSize scaled = f.board().scaledSize();
        EXPECT_EQ(f.board().maxScrollX, std::max(0, scaled.width() - 800)) << scale;
        EXPECT_EQ(f.board().maxScrollY, std::max(0, scaled.height() - 600)) << scale;
        for (int k = 0; k < 40; ++k) {
            f.interaction.keyDown(Qt::Key_Right);
            f.interaction.keyDown(Qt::Key_Down);
        }
        EXPECT_TRUE(f.client().contains(f.board().toClient(QRect(1799, 1399, 1, 1)).center())) << scale;
        for (int k = 0; k < 40; ++k) {
            f.interaction.keyDown(Qt::Key_Left);
            f.interaction.keyDown(Qt::Key_Up);
        }
        EXPECT_TRUE(f.client().contains(f.board().toClient(QRect(0, 0, 1, 1)).center())) << scale;
    }
    // A zoomed-out board narrower than the window is centred in it.
    f.viewport().toggleWholeTable();
    const QRect shown = f.board().toClient(QRect(0, 0, 1800, 1400));
    EXPECT_LE(std::abs(shown.left() + shown.right() - 800), 3);
    EXPECT_LE(std::abs(shown.top() + shown.bottom() - 600), 3);
    // The window grows: limits anew, the position kept in range.
    f.viewport().toggleWholeTable();
    f.viewport().actualSize();
    for (int k = 0; k < 40; ++k)
        f.interaction.keyDown(Qt::Key_Right);
    f.host.client = QSize(1000, 700);
    f.viewport().clientResized();
    EXPECT_EQ(f.board().maxScrollX, 800);
    EXPECT_EQ(f.board().scrollX, 800);
}

TEST(ViewTest, TheWholeTableAndBackAndTheMiddleButtonReturnsToActualSizeWhereClicked) {
    ViewBoard f;
    f.viewport().setScaleAbout(std::exp2(-1.0 / 3), QPointF(0, 0));
    f.board().scrollX = 120;
    f.board().scrollY = 80;
    const double scale = f.board().scale;
    const QPointF middle = f.board().toBoardF(QPointF(400, 300));

    f.interaction.keyDown(Qt::Key_Z);
    EXPECT_TRUE(f.viewport().wholeTableShown());
    EXPECT_DOUBLE_EQ(f.board().scale, std::min(800.0 / 1800, 600.0 / 1400));
    EXPECT_EQ(f.viewport().visibleBoardRect(), QRectF(0, 0, 1800, 1400));
    f.interaction.keyDown(Qt::Key_Z);
    EXPECT_FALSE(f.viewport().wholeTableShown());
    EXPECT_DOUBLE_EQ(f.board().scale, scale);
    const QPointF again = f.board().toBoardF(QPointF(400, 300));
    EXPECT_NEAR(again.x(), middle.x(), 1.5);
    EXPECT_NEAR(again.y(), middle.y(), 1.5);

    // The middle button: the whole table, then 100 % with the clicked board point in the middle.
    f.interaction.middleButtonDown(QPoint(10, 10));
    ASSERT_TRUE(f.viewport().wholeTableShown());
    const QPoint clicked(500, 420);
    const QPointF target = f.board().toBoardF(QPointF(clicked) + QPointF(0.5, 0.5));
    f.interaction.middleButtonDown(clicked);
    EXPECT_EQ(f.board().scale, 1.0);
    const QPointF centred = f.board().toBoardF(QPointF(400, 300));
    EXPECT_NEAR(centred.x(), target.x(), 1.0);
    EXPECT_NEAR(centred.y(), target.y(), 1.0);

    // The window resized in the whole-table view: the whole table, fitted anew.
    f.interaction.keyDown(Qt::Key_Z);
    f.host.client = QSize(500, 500);
    f.viewport().clientResized();
    EXPECT_DOUBLE_EQ(f.board().scale, 500.0 / 1800);
    EXPECT_EQ(f.viewport().visibleBoardRect(), QRectF(0, 0, 1800, 1400));

    // A board rectangle fitted: shown whole and centred, never above 100 %.
    f.viewport().fitBoardRect(QRect(300, 200, 1000, 400));
    EXPECT_DOUBLE_EQ(f.board().scale, 0.5);
    EXPECT_TRUE(f.viewport().visibleBoardRect().contains(QRectF(300, 200, 1000, 400)));
    f.viewport().fitBoardRect(QRect(300, 200, 50, 50));
    EXPECT_EQ(f.board().scale, 1.0);
}

// Z and the middle button read the view as it is, whichever way it got there: zoomed out with
// the wheel or the keys as far as it goes, Z goes back to 100 % (there was no view before it to
// keep) and the middle button to 100 % where clicked; neither ever leaves the view as it was.
TEST(ViewTest, ZAndTheMiddleButtonActFromEveryViewState) {
    ViewBoard f;
    const double whole = f.viewport().wholeTableScale();
    auto zoomedOutFully = [&](const char* how) {
        f.viewport().actualSize();
        for (int k = 0; k < 12; ++k) {
            if (how[0] == 'w')
                f.interaction.wheel(Ctrl, -120, QPoint(400, 300));
            else
                f.viewport().zoomOut();
        }
        ASSERT_DOUBLE_EQ(f.board().scale, whole) << how;
    };
    for (const char* how : {"wheel", "keys"}) {
        zoomedOutFully(how);
        EXPECT_TRUE(f.viewport().wholeTableShown()) << how;
        const QPointF middle = f.board().toBoardF(QPointF(400, 300));
        f.interaction.keyDown(Qt::Key_Z);
        EXPECT_EQ(f.board().scale, 1.0) << how;
        const QPointF after = f.board().toBoardF(QPointF(400, 300));
        if (f.board().scrollX > 0 && f.board().scrollX < f.board().maxScrollX) {
            EXPECT_NEAR(after.x(), middle.x(), 1.0) << how;
        }
        f.interaction.keyDown(Qt::Key_Z);
        EXPECT_DOUBLE_EQ(f.board().scale, whole) << how;
        f.interaction.keyDown(Qt::Key_Z);
        EXPECT_EQ(f.board().scale, 1.0) << how << ": back to the view Z left, 100 %";

        zoomedOutFully(how);
        f.interaction.middleButtonDown(QPoint(300, 200));
        EXPECT_EQ(f.board().scale, 1.0) << how << ": the middle button in the whole table";
    }
    // After a step in and out again the view Z kept is still the one to go back to.
    f.viewport().setScaleAbout(std::exp2(-1.0 / 3), QPointF(0, 0));
    f.interaction.keyDown(Qt::Key_Z);
    f.viewport().zoomIn();
    f.viewport().zoomOut();
    ASSERT_TRUE(f.viewport().wholeTableShown());
    f.interaction.keyDown(Qt::Key_Z);
    EXPECT_DOUBLE_EQ(f.board().scale, std::exp2(-1.0 / 3));
    // A new board never goes back to a view kept on the one before.
    f.interaction.keyDown(Qt::Key_Z);
    f.board().resize(1800, 1400, 1024, 768);
    f.viewport().clientResized();
    for (int k = 0; k < 12; ++k)
        f.viewport().zoomOut();
    f.interaction.keyDown(Qt::Key_Z);
    EXPECT_EQ(f.board().scale, 1.0);
}

// The view's scale is the view's: nothing changes it while an element is held, a new board
// starts at 100 %, and a saved game keeps the position as 100 % would have it.
TEST(ViewTest, HeldElementsKeepTheScaleAndANewBoardStartsAtActualSize) {
    ViewBoard f;
    f.viewport().setScaleAbout(0.5, QPointF(0, 0));
    f.press(L, f.board().toClient(QRect(f.grabPoint(2), QSize(1, 1))).center());
    ASSERT_EQ(f.state.input.pickedElement, 2);
    f.interaction.keyDown(Qt::Key_Z);
    f.viewport().zoomIn();
    f.interaction.middleButtonDown(QPoint(5, 5));
    EXPECT_FALSE(f.interaction.wheel(Ctrl | L, 120, QPoint(5, 5)));
    EXPECT_EQ(f.board().scale, 0.5);
    f.interaction.buttonUp();

    // The hint finds the element under the pointer at any scale; the tip opens at the pointer.
    f.interaction.keyDown(Qt::Key_H);
    const QPoint on = f.board().toClient(QRect(f.grabPoint(7), QSize(1, 1))).center();
    f.interaction.leftButtonDown(L, on);
    ASSERT_EQ(f.host.tips.size(), 1u);
    EXPECT_EQ(f.host.tips[0].row, f.puzzle().rowOf(7) + 1);
    EXPECT_EQ(f.host.tips[0].column, f.puzzle().columnOf(7) + 1);
    EXPECT_EQ(f.host.tips[0].point, on);

    f.board().scrollX = 100;
    f.board().scrollY = 60;
    EXPECT_EQ(f.board().savedScroll(), QPoint(200, 120));
    EXPECT_EQ(f.board().savedMaxScroll(), QPoint(1800 - 1024, 1400 - 768));
    f.interaction.keyDown(Qt::Key_Z);
    f.board().resize(2000, 1500, 1024, 768);
    EXPECT_EQ(f.board().scale, 1.0);
    EXPECT_FALSE(f.viewport().wholeTableShown());
    EXPECT_EQ(f.board().maxScrollX, 2000 - 800);
}

// The picture's reduced copies for zoomed-out views: each level the mean of the two by two
// pixels of the one before (an odd last row or column counted twice), 32 or 24 bits alike, and
// all of them together about a third of the picture; a view samples the finest level whose
// pixels are no smaller than its own.
TEST(PictureLevelsTest, EachLevelAveragesTheOneBeforeAndAllHoldAThird) {
    for (const QImage::Format format :
         {QImage::Format_RGB32, QImage::Format_RGB888, QImage::Format_Indexed8}) {
        std::mt19937 random(3);
        QImage picture(1001, 777, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb(int(random() % 256), (x * 3) % 256, (y * 5) % 256));
        picture = picture.convertToFormat(format);
        PictureLevels levels;
        levels.setPicture(picture);
        levels.wait();
        ASSERT_EQ(levels.levelCount(), 11) << format; // 1001 wide: 1001, 501, ..., 1
        EXPECT_EQ(levels.level(1).size(), QSize(501, 389));
        EXPECT_EQ(levels.level(10).size(), QSize(1, 1));
        for (int level = 1; level < levels.levelCount(); ++level) {
            const QImage from = levels.level(level - 1).convertToFormat(QImage::Format_RGB32);
            const QImage& to = levels.level(level);
            for (int y = 0; y < to.height(); ++y)
                for (int x = 0; x < to.width(); ++x) {
                    const int x1 = std::min(2 * x + 1, from.width() - 1),
                              y1 = std::min(2 * y + 1, from.height() - 1);
                    const QRgb a = from.pixel(2 * x, 2 * y), b = from.pixel(x1, 2 * y),
                               c = from.pixel(2 * x, y1), d = from.pixel(x1, y1);
                    const auto mean = [&](int (*channel)(QRgb)) {
                        return (channel(a) + channel(b) + channel(c) + channel(d) + 2) / 4;
                    };
                    ASSERT_EQ(to.pixel(x, y), qRgb(mean(qRed), mean(qGreen), mean(qBlue)))
                        << format << " level " << level << " at " << x << "," << y;
                }
        }
        const std::int64_t ownBytes = format == QImage::Format_Indexed8 ? levels.level(0).sizeInBytes() : 0;
        EXPECT_LE((levels.bytes() - ownBytes) * 3,
                  std::int64_t(picture.width()) * picture.height() * 4 * 101 / 100);
    }
    EXPECT_EQ(PictureLevels::levelFor(2.0), 0);
    EXPECT_EQ(PictureLevels::levelFor(1.0), 0);
    EXPECT_EQ(PictureLevels::levelFor(0.5), 1);
    EXPECT_EQ(PictureLevels::levelFor(0.3), 1);
    EXPECT_EQ(PictureLevels::levelFor(0.25), 2);
    EXPECT_EQ(PictureLevels::levelFor(0.108), 3);
}

// A tile's elements come largest key first, as a comparison sort gives them: few or thousands,
// keys of a rank and an element or of any 64 bits, some equal, some sharing most digits.
TEST(ScaledPaintTest, ElementsOfATileAreSortedByDigitsAsByComparison) {
    std::mt19937_64 random(25);
    std::vector<std::uint64_t> keys, spare;
    for (int round = 0; round < 60; ++round) {
        const std::size_t n = random() % (round < 30 ? 300 : 5000);
        const int kind = round % 3;
        keys.clear();
        for (std::size_t k = 0; k < n; ++k) {
            const std::uint64_t r = random();
            keys.push_back(kind == 0   ? (r % 60000) << 16 | k
                           : kind == 1 ? r
                                       : 0xABCD000000000000ull | (r % 7) << 20 | (r >> 40) % 3);
        }
        std::vector<std::uint64_t> expected = keys;
        std::sort(expected.begin(), expected.end(), std::greater<>());
        sortDescending(keys, spare);
        ASSERT_EQ(keys, expected) << "round " << round << ", " << n << " keys";
    }
}

// What a paint shows is the same whether it covers the whole window or only the areas the board
// asked to repaint: after drags, a separation, a turn and scrolling at 50 % and in the
// whole-table view (in a window small enough that the elements are drawn from the rows of their
// shapes, too), no stale pixel stays, and the held element is where the pointer holds it.
TEST(ScaledPaintTest, RepaintingOnlyTheInvalidatedAreasLeavesNothingStale) {
    for (const QSize window : {QSize(), QSize(800, 600), QSize(200, 150)}) {
        const bool whole = !window.isEmpty();
        ViewBoard f;
        if (whole) {
            f.host.client = window;
            f.viewport().clientResized();
            f.viewport().toggleWholeTable();
            if (window.width() < 400) {
                ASSERT_LT(f.board().scale * 4, 1.0);
            }
        } else {
            f.viewport().setScaleAbout(0.5, QPointF(0, 0));
        }
        const QSize size = f.client().size();
        QImage screen(size, QImage::Format_RGB32);
        auto paint = [&](const QRegion& area, QImage& into) {
            QPainter p(&into);
            f.renderer.paint(p, area);
        };
        // The whole window painted afresh, with nothing kept from before.
        auto full = [&] {
            f.renderer.dropCaches();
            QImage fresh(size, QImage::Format_RGB32);
            paint(QRegion(f.client()), fresh);
            return fresh;
        };
        // Where two paints differ: a tile drawn again in part gives what drawing it whole gives,
        // bit for bit.
        auto same = [&](const QImage& a, const QImage& b) {
            QRect wrong;
            for (int y = 0; y < a.height(); ++y)
                for (int x = 0; x < a.width(); ++x)
                    if (a.pixel(x, y) != b.pixel(x, y))
                        wrong |= QRect(x, y, 1, 1);
            return wrong;
        };
        auto repaint = [&] {
            paint(f.host.fullInvalidations ? QRegion(f.client()) : f.host.invalidated, screen);
            f.host.clearInvalidations();
        };
        auto clientOf = [&](QPoint board) { return f.board().toClient(QRect(board, QSize(1, 1))).center(); };
        screen = full();
        f.host.clearInvalidations();

        // Element 5 dragged in steps; half-way the pointer holds it where it was grabbed.
        const QPoint grab = clientOf(f.grabPoint(5));
        const QPoint grabbedBoard = f.board().toBoard(grab) - f.body(5);
        f.press(L, grab);
        repaint();
        for (int k = 1; k <= 6; ++k) {
            f.interaction.mouseMove(L, grab + QPoint(13 * k, 7 * k));
            repaint();
            EXPECT_EQ(same(screen, full()), QRect()) << whole << " step " << k;
        }
        const QPoint under = f.board().toBoard(grab + QPoint(78, 42));
        EXPECT_LE((under - f.body(5) - grabbedBoard).manhattanLength(), 2);
        f.interaction.buttonUp();
        repaint();
        EXPECT_EQ(same(screen, full()), QRect()) << whole << " released";

        // Joined and then separated, turned, scrolled.
        f.placeBody(1, f.body(0) + QPoint(200, 0));
        f.renderer.redrawBoard({.clearBackground = true});
        repaint();
        const QPoint from = f.grabPoint(1);
        const QPoint to = f.body(0) + QPoint(f.S() + 1, 1) + (from - f.body(1));
        f.press(L, clientOf(from));
        f.interaction.mouseMove(L, clientOf(to));
        repaint();
        f.interaction.buttonUp();
        repaint();
        ASSERT_EQ(f.puzzle().blocks.blockSize(0), 2) << whole;
        EXPECT_EQ(same(screen, full()), QRect()) << whole << " joined";
        f.press(R, clientOf(f.grabPoint(1)));
        f.interaction.mouseMove(R, clientOf(f.grabPoint(1)) + QPoint(30, 40));
        f.interaction.buttonUp();
        repaint();
        EXPECT_TRUE(f.isAlone(1));
        f.interaction.rightDoubleClick(R, clientOf(f.grabPoint(3)));
        repaint();
        EXPECT_EQ(same(screen, full()), QRect()) << whole << " separated and turned";
        f.interaction.keyDown(Qt::Key_Down);
        f.interaction.wheel(Shift, -120, QPoint(5, 5));
        repaint();
        EXPECT_EQ(same(screen, full()), QRect()) << whole << " scrolled";

        // Two elements selected by Ctrl + click and moved as one; then one dropped beyond the
        // left edge, which grows the table and moves everything.
        for (const int i : {6, 7}) {
            f.press(Ctrl | L, clientOf(f.grabPoint(i)));
            f.interaction.buttonUp();
        }
        ASSERT_EQ(f.state.input.selection.size(), 2) << whole;
        repaint();
        EXPECT_EQ(same(screen, full()), QRect()) << whole << " selected";
        const QPoint held = clientOf(f.grabPoint(6));
        f.press(L, held);
        for (int k = 1; k <= 3; ++k) {
            f.interaction.mouseMove(L, held + QPoint(-9 * k, 11 * k));
            repaint();
            EXPECT_EQ(same(screen, full()), QRect()) << whole << " selection step " << k;
        }
        f.interaction.buttonUp();
        repaint();
        EXPECT_EQ(same(screen, full()), QRect()) << whole << " selection put down";
        f.interaction.keyDown(Qt::Key_Escape);
        const int width = f.board().boardWidth;
        const QPoint from2 = clientOf(f.grabPoint(2));
        f.press(L, from2);
        f.interaction.mouseMove(L, clientOf(QPoint(5, f.grabPoint(2).y())));
        f.interaction.buttonUp();
        repaint();
        EXPECT_GT(f.board().boardWidth, width) << whole;
        EXPECT_EQ(same(screen, full()), QRect()) << whole << " grown";
        // Every loose element laid in rows: moved, each keeps its shape.
        ASSERT_TRUE(f.interaction.sorter().gatherLoose());
        f.renderer.flush(); // as the command does
        repaint();
        EXPECT_EQ(same(screen, full()), QRect()) << whole << " sorted";
    }
}

} // namespace

namespace {

// A board that grows (the sorting commands grow it) is drawn whole afterwards, also in the
// tiles along its old edges, drawn before for the smaller board (1800 x 1400 is no multiple of
// a tile).
TEST(ViewTest, AGrownBoardIsDrawnWholeAlongItsOldEdges) {
    ViewBoard f;
    expectBoardShowsElements(f, "before");
    Board& b = f.board();
    const Rect before{0, 0, b.boardWidth, b.boardHeight};
    b.grow(2100, 1650);
    f.state.changes.area(Rect{before.right, 0, b.boardWidth, b.boardHeight});
    f.state.changes.area(Rect{0, before.bottom, before.right, b.boardHeight});
    f.renderer.flush();
    expectBoardShowsElements(f, "grown");
    f.placeBody(3, QPoint(1950, 1500)); // an element out there
    f.state.changes.element(3);
    f.renderer.flush();
    expectBoardShowsElements(f, "an element on the new part");
}

} // namespace
