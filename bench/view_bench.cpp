// The view's scale on a board of 10,000 elements (100 x 100, element size 24) seen through a
// 1024 x 768 client area: a drag step and a scroll step at 100 %, at 50 % and in the whole-table
// view, each with the paint of what it invalidated into an image standing in for the window, and
// the memory of the reduced board copies against the board's own.

#include "bench/benchsupport.h"
#include "board/boardrenderer.h"
#include "board/boardstate.h"
#include "board/interaction.h"
#include "board/interactionhost.h"
#include "board/joiner.h"
#include "board/keystate.h"

#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int Rows = 100, Columns = 100, Size = 24;
constexpr int L = KeyState::LeftButton;
const QSize kClient(1024, 768);

class WindowHost : public IInteractionHost {
public:
    QRegion dirty;
    void invalidate(const QRegion& r) override { dirty += r.intersected(QRect(QPoint(0, 0), kClient)); }
    void invalidateAll() override { dirty = QRegion(QRect(QPoint(0, 0), kClient)); }
    void updateNow() override {}
    void endMouseCapture() override {}
    bool gameCompleted() const override { return false; }
    void announceCompletion() override {}
    void captureMouse() override {}
    QSize clientSize() const override { return kClient; }
    bool fullScreenMode() const override { return false; }
    bool runCommand(int) override { return true; }
    void hintModeChanged() override {}
    void showHintTip(int, int, QPoint) override {}
};

struct Bench {
    BoardState state;
    NullSound sound;
    NullCursor cursor;
    WindowHost host;
    BoardRenderer renderer{state, host, sound, cursor};
    Joiner joiner{state, renderer, sound, host};
    Interaction interaction{state, renderer, joiner, host, sound, cursor};
    QImage window{kClient, QImage::Format_RGB32};

    Bench() {
        generateStripedGame(state, Rows, Columns, Size, kClient);
        interaction.viewport().clientResized();
        renderer.redrawBoard({.clearBackground = true});
        paint();
    }

    // What the window's paint handler does with the area the step invalidated.
    void paint() {
        if (!host.dirty.isEmpty()) {
            QPainter p(&window);
            renderer.paint(p, host.dirty);
        }
        host.dirty = QRegion();
    }
    QPoint clientCentre(int i) const {
        const Rect& b = state.puzzle.bodyRects[i];
        return state.board.toClient(QRect(b.left + Size / 2, b.top + Size / 2, 1, 1)).center();
    }
};

using Clock = std::chrono::steady_clock;

struct Timings {
    std::vector<double> micros;
    void add(Clock::time_point start) {
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    double median() {
        std::sort(micros.begin(), micros.end());
        return micros[micros.size() / 2];
    }
};

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
    const auto start = Clock::now();
    b.paint(); // a zoomed-out view makes its reduced copies here, once
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::printf(
        "%s: scale %.3f, first paint %.1f ms, reduced copies %.1f MB for a board of %.1f MB (%.3f of it)\n",
        name(v), b.state.board.scale, ms, b.state.board.reduced.bytes() / 1e6,
        b.state.board.boardBitmap.sizeInBytes() / 1e6,
        double(b.state.board.reduced.bytes()) / b.state.board.boardBitmap.sizeInBytes());
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
    b.interaction.leftButtonDown(L, grab);
    b.paint();
    if (b.state.input.pickedElement != held) {
        state.SkipWithError("the press missed the element");
        return;
    }
    Timings step;
    int k = 0;
    for (auto _ : state) {
        const QPoint to = grab + QPoint((k % 2) * 3, ((k / 2) % 2) * 3);
        ++k;
        const auto start = Clock::now();
        b.interaction.mouseMove(L, to);
        b.paint();
        step.add(start);
        state.SetIterationTime(step.micros.back() / 1e6);
    }
    b.interaction.buttonUp();
    const double median = step.median();
    state.counters["median_us"] = median;
    std::printf("drag step at %s: median %.1f us over %zu steps\n", name(v), median, step.micros.size());
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
    Timings step;
    int k = 0;
    for (auto _ : state) {
        const int key = (k++ % 2) ? Qt::Key_Left : Qt::Key_Right;
        const auto start = Clock::now();
        b.interaction.keyDown(key);
        if (v == View::WholeTable)
            b.host.invalidateAll();
        b.paint();
        step.add(start);
        state.SetIterationTime(step.micros.back() / 1e6);
    }
    const double median = step.median();
    state.counters["median_us"] = median;
    std::printf("scroll step at %s: median %.1f us over %zu steps\n", name(v), median, step.micros.size());
}
BENCHMARK(BM_ViewScrollStep)
    ->Arg(int(View::Actual))
    ->Arg(int(View::Half))
    ->Arg(int(View::WholeTable))
    ->UseManualTime()
    ->Iterations(300)
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
