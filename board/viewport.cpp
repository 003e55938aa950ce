#include "board/viewport.h"

#include "board/boardstate.h"
#include "board/interactionhost.h"

#include <algorithm>
#include <cmath>

namespace {

// Gives a board a scale with the board point `boardPoint` at `clientPoint`, as far as the scroll
// limits allow.
void placeAbout(Board& b, QSize client, double scale, QPointF boardPoint, QPointF clientPoint) {
    // The origin of the new scale is known only once it is set.
    b.setView(client, scale);
    b.scrollX = static_cast<int>(std::lround(boardPoint.x() * scale + b.originX - clientPoint.x()));
    b.scrollY = static_cast<int>(std::lround(boardPoint.y() * scale + b.originY - clientPoint.y()));
    b.clampScroll();
}

} // namespace

Viewport::Viewport(BoardState& state, IInteractionHost& host) : state_(state), host_(host) {}

double Viewport::scale() const {
    return state_.board.scale;
}

double Viewport::wholeTableScale() const {
    return wholeTableScaleFor(QSize(state_.board.boardWidth, state_.board.boardHeight), host_.clientSize());
}

double Viewport::wholeTableScaleFor(QSize board, QSize client) {
    if (board.isEmpty() || client.isEmpty())
        return 1.0;
    return std::min({1.0, double(client.width()) / board.width(), double(client.height()) / board.height()});
}

bool Viewport::wholeTableShown() const {
    // Measured against the client area the view was set for: while the window is being resized
    // the view still shows the whole table of the size before.
    const Board& b = state_.board;
    const QSize client = b.viewSize.isEmpty() ? host_.clientSize() : b.viewSize;
    return std::abs(b.scale - wholeTableScaleFor(QSize(b.boardWidth, b.boardHeight), client)) < 1e-9;
}

QRectF Viewport::visibleBoardRect() const {
    return visibleBoardRectOf(state_.board);
}

QRectF Viewport::visibleBoardRectOf(const Board& b) const {
    const QSize client = host_.clientSize();
    const QRectF shown(b.toBoardF(QPointF(0, 0)), b.toBoardF(QPointF(client.width(), client.height())));
    return shown.intersected(QRectF(0, 0, b.boardWidth, b.boardHeight));
}

bool Viewport::holding() const {
    return state_.input.pickedElement != -1;
}

QPointF Viewport::centre() const {
    const QSize client = host_.clientSize();
    return {client.width() / 2.0, client.height() / 2.0};
}

void Viewport::apply(double scale, QPointF scroll) {
    Board& b = state_.board;
    b.setView(host_.clientSize(), scale);
    b.scrollX = static_cast<int>(std::lround(scroll.x()));
    b.scrollY = static_cast<int>(std::lround(scroll.y()));
    b.clampScroll();
    state_.refreshDragClip();
    host_.invalidateAll();
}

bool Viewport::setScaleAbout(double scale, QPointF clientPoint) {
    Board& b = state_.board;
    scale = std::clamp(scale, wholeTableScale(), maxScale);
    if (scale == b.scale && b.viewSize == host_.clientSize())
        return false;
    const int oldX = b.scrollX, oldY = b.scrollY;
    const double oldScale = b.scale;
    placeAbout(b, host_.clientSize(), scale, b.toBoardF(clientPoint), clientPoint);
    apply(b.scale, QPointF(b.scrollX, b.scrollY));
    return b.scale != oldScale || b.scrollX != oldX || b.scrollY != oldY;
}

Board Viewport::viewAt(double scale, QPointF clientPoint) const {
    const Board& b = state_.board;
    Board view;
    view.boardWidth = b.boardWidth;
    view.boardHeight = b.boardHeight;
    placeAbout(view, host_.clientSize(), std::clamp(scale, wholeTableScale(), maxScale),
               b.toBoardF(clientPoint), clientPoint);
    return view;
}

double Viewport::stepFrom(double scale, int steps) {
    const double k = std::log2(scale) * stepsPerDoubling;
    const double target = steps > 0 ? std::floor(k + 1e-6) + steps : std::ceil(k - 1e-6) + steps;
    return std::exp2(target / stepsPerDoubling);
}

void Viewport::centreOn(QPointF boardPoint) {
    Board& b = state_.board;
    const QPointF c = centre();
    apply(b.scale, QPointF(boardPoint.x() * b.scale + b.originX - c.x(),
                           boardPoint.y() * b.scale + b.originY - c.y()));
}

void Viewport::showAt(double scale, QPointF boardPoint) {
    // The origin and the limits of the new scale first: centreOn reads them.
    state_.board.setView(host_.clientSize(), scale);
    centreOn(boardPoint);
}

void Viewport::fitBoardRect(const QRect& boardRect) {
    if (boardRect.isEmpty())
        return;
    const QSize client = host_.clientSize();
    const double fit = std::min(
        {1.0, double(client.width()) / boardRect.width(), double(client.height()) / boardRect.height()});
    showAt(std::max(fit, wholeTableScale()), QRectF(boardRect).center());
}

bool Viewport::zoomStep(int steps, QPointF clientPoint) {
    if (holding() || steps == 0)
        return false;
    return setScaleAbout(stepFrom(state_.board.scale, steps), clientPoint);
}

void Viewport::wheel(int delta, QPointF clientPoint) {
    if (delta == 0)
        return;
    if ((wheelRest_ > 0 && delta < 0) || (wheelRest_ < 0 && delta > 0))
        wheelRest_ = 0; // turned back: the parts turned the other way are forgotten
    wheelRest_ += delta;
    if (std::abs(wheelRest_) < wheelNotch)
        return;
    const int steps = wheelRest_ > 0 ? 1 : -1;
    wheelRest_ = 0;
    zoomStep(steps, clientPoint);
}

void Viewport::zoomIn() {
    zoomStep(1, centre());
}

void Viewport::zoomOut() {
    zoomStep(-1, centre());
}

void Viewport::actualSize() {
    if (!holding())
        setScaleAbout(1.0, centre());
}

void Viewport::toggleWholeTable() {
    if (holding())
        return;
    if (wholeTableShown())
        leaveWholeTable();
    else
        showWholeTable();
}

void Viewport::leaveWholeTable() {
    Board& b = state_.board;
    const double whole = wholeTableScale();
    const bool kept = previousBoard_ != 0 && previousBoard_ == b.serial && previousScale_ > whole + 1e-9;
    previousBoard_ = 0;
    if (kept)
        showAt(std::min(previousScale_, maxScale), previousCentre_);
    else
        showAt(1.0, b.toBoardF(centre()));
}

void Viewport::showWholeTable() {
    if (wholeTableShown())
        return;
    Board& b = state_.board;
    previousScale_ = b.scale;
    previousCentre_ = b.toBoardF(centre());
    previousBoard_ = b.serial;
    showAt(wholeTableScale(), QPointF(b.boardWidth / 2.0, b.boardHeight / 2.0));
}

void Viewport::boardShifted(QPoint shift) {
    previousCentre_ += QPointF(shift);
}

void Viewport::refitWholeTable() {
    const Board& b = state_.board;
    showAt(wholeTableScale(), QPointF(b.boardWidth / 2.0, b.boardHeight / 2.0));
}

void Viewport::keepAt(QPointF boardPoint, QPointF clientPoint) {
    Board& b = state_.board;
    b.setView(host_.clientSize(), b.scale);
    apply(b.scale, QPointF(boardPoint.x() * b.scale + b.originX - clientPoint.x(),
                           boardPoint.y() * b.scale + b.originY - clientPoint.y()));
}

void Viewport::middleClick(QPoint client) {
    if (holding())
        return;
    if (!wholeTableShown()) {
        showWholeTable();
        return;
    }
    previousBoard_ = 0;
    showAt(1.0, state_.board.toBoardF(QPointF(client) + QPointF(0.5, 0.5)));
}

void Viewport::clientResized() {
    Board& b = state_.board;
    if (wholeTableShown()) {
        refitWholeTable();
        return;
    }
    // At 100 % the top-left corner stays, as a window that grows shows more of the board to the
    // right and below; at other scales the middle of the view does.
    if (b.scale == 1.0 || b.viewSize.isEmpty()) {
        apply(b.scale, QPointF(b.scrollX, b.scrollY));
        return;
    }
    const QPointF middle = b.toBoardF(QPointF(b.viewSize.width() / 2.0, b.viewSize.height() / 2.0));
    showAt(std::max(b.scale, wholeTableScale()), middle);
}
