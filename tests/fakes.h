#pragma once

#include "app/frameservices.h"
#include "model/services.h"

#include <QList>
#include <QPoint>
#include <QString>

#include <deque>

// Records every box asked for and answers from a script (default: the given answer).
class FakeMessageBox : public IMessageBox {
public:
    struct Shown {
        QString text;
        MessageKind kind;
        int buttons;
    };
    QList<Shown> shown;
    QList<QString> standardAsked;
    std::deque<int> answers;
    int defaultAnswer = MessageResult::Yes;
    bool standardAnswer = true;

    int messageBox(const QString& text, MessageKind kind, int buttons) override {
        shown.append({text, kind, buttons});
        if (!answers.empty()) {
            const int a = answers.front();
            answers.pop_front();
            return a;
        }
        return defaultAnswer;
    }
    bool askStandardYesNo(const QString&, const QString& text) override {
        standardAsked.append(text);
        return standardAnswer;
    }
};

class FakeSound : public ISound {
public:
    QList<QString> played; // "wave:N", "file:path", "beep:K"
    void playWave(int id) override { played.append(QStringLiteral("wave:%1").arg(id)); }
    void playFile(const QString& path) override { played.append(QStringLiteral("file:") + path); }
    void beep(MessageKind kind) override {
        played.append(QStringLiteral("beep:%1").arg(static_cast<int>(kind)));
    }
};

class FakeClock : public IClock {
public:
    std::int64_t seconds = 1'000'000;
    std::int64_t nowSeconds() const override { return seconds; }
    void advance(std::int64_t s) { seconds += s; }
};

class FakeScreen : public IScreen {
public:
    QSize screenSize{1024, 768};
    int bitsPerPixel = 32;
    QSize size() const override { return screenSize; }
    int depth() const override { return bitsPerPixel; }
    QRect availableGeometry() const override { return QRect(QPoint(0, 0), screenSize); }
    QSize fullScreenClientSize() const override { return screenSize; }
    double ratio = 1.0;
    double devicePixelRatio() const override { return ratio; }
};

class FakeCursor : public ICursor {
public:
    int waitDepth = 0;
    QPoint pos;
    void pushWait() override { ++waitDepth; }
    void popWait() override { --waitDepth; }
    QPoint position() const override { return pos; }
    void setPosition(const QPoint& p) override { pos = p; }
};

// All fakes together, ready to hand to a main frame.
struct FakeServices {
    FakeMessageBox messages;
    FakeSound sound;
    FakeClock clock;
    FakeScreen screen;
    FakeCursor cursor;
    FrameServices services() { return {&messages, &sound, &clock, &screen, &cursor}; }
};
