#include "game/widgets/pausewindow.h"

#include "res/strings.h"

#include <QKeyEvent>
#include <QPainter>

PauseWindow::PauseWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("pauseWindow"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    // 125 x 23 dialog units of "MS Sans Serif" 8.
    setFixedSize(188, 37);
    font_ = QFont(QStringLiteral("Times New Roman"));
    font_.setPointSize(16);
    font_.setBold(true);
}

void PauseWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Stripes of the program's dialogs: two light rows, two dark ones.
    for (int y = 0; y < height(); ++y)
        painter.fillRect(0, y, width(), 1, (y % 4) < 2 ? QColor(145, 61, 7) : QColor(105, 55, 22));
    painter.setPen(QColor(0, 0, 0));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setFont(font_);
    painter.setPen(QColor(255, 210, 136));
    painter.drawText(rect(), Qt::AlignCenter, loadString(pauseTextId));
}

void PauseWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Pause) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        reject();
}
