#pragma once

#include <QImage>
#include <QWidget>

struct GameState;

// The clock box in the bottom-right corner of the client area: the clock text in the
// background's text colour over the background's texture or colour. It keeps itself in that
// corner.
class ClockWindow : public QWidget {
    Q_OBJECT
public:
    ClockWindow(GameState& state, QWidget* parent);

    // The clock face of the given size, drawn off screen and copied to the window whole; for a
    // screen of `ratio`, at its device pixels.
    static QImage face(const GameState& state, const QSize& size, double ratio = 1.0);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void keepInCorner();
    GameState& state_;
};
