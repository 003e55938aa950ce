#pragma once

#include <QTimer>
#include <QWidget>

class BoardRenderer;
class QKeyEvent;
class Interaction;
struct BoardState;

// The main window's client area: paints what the board renderer holds and turns Qt's mouse,
// wheel and key events into calls on the interaction. It never erases its background.
class BoardView : public QWidget {
    Q_OBJECT
public:
    explicit BoardView(BoardState& state, QWidget* parent = nullptr);

    void attach(BoardRenderer* renderer, Interaction* interaction);
    // Edge scrolling goes on by itself, one step per turn of the event loop.
    bool edgeScrolling() const { return edgeTimer_.isActive(); }
    // The key the game reads from a key event, whatever the keyboard layout; under X11 the Z key
    // is also known by its key code.
    static int gameKey(const QKeyEvent& event, bool x11KeyCodes);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The cursor rests in an edge band: move again with the same key-state word while no input
    // arrives. A zero-interval timer runs once per turn of the event loop, after pending input
    // has been handled, so the repetition neither recurses nor holds input back.
    void startEdgeRepeat(int word);
    void prefetch();
    void stopEdgeRepeat();
    void repeatEdgeScroll();

    BoardState& state_;
    BoardRenderer* renderer_ = nullptr;
    Interaction* interaction_ = nullptr;
    QTimer edgeTimer_;
    int edgeWord_ = 0;
    bool filtering_ = false;
    // Draws the table around the view while nothing else waits, one tile a turn of the loop.
    QTimer prefetchTimer_;
};
