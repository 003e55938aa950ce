#include "game/widgets/pausewindow.h"

#include "res/stringids.h"
#include "res/strings.h"
#include "ui/skin.h"

#include <QKeyEvent>
#include <QPainter>

PauseWindow::PauseWindow(QWidget* parent) : CSkinDialog(templateId, parent) {
    setObjectName(QStringLiteral("pauseWindow"));
    // A popup with a thin border and no caption.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setDialogSize(125, 23);
}

void PauseWindow::initDialog() {
    CSkinDialog::initDialog();
    font_ = QFont(QStringLiteral("Times New Roman"));
    font_.setPointSize(16);
    font_.setBold(true);
}

void PauseWindow::paintEvent(QPaintEvent* event) {
    CSkinDialog::paintEvent(event);
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setFont(font_);
    painter.setPen(SkinColor::label);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, loadString(Str::PauseText));
}

void PauseWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Pause:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        reject();
        return;
    default:
        CSkinDialog::keyPressEvent(event);
    }
}
