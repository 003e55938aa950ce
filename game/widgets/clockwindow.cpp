#include "game/widgets/clockwindow.h"

#include "game/gamestate.h"
#include "ui/skin.h"

#include <QEvent>
#include <QPainter>

ClockWindow::ClockWindow(GameState& state, QWidget* parent) : QWidget(parent), state_(state) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    parent->installEventFilter(this);
    keepInCorner();
}

bool ClockWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        keepInCorner();
    return QWidget::eventFilter(watched, event);
}

void ClockWindow::keepInCorner() {
    const QWidget* p = parentWidget();
    move(p->width() - width(), p->height() - height());
}

QImage ClockWindow::face(const GameState& state, const QSize& size, double ratio) {
    // On a finer screen at its device pixels: the text, and the texture's finer copy.
    QImage image((QSizeF(size) * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    const BackgroundState& background = state.background;
    // The texture's own top-left corner, whatever part of the board lies beside the clock.
    image.fill(background.bitmapBackground ? QColor(Qt::black) : background.backgroundColor);
    QPainter painter(&image);
    if (background.bitmapBackground) {
        const QImage fine = ratio > 1.0 ? background.fineTexture() : QImage();
        painter.drawImage(0, 0, fine.isNull() ? background.texture : fine);
    }
    painter.setFont(Skin::objects().clockFont);
    painter.setPen(background.textColor);
    painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter | Qt::TextSingleLine, state.clockText);
    // A sunken edge along the left and top sides only: shadow outside, dark shadow inside.
    const int w = size.width(), h = size.height();
    painter.fillRect(0, 0, w, 1, QColor(128, 128, 128));
    painter.fillRect(0, 0, 1, h, QColor(128, 128, 128));
    painter.fillRect(1, 1, w - 1, 1, QColor(0, 0, 0));
    painter.fillRect(1, 1, 1, h - 1, QColor(0, 0, 0));
    return image;
}

void ClockWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, face(state_, size(), devicePixelRatioF()));
}
