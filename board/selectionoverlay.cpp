#include "board/selectionoverlay.h"

#include "board/boardstate.h"

#include <QPainter>
#include <QRegion>

#include <vector>

namespace {

// Zoomed out this far an element is a few pixels: its body square stands for its shape.
constexpr double shapeScale = 0.5;

void paintElement(QPainter& painter, const BoardState& state, int i, const QColor& colour) {
    const Board& b = state.board;
    const Puzzle& p = state.puzzle;
    if (b.unscaled()) {
        for (const QRect& r : p.boardRegions[i])
            painter.fillRect(r.translated(-b.scrollX, -b.scrollY), colour);
        return;
    }
    if (b.scale >= shapeScale) {
        for (const QRect& r : p.boardRegions[i])
            painter.fillRect(
                QRectF(b.toClientF(r.topLeft()), b.toClientF(QPointF(r.right() + 1, r.bottom() + 1))),
                colour);
        return;
    }
    const Rect& body = p.bodyRects[i];
    painter.fillRect(
        QRectF(b.toClientF(QPointF(body.left, body.top)), b.toClientF(QPointF(body.right, body.bottom))),
        colour);
}

} // namespace

void SelectionOverlay::paint(QPainter& painter, const BoardState& state, const QRegion& clientArea,
                             bool picturesDrawn) {
    const InputState& in = state.input;
    const Puzzle& p = state.puzzle;
    const Board& b = state.board;
    if (in.selection.isEmpty() && !in.band.active)
        return;
    painter.save();
    painter.setClipRegion(clientArea);
    if (!in.selection.isEmpty()) {
        const QRect bounds = clientArea.boundingRect();
        const QRectF shown(b.toBoardF(bounds.topLeft()),
                           b.toBoardF(QPointF(bounds.right() + 1, bounds.bottom() + 1)));
        const QRect area = shown.toAlignedRect().adjusted(-2, -2, 2, 2);
        const bool ghosts = !picturesDrawn && in.selectionLifted;
        for (const int i : in.selection.elements()) {
            if (i >= p.count() || !p.boardRegions[i].boundingRect().intersects(area))
                continue;
            const bool moving = ghosts && i != in.pickedElement && p.element(i).lifted;
            paintElement(painter, state, i, moving ? ghost : tint);
        }
    }
    if (in.band.active) {
        const QRectF r =
            QRectF(b.toClientF(in.band.anchor), b.toClientF(in.band.corner + QPoint(1, 1))).normalized();
        painter.fillRect(r, bandFill);
        painter.setPen(QPen(bandEdge, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
    }
    painter.restore();
}
