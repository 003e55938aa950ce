#pragma once

#include "model/services.h"

#include <QHash>
#include <QObject>

#include <memory>

class QSoundEffect;

// The real implementations of the service interfaces, on top of Qt.

class QtScreen : public IScreen {
public:
    QSize size() const override;
    int depth() const override;
    QRect availableGeometry() const override;
    QSize fullScreenClientSize() const override;
    double devicePixelRatio() const override;
};

class QtClock : public IClock {
public:
    std::int64_t nowSeconds() const override;
};

class QtCursor : public ICursor {
public:
    void pushWait() override;
    void popWait() override;
    QPoint position() const override;
    void setPosition(const QPoint& p) override;
};

// Plays asynchronously through Qt Multimedia. Without an audio device QSoundEffect reports an
// error and stays silent, which is all we need: nothing ever waits for a sound.
class QtSound : public QObject, public ISound {
public:
    void playWave(int id) override;
    void playFile(const QString& path) override;
    void beep(MessageKind kind) override;

private:
    QSoundEffect* effectFor(const QString& url);
    QHash<QString, QSoundEffect*> effects_;
};
