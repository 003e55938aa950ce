// Dragging on a board of 10,000 elements (100 x 100, element size 24): one move step of a held
// element, picking and releasing a block of every element, the join that merges two blocks
// of 5,000, and the table growing when an element is dropped beyond its edge. The window is stood in for by a
// host that collects invalidated areas the way a widget's update region does, and lets them go after every
// step as a paint would.

#include "bench/benchsupport.h"
#include "board/keystate.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

constexpr int Rows = 100, Columns = 100, N = Rows * Columns, Size = 24;
constexpr int L = KeyState::LeftButton;
constexpr int Ctrl = KeyState::Control;

struct Bench : BenchTable {
    Bench() { generateStripedGame(state, Rows, Columns, Size, benchClient); }

    void redraw() {
        renderer.redrawBoard({.clearBackground = true});
        host.dirty = QRegion();
    }
    QPoint body(int i) const { return {state.puzzle.bodyRects[i].left, state.puzzle.bodyRects[i].top}; }
    QPoint centre(int i) const { return body(i) + QPoint(Size / 2, Size / 2); }

    // Everything at its place in the picture from `origin`, joined to all its neighbours in
    // blocks of whole column ranges [first, last].
    void assemble(QPoint origin, const std::vector<std::pair<int, int>>& columnRanges) {
        Puzzle& p = state.puzzle;
        const Geometry& g = p.geometry;
        for (int i = 0; i < N; ++i) {
            const int left = origin.x() + p.columnOf(i) * Size - g.bodyOffset;
            const int top = origin.y() + p.rowOf(i) * Size - g.bodyOffset;
            p.setCellRect(i, Rect{left, top, left + g.bitmapSize, top + g.bitmapSize});
        }
        joinColumnRanges(p, columnRanges);
        for (int i = 0; i < N; ++i)
            joiner.updateJoinRegion(i);
    }
};

std::unique_ptr<Bench>& shared() {
    static std::unique_ptr<Bench> bench;
    return bench;
}

using Clock = std::chrono::steady_clock;
double microsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// The machine is shared: CPU time of this thread shows the cost without the time other
// programs took the processor away.
double threadMicros() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

struct Figures {
    double median;
    double p99;
};

Figures figures(std::vector<double> micros) {
    std::sort(micros.begin(), micros.end());
    return {micros[micros.size() / 2], micros[std::min(micros.size() - 1, micros.size() * 99 / 100)]};
}

void report(const char* what, const std::vector<double>& wall, const std::vector<double>& cpu,
            benchmark::State& state) {
    const Figures w = figures(wall), c = figures(cpu);
    state.counters["median_us"] = w.median;
    state.counters["p99_us"] = w.p99;
    state.counters["cpu_median_us"] = c.median;
    state.counters["cpu_p99_us"] = c.p99;
    std::printf("%s: median %.1f us, 99th percentile %.1f us (CPU time: %.1f us, %.1f us) over %zu runs\n",
                what, w.median, w.p99, c.median, c.p99, wall.size());
}

// Times one step by the wall clock and by this thread's CPU time.
class Stopwatch {
public:
    void start() {
        wallStart_ = Clock::now();
        cpuStart_ = threadMicros();
    }
    double stop() {
        const double us = microsSince(wallStart_);
        wall.push_back(us);
        cpu.push_back(threadMicros() - cpuStart_);
        return us;
    }
    std::vector<double> wall, cpu;

private:
    Clock::time_point wallStart_;
    double cpuStart_ = 0;
};

// A held element moved back and forth, 3 pixels at a time, in a scattered game: the snapping
// pass over all 10,000 elements, the region move and the invalidation.
void BM_DragMoveStep(benchmark::State& state) {
    auto& b = shared();
    b = std::make_unique<Bench>();
    b->redraw();
    const int held = 5050;
    const QPoint grab = b->centre(held);
    b->interaction.leftButtonDown(L, grab);
    Stopwatch step;
    int k = 0;
    for (auto _ : state) {
        const QPoint to = grab + QPoint((k % 2) * 3, ((k / 2) % 2) * 3);
        ++k;
        step.start();
        b->interaction.mouseMove(L, to);
        state.SetIterationTime(step.stop() / 1e6);
        b->host.dirty = QRegion(); // painted
    }
    b->interaction.buttonUp();
    report("drag move step, 10,000 elements", step.wall, step.cpu, state);
}
BENCHMARK(BM_DragMoveStep)->UseManualTime()->Iterations(2000)->Unit(benchmark::kMicrosecond);

// A press on a member of the one block that holds every element raises it; the release draws
// it back.
void BM_BlockPickRelease(benchmark::State& state) {
    auto& b = shared();
    b = std::make_unique<Bench>();
    b->assemble(QPoint(40, 40), {{0, Columns - 1}});
    b->redraw();
    Stopwatch whole;
    for (auto _ : state) {
        whole.start();
        b->interaction.leftButtonDown(L, b->centre(4321));
        b->interaction.buttonUp();
        state.SetIterationTime(whole.stop() / 1e6);
        b->host.dirty = QRegion();
    }
    report("pick and release a block of 10,000", whole.wall, whole.cpu, state);
}
BENCHMARK(BM_BlockPickRelease)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// The same with a Ctrl + left drag in between: the first move lifts the other 9,999 members,
// every move carries them along, and the release draws all of them back.
void BM_BlockPickMoveRelease(benchmark::State& state) {
    auto& b = shared();
    b = std::make_unique<Bench>();
    b->assemble(QPoint(40, 40), {{0, Columns - 1}});
    b->redraw();
    Stopwatch whole, move;
    int k = 0;
    for (auto _ : state) {
        const QPoint grab = b->centre(4321);
        const QPoint by((k % 2) ? -7 : 7, 0);
        ++k;
        whole.start();
        b->interaction.leftButtonDown(Ctrl | L, grab);
        b->interaction.mouseMove(Ctrl | L, grab + by);
        move.start();
        b->interaction.mouseMove(Ctrl | L, grab + by + by);
        move.stop();
        b->interaction.buttonUp();
        state.SetIterationTime(whole.stop() / 1e6);
        b->host.dirty = QRegion();
    }
    report("pick, two moves and release of a block of 10,000", whole.wall, whole.cpu, state);
    report("  one further move step of that block", move.wall, move.cpu, state);
}
BENCHMARK(BM_BlockPickMoveRelease)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// Two blocks of 5,000 (columns 0-49 and 50-99) with a gap between them; the right one is
// lifted by a Ctrl + left drag, and the timed move brings it within reach: the snapping pass,
// linking the 100 pairs along the seam, the merge and drawing the moved half back.
void BM_MergeTwoBlocks(benchmark::State& state) {
    auto& b = shared();
    b = std::make_unique<Bench>();
    Stopwatch join, whole;
    for (auto _ : state) {
        state.PauseTiming();
        b->assemble(QPoint(40, 40), {{0, 49}, {50, 99}});
        const int gap = 300;
        for (int i = 0; i < N; ++i)
            if (b->state.puzzle.columnOf(i) >= 50) {
                Element& e = b->state.puzzle.element(i);
                b->state.puzzle.setCellRect(i, e.cellRect.translated(gap, 0));
                b->state.puzzle.boardRegions.translate(i, gap, 0);
            }
        b->state.puzzle.stackOrder.clear();
        for (int i = 0; i < N; ++i)
            b->state.puzzle.stackOrder.push_back(i);
        b->redraw();
        const int held = 25 * Columns + 50; // row 25, column 50
        const QPoint grab = b->centre(held);
        state.ResumeTiming();
        whole.start();
        b->interaction.leftButtonDown(Ctrl | L, grab);
        b->interaction.mouseMove(Ctrl | L, grab - QPoint(100, 0)); // lifts the block
        join.start();
        b->interaction.mouseMove(Ctrl | L, grab - QPoint(gap - 3, 2));
        join.stop();
        b->interaction.buttonUp();
        state.SetIterationTime(whole.stop() / 1e6);
        if (b->state.puzzle.blocks.blockSize(0) != N)
            state.SkipWithError("the blocks did not merge");
        b->host.dirty = QRegion();
    }
    report("join merging two blocks of 5,000 (the joining move)", join.wall, join.cpu, state);
    report("  press, lifting move, joining move and release", whole.wall, whole.cpu, state);
}
BENCHMARK(BM_MergeTwoBlocks)->UseManualTime()->Iterations(8)->Unit(benchmark::kMillisecond);

// An element dropped beyond the right edge (and, in turn, beyond the left edge, which moves every
// element and the view) grows the table by what it needs, the off-screen board bitmap with it
// (its rows moved in place in memory, the new strip painted); the rule's own part (margins,
// moving every element) is timed apart.
void BM_GrowOnDrop(benchmark::State& state) {
    auto& b = shared();
    b = std::make_unique<Bench>();
    b->redraw();
    b->interaction.viewport().clientResized();
    Stopwatch drop, rule;
    int k = 0;
    for (auto _ : state) {
        const bool left = k % 2 == 1;
        const int e = 100 * (k % 100) + 50;
        ++k;
        Puzzle& p = b->state.puzzle;
        const Board& board = b->state.board;
        const QPoint to = left ? QPoint(-Size, 300) : QPoint(board.boardWidth - Size / 2, 300);
        p.moveElement(e, to.x() - p.bodyRects[e].left, to.y() - p.bodyRects[e].top);
        const int width = board.boardWidth;
        drop.start();
        b->interaction.growth().growFor({e});
        state.SetIterationTime(drop.stop() / 1e6);
        if (board.boardWidth <= width)
            state.SkipWithError("the table did not grow");
        // The rule's own part apart (margins and moving everything), without a bitmap to follow.
        rule.start();
        const QMargins add = TableGrowth::marginsFor(
            QRect(to, QSize(Size, Size)), QRect(to - QPoint(Size, Size), QSize(3 * Size, 3 * Size)),
            QSize(board.boardWidth, board.boardHeight), 1 << 20);
        if (left)
            for (int i = 0; i < p.count(); ++i)
                p.moveElement(i, add.left(), add.top());
        rule.stop();
        if (left)
            for (int i = 0; i < p.count(); ++i)
                p.moveElement(i, -add.left(), -add.top());
        b->host.dirty = QRegion();
    }
    report("growing the table on a drop, 10,000 elements (left and right in turn)", drop.wall, drop.cpu,
           state);
    report("  of it the rule: margins, every element and the view moved", rule.wall, rule.cpu, state);
    std::printf("  the board grew to %d x %d\n", b->state.board.boardWidth, b->state.board.boardHeight);
}
BENCHMARK(BM_GrowOnDrop)->UseManualTime()->Iterations(12)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
