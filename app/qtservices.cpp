#include "app/qtservices.h"

#include "res/resources.h"

#include <QApplication>
#include <QCursor>
#include <QDateTime>
#include <QGuiApplication>
#include <QScreen>
#include <QSoundEffect>
#include <QUrl>

#include <algorithm>

namespace {
QScreen* primary() {
    return QGuiApplication::primaryScreen();
}
} // namespace

QSize QtScreen::size() const {
    return primary() ? primary()->geometry().size() : QSize(1024, 768);
}

int QtScreen::depth() const {
    return primary() ? primary()->depth() : 32;
}

QRect QtScreen::availableGeometry() const {
    return primary() ? primary()->availableGeometry() : QRect(QPoint(0, 0), size());
}

// A frameless window covering the screen has the whole screen as its client area.
QSize QtScreen::fullScreenClientSize() const {
    return size();
}

double QtScreen::devicePixelRatio() const {
    double ratio = 1.0;
    for (const QScreen* screen : QGuiApplication::screens())
        ratio = std::max(ratio, screen->devicePixelRatio());
    return ratio;
}

std::int64_t QtClock::nowSeconds() const {
    return QDateTime::currentSecsSinceEpoch();
}

void QtCursor::pushWait() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}
void QtCursor::popWait() {
    QGuiApplication::restoreOverrideCursor();
}
QPoint QtCursor::position() const {
    return QCursor::pos();
}
void QtCursor::setPosition(const QPoint& p) {
    QCursor::setPos(p);
}

QSoundEffect* QtSound::effectFor(const QString& url) {
    auto it = effects_.find(url);
    if (it != effects_.end())
        return it.value();
    auto* effect = new QSoundEffect(this);
    effect->setSource(url.startsWith(QLatin1String("qrc:")) ? QUrl(url) : QUrl::fromLocalFile(url));
    effects_.insert(url, effect);
    return effect;
}

void QtSound::playWave(int id) {
    QString path = waveResourcePath(id); // ":/waves/N.wav"
    effectFor(QStringLiteral("qrc") + path)->play();
}

void QtSound::playFile(const QString& path) {
    effectFor(path)->play();
}

void QtSound::beep(MessageKind) {
    QApplication::beep();
}
