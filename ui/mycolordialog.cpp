#include "ui/mycolordialog.h"

#include "ui/skin.h"

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
