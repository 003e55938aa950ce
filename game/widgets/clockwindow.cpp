#include "game/widgets/clockwindow.h"

#include "game/gamestate.h"

#include <QEvent>
#include <QFont>
#include <QPainter>

ClockWindow::ClockWindow(GameState& state, QWidget* parent) : QWidget(parent), state_(state) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    parent->installEventFilter(this);
    keepInCorner();
}

bool ClockWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        keepInCorner();
    return QWidget::eventFilter(watched, event);
}

void ClockWindow::keepInCorner() {
    const QWidget* p = parentWidget();
    move(p->width() - width(), p->height() - height());
}

void ClockWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The background as it lies under the clock's place on the window.
    const QPoint origin = mapToParent(QPoint(0, 0));
    painter.translate(-origin);
    state_.background.paint(painter, Rect::fromQRect(geometry()));
    painter.translate(origin);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(10);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(state_.background.textColor);
    painter.drawText(rect(), Qt::AlignCenter, state_.clockText);
}
