#include "board/widgets/hinttipdialog.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int border = 1; // the thin border of the pop-up; the text rectangle lies inside it
} // namespace

HintTipDialog::HintTipDialog(int row, int column, QPoint cursor, int rightLimit, int bottomLimit,
                             QWidget* parent)
    : QDialog(parent, Qt::Popup | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("hintTip%1").arg(templateId));
    setFont(hintTipFont());
    // The press that closes the tip is spent on it, as with a captured mouse.
    setAttribute(Qt::WA_NoMouseReplay);
    setFocusPolicy(Qt::StrongFocus);
    layout_ = layoutHintTip(QFontMetrics(font()), row, column, cursor, rightLimit, bottomLimit);
    setGeometry(layout_.window);
    setFixedSize(layout_.window.size());
}

void HintTipDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), background());
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setFont(font());
    const QRect text = layout_.textRect.translated(border, border);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignTop, layout_.labels);
    painter.drawText(text, Qt::AlignRight | Qt::AlignTop, layout_.numbers);
}

void HintTipDialog::keyPressEvent(QKeyEvent*) {
    reject();
}

void HintTipDialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)
        reject();
}

void HintTipDialog::focusOutEvent(QFocusEvent* event) {
    QDialog::focusOutEvent(event);
    // A pop-up loses the focus to nothing else while it is shown; any other loss ends it.
    if (isVisible() && event->reason() != Qt::PopupFocusReason)
        reject();
}

void HintTipDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    setFocus(Qt::PopupFocusReason);
}
