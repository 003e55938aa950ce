#include "board/widgets/boardview.h"

#include "board/boardrenderer.h"
#include "board/boardstate.h"
#include "board/interaction.h"
#include "board/keystate.h"

#include <QApplication>
#include <QGuiApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWheelEvent>

#include <cmath>

namespace {
// The logical pixel under the pointer. On a screen of a higher ratio a position falls between
// logical pixels; the pixel it lies in is the one whose drawing shows there (rounding would take
// the next one for half of its device pixels).
QPoint pixelAt(QPointF position) {
    return QPoint(static_cast<int>(std::floor(position.x())), static_cast<int>(std::floor(position.y())));
}
} // namespace

BoardView::BoardView(BoardState& state, QWidget* parent) : QWidget(parent), state_(state) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    edgeTimer_.setSingleShot(true);
    edgeTimer_.setInterval(0);
    connect(&edgeTimer_, &QTimer::timeout, this, &BoardView::repeatEdgeScroll);
    prefetchTimer_.setSingleShot(true);
    prefetchTimer_.setInterval(0);
    connect(&prefetchTimer_, &QTimer::timeout, this, &BoardView::prefetch);
}

void BoardView::prefetch() {
    const int next = renderer_ ? renderer_->prefetch() : -1;
    if (next >= 0)
        prefetchTimer_.start(next);
}

void BoardView::attach(BoardRenderer* renderer, Interaction* interaction) {
    renderer_ = renderer;
    interaction_ = interaction;
    if (interaction_)
        interaction_->viewport().clientResized();
}

void BoardView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Resized, maximised, restored, full-screen mode entered or left: the scroll limits follow.
    if (interaction_)
        interaction_->viewport().clientResized();
}

void BoardView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (!renderer_) {
        painter.fillRect(event->rect(), Qt::black);
        return;
    }
    // The screen's ratio as it is now: a window moved to another screen draws at the new one.
    renderer_->setDeviceRatio(devicePixelRatioF());
    renderer_->paint(painter, event->region());
    // What lies around the view is drawn next, while the player looks.
    prefetchTimer_.start(0);
}

void BoardView::mousePressEvent(QMouseEvent* event) {
    stopEdgeRepeat();
    if (!interaction_)
        return;
    const int word = keyStateWord(event->buttons(), event->modifiers());
    if (event->button() == Qt::LeftButton)
        interaction_->leftButtonDown(word, pixelAt(event->position()));
    else if (event->button() == Qt::RightButton)
        interaction_->rightButtonDown(word, pixelAt(event->position()));
    else if (event->button() == Qt::MiddleButton)
        interaction_->middleButtonDown(pixelAt(event->position()));
}

void BoardView::mouseReleaseEvent(QMouseEvent* event) {
    stopEdgeRepeat();
    if (interaction_ && (event->button() == Qt::LeftButton || event->button() == Qt::RightButton))
        interaction_->buttonUp();
}

void BoardView::mouseMoveEvent(QMouseEvent* event) {
    stopEdgeRepeat();
    if (!interaction_)
        return;
    const int word = keyStateWord(event->buttons(), event->modifiers());
    if (interaction_->mouseMove(word, pixelAt(event->position())))
        startEdgeRepeat(word);
}

void BoardView::mouseDoubleClickEvent(QMouseEvent* event) {
    // Replaces the second press, as on the platform the game was made for; nothing is picked.
    stopEdgeRepeat();
    if (!interaction_)
        return;
    const int word = keyStateWord(event->buttons(), event->modifiers());
    if (event->button() == Qt::LeftButton)
        interaction_->leftDoubleClick(word, pixelAt(event->position()));
    else if (event->button() == Qt::RightButton)
        interaction_->rightDoubleClick(word, pixelAt(event->position()));
    else if (event->button() == Qt::MiddleButton)
        interaction_->middleButtonDown(pixelAt(event->position())); // toggles back, as a press would
}

void BoardView::wheelEvent(QWheelEvent* event) {
    stopEdgeRepeat();
    if (!interaction_) {
        event->ignore();
        return;
    }
    const int word = keyStateWord(event->buttons(), event->modifiers());
    // Some platforms turn a wheel with Shift into a sideways one; either delta counts.
    const QPoint angle = event->angleDelta();
    const int delta = angle.y() != 0 ? angle.y() : angle.x();
    event->setAccepted(interaction_->wheel(word, delta, pixelAt(event->position())));
}

void BoardView::keyPressEvent(QKeyEvent* event) {
    stopEdgeRepeat();
    if (interaction_)
        interaction_->keyDown(gameKey(*event, QGuiApplication::platformName() == QLatin1String("xcb")));
    QWidget::keyPressEvent(event);
}

int BoardView::gameKey(const QKeyEvent& event, bool x11KeyCodes) {
    // The game's keys are keys, not letters: with the Russian layout the H key gives "Р" and the
    // Z key "Я"; another layout may give anything, so the Z key is also known by its X11 key code.
    constexpr int cyrillicEr = 0x0420, cyrillicYa = 0x042F;
    constexpr quint32 x11KeyCodeZ = 52;
    if (event.key() == cyrillicEr)
        return Qt::Key_H;
    const bool plain = !(event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    const bool keyZ = event.key() == Qt::Key_Z || event.key() == cyrillicYa ||
                      (x11KeyCodes && event.nativeScanCode() == x11KeyCodeZ);
    if (keyZ)
        return plain ? int(Qt::Key_Z) : 0; // Ctrl+Z and the like are not the whole-table key
    return event.key();
}

void BoardView::startEdgeRepeat(int word) {
    edgeWord_ = word;
    if (!filtering_) {
        qApp->installEventFilter(this);
        filtering_ = true;
    }
    edgeTimer_.start();
}

void BoardView::stopEdgeRepeat() {
    edgeTimer_.stop();
    if (filtering_) {
        qApp->removeEventFilter(this);
        filtering_ = false;
    }
}

void BoardView::repeatEdgeScroll() {
    if (!interaction_) {
        stopEdgeRepeat();
        return;
    }
    if (interaction_->mouseMove(edgeWord_, mapFromGlobal(QCursor::pos())))
        edgeTimer_.start();
    else
        stopEdgeRepeat();
}

bool BoardView::eventFilter(QObject* watched, QEvent* event) {
    // Input for any window (a key for a shortcut, a click on the menu bar) ends the repetition.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
        stopEdgeRepeat();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
