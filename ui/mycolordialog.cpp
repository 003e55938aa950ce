#include "ui/mycolordialog.h"

#include "ui/skin.h"
#include "ui/skinbutton.h"

#include <QEvent>
#include <QPainter>
#include <QPushButton>

CMyColorDialog::CMyColorDialog(const QColor& initial, QWidget* parent) : QColorDialog(parent) {
    initCustomColors();
    setObjectName(QLatin1String(objectNameText));
    setOption(QColorDialog::DontUseNativeDialog);
    setWindowTitle(QStringLiteral("Color"));
    setCurrentColor(initial);
    // The skin's look: stripes behind light labels, white fields with black text.
    QPalette pal = palette();
    QBrush stripes = Skin::objects().stripeBrush;
    stripes.setColor(SkinColor::stripeLight);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setBrush(group, QPalette::Window, stripes);
        pal.setColor(group, QPalette::WindowText, SkinColor::label);
        pal.setBrush(group, QPalette::Base, Skin::objects().whiteBrush);
        pal.setColor(group, QPalette::Text, Qt::black);
        pal.setColor(group, QPalette::ButtonText, Qt::black);
    }
    setPalette(pal);
    setAutoFillBackground(true);
}

void CMyColorDialog::initCustomColors() {
    static bool done = false;
    if (done)
        return;
    done = true;
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, SkinColor::label);
}

void CMyColorDialog::showEvent(QShowEvent* event) {
    if (skin_.isNull()) {
        skin_ = Skin::bitmap(skinBitmapId);
        // The push buttons (OK, Cancel, the custom-colour buttons) are drawn as the program's own.
        for (QPushButton* button : findChildren<QPushButton*>())
            button->installEventFilter(this);
    }
    QColorDialog::showEvent(event);
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
