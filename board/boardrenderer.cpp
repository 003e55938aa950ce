#include "board/boardrenderer.h"

#include "board/boardhost.h"
#include "game/gamestate.h"
#include "model/elementbitmap.h"
#include "model/regioncopy.h"
#include "model/services.h"
#include "model/shapebuilder.h"

#include <QPainter>

#include <algorithm>
#include <cstring>


BoardRenderer::BoardRenderer(GameState& state, IBoardHost& host, ISound& sound, ICursor& cursor)
    : state_(state), host_(host), sound_(sound), cursor_(cursor) {}

void BoardRenderer::paintBackground(const QRegion& clip) {
    QImage& board = state_.board.boardBitmap;
    const BackgroundState& bg = state_.background;
    for (const QRect& r : clip) {
        const Rect rect = Rect::fromQRect(r);
        if (bg.bitmapBackground) {
            tileBitmap(bg.texture, board, rect);
        } else {
            const QRect c = r.intersected(board.rect());
            const quint32 colour = bg.backgroundColor.rgb();
            for (int y = c.top(); y <= c.bottom(); ++y) {
                auto* row = reinterpret_cast<quint32*>(board.scanLine(y));
                std::fill(row + c.left(), row + c.left() + c.width(), colour);
            }
        }
    }
}

void BoardRenderer::redrawBoard(RedrawFlags flags) {
    if (flags.clearBackground)
        state_.board.paintBackground(state_.background);
    if (!state_.flags.elementsExist) {
        host_.invalidateAll();
        host_.updateNow();
        return;
    }
    cursor_.pushWait();
    Puzzle& puzzle = state_.puzzle;
    for (auto it = puzzle.stackOrder.rbegin(); it != puzzle.stackOrder.rend(); ++it) {
        const int i = *it;
        if (flags.rebuildRegions) {
            if (state_.settings.outlineThickness != 0) {
                updateJoinRegion(i);
            } else {
                rebuildShape(i);
                placeBoardRegion(i);
            }
        }
        if (flags.rebuildBitmaps)
            repaintBitmap(i);
        drawElement(i, false, !flags.clearBackground);
    }
    if (flags.playSound)
        sound_.playWave(elementsAppearWave);
    host_.invalidateAll();
    cursor_.popWait();
}

void BoardRenderer::coverBoard() {
    state_.board.paintBackground(state_.background);
    host_.invalidateAll();
    host_.updateNow();
}

void BoardRenderer::drawElement(int i, bool rebuildRegion, bool invalidate, const QRegion* extraClip) {
    if (rebuildRegion)
        placeBoardRegion(i);
    Element& e = state_.puzzle.element(i);
    const QRegion& region = state_.puzzle.boardRegions[i];
    const QPoint origin(e.cellRect.left, e.cellRect.top);
    if (e.bitmap.isNull()) {
        e.lifted = 0;
        return;
    }
    // Only the bitmap's own square can come from the bitmap, whatever the region says.
    QRegion clip = region.intersected(QRect(origin, e.bitmap.size()));
    if (extraClip)
        clip = clip.intersected(*extraClip);
    copyRegion(state_.board.boardBitmap, clip, e.bitmap, -origin);
    if (invalidate)
        host_.invalidate(clientRegion(i));
    e.lifted = 0;
}

void BoardRenderer::liftElement(int i, bool invalidate, bool redrawOwnBlock) {
    Puzzle& puzzle = state_.puzzle;
    const QRegion region = puzzle.boardRegions[i];
    paintBackground(region);
    if (invalidate)
        host_.invalidate(clientRegion(i));
    // Repair what the element may have covered: everything whose body lies strictly inside the
    // lifted body widened by one and a half element sizes.
    const Rect& body = puzzle.bodyRects[i];
    const int a = puzzle.geometry.elementSize * 3 / 2;
    for (auto it = puzzle.stackOrder.rbegin(); it != puzzle.stackOrder.rend(); ++it) {
        const int j = *it;
        if (j == i)
            continue;
        if (!redrawOwnBlock && puzzle.blocks.sameBlock(i, j))
            continue;
        const Rect& b = puzzle.bodyRects[j];
        if (b.left > body.left - a && b.top > body.top - a && b.right < body.right + a &&
            b.bottom < body.bottom + a)
            drawElement(j, false, false, &region);
    }
    puzzle.element(i).lifted = 1;
}

QRegion BoardRenderer::clientRegion(int i) const {
    return state_.puzzle.boardRegions[i].translated(-state_.board.scrollX, -state_.board.scrollY);
}

void BoardRenderer::paint(QPainter& painter, const QRegion& clientArea) const {
    const Board& board = state_.board;
    QRegion rest = clientArea;
    const int picked = state_.pickedElement;
    if (picked >= 0 && picked < state_.puzzle.count()) {
        const Element& e = state_.puzzle.element(picked);
        painter.setClipRegion(state_.dragClipRegion.intersected(clientArea));
        painter.drawImage(QPoint(e.cellRect.left - board.scrollX, e.cellRect.top - board.scrollY), e.bitmap);
        rest = clientArea.subtracted(state_.dragClipRegion);
    }
    painter.setClipRegion(rest);
    const QRect bounds = rest.boundingRect();
    painter.drawImage(bounds, board.boardBitmap, bounds.translated(board.scrollX, board.scrollY));
    painter.setClipping(false);
}

void BoardRenderer::rebuildShape(int i) { state_.shapes.buildShape(state_.puzzle.element(i)); }

void BoardRenderer::repaintBitmap(int i) {
    paintElementBitmap(state_.puzzle.element(i), 0, state_.puzzle, state_.turnedPictures,
                       state_.settings.outlineColor);
}

void BoardRenderer::placeBoardRegion(int i) {
    Puzzle& p = state_.puzzle;
    if (state_.settings.threeD) {
        updateJoinRegion(i);
        return;
    }
    const Element& e = p.element(i);
    p.boardRegions[i] = e.outerRegion.translated(e.cellRect.left, e.cellRect.top);
}

bool BoardRenderer::updateJoinRegion(int i) {
    Puzzle& p = state_.puzzle;
    Element& e = p.element(i);
    e.fullyJoined = 0;
    int mask = 0;
    for (int side = 0; side < 4; ++side)
        if (e.joinedNeighbour[side] != -1)
            mask |= SideMask::of(side);
    QRegion area;
    if (mask == 0) {
        e.alone = 1;
        p.blocks.detach(i);
        area = e.outerRegion;
    } else if (!state_.settings.threeD) {
        return true; // without the bevel a join changes nothing that is drawn
    } else if (mask == SideMask::All) {
        e.fullyJoined = 1;
        area = e.innerRegion;
    } else {
        area = state_.shapes.trimmedOuterRegion(e.edgeSign, e.edgeShift, mask);
    }
    p.boardRegions[i] = area.translated(e.cellRect.left, e.cellRect.top);
    return true;
}
