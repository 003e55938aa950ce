// The window at 100 % shows, pixel for pixel, the table drawn the plain way the game drew it
// before (referencetable.h): for knobbed, mosaic and square-based cuts, with the bevel and
// without, turned elements, blocks, a held element and a held block, in hint mode and paused,
// on a texture and on a solid colour. The window is repainted only where the game asked, as
// the real one is, so a missed repaint shows as well as a wrong pixel.

#include "boardfixture.h"

#include <QPainter>

#include <random>

namespace {

struct WindowCase {
    const char* name;
    CutPlan plan;
    bool turned;
    bool texture;
};

void PrintTo(const WindowCase& c, std::ostream* os) {
    *os << c.name;
}

CutPlan cut(int size, bool mosaic, bool irregular, bool threeD, int outline = 4) {
    CutPlan p;
    p.rows = 4;
    p.columns = 5;
    p.size = size;
    p.mosaic = mosaic;
    p.irregularBase = irregular;
    p.threeD = threeD;
    p.outline = outline;
    p.second = 23;
    return p;
}

// A fixture seen through an 800 x 600 window whose picture is kept as the real window keeps it:
// repainted where the game invalidates.
struct WindowTable : BoardFixture {
    QImage window{800, 600, QImage::Format_RGB32};

    WindowTable(const WindowCase& c, const std::vector<int>& turns) : BoardFixture(c.plan, false, turns) {
        state.background.bitmapBackground = c.texture ? 1 : 0;
        state.background.loadTexture();
        state.board.setView(host.client, 1.0);
        renderer.redrawBoard({.clearBackground = true});
        window.fill(Qt::magenta);
        paintAll();
    }
    void paint(const QRegion& area) {
        QPainter p(&window);
        renderer.paint(p, area);
    }
    void paintAll() {
        paint(QRegion(window.rect()));
        host.clearInvalidations();
    }
    // What the window's paint handler gets: the areas invalidated since the last paint.
    void paintInvalidated() {
        paint(host.fullInvalidations ? QRegion(window.rect()) : host.invalidated);
        host.clearInvalidations();
    }
    void scrollTo(int x, int y) {
        state.board.scrollX = x;
        state.board.scrollY = y;
        state.board.clampScroll();
        state.refreshDragClip();
        host.invalidateAll();
    }
    // Where the window shows element i's grab point (a drop beyond the edge grows and scrolls).
    QPoint clientGrab(int i) const { return grabPoint(i) - QPoint(state.board.scrollX, state.board.scrollY); }
    // The window against the plain table at the view's place, and a whole paint against both.
    void expectWindowShowsTable(bool paused, const char* what) {
        paintInvalidated();
        const QImage expected =
            referenceBoard(state, paused)
                .copy(QRect(QPoint(state.board.scrollX, state.board.scrollY), window.size()));
        int wrong = 0;
        for (int y = 0; y < window.height() && wrong < 5; ++y)
            for (int x = 0; x < window.width() && wrong < 5; ++x)
                if (window.pixel(x, y) != expected.pixel(x, y)) {
                    ADD_FAILURE() << what << ": wrong at " << x << "," << y << " (board "
                                  << x + state.board.scrollX << "," << y + state.board.scrollY << ")";
                    ++wrong;
                }
        QImage whole(window.size(), QImage::Format_RGB32);
        {
            QPainter p(&whole);
            renderer.paint(p, QRegion(whole.rect()));
        }
        EXPECT_EQ(whole, expected) << what << ": a whole paint differs";
    }
};

class WindowPixelsTest : public testing::TestWithParam<WindowCase> {};

TEST_P(WindowPixelsTest, TheWindowAt100ShowsTheTableDrawnThePlainWay) {
    const WindowCase& c = GetParam();
    const int n = c.plan.rows * c.plan.columns;
    std::mt19937 random(11);
    // The first row stays upright, so it can be assembled into a block; the rest turned anyhow.
    std::vector<int> turns(n, 0);
    if (c.turned)
        for (int i = c.plan.columns; i < n; ++i)
            turns[i] = int(random() % 4) - 1;
    WindowTable f(c, turns);
    Puzzle& p = f.state.puzzle;

    // Scattered over each other in a random stacking order, some beyond the window's edge.
    for (int i = c.plan.columns; i < n; ++i)
        f.placeBody(i, QPoint(20 + int(random() % 900), 20 + int(random() % 700)));
    std::vector<std::int32_t> order = p.stackOrder;
    std::shuffle(order.begin(), order.end(), random);
    p.stackOrder = order;
    f.renderer.redrawBoard({.clearBackground = true});
    f.expectWindowShowsTable(false, "scattered");

    // The first row assembled by dragging, one element after the other: a block of five.
    for (int k = 0; k < c.plan.columns; ++k)
        f.dragTo(KeyState::LeftButton, k, f.home(k, QPoint(150, 120)) + (k ? QPoint(2, -1) : QPoint()));
    ASSERT_EQ(p.blocks.blockSize(0), c.plan.columns) << "the row did not join";
    f.expectWindowShowsTable(false, "a block");

    // Raised by a click, loose elements and the block, over some of the others and under some:
    // only where the order shows is drawn again.
    for (int k = 0; k < 8; ++k) {
        const int i = k % 3 == 0 ? 0 : c.plan.columns + int(random() % (n - c.plan.columns));
        f.press(KeyState::LeftButton, f.clientGrab(i));
        f.interaction.buttonUp();
        f.expectWindowShowsTable(false, "raised");
    }

    // A held element over everything, moved about.
    const int held = n - 1;
    QPoint at = f.clientGrab(held);
    f.press(KeyState::LeftButton, at);
    for (const QPoint by : {QPoint(40, 25), QPoint(-300, 90), QPoint(7, -3)}) {
        at += by;
        f.interaction.mouseMove(KeyState::LeftButton, at);
        f.expectWindowShowsTable(false, "a held element");
    }
    f.interaction.buttonUp();
    f.expectWindowShowsTable(false, "put down");

    // A held block: the rest of it off the table while it moves.
    at = f.clientGrab(2);
    f.press(KeyState::Control | KeyState::LeftButton, at);
    f.expectWindowShowsTable(false, "a block raised");
    for (const QPoint by : {QPoint(60, 200), QPoint(33, -17)}) {
        at += by;
        f.interaction.mouseMove(KeyState::Control | KeyState::LeftButton, at);
        f.expectWindowShowsTable(false, "a held block");
    }
    f.interaction.buttonUp();
    f.expectWindowShowsTable(false, "the block put down");

    // Turned and separated; scrolled; the hint mode; the pause.
    if (c.turned) {
        f.interaction.rightDoubleClick(KeyState::RightButton, f.clientGrab(3));
        f.interaction.leftDoubleClick(KeyState::Control | KeyState::LeftButton, f.clientGrab(1));
        f.expectWindowShowsTable(false, "turned");
    }
    f.scrollTo(f.state.board.maxScrollX / 2, f.state.board.maxScrollY / 3);
    f.expectWindowShowsTable(false, "scrolled");
    f.interaction.keyDown(Qt::Key_H);
    ASSERT_EQ(f.state.input.hintMode, 1);
    f.expectWindowShowsTable(false, "hint mode");
    f.renderer.coverBoard();
    f.expectWindowShowsTable(true, "paused");
    f.renderer.redrawBoard({.clearBackground = true});
    f.expectWindowShowsTable(false, "after the pause");
}

INSTANTIATE_TEST_SUITE_P(
    Cuts, WindowPixelsTest,
    testing::Values(WindowCase{"knobbed", cut(64, false, true, true), true, true},
                    WindowCase{"knobbedFlat", cut(64, false, true, false, 0), true, false},
                    WindowCase{"mosaic", cut(48, true, true, true), true, true},
                    WindowCase{"squareBase", cut(48, false, false, true, 2), false, false},
                    WindowCase{"squareMosaicFlat", cut(32, true, false, false, 0), true, true},
                    WindowCase{"thickBevel", cut(48, false, true, true, 7), true, false}),
    [](const testing::TestParamInfo<WindowCase>& info) { return info.param.name; });

} // namespace
