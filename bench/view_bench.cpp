// The view's scale on a board of 10,000 elements (100 x 100, element size 24) seen through a
// 1024 x 768 client area: a drag step, a scroll step and a step of a selection of 1,000 elements at
// 100 %, at 50 % and in the whole-table view, each with the paint of what it invalidated into an
// image standing in for the window (the tiles around the view drawn while idle between steps, as
// the window does), and the memory of what the renderer keeps against a board bitmap's.

#include "bench/benchsupport.h"
#include "board/keystate.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr int Rows = 100, Columns = 100, Size = 24;
constexpr int L = KeyState::LeftButton;

// The game generated, the view told of its size, the board drawn and the window painted once.
struct Bench : BenchTable {
    Bench() {
        generateStripedGame(state, Rows, Columns, Size, benchClient);
        interaction.viewport().clientResized();
        renderer.redrawBoard({.clearBackground = true});
        paint();
    }
    QPoint clientCentre(int i) const {
        const Rect& b = state.puzzle.bodyRects[i];
        return state.board.toClient(QRect(b.left + Size / 2, b.top + Size / 2, 1, 1)).center();
    }
};

using Clock = std::chrono::steady_clock;

enum class View { Actual, Half, WholeTable };
const char* name(View v) {
    return v == View::Actual ? "100 %" : v == View::Half ? "50 %" : "whole table";
}

void setView(Bench& b, View v) {
    Viewport& view = b.interaction.viewport();
    if (v == View::WholeTable)
        view.toggleWholeTable();
    else
        view.setScaleAbout(v == View::Half ? 0.5 : 1.0, QPointF(512, 384));
    b.renderer.waitForPictureLevels(); // made on another thread from the game's start
    const auto start = Clock::now();
    b.paint();
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const BoardRenderer::Memory m = b.renderer.memory();
    const double board = 4.0 * b.state.board.boardWidth * b.state.board.boardHeight;
    std::printf("%s: scale %.3f, first paint %.1f ms; kept: %d tiles %.1f MB, picture levels %.1f MB, index "
                "%.1f MB, against a board bitmap of %.1f MB\n",
                name(v), b.state.board.scale, ms, m.tileCount, m.tiles / 1e6, m.pictureLevels / 1e6,
                m.index / 1e6, board / 1e6);
}

// Times step(k) and the paint of what it invalidated, once per iteration, and prints the median.
template <class Step> void timeSteps(benchmark::State& state, Bench& b, const char* what, View v, Step step) {
    std::vector<double> micros;
    int k = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        step(k++);
        b.paint();
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        state.SetIterationTime(micros.back() / 1e6);
        b.idle();
    }
    std::sort(micros.begin(), micros.end());
    const double median = micros[micros.size() / 2];
    state.counters["median_us"] = median;
    std::printf("%s at %s: median %.1f us over %zu steps\n", what, name(v), median, micros.size());
}

// A held element moved back and forth in the middle of the view, 3 view pixels at a time: the
// snapping pass over all 10,000 elements, the repair of the board, the invalidation and the paint.
void BM_ViewDragStep(benchmark::State& state) {
    const View v = static_cast<View>(state.range(0));
    Bench b;
    setView(b, v);
    const int held = 5050;
    b.interaction.viewport().centreOn(
        QPointF(b.state.puzzle.bodyRects[held].left, b.state.puzzle.bodyRects[held].top));
    b.paint();
    const QPoint grab = b.clientCentre(held);
    // Zoomed out the capture area counts screen pixels, and scatter neighbours lie within it in
    // the whole-table view: only true neighbours join, so the held element stays held.
    b.state.settings.exactAssembly = 1;
    b.interaction.leftButtonDown(L, grab);
    b.paint();
    if (b.state.input.pickedElement != held) {
        state.SkipWithError("the press missed the element");
        return;
    }
    timeSteps(state, b, "drag step", v,
              [&](int k) { b.interaction.mouseMove(L, grab + QPoint((k % 2) * 3, ((k / 2) % 2) * 3)); });
    if (b.state.input.pickedElement != held)
        state.SkipWithError("the held element joined");
    b.interaction.buttonUp();
}
BENCHMARK(BM_ViewDragStep)
    ->Arg(int(View::Actual))
    ->Arg(int(View::Half))
    ->Arg(int(View::WholeTable))
    ->UseManualTime()
    ->Iterations(1000)
    ->Unit(benchmark::kMicrosecond);

// A cursor key scrolls by the key speed and the whole window is painted from the new place. In the
// whole-table view there is nothing to scroll; the whole window is painted all the same, as a
// scroll step would.
void BM_ViewScrollStep(benchmark::State& state) {
    const View v = static_cast<View>(state.range(0));
    Bench b;
    setView(b, v);
    b.interaction.viewport().centreOn(
        QPointF(b.state.board.boardWidth / 2.0, b.state.board.boardHeight / 2.0));
    b.paint();
    timeSteps(state, b, "scroll step", v, [&](int k) {
        b.interaction.keyDown(k % 2 ? Qt::Key_Left : Qt::Key_Right);
        if (v == View::WholeTable)
            b.host.invalidateAll();
    });
}
BENCHMARK(BM_ViewScrollStep)
    ->Arg(int(View::Actual))
    ->Arg(int(View::Half))
    ->Arg(int(View::WholeTable))
    ->UseManualTime()
    ->Iterations(300)
    ->Unit(benchmark::kMicrosecond);

// A selection of 1,000 elements (ten rows of the scatter, the whole board wide) held by one of
// them in the middle of the view and moved back and forth 3 view pixels at a time: moving every
// element of it, the invalidation and the paint of the selection where it now is; at 100 % also
// on a screen of ratio 2.
void BM_ViewSelectionStep(benchmark::State& state) {
    const View v = static_cast<View>(state.range(0));
    const int ratio = static_cast<int>(state.range(1));
    Bench b;
    b.setDeviceRatio(ratio);
    setView(b, v);
    // The scatter's rows 45-54: the ten rows in the middle of the board.
    std::vector<int> rows;
    const Puzzle& p = b.state.puzzle;
    for (int i = 0; i < p.count(); ++i)
        rows.push_back(i);
    std::sort(rows.begin(), rows.end(),
              [&](int x, int y) { return p.bodyRects[x].top < p.bodyRects[y].top; });
    const int held = rows[5050];
    for (int k = 4500; k < 5500; ++k)
        b.state.input.selection.add(rows[k]);
    b.interaction.viewport().centreOn(QPointF(p.bodyRects[held].left, p.bodyRects[held].top));
    b.paint();
    const QPoint grab = b.clientCentre(held);
    b.interaction.leftButtonDown(L, grab);
    b.interaction.mouseMove(L, grab + QPoint(3, 0)); // lifts the selection off the board
    b.paint();
    if (b.state.input.movingSelection.size() != 1000u) {
        state.SkipWithError("the press did not take the selection");
        return;
    }
    timeSteps(state, b, ratio == 1 ? "selection of 1,000 step" : "selection of 1,000 step at ratio 2", v,
              [&](int k) { b.interaction.mouseMove(L, grab + QPoint((k % 2) * 3, 3 + ((k / 2) % 2) * 3)); });
    b.interaction.buttonUp();
}
BENCHMARK(BM_ViewSelectionStep)
    ->Args({int(View::Actual), 1})
    ->Args({int(View::Half), 1})
    ->Args({int(View::WholeTable), 1})
    ->Args({int(View::Actual), 2})
    ->UseManualTime()
    ->Iterations(300)
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
