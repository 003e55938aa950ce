// Shape building and element painting for a large cut: 100 x 100 elements, as generation does
// them (random tables, edge profiles, then turn, shape and board region per element, one by one
// or on every core), and what painting every element at 100 % from the picture as cut costs.

#include "model/edges.h"
#include "model/elementcontext.h"
#include "model/elementpainter.h"
#include "model/puzzle.h"
#include "model/randomtables.h"
#include "model/services.h"
#include "model/shapebuilder.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <vector>

namespace {

constexpr int Rows = 100, Columns = 100, N = Rows * Columns;

class FixedClock : public IClock {
public:
    std::int64_t nowSeconds() const override { return 1'700'000'017; }
};

// The cut picture, made once per element size.
const QImage& picture(int size) {
    static std::map<int, QImage> made;
    auto it = made.find(size);
    if (it != made.end())
        return it->second;
    QImage cut(Columns * size, Rows * size, QImage::Format_RGB32);
    QPainter p(&cut);
    p.fillRect(cut.rect(), QColor(40, 90, 160));
    for (int k = 0; k < Columns * size; k += 7)
        p.fillRect(k, 0, 3, Rows * size, QColor(k % 255, 200, 50));
    p.end();
    return made.emplace(size, std::move(cut)).first->second;
}

struct Tables {
    EdgeGrids grids;
    std::vector<std::int32_t> turns;
};

Tables makeTables() {
    StandardRandom random;
    FixedClock clock;
    std::vector<std::int32_t> signs(2 * N), shifts(2 * N);
    Tables t;
    t.turns.resize(N);
    fillRandomTable(signs, RandomTableKind::EdgeSigns, Columns, random, clock);
    fillRandomTable(shifts, RandomTableKind::KnobShifts, Columns, random, clock);
    fillRandomTable(t.turns, RandomTableKind::Turns, Columns, random, clock);
    t.grids = computeEdgeProfiles(signs, shifts, Rows, Columns);
    return t;
}

ShapeOptions optionsFor(int size, bool mosaic) {
    return ShapeOptions{Geometry::compute(size, mosaic, true, 4), mosaic, true};
}

void fillPuzzle(Puzzle& puzzle, const Tables& tables, int size, bool mosaic) {
    puzzle.create(Rows, Columns);
    puzzle.geometry = optionsFor(size, mosaic).geometry;
    const int b = puzzle.geometry.bitmapSize;
    for (int i = 0; i < N; ++i) {
        Element& e = puzzle.element(i);
        e.edgeSign = tables.grids.signs[i];
        e.edgeShift = tables.grids.shifts[i];
        const int left = (i % Columns) * b, top = (i / Columns) * b;
        puzzle.setCellRect(i, Rect{left, top, left + b, top + b});
    }
}

// The whole per-element work of generation, with a fresh shape builder (empty cache) each time:
// one element after the other, or as generation does it (the distinct shapes first, then the
// elements on every core).
void BM_GenerateShapes(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    const bool mosaic = state.range(1) != 0;
    const bool everyCore = state.range(2) != 0;
    const Tables tables = makeTables();
    auto puzzle = std::make_unique<Puzzle>();
    int distinct = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fillPuzzle(*puzzle, tables, size, mosaic);
        ShapeBuilder shapes(optionsFor(size, mosaic));
        ElementContext context{*puzzle, shapes, {}};
        state.ResumeTiming();
        if (everyCore) {
            for (int i = 0; i < N; ++i) {
                Element& e = puzzle->element(i);
                turnEdgesBy(e.edgeSign, tables.turns[i]);
                turnEdgesBy(e.edgeShift, tables.turns[i]);
                e.orientation = turnedOrientation(0, tables.turns[i]);
            }
            buildElements(*puzzle, shapes);
        } else {
            for (int i = 0; i < N; ++i) {
                prepareElement(context, i, tables.turns[i]);
                placeBoardRegion(*puzzle, shapes, i);
            }
        }
        distinct = shapes.cachedShapes();
    }
    state.counters["elements"] = N;
    state.counters["distinctShapes"] = distinct;
    state.counters["perElement_us"] =
        benchmark::Counter(N, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Shapes alone, cached and uncached: what sharing shapes between equal profiles saves.
void BM_ShapesOnly(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    const bool cached = state.range(1) != 0;
    const Tables tables = makeTables();
    auto puzzle = std::make_unique<Puzzle>();
    fillPuzzle(*puzzle, tables, size, false);
    for (auto _ : state) {
        ShapeBuilder shapes(optionsFor(size, false));
        for (int i = 0; i < N; ++i) {
            Element& e = puzzle->element(i);
            if (cached) {
                shapes.buildShape(e);
            } else {
                ShapeBuilder fresh(optionsFor(size, false)); // every element built from scratch
                fresh.buildShape(e);
            }
            shapes.computeShapeBounds(e);
        }
        benchmark::DoNotOptimize(puzzle->element(N - 1).innerRegion.rectCount());
    }
    state.counters["perElement_us"] =
        benchmark::Counter(N, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The element painter alone, every element at 100 % into one bitmap-sized square: the outline
// colour, then the shape's pixels from the picture as cut, turned on the way.
void BM_PaintOnly(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    const QImage& cut = picture(size);
    const Tables tables = makeTables();
    auto puzzle = std::make_unique<Puzzle>();
    fillPuzzle(*puzzle, tables, size, false);
    ShapeBuilder shapes(optionsFor(size, false));
    ElementContext context{*puzzle, shapes, {}};
    for (int i = 0; i < N; ++i)
        prepareElement(context, i, tables.turns[i]);
    QImage look(puzzle->geometry.bitmapSize, puzzle->geometry.bitmapSize, QImage::Format_RGB32);
    for (auto _ : state) {
        for (int i = 0; i < N; ++i)
            paintElementBitmap(look, puzzle->element(i), *puzzle, cut, QColor(128, 128, 128));
    }
    state.counters["perElement_us"] =
        benchmark::Counter(N, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(BM_GenerateShapes)
    ->ArgNames({"size", "mosaic", "everyCore"})
    ->Args({32, 0, 0})
    ->Args({32, 0, 1})
    ->Args({64, 0, 0})
    ->Args({64, 0, 1})
    ->Args({32, 1, 1})
    ->Args({64, 1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShapesOnly)
    ->ArgNames({"size", "cached"})
    ->Args({32, 1})
    ->Args({32, 0})
    ->Args({64, 1})
    ->Args({64, 0})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintOnly)->ArgName("size")->Arg(32)->Arg(64)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
