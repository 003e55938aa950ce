#pragma once

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>

#include <cstdint>

class IInteractionHost;
struct Board;
struct BoardState;

// The view's scale: zooming about a point, the whole table fitted to the window and back, and
// the limits that follow the window's size. The scale belongs to the view, not to the game: it
// is never saved, and every new or loaded game starts at 100 %. Nothing here changes while an
// element is held.
class Viewport {
public:
    static constexpr double maxScale = 2.0;
    // Zoom steps: every third one doubles the scale, so 50 %, 100 % and 200 % are steps.
    static constexpr int stepsPerDoubling = 3;
    static constexpr int wheelNotch = 120; // one notch of a wheel, in eighths of a degree

    Viewport(BoardState& state, IInteractionHost& host);

    double scale() const;
    // The whole board in the window; never above 100 %. The smallest scale the view takes.
    double wholeTableScale() const;
    static double wholeTableScaleFor(QSize board, QSize client);
    // Read from the view itself, however it got there (Z, the middle button, zooming out as far
    // as it goes, sorting): the scale is the one that fits the whole board in the window.
    bool wholeTableShown() const;
    // The part of the board the window shows (board coordinates, within the board).
    QRectF visibleBoardRect() const;

    // Sets the scale, kept within wholeTableScale..maxScale, with the board point under the
    // client point staying there as far as the scroll limits allow; true when the view changed.
    bool setScaleAbout(double scale, QPointF clientPoint);
    // The view setScaleAbout(scale, clientPoint) would give, without changing anything: a board
    // with the mapping and limits only (no bitmap), for asking what it would show.
    Board viewAt(double scale, QPointF clientPoint) const;
    // The part of the board a view shows (board coordinates, within the board).
    QRectF visibleBoardRectOf(const Board& view) const;
    // The zoom step `steps` steps above (below, when negative) a scale; from between two steps
    // the first step lands on the neighbouring one. Not kept within the limits.
    static double stepFrom(double scale, int steps);
    // Shows the board rectangle whole and centred, at the largest scale up to 100 % that does.
    void fitBoardRect(const QRect& boardRect);
    // Puts a board point in the middle of the window at the present scale.
    void centreOn(QPointF boardPoint);

    // Steps in (steps > 0) or out about a client point.
    bool zoomStep(int steps, QPointF clientPoint);
    // Ctrl + wheel: a step in (delta > 0) or out for a notch of the wheel, one step a message as
    // the wheel scrolls; the parts of a notch that fine wheels and touchpads send add up.
    void wheel(int delta, QPointF clientPoint);
    // The commands: about the window's centre.
    void zoomIn();
    void zoomOut();
    void actualSize();
    // Z: the whole table, or back to the view before it; when the whole table was reached by
    // zooming out (no view before it was kept), back to 100 % about the middle of the window.
    void toggleWholeTable();
    // The whole table, remembering the view before it for Z (nothing when it is shown already).
    void showWholeTable();
    // The board grew by `shift` on its left and top sides: the view kept for Z follows the board
    // points it showed.
    void boardShifted(QPoint shift);
    // The board changed size in the whole-table view: the whole table anew, the view kept for Z
    // as it was.
    void refitWholeTable();
    // At the present scale, the board point at the client point, as far as the limits allow.
    void keepAt(QPointF boardPoint, QPointF clientPoint);
    // Middle button: the whole table; in it, 100 % centred on the point clicked.
    void middleClick(QPoint client);

    // The window's client area changed size: new limits, the position kept in range, and the
    // whole-table view fitted anew.
    void clientResized();

private:
    bool holding() const;
    QPointF centre() const;
    // Applies a scale and then a scroll position (view pixels, before clamping); repaints.
    void apply(double scale, QPointF scroll);
    // Sets the scale and puts a board point in the middle of the window; repaints.
    void showAt(double scale, QPointF boardPoint);

    // Back from the whole table: the view kept when it was entered, if it belongs to this board
    // and is another view than the whole table; else 100 %.
    void leaveWholeTable();

    BoardState& state_;
    IInteractionHost& host_;
    std::uint64_t previousBoard_ = 0; // the board's serial when the view before was kept; 0: none
    double previousScale_ = 1.0;
    QPointF previousCentre_; // board point in the middle of the window before the whole table
    int wheelRest_ = 0;      // parts of a notch turned so far, in eighths of a degree
};
