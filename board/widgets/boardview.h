#pragma once

#include <QWidget>

struct GameState;

// The main window's client area: copies the visible part of the board bitmap and hands mouse and
// keyboard input on. It never erases its background; the board copy covers everything.
class BoardView : public QWidget {
    Q_OBJECT
public:
    explicit BoardView(GameState& state, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    GameState& state_;
};
