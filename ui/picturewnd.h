#pragma once

#include "game/previewimagecache.h"

#include <QCursor>
#include <QWidget>

#include <functional>

class CSizeGrip;
class QPainter;
struct GameState;

// The floating window that shows the whole current picture while the player assembles it. It
// has a sizing border but no caption, stretches the picture over its client area, is moved by
// dragging anywhere inside it and resized by its border or the grip in its bottom-right corner.
// It never keeps the keyboard: after every move, resize, show or hide the focus goes back to
// the main window.
class CPictureWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int gripId = 107;
    // The sizing border is drawn by the window itself and counts in its size.
    static constexpr int border = 4;
    // How far from a corner along an edge the border resizes at the corner.
    static constexpr int cornerReach = 16;
    // Room for the border, the grip and some picture.
    static constexpr int minimumSide = 40;

    // Created hidden at its first place; owner is the main window, which it stays above.
    CPictureWnd(const GameState& state, QWidget* owner);

    // The show-or-hide command. A shown window is hidden. A hidden one takes the picture's
    // proportions (its longer side at most a third of the screen), is placed with its right edge
    // on the client area's right edge and its top on the client area's top (screen
    // coordinates), and shown.
    void toggle(const QRect& clientOnScreen);
    // After the cut: left, top and width stay, the height follows the picture's proportions.
    void fitToPicture();
    // Shows the window at this place and size (no smaller than its minimum).
    void showAt(const QRect& geometry);
    // Told the window's new place and size each time the player has moved or resized it.
    void setPlayerMoved(std::function<void(const QRect&)> moved) { playerMoved_ = std::move(moved); }

    // How the focus goes back to the main window.
    void setFocusReturn(std::function<void()> giveBack) { focusReturn_ = std::move(giveBack); }

    // The area the picture is stretched over: the window inside its sizing border.
    QRect clientRect() const;
    CSizeGrip* grip() const { return grip_; }
    // 1 between a left-button press inside the picture and the end of the move.
    int dragFlag() const { return drag_; }
    const PreviewImageCache& imageCache() const { return cache_; }

    // Moving and resizing follow the pointer in screen coordinates; the grip uses them too.
    void beginResize(Qt::Edges edges, QPoint globalPos);
    void track(QPoint globalPos);
    void endTracking();
    // Paints the part of the stretched picture that lies under area (window coordinates).
    void paintPictureUnder(QPainter& painter, const QRect& area);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class Tracking { None, Move, Resize };

    const QImage& scaledPicture();
    void paintBorder(QPainter& painter);
    void placeGrip();
    void showHoverCursor(QPoint pos);
    void giveFocusBack();

    const GameState& state_;
    CSizeGrip* grip_ = nullptr;
    int drag_ = 0;
    Tracking tracking_ = Tracking::None;
    Qt::Edges edges_;
    QPoint pressGlobal_;
    QRect startGeometry_;
    std::function<void()> focusReturn_;
    std::function<void(const QRect&)> playerMoved_;
    PreviewImageCache cache_;
    QImage shown_; // the cached picture marked with the screen's ratio, above ratio 1
};
