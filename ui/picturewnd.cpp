#include "ui/picturewnd.h"

#include "game/gamestate.h"
#include "game/previewlayout.h"
#include "ui/sizegrip.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {
// The sizing border in the colours of the program's wooden frames: light and dark edges
// around a middle tone.
const QColor borderLight(255, 230, 131);
const QColor borderMiddle(176, 132, 74);
const QColor borderDark(98, 74, 49);

Qt::CursorShape cursorFor(Qt::Edges edges) {
    const bool horizontal = edges.testFlag(Qt::LeftEdge) || edges.testFlag(Qt::RightEdge);
    const bool vertical = edges.testFlag(Qt::TopEdge) || edges.testFlag(Qt::BottomEdge);
    if (horizontal && vertical) {
        const bool falling = edges.testFlag(Qt::LeftEdge) == edges.testFlag(Qt::TopEdge);
        return falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
    }
    if (horizontal)
        return Qt::SizeHorCursor;
    if (vertical)
        return Qt::SizeVerCursor;
    return Qt::ArrowCursor;
}
} // namespace

CPictureWnd::CPictureWnd(const GameState& state, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus), state_(state),
      // A screen of a higher ratio shows the picture at its own pixels: the working copy keeps
      // that many more.
      cache_((QSizeF(state.screenWidth, state.screenHeight) * std::max(1.0, state.deviceRatio)).toSize()) {
    setObjectName(QStringLiteral("pictureWnd"));
    // The picture covers every pixel; nothing is erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setMinimumSize(minimumSide, minimumSide);
    setGeometry(PreviewLayout::initialGeometry(QSize(state.screenWidth, state.screenHeight)));
}

QRect CPictureWnd::clientRect() const {
    return rect().adjusted(border, border, -border, -border);
}

void CPictureWnd::toggle(const QRect& clientOnScreen) {
    if (isVisible()) {
        hide();
        giveFocusBack();
        return;
    }
    const QRect shown =
        PreviewLayout::shownGeometry(clientOnScreen, state_.pictureWidth, state_.pictureHeight,
                                     QSize(state_.screenWidth, state_.screenHeight));
    if (!shown.isEmpty()) {
        // A tiny picture still gets a usable window, kept on the client area's right edge.
        const QSize size = shown.size().expandedTo(minimumSize());
        setGeometry(QRect(QPoint(shown.x() + shown.width() - size.width(), shown.y()), size));
    }
    show();
    raise();
    giveFocusBack();
}

void CPictureWnd::showAt(const QRect& geometry) {
    setGeometry(QRect(geometry.topLeft(), geometry.size().expandedTo(minimumSize())));
    show();
    raise();
    giveFocusBack();
}

void CPictureWnd::fitToPicture() {
    const QRect g = geometry();
    const int height =
        PreviewLayout::fittedHeight(g.width(), g.height(), state_.pictureWidth, state_.pictureHeight);
    setGeometry(QRect(g.topLeft(), QSize(g.width(), std::max(height, minimumHeight()))));
    update();
}

const QImage& CPictureWnd::scaledPicture() {
    const double ratio = devicePixelRatioF();
    if (ratio <= 1.0)
        return cache_.scaled(state_.picture, clientRect().size());
    // At the screen's pixels, from the finer picture where the cut kept one.
    const QImage& source = state_.devicePicture.isNull() ? state_.picture : state_.devicePicture;
    shown_ = cache_.scaled(source, (QSizeF(clientRect().size()) * ratio).toSize());
    shown_.setDevicePixelRatio(ratio);
    return shown_;
}

void CPictureWnd::paintPictureUnder(QPainter& painter, const QRect& area) {
    const QRect client = clientRect();
    const QImage& picture = scaledPicture();
    if (picture.isNull()) {
        painter.fillRect(QRect(QPoint(0, 0), area.size()), Qt::black);
        return;
    }
    const QRect under = area.translated(-client.topLeft());
    const double ratio = picture.devicePixelRatio();
    if (ratio == 1.0) {
        painter.drawImage(QPoint(0, 0), picture, under);
        return;
    }
    painter.drawImage(QRectF(QPointF(0, 0), QSizeF(area.size())), picture,
                      QRectF(QPointF(under.topLeft()) * ratio, QSizeF(under.size()) * ratio));
}

void CPictureWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintBorder(painter);
    const QRect client = clientRect();
    const QImage& picture = scaledPicture();
    if (picture.isNull())
        painter.fillRect(client, Qt::black);
    else
        painter.drawImage(client.topLeft(), picture);
}

void CPictureWnd::paintBorder(QPainter& painter) {
    const QRect r = rect();
    QRegion frame(r);
    frame -= QRegion(clientRect());
    painter.save();
    painter.setClipRegion(frame);
    painter.fillRect(r, borderMiddle);
    const int right = r.width() - 1, bottom = r.height() - 1;
    // Raised outside, sunken towards the picture.
    painter.setPen(borderLight);
    painter.drawLine(0, 0, right, 0);
    painter.drawLine(0, 0, 0, bottom);
    painter.drawLine(border - 1, bottom - border + 1, right - border + 1, bottom - border + 1);
    painter.drawLine(right - border + 1, border - 1, right - border + 1, bottom - border + 1);
    painter.setPen(borderDark);
    painter.drawLine(0, bottom, right, bottom);
    painter.drawLine(right, 0, right, bottom);
    painter.drawLine(border - 1, border - 1, right - border + 1, border - 1);
    painter.drawLine(border - 1, border - 1, border - 1, bottom - border + 1);
    painter.restore();
}

void CPictureWnd::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeGrip();
    update();
}

void CPictureWnd::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The grip exists from the first showing on.
    if (!grip_) {
        grip_ = new CSizeGrip(this);
        grip_->setObjectName(QStringLiteral("sizeGrip"));
        grip_->setProperty("controlId", gripId);
        placeGrip();
        grip_->show();
    }
}

void CPictureWnd::placeGrip() {
    if (!grip_)
        return;
    const QRect client = clientRect();
    grip_->move(client.x() + client.width() - CSizeGrip::width,
                client.y() + client.height() - CSizeGrip::height);
}

void CPictureWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint global = event->globalPosition().toPoint();
    const Qt::Edges edges = PreviewLayout::edgesAt(event->position().toPoint(), size(), border, cornerReach);
    if (edges) {
        beginResize(edges, global);
        return;
    }
    drag_ = 1;
    tracking_ = Tracking::Move;
    pressGlobal_ = global;
    startGeometry_ = geometry();
}

void CPictureWnd::beginResize(Qt::Edges edges, QPoint globalPos) {
    tracking_ = Tracking::Resize;
    edges_ = edges;
    pressGlobal_ = globalPos;
    startGeometry_ = geometry();
}

void CPictureWnd::track(QPoint globalPos) {
    const QPoint delta = globalPos - pressGlobal_;
    if (tracking_ == Tracking::Move && drag_ == 1)
        move(startGeometry_.topLeft() + delta);
    else if (tracking_ == Tracking::Resize)
        setGeometry(PreviewLayout::resized(startGeometry_, edges_, delta, minimumSize()));
}

void CPictureWnd::endTracking() {
    const bool moved = tracking_ != Tracking::None && geometry() != startGeometry_;
    tracking_ = Tracking::None;
    drag_ = 0;
    giveFocusBack();
    if (moved && playerMoved_)
        playerMoved_(geometry());
}

void CPictureWnd::mouseMoveEvent(QMouseEvent* event) {
    // Only the left button alone moves or resizes, as the button combinations elsewhere.
    if (event->buttons() == Qt::LeftButton && tracking_ != Tracking::None) {
        track(event->globalPosition().toPoint());
        return;
    }
    if (event->buttons() == Qt::NoButton)
        showHoverCursor(event->position().toPoint());
}

void CPictureWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        endTracking();
}

void CPictureWnd::showHoverCursor(QPoint pos) {
    const Qt::CursorShape shape = cursorFor(PreviewLayout::edgesAt(pos, size(), border, cornerReach));
    if (cursor().shape() != shape)
        setCursor(shape);
}

void CPictureWnd::giveFocusBack() {
    if (focusReturn_)
        focusReturn_();
}
