#pragma once

#include <QDialog>

// The small window that stands over the hidden board while the game is paused. The Pause key,
// Enter or Escape closes it.
class PauseWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int templateId = 306;
    static constexpr int pauseTextId = 57681;

    explicit PauseWindow(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QFont font_;
};
