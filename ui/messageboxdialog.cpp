#include "ui/messageboxdialog.h"

#include "res/resources.h"
#include "ui/skin.h"
#include "ui/skinbutton.h"

#include <QLabel>
#include <QPainter>

#include <algorithm>

CMessageText::CMessageText(const QString& text, const QFont& font, QWidget* parent)
    : QWidget(parent), text_(text), font_(font) {}

void CMessageText::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(SkinColor::label);
    painter.setFont(font_);
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text_);
}

int CMessageBoxDialog::growthFor(int widestLine, int textAreaWidth) {
    if (textAreaWidth >= widestLine)
        return 0;
    return std::min(widestLine, maxTextWidth) - textAreaWidth + 2;
}

int CMessageBoxDialog::widestLineWidth(const QString& text, const QFont& font) {
    const QFontMetrics metrics(font);
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

CMessageBoxDialog::CMessageBoxDialog(int templateId, const QString& text, const QString& caption,
                                     QWidget* parent)
    : CSkinDialog(templateId, parent), text_(text), caption_(caption), icon_(QIcon(iconResourcePath(128))) {
    setDialogSize(123, 69);
    addIcon(MessageBoxControl::icon, QRect(7, 7, 20, 20));
    auto* textArea = new CMessageText(text, Skin::objects().messageFont, this);
    textArea->setGeometry(Skin::dluRect(34, 7, 80, 34));
    registerControl(textArea, MessageBoxControl::text);
}

CMessageText* CMessageBoxDialog::textArea() const {
    return itemAs<CMessageText>(MessageBoxControl::text);
}

void CMessageBoxDialog::initDialog() {
    CSkinDialog::initDialog();
    setWindowTitle(caption_);
    if (auto* icon = itemAs<QLabel>(MessageBoxControl::icon); icon && !icon_.isNull())
        icon->setPixmap(icon_.pixmap(32, 32));
    if (text_.isEmpty())
        return;
    widenFor(widestLineWidth(text_, textArea()->textFont()));
}

void CMessageBoxDialog::widenFor(int widestLine) {
    QWidget* area = textArea();
    const int growth = growthFor(widestLine, area->width());
    if (growth == 0)
        return;
    setFixedWidth(width() + growth);
    area->resize(area->width() + growth, area->height());
    for (QWidget* button : buttons())
        button->move(button->x() + growth / 2, button->y());
}

void CMessageBoxDialog::endOnClick(QAbstractButton* button, int result) {
    connect(button, &QAbstractButton::clicked, this, [this, result] { done(result); });
}

void CMessageBoxDialog::reject() {
    done(resultClosed);
}

COkBox::COkBox(const QString& text, const QString& caption, QWidget* parent)
    : CMessageBoxDialog(templateId, text, caption, parent) {
    // Button 1 accepts the dialog, which ends it with 1.
    addButton(MessageBoxControl::ok, QStringLiteral("OK"), QRect(36, 48, 50, 14));
}

QList<QWidget*> COkBox::buttons() const {
    return {item(MessageBoxControl::ok)};
}

CYesNoBox::CYesNoBox(const QString& text, const QString& caption, QWidget* parent)
    : CMessageBoxDialog(templateId, text, caption, parent) {
    endOnClick(addButton(MessageBoxControl::yes, QStringLiteral("Да"), QRect(8, 48, 50, 14)),
               MessageBoxControl::yes);
    endOnClick(addButton(MessageBoxControl::no, QStringLiteral("Нет"), QRect(65, 48, 50, 14)),
               MessageBoxControl::no);
}

QList<QWidget*> CYesNoBox::buttons() const {
    return {item(MessageBoxControl::yes), item(MessageBoxControl::no)};
}
