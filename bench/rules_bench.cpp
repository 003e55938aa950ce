// The rules of play alone, without drawing, on a game of 54,000 elements (180 x 300, element size
// 48): the snapping pass of a drag step (through the index of places and over every element),
// the partners in reach at a pick zoomed out, the join of two blocks of 27,000, a block grown to
// 54,000 one join at a time, separating the middle of that block, completing a selection of it,
// the completion test, the table growing at its left, raising a block, and what the sorting
// commands work out before they move anything. Each figure is the median of its runs.

#include "bench/benchsupport.h"
#include "board/selection.h"
#include "board/sorter.h"
#include "board/stacking.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int Rows = 180, Columns = 300, N = Rows * Columns, Size = 48;

using Clock = std::chrono::steady_clock;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

void print(const char* what, const std::vector<double>& micros, benchmark::State& state) {
    const double m = median(micros);
    state.counters["median_us"] = m;
    if (m >= 1000)
        std::printf("%s: median %.2f ms over %zu runs\n", what, m / 1000, micros.size());
    else
        std::printf("%s: median %.1f us over %zu runs\n", what, m, micros.size());
}

template <class F> double timed(F&& f) {
    const auto start = Clock::now();
    f();
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// A table without pictures: no element has a bitmap or a board region to draw, so what is timed
// is the rules' own work.
struct Rules : BenchTable {
    Rules() {
        bitmapFreeGame(state, Rows, Columns, Size);
        state.settings.threeD = 0;
        state.cut.rotateElements = 0;
        Puzzle& p = state.puzzle;
        const Geometry& g = p.geometry;
        for (int i = 0; i < N; ++i) {
            p.element(i).orientation = 0;
            const Rect& b = p.bodyRects[i];
            p.setCellRect(i, Rect{b.left - g.bodyOffset, b.top - g.bodyOffset,
                                  b.left - g.bodyOffset + g.bitmapSize, b.top - g.bodyOffset + g.bitmapSize});
        }
        state.board.setView(benchClient, 1.0);
    }

    // Every element at its place in the picture from `origin`, joined to its neighbours in the
    // blocks of whole column ranges given; the columns from `shiftFrom` on lie `gap` further right.
    void assemble(const std::vector<std::pair<int, int>>& columnRanges, int shiftFrom = Columns,
                  int gap = 0) {
        Puzzle& p = state.puzzle;
        const Geometry& g = p.geometry;
        p.create(Rows, Columns);
        p.geometry = g;
        bitmapFreeEdges();
        for (int i = 0; i < N; ++i) {
            const int c = p.columnOf(i);
            const int left = 40 + c * Size + (c >= shiftFrom ? gap : 0) - g.bodyOffset;
            const int top = 40 + p.rowOf(i) * Size - g.bodyOffset;
            p.setCellRect(i, Rect{left, top, left + g.bitmapSize, top + g.bitmapSize});
        }
        joinColumnRanges(p, columnRanges);
    }

    // Edges as the picture's cut has them, none turned.
    void bitmapFreeEdges() {
        std::mt19937 random(1);
        std::vector<std::int32_t> signs(2 * std::size_t(N)), shifts(2 * std::size_t(N));
        for (std::size_t k = 0; k < signs.size(); ++k) {
            signs[k] = random() % 2 ? 1 : -1;
            shifts[k] = static_cast<std::int32_t>(random() % 3) - 1;
        }
        const EdgeGrids edges = computeEdgeProfiles(signs, shifts, Rows, Columns);
        for (int i = 0; i < N; ++i) {
            state.puzzle.element(i).edgeSign = edges.signs[std::size_t(i)];
            state.puzzle.element(i).edgeShift = edges.shifts[std::size_t(i)];
        }
    }
};

// One held element moved 3 pixels at a time back and forth over the scatter, nothing in reach:
// the pass through the index of places, and the same pass meeting every element.
void BM_SnappingPass(benchmark::State& state) {
    const bool plain = state.range(0) != 0;
    auto r = std::make_unique<Rules>();
    r->joiner.plainPass = plain;
    Puzzle& p = r->state.puzzle;
    const int e = N / 2 + Columns / 2;
    r->state.input.pickedElement = e;
    std::vector<double> micros;
    for (auto _ : state) {
        for (int step = 0; step < 2000; ++step) {
            const int d = (step / 20) % 2 ? -3 : 3;
            p.moveElement(e, d, 1 - 2 * ((step / 7) % 2));
            micros.push_back(timed([&] { r->joiner.snap(e); }));
        }
    }
    print(plain ? "snapping pass of a drag step, meeting every element"
                : "snapping pass of a drag step, through the index of places",
          micros, state);
}
BENCHMARK(BM_SnappingPass)->Arg(0)->Arg(1)->Iterations(1);

// Zoomed out to the whole table, the elements within reach of one picked from the scatter.
void BM_PartnersInReach(benchmark::State& state) {
    auto r = std::make_unique<Rules>();
    r->state.board.setView(benchClient, 0.05);
    std::vector<double> micros;
    std::size_t found = 0;
    for (auto _ : state)
        for (int k = 0; k < 500; ++k)
            micros.push_back(timed([&] { found += r->joiner.partnersInReach((k * 7919) % N).size(); }));
    benchmark::DoNotOptimize(found);
    print("partners in reach at a pick, whole-table view (capture 100 board pixels)", micros, state);
}
BENCHMARK(BM_PartnersInReach)->Iterations(1);

// Two blocks of 27,000 (columns 0-149 and 150-299) 300 pixels apart; the right one, held by a
// member and lifted, is brought within 3 pixels: the pass, the block moved to the exact place,
// the 180 pairs along the seam linked, the merge, raising and the completion test.
void BM_JoinTwoHalves(benchmark::State& state) {
    auto r = std::make_unique<Rules>();
    Puzzle& p = r->state.puzzle;
    std::vector<double> micros;
    for (auto _ : state) {
        state.PauseTiming();
        r->assemble({{0, Columns / 2 - 1}, {Columns / 2, Columns - 1}}, Columns / 2, 300);
        const int held = 90 * Columns + Columns / 2;
        r->state.input.pickedElement = held;
        r->state.input.blockLifted = true;
        r->state.changes.clear();
        for (const int j : p.blocks.members(held))
            p.moveElement(j, -297, 2);
        state.ResumeTiming();
        micros.push_back(timed([&] { r->joiner.snap(held); }));
        if (p.blocks.blockSize(0) != N)
            state.SkipWithError("the blocks did not merge");
    }
    print("join of two blocks of 27,000", micros, state);
}
BENCHMARK(BM_JoinTwoHalves)->Iterations(7);

// The whole picture built as one block, one element joining it at a time in reading order: every
// merge of a growing block, and the separation of an element from the middle of the finished
// block, which splits it in two.
void BM_GrowingBlock(benchmark::State& state) {
    auto r = std::make_unique<Rules>();
    Puzzle& p = r->state.puzzle;
    std::vector<double> total, backwards, split;
    for (auto _ : state) {
        r->assemble({});
        Blocks& blocks = p.blocks;
        total.push_back(timed([&] {
            for (int i = 1; i < N; ++i)
                blocks.merge(0, i);
        }));
        // From the bottom right: each element joining comes before every member, the dearest order.
        r->assemble({});
        backwards.push_back(timed([&] {
            for (int i = N - 2; i >= 0; --i)
                blocks.merge(N - 1, i);
        }));
        // Joined as a picture, so that separating has links to walk: one column taken out.
        r->assemble({{0, Columns - 1}});
        for (int row = 0; row < Rows; ++row) {
            const int i = row * Columns + Columns / 2;
            split.push_back(timed([&] { r->joiner.separateElement(i); }));
            if (row == 0 && p.blocks.blockSize(0) != N - 1)
                state.SkipWithError("the first separation split the block");
        }
        if (p.blocks.blockSize(0) != Rows * (Columns / 2))
            state.SkipWithError("the block did not split in two");
    }
    print("a block grown to 54,000 by 53,999 joins of one element, all merges", total, state);
    print("  the same from the bottom right, all merges", backwards, state);
    print("separating one element of a column from a block of 54,000 (the last splits it)", split, state);
}
BENCHMARK(BM_GrowingBlock)->Iterations(3);

// A selection of one member of each of the blocks of ten of the scatter, and of every member of
// a block of 54,000, completed to whole blocks.
void BM_SelectionOfBlocks(benchmark::State& state) {
    auto r = std::make_unique<Rules>();
    std::vector<double> tens, whole;
    for (auto _ : state) {
        Selection s;
        s.reset(N);
        for (int i = 0; i < N; i += 10)
            s.add(i);
        tens.push_back(timed([&] { s.completeBlocks(r->state.puzzle.blocks); }));
    }
    r->assemble({{0, Columns - 1}});
    for (int k = 0; k < 3; ++k) {
        Selection s;
        s.reset(N);
        for (int i = 0; i < N; ++i)
            s.add(i);
        whole.push_back(timed([&] { s.completeBlocks(r->state.puzzle.blocks); }));
    }
    print("selection of the scatter's blocks of ten completed", tens, state);
    print("selection of a block of 54,000 completed", whole, state);
}
BENCHMARK(BM_SelectionOfBlocks)->Iterations(5);

// The finished picture: the completion test, raising the block and the table growing at its left,
// which moves every element.
void BM_FinishedPicture(benchmark::State& state) {
    auto r = std::make_unique<Rules>();
    r->assemble({{0, Columns - 1}});
    Puzzle& p = r->state.puzzle;
    std::vector<double> complete, raise, grow;
    for (auto _ : state) {
        r->state.changes.clear(); // what the view would have taken
        raise.push_back(timed([&] { raiseToTop(p, N / 2, r->state.changes); }));
        bool done = false;
        complete.push_back(timed([&] { done = r->joiner.isComplete(); }));
        if (!done)
            state.SkipWithError("not complete");
        p.places(); // as after a drag: the index is kept up to date with the move
        grow.push_back(timed([&] { p.moveAll(500, 0); }));
    }
    print("completion test of the finished picture", complete, state);
    print("raising a block of 54,000", raise, state);
    print("every element moved as the table grows at its left", grow, state);
}
BENCHMARK(BM_FinishedPicture)->Iterations(9);

// What the sorting commands work out on the scatter before drawing: the border elements, the
// loose elements, and, for half of the loose ones laid in rows over the top of the table, the
// others the rows would cover with the places they move to.
void BM_SortingRules(benchmark::State& state) {
    auto r = std::make_unique<Rules>();
    const Sorter& sorter = r->interaction.sorter();
    const Puzzle& p = r->state.puzzle;
    std::vector<double> border, loose, room;
    std::size_t moved = 0;
    for (auto _ : state) {
        border.push_back(timed([&] { benchmark::DoNotOptimize(sorter.borderElements()); }));
        std::vector<std::int32_t> all;
        loose.push_back(timed([&] { all = sorter.looseElements(); }));
        std::vector<std::int32_t> laid;
        for (std::size_t k = 0; k < all.size(); k += 2)
            laid.push_back(all[k]);
        std::vector<QPoint> places;
        const int cell = p.geometry.bitmapSize + sorter.gap();
        for (std::size_t k = 0; k < laid.size(); ++k)
            places.emplace_back(int(k % Columns) * cell, int(k / Columns) * cell);
        room.push_back(timed([&] { moved = sorter.makeRoom(laid, places).size(); }));
    }
    print("border elements listed", border, state);
    print("loose elements listed", loose, state);
    std::printf("  (%zu covered elements moved to free places)\n", moved);
    print("room made under rows of half the loose elements", room, state);
    // The commands themselves on the scatter, as the window's view asks, without painting.
    std::vector<double> edges, gather;
    for (int k = 0; k < 3; ++k) {
        auto fresh = std::make_unique<Rules>();
        fresh->interaction.viewport().clientResized();
        edges.push_back(timed([&] { fresh->interaction.edgesFirst(); }));
        fresh->state.changes.clear();
        gather.push_back(timed([&] { fresh->interaction.gatherLoose(); }));
    }
    print("the border first (Ctrl+E), rules alone", edges, state);
    print("every loose element gathered (Ctrl+G), rules alone", gather, state);
}
BENCHMARK(BM_SortingRules)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
