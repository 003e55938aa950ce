#include "game/widgets/congratulationwindow.h"

#include "res/resources.h"

#include <QBitmap>
#include <QKeyEvent>
#include <QPainter>

CongratulationWindow::CongratulationWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("congratulationWindow"));
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    // The mask is black on the letters; everything else stays see-through.
    const QImage lettering(bitmapResourcePath(letteringBitmap));
    const QImage mask = QImage(bitmapResourcePath(maskBitmap)).convertToFormat(QImage::Format_RGB32);
    image_ = lettering.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image_.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
        for (int x = 0; x < image_.width(); ++x) {
            const bool letter = y < mask.height() && x < mask.width() && qGray(mask.pixel(x, y)) < 128;
            if (!letter)
                row[x] = qRgba(0, 0, 0, 0);
        }
    }
    // 156 x 40 dialog units.
    resize(234, 65);
    // The window takes the shape of the letters, so only they cover what lies behind; a shaped
    // window needs no compositor, unlike a translucent one.
    setMask(QBitmap::fromImage(image_.createAlphaMask()));
}

void CongratulationWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

void CongratulationWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)
        reject();
}

void CongratulationWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Control)
        reject();
}

void CongratulationWindow::focusOutEvent(QFocusEvent*) {
    if (isVisible())
        reject();
}

void CongratulationWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    setFocus();
    grabMouse();
}

void CongratulationWindow::hideEvent(QHideEvent* event) {
    releaseMouse();
    QDialog::hideEvent(event);
}
