#pragma once

#include "ui/skindialog.h"

#include <QFont>

// The small striped window that stands over the hidden board while the game is paused. The
// Pause key, Enter or Escape closes it.
class PauseWindow : public CSkinDialog {
    Q_OBJECT
public:
    static constexpr int templateId = 306;

    explicit PauseWindow(QWidget* parent = nullptr);

protected:
    void initDialog() override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QFont font_;
};
