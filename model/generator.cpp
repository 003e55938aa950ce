#include "model/generator.h"

#include "model/edges.h"
#include "model/elementcontext.h"
#include "model/puzzle.h"
#include "model/randomtables.h"
#include "model/settings.h"
#include "model/shapebuilder.h"

#include <algorithm>
#include <vector>

int progressStep(int count) {
    return std::max(1, count / progressThreshold);
}

QSize boardSizeFor(int columns, int rows, int bitmapSize, QSize screen, QSize fullScreenClient) {
    const int w = bitmapSize * columns + (screen.width() - fullScreenClient.width()) + 50;
    const int h = bitmapSize * rows + (screen.height() - fullScreenClient.height()) + 50;
    return {std::max(screen.width(), w), std::max(screen.height(), h)};
}

std::int64_t boardReach(int bitmapSize, int rows, int columns) {
    return std::int64_t(bitmapSize) * std::max(rows, columns) + maxScreenSide;
}

void Generator::generate(const GenerationRequest& request, Puzzle& puzzle, ShapeBuilder& shapes,
                         Settings& settings, IProgress* progress) {
    const CutParameters& cut = request.cut;
    if (cut.forcesExactAssembly())
        settings.exactAssembly = 1;
    const int rows = request.rows, columns = request.columns;
    const int n = rows * columns;

    std::vector<std::int32_t> signTable(2 * static_cast<std::size_t>(n));
    std::vector<std::int32_t> shiftTable(2 * static_cast<std::size_t>(n), 0);
    fillRandomTable(signTable, RandomTableKind::EdgeSigns, columns, random_, clock_);
    if (cut.shiftKnobs)
        fillRandomTable(shiftTable, RandomTableKind::KnobShifts, columns, random_, clock_);
    const EdgeGrids edges = computeEdgeProfiles(signTable, shiftTable, rows, columns);

    puzzle.create(rows, columns);
    std::vector<std::int32_t> turns(n, 0);
    if (cut.rotateElements)
        fillRandomTable(turns, RandomTableKind::Turns, columns, random_, clock_);
    std::vector<std::int32_t> scatter(n);
    randomPermutation(scatter, random_, clock_);

    puzzle.geometry =
        Geometry::compute(request.elementSize, cut.mosaic, cut.irregularBase, settings.outlineThickness);
    shapes.setOptions(ShapeOptions{puzzle.geometry, cut.mosaic != 0, settings.threeD != 0});

    // The records first: edges turned by the element's random turn, and its square of the
    // scatter grid. Everything made from them is built as a loaded game's elements are.
    const int size = puzzle.geometry.bitmapSize;
    for (int i = 0; i < n; ++i) {
        Element& e = puzzle.element(i);
        e.edgeSign = edges.signs[i];
        e.edgeShift = edges.shifts[i];
        turnEdgesBy(e.edgeSign, turns[i]);
        turnEdgesBy(e.edgeShift, turns[i]);
        e.orientation = turnedOrientation(0, turns[i]);
        const int p = scatter[i];
        const int left = (p % columns) * size, top = (p / columns) * size;
        e.cellRect = {left, top, left + size, top + size};
    }
    const bool showProgress = progress && n >= progressThreshold;
    if (showProgress)
        progress->begin(0, n, progressStep(n));
    buildElements(puzzle, shapes, [&](int done) {
        if (showProgress)
            progress->setPosition(done);
    });
    if (showProgress)
        progress->end();
}
