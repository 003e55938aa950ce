#include "ui/skincheckbox.h"

#include "ui/skin.h"

#include <QPainter>

CSkinCheckBox::CSkinCheckBox(const QString& text, std::function<bool()> flag, QWidget* parent)
    : QAbstractButton(parent), flag_(std::move(flag)) {
    setText(text);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int CSkinCheckBox::topInDialog() const {
    return mapTo(window(), QPoint(0, 0)).y();
}

QImage CSkinCheckBox::render(const QSize& size, const QString& text, const QFont& font, bool on, bool pressed,
                             bool focused, int top, double ratio) {
    // On a screen of a higher ratio the box is drawn at its pixels, from the finer strip.
    const bool finer = ratio > 1.0;
    QImage image(finer ? (QSizeF(size) * ratio).toSize() : size, QImage::Format_RGB32);
    if (size.isEmpty())
        return image;
    if (finer)
        image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    tileBitmap(Skin::bitmap(Skin::stripeBitmapForTop(top)), painter, 0, 0, size.width(), size.height());

    const int sourceX = (on ? 0 : 26) + (pressed ? boxSize : 0);
    const QImage strip = Skin::bitmap(SkinBitmap::checkBoxes, ratio);
    const double stripRatio = strip.devicePixelRatio();
    painter.drawImage(QRectF(0, (size.height() - boxSize) / 2, boxSize, boxSize), strip,
                      QRectF(sourceX * stripRatio, 0, boxSize * stripRatio, boxSize * stripRatio));

    const int textWidth =
        QFontMetrics(font).boundingRect(QRect(), Qt::TextSingleLine | Qt::TextShowMnemonic, text).width();
    const QRect label(QPoint(labelLeft, 0), QPoint(textWidth + 20 - 1, size.height() - 1));
    if (focused)
        Skin::frameRect(painter, label, SkinColor::label);
    painter.setFont(font);
    painter.setPen(SkinColor::label);
    painter.drawText(label, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, text);
    return image;
}

QSize CSkinCheckBox::sizeHint() const {
    const int w =
        fontMetrics().boundingRect(QRect(), Qt::TextSingleLine | Qt::TextShowMnemonic, text()).width();
    return QSize(w + 21, qMax(boxSize, fontMetrics().height() + 2));
}

void CSkinCheckBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(
        0, 0,
        render(size(), text(), font(), flagOn(), isDown(), hasFocus(), topInDialog(), devicePixelRatioF()));
}
