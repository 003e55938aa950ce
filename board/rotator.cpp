#include "board/rotator.h"

#include "board/boardrenderer.h"
#include "board/boardstate.h"
#include "board/joiner.h"
#include "model/edges.h"
#include "model/elementbitmap.h"
#include "model/elementcontext.h"
#include "model/services.h"

#include <vector>

Rotator::Rotator(BoardState& state, BoardRenderer& renderer, Joiner& joiner, ISound& sound, ICursor& cursor)
    : state_(state), renderer_(renderer), joiner_(joiner), sound_(sound), cursor_(cursor) {}

void Rotator::turnElement(int e, int t) {
    Puzzle& p = state_.puzzle;
    const QRegion oldArea = p.boardRegions[e];
    ElementContext context{p, state_.shapes, state_.turnedPictures, state_.settings.outlineColor,
                           [this](int i) { joiner_.separateElement(i); }};
    prepareElement(context, e, t);
    renderer_.liftElement(e, false, true);
    renderer_.drawElement(e, true, false);
    const QRegion area = state_.board.toClient(oldArea.united(p.boardRegions[e]));
    sound_.playWave(turnWave);
    renderer_.invalidate(area);
}

void Rotator::turnBlock(int p, int t) {
    Puzzle& puzzle = state_.puzzle;
    const Geometry& g = puzzle.geometry;
    const WaitCursor wait(cursor_);
    // Lifting first and turning afterwards is the same as doing both member by member: a
    // lift reads only the member's own (old) place.
    const std::vector<std::int32_t> members = puzzle.blocks.members(p);
    BoardRenderer::InvalidationBatch batch(renderer_);
    renderer_.liftElements(members, true);
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
        state_.shapes.buildShape(el);
        state_.shapes.computeShapeBounds(el);
        if (!paintElementBitmap(el, t, puzzle, state_.turnedPictures, state_.settings.outlineColor))
            el.orientation = turnedOrientation(el.orientation, t); // it follows the edges
        joiner_.updateJoinRegion(j);
    }
    for (const int j : members)
        if (j != p)
            renderer_.drawElement(j, true, true);
    renderer_.drawElement(p, true, true);
    sound_.playWave(turnWave);
}
