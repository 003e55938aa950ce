#pragma once

#include <QWidget>

struct GameState;

// The clock box in the bottom-right corner of the client area: the clock text over the
// background, in the background's text colour. It keeps itself in that corner.
class ClockWindow : public QWidget {
    Q_OBJECT
public:
    ClockWindow(GameState& state, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void keepInCorner();
    GameState& state_;
};
