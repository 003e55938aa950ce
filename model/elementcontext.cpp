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
        element.orientation = ((element.orientation - turn) % 4 + 4) % 4;
    if (context.separateElement) {
        context.separateElement(homeIndex);
    } else {
        element.alone = 1;
        element.fullyJoined = 0;
    }
    return painted;
}

QRegion joinStateRegion(const Element& element, ShapeBuilder& shapes) {
    int mask = 0;
    for (int side = 0; side < 4; ++side) {
        if (element.joinedNeighbour[side] != -1)
            mask |= SideMask::of(side);
    }
    if (mask == 0 || !shapes.options().threeD)
        return element.outerRegion;
    if (mask == SideMask::All)
        return element.innerRegion;
    return shapes.trimmedOuterRegion(element.edgeSign, element.edgeShift, mask);
}

void placeBoardRegion(ElementContext& context, int homeIndex) {
    Puzzle& puzzle = context.puzzle;
    Element& element = puzzle.element(homeIndex);
    QRegion& entry = puzzle.boardRegions[homeIndex];
    entry = QRegion();
    if (context.shapes.options().threeD && context.updateJoinRegion) {
        context.updateJoinRegion(homeIndex);
        return;
    }
    const QRegion area =
        context.shapes.options().threeD ? joinStateRegion(element, context.shapes) : element.outerRegion;
    entry = area.translated(element.cellRect.left, element.cellRect.top);
}
