#pragma once

#include "board/hinttiplayout.h"

#include <QDialog>

// The small light-orange tip with the row and column of an element's true place. It takes the
// mouse and the keyboard while it is open, so the next click anywhere or any key closes it.
class HintTipDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int templateId = 291;

    // cursor is the cursor's screen position; the tip ends before rightLimit and bottomLimit.
    HintTipDialog(int row, int column, QPoint cursor, int rightLimit, int bottomLimit,
                  QWidget* parent = nullptr);

    const HintTipLayout& layout() const { return layout_; }
    static QColor background() { return QColor(255, 210, 136); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    HintTipLayout layout_;
};
