#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

// The splash window: the lettering "Puzzle" opens from the middle outwards, then "from
// Brindlecot" is revealed from the top down beneath it. It plays synchronously, about five
// seconds, and nothing else is processed meanwhile; then the window is gone.
class CSplashWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int splashWidth = 214;
    static constexpr int titleHeight = 91;
    static constexpr int bylineExtra = 86;
    static constexpr int bylineX = 33;
    static constexpr int bylineY = 100;
    static constexpr int titleStepMs = 15;
    static constexpr int pauseMs = 500;
    static constexpr int bylineStepMs = 30;
    static constexpr int bylineSteps = 107;

    // Waits the given number of milliseconds; tests hand in one that does not.
    using Waiter = std::function<void(int milliseconds)>;
    // Sleeps on the system clock.
    static void realWait(int milliseconds);

    // The position on a screen of that size: centred, raised by its own height and 15 pixels.
    static QPoint placeOnScreen(const QSize& screen);

    // Shows the splash owned by `owner` on a screen of `screen` size, plays it and destroys it.
    static void showSplash(QWidget* owner, const QSize& screen, const Waiter& wait = realWait);

    CSplashWnd(QWidget* owner, const QSize& screen);

    // Plays the animation once; a second call does nothing (the animation flag is cleared).
    void play(const Waiter& wait);
    // What the window shows now.
    const QImage& canvas() const { return canvas_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showFrame();
    // Draws `part` (logical pixels) of an image of any ratio at `at`.
    static void drawPart(QPainter& painter, QPoint at, const QImage& image, const QRect& part);

    bool animate_ = true;
    double ratio_ = 1.0;
    QImage canvas_;
};
