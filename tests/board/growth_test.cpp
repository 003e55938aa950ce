#include "boardfixture.h"
#include "game/gamestate.h"
#include "game/savedgame.h"
#include "game/savedgamesupport.h"

#include <QPainter>

namespace {

inline CutPlan sized(int size) {
    CutPlan p = plan(3, 5);
    p.size = size;
    return p;
}

// A 3 x 5 cut on the 1800 x 1400 board, seen at 100 % from the origin through an 800 x 600
// window, with elements 5 and 6 joined.
struct GrowthBoard : BoardFixture {
    explicit GrowthBoard(int size = 64) : BoardFixture(sized(size)) {
        interaction.viewport().clientResized();
        placeBody(5, home(5));
        dragTo(L, 6, home(6) + QPoint(2, 2));
        EXPECT_TRUE(joinedTo(6, Left, 5));
    }
    QImage window() {
        QImage image(host.client, QImage::Format_RGB32);
        QPainter painter(&image);
        renderer.paint(painter, QRegion(0, 0, host.client.width(), host.client.height()));
        return image;
    }
    QSize boardSize() const { return {state.board.boardWidth, state.board.boardHeight}; }
    std::vector<QPoint> bodies() const {
        std::vector<QPoint> result;
        for (int i = 0; i < count(); ++i)
            result.push_back(body(i));
        return result;
    }
    // Picks element i, moves its body to `target` (board) and holds it there.
    void hold(int i, QPoint target) {
        const QPoint p = state.board.toClient(QRect(grabPoint(i), QSize(1, 1))).topLeft();
        press(L, p);
        interaction.mouseMove(L, p + target - body(i));
    }
};

// A drop beyond any side grows the board on that side only, until the element lies on it with
// one element to spare beyond its body; growing left or up moves everything by what was added,
// the view with it: every element keeps its place among the others, joins and blocks stay, and
// the window shows the very same pixels.
TEST(TableGrowthTest, EachSideKeepsPlacesJoinsBlocksAndWhatTheWindowShows) {
    enum Way { Left, Up, Right, Down };
    for (const Way way : {Left, Up, Right, Down}) {
        GrowthBoard f;
        f.state.settings.scrollEnabled = 0; // the pointer rests in an edge band: no run into new table
        const int s = f.S();
        const QSize before = f.boardSize();
        const QPoint beyond = way == Left    ? QPoint(-s / 2, 300)
                              : way == Up    ? QPoint(300, -s / 2)
                              : way == Right ? QPoint(before.width() - s / 2, 300)
                                             : QPoint(300, before.height() - s / 2);
        f.hold(0, beyond);
        const std::vector<QPoint> held = f.bodies();
        const auto joins = f.joins();
        const QImage shown = f.window();
        f.interaction.buttonUp();

        const QSize after = f.boardSize();
        const QPoint shift(after.width() - before.width(), after.height() - before.height());
        const QPoint moved(way == Left ? shift.x() : 0, way == Up ? shift.y() : 0);
        EXPECT_EQ(shift.x() > 0, way == Left || way == Right) << way;
        EXPECT_EQ(shift.y() > 0, way == Up || way == Down) << way;
        for (int i = 0; i < f.count(); ++i)
            EXPECT_EQ(f.body(i), held[i] + moved) << way << " element " << i;
        const Rect& b = f.puzzle().bodyRects[0];
        const Rect& c = f.element(0).cellRect;
        EXPECT_TRUE(QRect(QPoint(0, 0), after).contains(QRect(c.left, c.top, c.width(), c.height()))) << way;
        const int spare = way == Left    ? b.left
                          : way == Up    ? b.top
                          : way == Right ? after.width() - b.right
                                         : after.height() - b.bottom;
        EXPECT_EQ(spare, s) << way;
        EXPECT_EQ(f.joins(), joins) << way;
        EXPECT_EQ(f.members(5), (std::vector<std::int32_t>{5, 6})) << way;
        EXPECT_EQ(f.window(), shown) << way;
        expectBoardShowsElements(f, "after growing");
    }
}

// Zoomed out, the view keeps what it shows to within a pixel; the whole-table view fits the
// larger board instead. Growth never passes the reach a saved game allows: beyond it the drop
// stays where it was let go, partly off the board as before.
TEST(TableGrowthTest, ScaledViewsTheWholeTableAndTheLimit) {
    GrowthBoard f;
    f.state.settings.scrollEnabled = 0;
    f.interaction.viewport().setScaleAbout(0.5, QPointF(0, 0));
    const QPointF corner = f.state.board.toClientF(QPointF(f.body(2)));
    f.hold(0, QPoint(-f.S(), 200));
    f.interaction.buttonUp();
    const QPointF again = f.state.board.toClientF(QPointF(f.body(2)));
    EXPECT_NEAR(again.x(), corner.x(), 1.0);
    EXPECT_NEAR(again.y(), corner.y(), 1.0);

    f.interaction.viewport().toggleWholeTable();
    f.hold(1, QPoint(f.state.board.boardWidth, 300));
    f.interaction.buttonUp();
    EXPECT_TRUE(f.interaction.viewport().wholeTableShown());
    EXPECT_EQ(f.interaction.viewport().visibleBoardRect(),
              QRectF(0, 0, f.state.board.boardWidth, f.state.board.boardHeight));

    f.interaction.viewport().actualSize();
    const int limit = f.interaction.growth().limit();
    f.hold(3, QPoint(limit + 500, 400));
    f.interaction.buttonUp();
    EXPECT_EQ(f.state.board.boardWidth, limit);
    EXPECT_EQ(f.body(3).x(), limit + 500);
}

// A board grown on every side saves and loads back as it was, beyond twice the screen too (with
// elements larger than the margin a fitted board keeps beyond a cell).
TEST(TableGrowthTest, AGrownBoardSavesAndLoadsBackAsItWas) {
    GrowthBoard f(96);
    f.state.settings.scrollEnabled = 0;
    f.hold(0, QPoint(-20, 300));
    f.interaction.buttonUp();
    f.hold(1, QPoint(300, -20));
    f.interaction.buttonUp();
    f.hold(2, QPoint(2600, 300));
    f.interaction.buttonUp();
    f.hold(3, QPoint(400, 2000));
    f.interaction.buttonUp();
    ASSERT_GT(f.state.board.boardWidth, 2 * 1024);
    ASSERT_GT(f.state.board.boardHeight, 2 * 768);
    f.state.board.scrollX = f.state.board.scrollY = 0; // a loaded game's view starts there

    GameState played;
    static_cast<BoardState&>(played) = f.state;
    played.screenWidth = 1024;
    played.screenHeight = 768;
    const QByteArray first = formatSavedGame(played, 0);
    SavedGame g;
    ASSERT_EQ(parseSavedGame(first, g), SavedGameError::None);
    const auto installed = installedGame(g, f.state.picture);
    EXPECT_EQ(installed->board.boardWidth, f.state.board.boardWidth);
    EXPECT_EQ(installed->board.boardHeight, f.state.board.boardHeight);
    EXPECT_EQ(installed->puzzle.bodyRects, f.puzzle().bodyRects);
    EXPECT_EQ(installed->puzzle.blocks.members(5), f.members(5));
    EXPECT_EQ(formatSavedGame(*installed, 0), first);
}

// Held at the window's edge with the view at the board's edge, the view goes on into new table
// that grows ahead of it, the held element under the pointer; elsewhere a held element does not
// scroll the view, as it never has.
TEST(TableGrowthTest, HeldAtTheEdgeTheViewGoesOnIntoNewTable) {
    GrowthBoard f;
    Board& b = f.state.board;
    b.scrollX = b.maxScrollX - 10;
    const QPoint p = b.toClient(QRect(f.grabPoint(4), QSize(1, 1))).topLeft();
    f.press(L, p);
    const QPoint edge(795, 300);
    EXPECT_FALSE(f.interaction.mouseMove(L, edge)); // not at the board's edge yet
    EXPECT_EQ(b.scrollX, b.maxScrollX - 10);
    b.scrollX = b.maxScrollX;
    const int width = b.boardWidth;
    EXPECT_TRUE(f.interaction.mouseMove(L, edge));
    EXPECT_GT(b.boardWidth, width);
    const int scrolled = b.scrollX;
    const QPoint bodyBefore = f.body(4);
    const int step = f.state.settings.mouseScrollSpeed;
    for (int k = 0; k < 5; ++k)
        EXPECT_TRUE(f.interaction.mouseMove(L, edge));
    EXPECT_EQ(b.scrollX, scrolled + 5 * step);
    // Each move catches up with the step the one before scrolled: under the pointer.
    EXPECT_EQ(f.body(4) - bodyBefore, QPoint(5 * step, 0));
    EXPECT_FALSE(f.interaction.mouseMove(L, QPoint(400, 300))); // out of the band: it stops
    f.interaction.buttonUp();
    EXPECT_EQ(f.state.input.edgeRun, QPoint());
}

// The table grows keeping every pixel, moved by what was added on the left and top, with the
// elements and joins on it; the new table shows the background alone.
TEST(TableGrowthTest, TheTableKeepsItsPixelsOnEverySide) {
    GrowthBoard f;
    const auto table = [&f] { return f.renderer.boardImage(QRect(QPoint(0, 0), f.boardSize())); };
    QImage expected = table();
    QSize size = f.boardSize();
    for (const QMargins add :
         {QMargins(0, 0, 40, 0), QMargins(13, 0, 0, 0), QMargins(0, 9, 0, 21), QMargins(5, 6, 7, 8)}) {
        EXPECT_EQ(f.interaction.growth().grow(add), add);
        size += QSize(add.left() + add.right(), add.top() + add.bottom());
        ASSERT_EQ(f.boardSize(), size);
        const QImage now = table();
        ASSERT_EQ(now.size(), size);
        EXPECT_EQ(now.copy(QRect(QPoint(add.left(), add.top()), expected.size())), expected)
            << add.left() << "," << add.top() << "," << add.right() << "," << add.bottom();
        expected = now;
    }
    f.renderer.dropCaches();
    EXPECT_EQ(table(), expected) << "drawn from nothing";
}

} // namespace
