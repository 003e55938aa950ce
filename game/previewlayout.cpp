#include "game/previewlayout.h"

#include "model/cutcalculator.h"

#include <algorithm>

QRect PreviewLayout::initialGeometry(QSize screen) {
    return QRect(screen.width() / 3, screen.height() / 3, screen.width() / 3, screen.height() / 3);
}

QSize PreviewLayout::shownSize(int pictureWidth, int pictureHeight, QSize screen) {
    const int w = pictureWidth, h = pictureHeight;
    if (w <= 0 || h <= 0)
        return QSize();
    int m = std::max(w, h);
    if (m == w) {
        m = std::min(m, screen.width() / 3);
        return QSize(m, static_cast<int>(static_cast<double>(m) / w * h));
    }
    m = std::min(m, screen.height() / 3);
    return QSize(static_cast<int>(static_cast<double>(m) / h * w), m);
}

QRect PreviewLayout::shownGeometry(const QRect& clientOnScreen, int pictureWidth, int pictureHeight,
                                   QSize screen) {
    const QSize size = shownSize(pictureWidth, pictureHeight, screen);
    // x + width() is the exclusive right edge, the one a window lies on.
    const int right = clientOnScreen.x() + clientOnScreen.width();
    return QRect(QPoint(right - size.width(), clientOnScreen.y()), size);
}

int PreviewLayout::fittedHeight(int width, int currentHeight, int pictureWidth, int pictureHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0)
        return currentHeight;
    const double ratio = static_cast<double>(pictureWidth) / pictureHeight;
    return CutCalculator::nearest(width / ratio);
}

Qt::Edges PreviewLayout::edgesAt(QPoint pos, QSize size, int border, int corner) {
    const int x = pos.x(), y = pos.y(), w = size.width(), h = size.height();
    if (x < 0 || y < 0 || x >= w || y >= h)
        return {};
    const bool onLeft = x < border, onRight = x >= w - border;
    const bool onTop = y < border, onBottom = y >= h - border;
    if (!onLeft && !onRight && !onTop && !onBottom)
        return {};
    Qt::Edges edges;
    if (onLeft || ((onTop || onBottom) && x < corner))
        edges |= Qt::LeftEdge;
    if (onRight || ((onTop || onBottom) && x >= w - corner))
        edges |= Qt::RightEdge;
    if (onTop || ((onLeft || onRight) && y < corner))
        edges |= Qt::TopEdge;
    if (onBottom || ((onLeft || onRight) && y >= h - corner))
        edges |= Qt::BottomEdge;
    // A window narrower than two corners would take both opposite edges; the nearer one wins.
    if (edges.testFlag(Qt::LeftEdge) && edges.testFlag(Qt::RightEdge))
        edges.setFlag(x < w / 2 ? Qt::RightEdge : Qt::LeftEdge, false);
    if (edges.testFlag(Qt::TopEdge) && edges.testFlag(Qt::BottomEdge))
        edges.setFlag(y < h / 2 ? Qt::BottomEdge : Qt::TopEdge, false);
    return edges;
}

QRect PreviewLayout::resized(const QRect& start, Qt::Edges edges, QPoint delta, QSize minimum) {
    int left = start.x(), top = start.y();
    int right = start.x() + start.width(), bottom = start.y() + start.height();
    if (edges & Qt::LeftEdge)
        left = std::min(left + delta.x(), right - minimum.width());
    if (edges & Qt::RightEdge)
        right = std::max(right + delta.x(), left + minimum.width());
    if (edges & Qt::TopEdge)
        top = std::min(top + delta.y(), bottom - minimum.height());
    if (edges & Qt::BottomEdge)
        bottom = std::max(bottom + delta.y(), top + minimum.height());
    return QRect(left, top, right - left, bottom - top);
}
