#pragma once

#include "ui/skindialog.h"

// Dialog 288, "Управление": a reference card of what the mouse and the keys do.
class CControlsDialog : public CSkinDialog {
    Q_OBJECT
public:
    static constexpr int templateId = 288;
    explicit CControlsDialog(QWidget* parent = nullptr);
};
