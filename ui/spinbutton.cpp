#include "ui/spinbutton.h"

#include "ui/skin.h"

#include <qdrawutil.h>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

#include <algorithm>

CSpinButton::CSpinButton(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&repeat_, &QTimer::timeout, this, [this] {
        repeat_.setInterval(50);
        if (pressedHalf_ != 0)
            step(pressedHalf_);
    });
}

void CSpinButton::setBuddy(QLineEdit* buddy) {
    if (buddy_)
        buddy_->removeEventFilter(this);
    buddy_ = buddy;
    if (!buddy_)
        return;
    buddy_->installEventFilter(this);
    // Aligned to the right: the arrows overlap the field's right border.
    const QRect field = buddy_->geometry();
    buddy_->resize(std::max(1, field.width() - arrowsWidth + 2), field.height());
    setGeometry(buddy_->geometry().right() - 1, field.top(), arrowsWidth, field.height());
    raise();
}

void CSpinButton::setRange(int lower, int upper) {
    lower_ = std::min(lower, upper);
    upper_ = std::max(lower, upper);
    setPosition(position_);
}

void CSpinButton::setPosition(int position) {
    position_ = std::clamp(position, lower_, upper_);
    if (buddy_)
        buddy_->setText(QString::number(position_));
}

void CSpinButton::step(int direction) {
    int current = position_;
    if (buddy_) {
        bool ok = false;
        const int typed = buddy_->text().trimmed().toInt(&ok);
        if (ok)
            current = std::clamp(typed, lower_, upper_);
    }
    int next = current + (direction > 0 ? 1 : -1);
    if (next > upper_)
        next = lower_;
    else if (next < lower_)
        next = upper_;
    setPosition(next);
}

void CSpinButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int half = height() / 2;
    const QRect halves[2] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
    const QColor arrow = isEnabled() ? QColor(Qt::black) : SkinColor::buttonDark;
    for (int k = 0; k < 2; ++k) {
        const QRect r = halves[k];
        const bool down = pressedHalf_ == (k == 0 ? 1 : -1);
        painter.fillRect(r, SkinColor::buttonInner);
        qDrawShadePanel(&painter, r, palette(), down, 1);
        const int cx = r.center().x() + (down ? 1 : 0), cy = r.center().y() + (down ? 1 : 0);
        const int dy = k == 0 ? -1 : 1;
        const QPolygon triangle({QPoint(cx - 3, cy - dy), QPoint(cx + 3, cy - dy), QPoint(cx, cy + 2 * dy)});
        painter.setPen(arrow);
        painter.setBrush(arrow);
        painter.drawPolygon(triangle);
    }
}

void CSpinButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    pressedHalf_ = event->position().y() < height() / 2 ? 1 : -1;
    step(pressedHalf_);
    repeat_.start(400);
    update();
}

void CSpinButton::mouseReleaseEvent(QMouseEvent*) {
    repeat_.stop();
    pressedHalf_ = 0;
    update();
}

bool CSpinButton::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buddy_ && event->type() == QEvent::KeyPress && isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            step(key == Qt::Key_Up ? 1 : -1);
            buddy_->selectAll();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CSpinButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        repeat_.stop();
        pressedHalf_ = 0;
    }
    QWidget::changeEvent(event);
}
