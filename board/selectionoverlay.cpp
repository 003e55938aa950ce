#include "board/selectionoverlay.h"

#include "board/boardstate.h"

#include <QPainter>
#include <QRegion>

namespace {

// Outlines kept at most; a selection larger than that is seen zoomed out, where bodies stand for
// shapes, or only in part on the screen.
constexpr std::size_t maxOutlines = 4096;

} // namespace

const QPainterPath& SelectionOverlay::outline(const BoardState& state, int i) const {
    const Element& e = state.puzzle.element(i);
    const QRegion shape = state.puzzle.boardRegions[i].translated(-e.cellRect.left, -e.cellRect.top);
    Outline& o = outlines_[i];
    if (o.bounds != shape.boundingRect() || o.rects != shape.rectCount() || o.path.isEmpty()) {
        if (outlines_.size() > maxOutlines) {
            outlines_.clear();
            return outline(state, i);
        }
        QPainterPath path;
        path.addRegion(shape);
        o.path = path.simplified();
        o.bounds = shape.boundingRect();
        o.rects = shape.rectCount();
    }
    return o.path;
}

void SelectionOverlay::paint(QPainter& painter, const BoardState& state, const QRegion& clientArea,
                             bool picturesDrawn) const {
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
        const bool shapes = b.scale >= shapeScale;
        // Board to client: x * scale - scroll + origin.
        const QTransform toClient(b.scale, 0, 0, b.scale, b.originX - b.scrollX, b.originY - b.scrollY);
        for (const int i : in.selection.elements()) {
            if (i >= p.count() || !p.boardRegions[i].boundingRect().intersects(area))
                continue;
            const bool moving = ghosts && i != in.pickedElement && p.element(i).lifted;
            const QColor fill = moving ? ghost : tint;
            if (!shapes) {
                const Rect& body = p.bodyRects[i];
                const QRectF r(b.toClientF(QPointF(body.left, body.top)),
                               b.toClientF(QPointF(body.right, body.bottom)));
                painter.fillRect(r, fill);
                painter.setPen(QPen(edgeDark, 1.0));
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(r);
                continue;
            }
            const Element& e = p.element(i);
            const QPainterPath& path = outline(state, i);
            painter.save();
            painter.setTransform(QTransform::fromTranslate(e.cellRect.left, e.cellRect.top) * toClient);
            painter.setRenderHint(QPainter::Antialiasing, true);
            // Everything inside the element's own pixels, so whatever repaints the element (a move,
            // a turn, a join) repaints its highlight as well: a light rim along the edge, a dark line
            // within it, a tint over the rest.
            painter.setClipPath(path, Qt::IntersectClip);
            painter.fillPath(path, fill);
            QPen pen(edgeDark, 5.0);
            pen.setCosmetic(true); // the same width in screen pixels at every scale
            painter.strokePath(path, pen);
            pen = QPen(edgeLight, 2.0);
            pen.setCosmetic(true);
            painter.strokePath(path, pen);
            painter.restore();
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
