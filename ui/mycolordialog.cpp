#include "ui/mycolordialog.h"

#include "ui/skin.h"
#include "ui/skinbutton.h"

#include <QEvent>
#include <QPainter>
#include <QPushButton>

CMyColorDialog::CMyColorDialog(const QColor& initial, QWidget* parent) : QColorDialog(initial, parent) {
    setOption(QColorDialog::DontUseNativeDialog);
    setObjectName(QStringLiteral("colorDialog"));
}

void CMyColorDialog::resetCustomColors() {
    for (int i = 0; i < customColorCount; ++i)
        QColorDialog::setCustomColor(i, initialCustomColor);
}

void CMyColorDialog::showEvent(QShowEvent* event) {
    if (!initialized_)
        initDialog();
    QColorDialog::showEvent(event);
}

void CMyColorDialog::initDialog() {
    initialized_ = true;
    skin_ = Skin::bitmap(skinBitmapId);
    setWindowTitle(title_);
    const SkinObjects& skin = Skin::objects();
    QPalette pal = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setBrush(group, QPalette::Window, skin.stripeBrush);
        pal.setColor(group, QPalette::WindowText, SkinColor::label);
        pal.setBrush(group, QPalette::Base, skin.whiteBrush);
        pal.setColor(group, QPalette::Text, Qt::black);
    }
    setPalette(pal);
    setAutoFillBackground(true);
    // The push buttons (OK, Cancel, the custom-colour buttons) are drawn as the program's own.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->installEventFilter(this);
}

bool CMyColorDialog::eventFilter(QObject* watched, QEvent* event) {
    auto* button = qobject_cast<QPushButton*>(watched);
    if (button && event->type() == QEvent::Paint) {
        QPainter painter(button);
        CSkinButton::State state;
        state.pressed = button->isDown();
        state.disabled = !button->isEnabled();
        state.focused = button->hasFocus();
        CSkinButton::paintButton(painter, button->rect(), button->text(), button->font(), state, skin_);
        return true;
    }
    return QColorDialog::eventFilter(watched, event);
}
