#include "board/boardfixture.h"
#include "game/gamestate.h"
#include "game/settingschoice.h"

#include <gtest/gtest.h>

namespace {

constexpr int L = KeyState::LeftButton;

CutPlan plan(int rows, int columns) {
    CutPlan p;
    p.rows = rows;
    p.columns = columns;
    p.size = 64;
    return p;
}

void assemble(BoardFixture& f, const std::vector<int>& order) {
    bool first = true;
    for (const int i : order) {
        f.dragTo(L, i, first ? f.home(i) : f.home(i) + QPoint(2, -2));
        first = false;
    }
}

BoardRenderer::RedrawFlags fullRedraw() {
    return {.clearBackground = true, .rebuildBitmaps = true, .rebuildRegions = true};
}

// Applies a choice the way the settings command does.
SettingsChoice::Outcome applyAndRedraw(BoardFixture& f, const SettingsChoice& choice) {
    const SettingsChoice::Outcome outcome = choice.apply(f.state, f.cursor);
    if (outcome.redraw) {
        f.joiner.updateJoinRegions();
        f.renderer.redrawBoard(fullRedraw());
    }
    return outcome;
}

// The board region an element must have for its joins, from shapes built afresh.
QRegion expectedRegion(BoardFixture& f, ShapeBuilder& fresh, int i) {
    Element copy = f.element(i);
    fresh.buildShape(copy);
    const QRegion area = joinStateRegion(copy, fresh);
    return area.translated(copy.cellRect.left, copy.cellRect.top);
}

TEST(SettingsChoiceTest, ANewOutlineResizesEveryElementAndJoinedElementsStillMeetExactly) {
    BoardFixture f(plan(3, 4));
    assemble(f, {0, 1, 4, 5, 6});
    const auto joinsBefore = f.joins();
    ASSERT_EQ(joinsBefore.size(), 5u);
    const std::vector<Rect> bodiesBefore = f.puzzle().bodyRects;

    SettingsChoice choice = SettingsChoice::from(f.state.settings);
    choice.outlineThickness = 2;
    const auto outcome = applyAndRedraw(f, choice);
    EXPECT_TRUE(outcome.redraw);
    EXPECT_FALSE(outcome.clockVisibilityChanged);
    EXPECT_EQ(f.cursor.waitDepth, 0);

    const Geometry& g = f.puzzle().geometry;
    EXPECT_EQ(f.state.settings.outlineThickness, 2);
    EXPECT_EQ(g.bitmapSize, g.cellSize + 2);
    EXPECT_EQ(f.state.shapes.options().outlineThickness(), 2);
    EXPECT_EQ(f.puzzle().bodyRects, bodiesBefore);
    EXPECT_EQ(f.joins(), joinsBefore);

    // Everything as a cut made with the new outline from the start would have it.
    CutPlan thin = plan(3, 4);
    thin.outline = 2;
    auto reference = makeCut(thin, true);
    ShapeBuilder fresh(ShapeOptions{g, false, true});
    for (int i = 0; i < f.count(); ++i) {
        const Element& e = f.element(i);
        EXPECT_EQ(f.lookOf(i).size(), QSize(g.bitmapSize, g.bitmapSize)) << i;
        EXPECT_EQ(e.cellRect.width(), g.bitmapSize) << i;
        EXPECT_EQ(e.cellRect.height(), g.bitmapSize) << i;
        EXPECT_EQ(f.puzzle().bodyRects[i], f.puzzle().bodyRectFor(e.cellRect)) << i;
        EXPECT_EQ(e.outerRegion, reference->puzzle.element(i).outerRegion) << i;
        EXPECT_EQ(f.lookOf(i),
                  referenceBitmap(reference->puzzle.element(i), reference->puzzle,
                                  referenceTurns(reference->pictures[0]), reference->outlineColour))
            << i;
        EXPECT_EQ(f.puzzle().boardRegions[i], expectedRegion(f, fresh, i)) << i;
    }
    // Joined elements neither overlap nor leave a gap: along their common edge every pixel
    // belongs to the shape of one of them (the knob fills the socket).
    const int k = g.knobSize;
    for (const auto& [a, b] : joinsBefore) {
        const QRegion ra = f.puzzle().boardRegions[a], rb = f.puzzle().boardRegions[b];
        EXPECT_TRUE(ra.intersected(rb).isEmpty()) << a << "-" << b;
        const Rect& A = f.puzzle().bodyRects[a];
        const Rect& B = f.puzzle().bodyRects[b];
        const QRect strip = A.top == B.top
                                ? QRect(std::max(A.left, B.left) - k, A.top + k, 2 * k, g.elementSize - 2 * k)
                                : QRect(A.left + k, std::max(A.top, B.top) - k, g.elementSize - 2 * k, 2 * k);
        EXPECT_TRUE(QRegion(strip).subtracted(ra.united(rb)).isEmpty()) << a << "-" << b;
    }
    expectBoardShowsElements(f, "after the new outline");

    // The board goes on working: another element snaps to the block and the board stays right.
    f.dragTo(L, 2, f.home(2) + QPoint(3, 1));
    EXPECT_TRUE(f.joinedTo(2, Left, 1));
    EXPECT_EQ(f.members(0).size(), 6u);
    expectBoardShowsElements(f, "after a join with the new outline");
}

TEST(SettingsChoiceTest, TheBandOfTheOldOutlineIsGoneFromTheBoard) {
    BoardFixture f(plan(2, 2));
    const Element& e = f.element(3);
    const QRegion wide = e.outerRegion.translated(e.cellRect.left, e.cellRect.top);
    SettingsChoice choice = SettingsChoice::from(f.state.settings);
    choice.outlineThickness = 1;
    applyAndRedraw(f, choice);
    const QRegion narrow = f.puzzle().boardRegions[3];
    const QRegion gone = wide.subtracted(narrow);
    ASSERT_FALSE(gone.isEmpty());
    const QPoint p = gone.begin()->topLeft();
    EXPECT_EQ(f.boardPixel(p), f.state.background.backgroundColor.rgb());
    const QRegion band = narrow.subtracted(e.innerRegion.translated(e.cellRect.left, e.cellRect.top));
    ASSERT_FALSE(band.isEmpty());
    EXPECT_EQ(f.boardPixel(band.begin()->topLeft()), f.state.settings.outlineColor.rgb());
}

TEST(SettingsChoiceTest, WithoutBevelTheThicknessIsZeroAndBitmapsShrinkToTheCell) {
    BoardFixture f(plan(2, 3));
    assemble(f, {0, 1});
    SettingsChoice choice = SettingsChoice::from(f.state.settings);
    choice.threeD = 0;
    choice.outlineThickness = 1; // what the disabled field shows
    EXPECT_TRUE(applyAndRedraw(f, choice).redraw);
    const Geometry& g = f.puzzle().geometry;
    EXPECT_EQ(f.state.settings.threeD, 0);
    EXPECT_EQ(f.state.settings.outlineThickness, 0);
    EXPECT_EQ(g.bitmapSize, g.cellSize);
    EXPECT_FALSE(f.state.shapes.options().threeD);
    EXPECT_TRUE(f.state.settings.isValid());
    for (int i = 0; i < f.count(); ++i) {
        const Element& e = f.element(i);
        EXPECT_EQ(f.lookOf(i).width(), g.cellSize);
        EXPECT_EQ(e.outerRegion, e.innerRegion);
        EXPECT_EQ(f.puzzle().boardRegions[i], e.outerRegion.translated(e.cellRect.left, e.cellRect.top));
    }
    EXPECT_TRUE(f.joinedTo(0, Right, 1));
    expectBoardShowsElements(f, "without bevel");

    // Confirming again with the bevel still off changes nothing and draws nothing.
    choice = SettingsChoice::from(f.state.settings);
    choice.outlineThickness = 1;
    EXPECT_FALSE(choice.apply(f.state, f.cursor).redraw);
    EXPECT_EQ(f.state.settings.outlineThickness, 0);

    // The bevel back with thickness 1: bitmaps of cellSize + 1, the joined pair trimmed again.
    choice.threeD = 1;
    EXPECT_TRUE(applyAndRedraw(f, choice).redraw);
    EXPECT_EQ(g.bitmapSize, g.cellSize + 1);
    ShapeBuilder fresh(ShapeOptions{g, false, true});
    for (int i = 0; i < f.count(); ++i) {
        EXPECT_EQ(f.lookOf(i).width(), g.cellSize + 1);
        EXPECT_EQ(f.puzzle().boardRegions[i], expectedRegion(f, fresh, i)) << i;
    }
    expectBoardShowsElements(f, "bevel back");
}

// Only the bevel has a region for four joined sides: switching it on gives an element joined
// all round its inner region, and the flag that says so.
TEST(SettingsChoiceTest, TheBevelSwitchedOnTrimsElementsJoinedAllRound) {
    CutPlan p = plan(3, 3);
    p.threeD = false;
    BoardFixture f(p);
    assemble(f, {0, 1, 2, 3, 4, 5, 6, 7, 8});
    ASSERT_EQ(f.joins().size(), 12u);
    EXPECT_FALSE(f.element(4).fullyJoined(f.state.settings.threeD));

    SettingsChoice choice = SettingsChoice::from(f.state.settings);
    choice.threeD = 1;
    choice.outlineThickness = 3;
    EXPECT_TRUE(applyAndRedraw(f, choice).redraw);
    const Element& centre = f.element(4);
    EXPECT_TRUE(centre.fullyJoined(f.state.settings.threeD));
    EXPECT_EQ(f.puzzle().boardRegions[4],
              centre.innerRegion.translated(centre.cellRect.left, centre.cellRect.top));
    for (const int corner : {0, 2, 6, 8})
        EXPECT_FALSE(f.element(corner).fullyJoined(f.state.settings.threeD)) << corner;
    expectBoardShowsElements(f, "bevel switched on");
}

TEST(SettingsChoiceTest, OtherFieldsApplyWithoutRedrawAndOnlyTheTimerTouchesTheClock) {
    BoardFixture f(plan(2, 2));
    const std::vector<QRegion> regions = f.puzzle().boardRegions.toVector();
    SettingsChoice choice = SettingsChoice::from(f.state.settings);
    choice.captureArea = 9;
    choice.scrollArea = 50;
    choice.mouseScrollSpeed = 1;
    choice.keyScrollSpeed = 0;
    choice.scrollEnabled = 0;
    choice.exactAssembly = 1;
    auto outcome = choice.apply(f.state, f.cursor);
    EXPECT_FALSE(outcome.redraw);
    EXPECT_FALSE(outcome.clockVisibilityChanged);
    EXPECT_EQ(SettingsChoice::from(f.state.settings), choice);
    EXPECT_EQ(f.puzzle().boardRegions.toVector(), regions);

    choice.showTimer = 0;
    outcome = choice.apply(f.state, f.cursor);
    EXPECT_TRUE(outcome.clockVisibilityChanged);
    EXPECT_FALSE(outcome.redraw);
    EXPECT_EQ(f.state.settings.showTimer, 0);
    EXPECT_FALSE(choice.apply(f.state, f.cursor).clockVisibilityChanged);
}

TEST(SettingsChoiceTest, WithoutAGameOnlyTheRecordChanges) {
    GameState state;
    FakeCursor cursor;
    SettingsChoice choice = SettingsChoice::from(state.settings);
    choice.outlineThickness = 5;
    EXPECT_TRUE(choice.apply(state, cursor).redraw);
    EXPECT_EQ(state.settings.outlineThickness, 5);
    EXPECT_EQ(cursor.waitDepth, 0);
    EXPECT_TRUE(state.puzzle.isEmpty());
}

} // namespace
