#include "model/elementcontext.h"

#include "model/edges.h"
#include "model/element.h"
#include "model/elementbitmap.h"
#include "model/puzzle.h"
#include "model/shapebuilder.h"

bool prepareElement(ElementContext& context, int homeIndex, int turn) {
    Element& element = context.puzzle.element(homeIndex);
    turnEdgesBy(element.edgeSign, turn);
    turnEdgesBy(element.edgeShift, turn);
    context.shapes.buildShape(element);
    context.shapes.computeShapeBounds(element);
    const bool painted =
        paintElementBitmap(element, turn, context.puzzle, context.turnedPictures, context.outlineColor);
    if (!painted)
        element.orientation = turnedOrientation(element.orientation, turn); // it follows the edges
    if (context.separateElement) {
        context.separateElement(homeIndex);
    } else {
        element.alone = 1;
        element.fullyJoined = 0;
    }
    return painted;
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
    puzzle.boardRegions[homeIndex] =
        joinStateRegion(element, shapes).translated(element.cellRect.left, element.cellRect.top);
}
