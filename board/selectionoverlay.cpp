#include "board/selectionoverlay.h"

#include "board/boardstate.h"

#include <QPainter>
#include <QPainterPath>
#include <QRegion>

#include <algorithm>
#include <cmath>

namespace {

// Highlights kept at most; each is an element's cell at the view's scale, and elements with equal
// edges share one.
constexpr std::size_t maxStamps = 1024;

// The shape of element i, relative to its cell, as a number: equal shapes give equal numbers.
std::uint64_t shapeKey(const BoardState& state, int i, bool ghost) {
    const Element& e = state.puzzle.element(i);
    std::uint64_t h = ghost ? 0x9e3779b97f4a7c15ull : 1469598103934665603ull;
    const auto mix = [&h](int v) {
        h ^= static_cast<std::uint32_t>(v);
        h *= 1099511628211ull;
    };
    for (const QRect& r : state.puzzle.boardRegions[i]) {
        mix(r.left() - e.cellRect.left);
        mix(r.top() - e.cellRect.top);
        mix(r.width());
        mix(r.height());
    }
    return h;
}

} // namespace

const QImage& SelectionOverlay::stamp(const BoardState& state, int i, bool ghost) const {
    const double scale = state.board.scale;
    if (scale != stampScale_ || stamps_.size() > maxStamps) {
        stamps_.clear();
        stampScale_ = scale;
    }
    QImage& image = stamps_[shapeKey(state, i, ghost)];
    if (!image.isNull())
        return image;
    const Element& e = state.puzzle.element(i);
    const QRegion shape = state.puzzle.boardRegions[i].translated(-e.cellRect.left, -e.cellRect.top);
    const QRect bounds = shape.boundingRect().united(QRect(0, 0, 1, 1));
    const int w = static_cast<int>(std::ceil((bounds.right() + 1) * scale)) + 1;
    const int h = static_cast<int>(std::ceil((bounds.bottom() + 1) * scale)) + 1;
    image = QImage(std::max(1, w), std::max(1, h), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainterPath path;
    path.addRegion(shape);
    path = path.simplified();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(scale, scale);
    // Everything inside the element's own pixels, so whatever repaints the element (a move, a
    // turn, a join) repaints its highlight as well: a light rim along the edge, a dark line within
    // it, a tint over the rest.
    p.setClipPath(path);
    p.fillPath(path, ghost ? SelectionOverlay::ghost : tint);
    QPen pen(edgeDark, 5.0);
    pen.setCosmetic(true); // the same width in screen pixels at every scale
    p.strokePath(path, pen);
    pen = QPen(edgeLight, 2.0);
    pen.setCosmetic(true);
    p.strokePath(path, pen);
    return image;
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
        for (const int i : in.selection.elements()) {
            if (i >= p.count() || !p.boardRegions.boundingRect(i).intersects(area))
                continue;
            const bool moving = ghosts && i != in.pickedElement && state.offTable(i);
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
            const QPointF at = b.toClientF(QPointF(p.element(i).cellRect.left, p.element(i).cellRect.top));
            painter.drawImage(
                QPoint(static_cast<int>(std::lround(at.x())), static_cast<int>(std::lround(at.y()))),
                stamp(state, i, moving));
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
