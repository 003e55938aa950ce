#include "ui/mycolordialog.h"

#include "ui/skin.h"
#include "ui/skinbutton.h"

#include <QPushButton>

CMyColorDialog::CMyColorDialog(const QColor& initial, QWidget* parent) : QColorDialog(parent) {
    initCustomColors();
    setObjectName(QLatin1String(objectNameText));
    setOption(QColorDialog::DontUseNativeDialog);
    setWindowTitle(QStringLiteral("Color"));
    setCurrentColor(initial);
    setPalette(Skin::palette(palette()));
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
    if (!skinned_) {
        skinned_ = true;
        // The push buttons (OK, Cancel, the custom-colour buttons) are drawn as the program's own.
        auto* painter = new SkinButtonPainter(ScreenBitmap(skinBitmapId), this);
        for (QPushButton* button : findChildren<QPushButton*>())
            painter->paint(button);
    }
    QColorDialog::showEvent(event);
}
