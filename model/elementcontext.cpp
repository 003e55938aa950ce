#include "model/elementcontext.h"

#include "model/edges.h"
#include "model/element.h"
#include "model/parallel.h"
#include "model/puzzle.h"
#include "model/shapebuilder.h"

void prepareElement(ElementContext& context, int homeIndex, int turn) {
    Element& element = context.puzzle.element(homeIndex);
    turnEdgesBy(element.edgeSign, turn);
    turnEdgesBy(element.edgeShift, turn);
    element.orientation = turnedOrientation(element.orientation, turn);
    context.shapes.buildShape(element);
    context.shapes.computeShapeBounds(element);
    if (context.separateElement)
        context.separateElement(homeIndex);
    else
        element.joinedNeighbour = {-1, -1, -1, -1};
}

int joinedSides(const Element& element) {
    int mask = 0;
    for (int side = 0; side < 4; ++side) {
        if (element.joinedNeighbour[side] != -1)
            mask |= SideMask::of(side);
    }
    return mask;
}

QRegion joinStateRegion(const Element& element, ShapeBuilder& shapes) {
    const int mask = joinedSides(element);
    if (mask == 0 || !shapes.options().threeD)
        return element.outerRegion;
    if (mask == SideMask::All)
        return element.innerRegion;
    return shapes.trimmedOuterRegion(element.edgeSign, element.edgeShift, mask);
}

void placeBoardRegion(Puzzle& puzzle, ShapeBuilder& shapes, int homeIndex) {
    const Element& element = puzzle.element(homeIndex);
    puzzle.boardRegions.set(homeIndex, joinStateRegion(element, shapes),
                            QPoint(element.cellRect.left, element.cellRect.top));
}

void buildElements(Puzzle& puzzle, ShapeBuilder& shapes, const std::function<void(int)>& progress) {
    // Every shape the elements need exists before they are shaped side by side: from then on the
    // builder is only read.
    shapes.prepare(puzzle.elementGrid);
    // Bodies are written directly below, side by side: the index of places is built anew later.
    puzzle.placesChanged();
    const auto build = [&](int i) {
        Element& e = puzzle.element(i);
        shapes.buildShape(e);
        shapes.computeShapeBounds(e);
        puzzle.bodyRects[i] = puzzle.bodyRectFor(e.cellRect);
        placeBoardRegion(puzzle, shapes, i);
    };
    // A second thread pays only for many elements; a few are built in order, one step each.
    constexpr int parallelFrom = 1024;
    if (puzzle.count() < parallelFrom) {
        for (int i = 0; i < puzzle.count(); ++i) {
            if (progress)
                progress(i);
            build(i);
        }
        return;
    }
    parallelFor(
        puzzle.count(), 256,
        [&](int begin, int end, int) {
            for (int i = begin; i < end; ++i)
                build(i);
        },
        progress);
}
