#include "board/rotator.h"

#include "board/boardstate.h"
#include "board/joiner.h"
#include "model/edges.h"
#include "model/elementcontext.h"
#include "model/services.h"

#include <vector>

Rotator::Rotator(BoardState& state, Joiner& joiner, ISound& sound, ICursor& cursor)
    : state_(state), joiner_(joiner), sound_(sound), cursor_(cursor) {}

void Rotator::turnElement(int e, int t) {
    Puzzle& p = state_.puzzle;
    ElementContext context{p, state_.shapes, [this](int i) { joiner_.separateElement(i); }};
    prepareElement(context, e, t);
    placeBoardRegion(p, state_.shapes, e);
    state_.changes.element(e);
    sound_.playWave(turnWave);
}

void Rotator::turnBlock(int p, int t) {
    Puzzle& puzzle = state_.puzzle;
    const Geometry& g = puzzle.geometry;
    const WaitCursor wait(cursor_);
    const std::vector<std::int32_t> members = puzzle.blocks.members(p);
    const Rect pivot = puzzle.bodyRects[p];
    for (const int j : members) {
        Element& el = puzzle.element(j);
        const Rect body = puzzle.bodyRects[j];
        const int dx = body.left - pivot.left, dy = body.top - pivot.top;
        const int left = t > 0 ? pivot.left - dy : pivot.left + dy;
        const int top = t > 0 ? pivot.top + dx : pivot.top - dx;
        const int m = g.bodyOffset;
        puzzle.setCellRect(j, Rect{left - m, top - m, left - m + g.bitmapSize, top - m + g.bitmapSize});
        turnEdges(el.edgeSign, t);
        turnEdges(el.edgeShift, t);
        turnEdges(el.joinedNeighbour, t);
        el.orientation = turnedOrientation(el.orientation, t);
        state_.shapes.buildShape(el);
        state_.shapes.computeShapeBounds(el);
        joiner_.updateJoinRegion(j);
        // Without the bevel a joined element's region is not placed by the join update.
        placeBoardRegion(puzzle, state_.shapes, j);
    }
    state_.changes.elements(members);
    sound_.playWave(turnWave);
}
