#pragma once

#include "ui/skindialog.h"

#include <QIcon>

class QAbstractButton;
class QLabel;

// Control numbers of the program's message boxes.
namespace MessageBoxControl {
constexpr int ok = 1;
constexpr int yes = 6;
constexpr int no = 7;
constexpr int icon = 1026;
constexpr int text = 1027;
} // namespace MessageBoxControl

// The owner-drawn text of a message box: light orange, bold, wrapped at words, on the stripes.
class CMessageText : public QWidget {
    Q_OBJECT
public:
    CMessageText(const QString& text, const QFont& font, QWidget* parent);
    QString text() const { return text_; }
    // The font the text is measured and drawn with; never inherited from the dialog.
    const QFont& textFont() const { return font_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QFont font_;
};

// What the two boxes share: icon, text, caption, the widening for long lines, and the result
// codes (2 when the box is closed with Escape or the window's close button).
class CMessageBoxDialog : public CSkinDialog {
    Q_OBJECT
public:
    static constexpr int maxTextWidth = 600;
    static constexpr int resultClosed = 2;

    // Widening for a widest line of `widestLine` pixels in a text area `textAreaWidth` wide:
    // min(widestLine, 600) - textAreaWidth + 2, or 0 when the line fits.
    static int growthFor(int widestLine, int textAreaWidth);
    // Width in pixels of the widest line of the text, each line measured on its own.
    static int widestLineWidth(const QString& text, const QFont& font);

    // Replaces the program's icon shown at the top left.
    void setIcon(const QIcon& icon) { icon_ = icon; }

    QString text() const { return text_; }
    CMessageText* textArea() const;
    // Widens the box, its text area and moves its buttons for a widest line of that width.
    void widenFor(int widestLine);

    void reject() override;

protected:
    CMessageBoxDialog(int templateId, const QString& text, const QString& caption, QWidget* parent);
    void initDialog() override;
    virtual QList<QWidget*> buttons() const = 0;

    // Ends the box with a result code when its button is clicked.
    void endOnClick(QAbstractButton* button, int result);

private:
    QString text_;
    QString caption_;
    QIcon icon_;
};

// Dialog 307: the box with one OK button; ends with 1.
class COkBox : public CMessageBoxDialog {
    Q_OBJECT
public:
    static constexpr int templateId = 307;
    COkBox(const QString& text, const QString& caption, QWidget* parent = nullptr);

protected:
    QList<QWidget*> buttons() const override;
};

// Dialog 308: the box with "Да" and "Нет"; ends with 6 or 7.
class CYesNoBox : public CMessageBoxDialog {
    Q_OBJECT
public:
    static constexpr int templateId = 308;
    CYesNoBox(const QString& text, const QString& caption, QWidget* parent = nullptr);

protected:
    QList<QWidget*> buttons() const override;
};
