#include "ui/skinbutton.h"

#include "ui/skin.h"

#include <QEvent>
#include <QPainter>

CSkinButton::CSkinButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    // The face covers every pixel; nothing beneath needs painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CSkinButton::setFace(const ScreenBitmap& face) {
    face_ = face;
    update();
}

void CSkinButton::paintButton(QPainter& painter, const QRect& rect, const QString& text, const QFont& font,
                              const State& state, const QImage& face) {
    QRect textRect = rect;
    QColor outerTopLeft = SkinColor::buttonLight;
    QColor outerBottomRight = SkinColor::buttonDark;
    QColor innerTopLeft = SkinColor::buttonInner;
    if (state.pressed) {
        // The face moves one pixel down and right with the text: the button sinks in.
        painter.save();
        painter.translate(1, 1);
        tileBitmap(face, painter, rect.left() - 1, rect.top() - 1, rect.width(), rect.height());
        painter.restore();
        textRect.translate(1, 1);
        outerTopLeft = SkinColor::pressedOuterTopLeft;
        outerBottomRight = SkinColor::pressedOuterBottomRight;
        innerTopLeft = SkinColor::pressedInnerTopLeft;
    } else {
        tileBitmap(face, painter, rect.left(), rect.top(), rect.width(), rect.height());
    }
    Skin::draw3dRect(painter, rect, outerTopLeft, outerBottomRight);
    Skin::draw3dRect(painter, rect.adjusted(1, 1, -1, -1), innerTopLeft, SkinColor::buttonDark);

    painter.setFont(font);
    painter.setPen(state.disabled ? SkinColor::label : QColor(Qt::black));
    painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, text);

    if (state.focused && !state.pressed)
        Skin::frameRect(painter, rect.adjusted(4, 4, -4, -4), SkinColor::label);
}

namespace {

CSkinButton::State stateOf(const QAbstractButton& button) {
    CSkinButton::State state;
    state.pressed = button.isDown();
    state.disabled = !button.isEnabled();
    state.focused = button.hasFocus();
    return state;
}

} // namespace

void CSkinButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintButton(painter, rect(), text(), font(), stateOf(*this), face_.at(devicePixelRatioF()));
}

SkinButtonPainter::SkinButtonPainter(const ScreenBitmap& face, QObject* parent)
    : QObject(parent), face_(face) {}

bool SkinButtonPainter::eventFilter(QObject* watched, QEvent* event) {
    auto* button = qobject_cast<QPushButton*>(watched);
    if (!button || event->type() != QEvent::Paint)
        return false;
    QPainter painter(button);
    CSkinButton::paintButton(painter, button->rect(), button->text(), button->font(), stateOf(*button),
                             face_.at(button->devicePixelRatioF()));
    return true;
}
