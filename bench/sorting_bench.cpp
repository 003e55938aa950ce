// The sorting commands on a board of 10,000 elements (100 x 100, element size 24) seen through a
// 1024 x 768 client area with the clock in its corner: the border first (396 elements) and every
// loose element, on the fresh scatter and in a game with three blocks of 1,800 elements in all,
// and every loose element on a board too low for them, which has to grow.
// Each run starts from the same board at 100 %; the command is timed (laying out, zooming out or
// growing the board, erasing, repairing and drawing into the board bitmap, one invalidation), and
// so is the first paint of the window after it, which brings the reduced board copies up to date.

#include "bench/benchsupport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

constexpr int Rows = 100, Columns = 100, Size = 24;

// The board and what draws and drives it, the clock in the corner of the window.
struct Table : BenchTable {
    Table() { host.hidden = QRect(benchClient.width() - 80, benchClient.height() - 20, 80, 20); }

    // The elements of rows [r0, r0 + h) and columns [c0, c0 + w) joined at their places in the
    // picture, the block's top-left body at `at`.
    void block(int r0, int c0, int h, int w, QPoint at) {
        Puzzle& p = state.puzzle;
        const Geometry& g = p.geometry;
        std::vector<std::int32_t> members;
        auto inside = [&](int i) {
            return i >= 0 && p.rowOf(i) >= r0 && p.rowOf(i) < r0 + h && p.columnOf(i) >= c0 &&
                   p.columnOf(i) < c0 + w;
        };
        for (int i = 0; i < p.count(); ++i) {
            if (!inside(i))
                continue;
            members.push_back(i);
            const int left = at.x() + (p.columnOf(i) - c0) * Size - g.bodyOffset;
            const int top = at.y() + (p.rowOf(i) - r0) * Size - g.bodyOffset;
            p.setCellRect(i, Rect{left, top, left + g.bitmapSize, top + g.bitmapSize});
            for (int side = 0; side < 4; ++side) {
                const int n = p.homeNeighbour(i, side);
                p.element(i).joinedNeighbour[side] = inside(n) ? n : -1;
            }
        }
        p.blocks.makeBlock(members);
        for (const int i : members)
            joiner.updateJoinRegion(i);
    }
};

enum Case { BorderFresh, LooseFresh, LooseWithBlocks, LooseOnLowBoard };
const char* const kCaseNames[] = {"border first, fresh scatter", "gather loose, fresh scatter",
                                  "gather loose, three blocks of 1,800 in all",
                                  "gather loose on a board of 60 % the height"};

// The boards every run starts from, made once.
const BoardState& startingBoard(Case c) {
    static std::unique_ptr<Table> boards[4];
    std::unique_ptr<Table>& t = boards[c];
    if (!t) {
        t = std::make_unique<Table>();
        generateStripedGame(t->state, Rows, Columns, Size, benchClient);
        if (c == LooseOnLowBoard) {
            // The scatter's lower rows then lie beyond the board: gathering must grow it again.
            Board& b = t->state.board;
            b.resize(b.boardWidth, b.boardHeight * 3 / 5, benchClient.width(), benchClient.height());
        }
        if (c == LooseWithBlocks) {
            t->block(0, 0, 30, 30, QPoint(200, 200));
            t->block(40, 40, 20, 20, QPoint(1500, 300));
            t->block(70, 0, 10, 50, QPoint(300, 2000));
        }
        t->interaction.viewport().clientResized();
        t->renderer.redrawBoard({.clearBackground = true});
    }
    return t->state;
}

using Clock = std::chrono::steady_clock;

double threadMillis() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void BM_Sorting(benchmark::State& state) {
    const Case c = static_cast<Case>(state.range(0));
    const BoardState& start = startingBoard(c);
    std::vector<double> wall, cpu, paint;
    int moved = 0, invalidations = 0;
    double scale = 0;
    bool grew = false;
    for (auto _ : state) {
        auto t = std::make_unique<Table>();
        t->state = start;
        t->interaction.viewport().clientResized();
        t->paint();
        Sorter& sorter = t->interaction.sorter();
        moved = static_cast<int>(c == BorderFresh ? sorter.borderElements().size()
                                                  : sorter.looseElements().size());

        const auto wallStart = Clock::now();
        const double cpuStart = threadMillis();
        const bool done = c == BorderFresh ? t->interaction.edgesFirst() : t->interaction.gatherLoose();
        wall.push_back(std::chrono::duration<double, std::milli>(Clock::now() - wallStart).count());
        cpu.push_back(threadMillis() - cpuStart);
        if (!done) {
            state.SkipWithError("nothing was sorted");
            return;
        }
        invalidations = t->host.invalidations;
        scale = t->state.board.scale;
        grew = t->state.board.boardHeight > start.board.boardHeight;
        state.SetIterationTime(wall.back() / 1e3);

        const auto paintStart = Clock::now();
        t->paint();
        paint.push_back(std::chrono::duration<double, std::milli>(Clock::now() - paintStart).count());
    }
    state.counters["median_ms"] = median(wall);
    state.counters["paint_ms"] = median(paint);
    std::printf("%s: %d elements laid, median %.1f ms (CPU time %.1f ms), %d invalidation(s), view at "
                "%.3f%s; the paint after it %.1f ms, over %zu runs\n",
                kCaseNames[c], moved, median(wall), median(cpu), invalidations, scale,
                grew ? ", board grown" : "", median(paint), wall.size());
}
BENCHMARK(BM_Sorting)
    ->Arg(BorderFresh)
    ->Arg(LooseFresh)
    ->Arg(LooseWithBlocks)
    ->Arg(LooseOnLowBoard)
    ->UseManualTime()
    ->Iterations(7)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
