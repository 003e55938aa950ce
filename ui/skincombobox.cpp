#include "ui/skincombobox.h"

#include "ui/skin.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QLineEdit>

CSkinComboBox::CSkinComboBox(QWidget* parent) : QComboBox(parent) {
    applySkin();
}

void CSkinComboBox::applySkin() {
    const SkinObjects& skin = Skin::objects();
    QPalette pal = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setBrush(group, QPalette::Window, skin.stripeBrush);
        pal.setBrush(group, QPalette::Base, skin.whiteBrush);
        pal.setBrush(group, QPalette::Button, skin.whiteBrush);
        pal.setColor(group, QPalette::Text, Qt::black);
        pal.setColor(group, QPalette::ButtonText, Qt::black);
        pal.setColor(group, QPalette::WindowText, Qt::black);
    }
    setPalette(pal);
    if (QAbstractItemView* list = view()) {
        QPalette listPal = list->palette();
        listPal.setBrush(QPalette::Base, skin.whiteBrush);
        listPal.setColor(QPalette::Text, Qt::black);
        list->setPalette(listPal);
    }
    if (QLineEdit* edit = lineEdit()) {
        QPalette editPal = edit->palette();
        editPal.setBrush(QPalette::Base, skin.whiteBrush);
        editPal.setColor(QPalette::Text, Qt::black);
        edit->setPalette(editPal);
    }
}

bool CSkinComboBox::event(QEvent* event) {
    if (event->type() == QEvent::Polish)
        applySkin();
    return QComboBox::event(event);
}
