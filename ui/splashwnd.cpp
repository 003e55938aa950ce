#include "ui/splashwnd.h"

#include "ui/skin.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QWindow>

#include <algorithm>
#include <thread>

namespace {
// The window system maps a new window at once, but give it at most this long to say so.
constexpr int kExposeTimeoutMs = 500;
} // namespace

void CSplashWnd::realWait(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

QPoint CSplashWnd::placeOnScreen(const QSize& screen) {
    return QPoint((screen.width() - splashWidth) / 2, (screen.height() - titleHeight) / 2 - titleHeight - 15);
}

CSplashWnd::CSplashWnd(QWidget* owner, const QSize& screen)
    : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("splashWindow"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(splashWidth, titleHeight + bylineExtra);
    move(placeOnScreen(screen));
    // The window's background is the stripe pattern, anchored at its corner; on a screen of a
    // higher ratio everything is drawn at its device pixels, from the finer lettering.
    ratio_ = devicePixelRatioF();
    canvas_ = QImage((QSizeF(size()) * ratio_).toSize(), QImage::Format_RGB32);
    canvas_.setDevicePixelRatio(ratio_);
    QPainter painter(&canvas_);
    tileBitmap(Skin::bitmap(SkinBitmap::stripes), painter, 0, 0, width(), QWidget::height());
}

void CSplashWnd::showSplash(QWidget* owner, const QSize& screen, const Waiter& wait) {
    CSplashWnd splash(owner, screen);
    splash.show();
    // Only the window system's own events: the player's input waits until the splash is gone.
    QElapsedTimer waited;
    waited.start();
    while (splash.windowHandle() && !splash.windowHandle()->isExposed() &&
           waited.elapsed() < kExposeTimeoutMs)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    splash.play(wait);
}

void CSplashWnd::showFrame() {
    // Painted and put on the screen at once; the animation runs without an event loop.
    if (isVisible())
        repaint();
}

void CSplashWnd::play(const Waiter& wait) {
    if (!animate_)
        return;
    animate_ = false;
    const QImage title = Skin::bitmap(SkinBitmap::splashTitle, ratio_);
    const int half = splashWidth / 2;
    // The title opens from the middle: its left edge slides out to the left, its right edge to
    // the right, until the whole picture stands in place.
    for (int i = 0; i <= half; ++i) {
        wait(titleStepMs);
        // An empty source rectangle would mean the whole image to QPainter.
        if (i > 0) {
            QPainter painter(&canvas_);
            drawPart(painter, QPoint(half - i, 0), title, QRect(0, 0, i, titleHeight));
            drawPart(painter, QPoint(half, 0), title, QRect(splashWidth - i, 0, i, titleHeight));
        }
        showFrame();
    }

    const QImage byline = Skin::bitmap(SkinBitmap::splashByline, ratio_);
    const QSize bylineSize = byline.deviceIndependentSize().toSize();
    wait(pauseMs);
    // The byline is revealed from the top down; the steps go on past its last row, so the
    // reveal takes as long as the window's lower part is high.
    for (int i = 0; i < bylineSteps; ++i) {
        wait(bylineStepMs);
        const int rows = std::min(i, bylineSize.height());
        if (rows > 0) {
            QPainter painter(&canvas_);
            drawPart(painter, QPoint(bylineX, bylineY), byline, QRect(0, 0, bylineSize.width(), rows));
        }
        showFrame();
    }
}

void CSplashWnd::drawPart(QPainter& painter, QPoint at, const QImage& image, const QRect& part) {
    const double r = image.devicePixelRatio();
    if (r == 1.0) {
        painter.drawImage(at, image, part);
        return;
    }
    painter.drawImage(QRectF(at, part.size()), image,
                      QRectF(QPointF(part.topLeft()) * r, QSizeF(part.size()) * r));
}

void CSplashWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, canvas_);
}
