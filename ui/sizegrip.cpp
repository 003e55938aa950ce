#include "ui/sizegrip.h"

#include "res/resources.h"
#include "ui/picturewnd.h"

#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

CSizeGrip::CSizeGrip(CPictureWnd* window) : QWidget(window), window_(window) {
    setFixedSize(width, height);
    setCursor(Qt::SizeFDiagCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CSizeGrip::paintEvent(QPaintEvent*) {
    // The icon brings its finer version for screens of a higher ratio.
    static const QIcon icon(iconResourcePath(170));
    QPainter painter(this);
    // The icon is transparent around its ridges; the picture under it shows through.
    window_->paintPictureUnder(painter, geometry());
    painter.drawPixmap(QRect(0, 0, width, height), icon.pixmap(QSize(width, height), devicePixelRatioF()));
}

void CSizeGrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        window_->beginResize(Qt::RightEdge | Qt::BottomEdge, event->globalPosition().toPoint());
}

void CSizeGrip::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::LeftButton)
        window_->track(event->globalPosition().toPoint());
}

void CSizeGrip::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        window_->endTracking();
}
