#pragma once

#include "ui/skindialog.h"

// Dialog 100, "О Программе": the lettering of bitmap 273 at the top, the version and who made
// the program, and an OK button.
class CAboutDialog : public CSkinDialog {
    Q_OBJECT
public:
    static constexpr int templateId = 100;
    static constexpr int lettering = 273; // 214 x 91

    explicit CAboutDialog(QWidget* parent = nullptr);

    // Where the lettering goes: centred at the top.
    QPoint letteringPos() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    mutable ScreenBitmap lettering_{lettering}; // for the screen the dialog shows on
};
