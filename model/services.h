#pragma once

// The narrow interfaces through which the rules reach the outside world. The program passes
// real implementations (app/, ui/); tests pass the fakes of tests/fakes.h.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>

// Kinds of the program's own message box; the values pick icon and beep.
enum class MessageKind { Error, Question, Warning, Information, Plain };

// Button sets and results of the program's own message box, as the callers compare them.
namespace MessageButtons {
constexpr int Ok = 0;
constexpr int YesNo = 4;
} // namespace MessageButtons

namespace MessageResult {
constexpr int Invalid = -1;
constexpr int Ok = 1;
constexpr int Cancel = 2; // Escape or the window's close
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace MessageResult

class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    // The program's skinned box, caption "Puzzle". Returns one of MessageResult.
    virtual int messageBox(const QString& text, MessageKind kind, int buttons) = 0;
    // The platform's standard Yes/No box with the exclamation icon (start-up depth question).
    virtual bool askStandardYesNo(const QString& caption, const QString& text) = 0;
};

class ISound {
public:
    virtual ~ISound() = default;
    // Plays a wave resource by its number; never blocks on the audio device.
    virtual void playWave(int id) = 0;
    // Plays a wave file by its path.
    virtual void playFile(const QString& path) = 0;
    // The system's default beep for a message-box kind.
    virtual void beep(MessageKind kind) = 0;
};

class IClock {
public:
    virtual ~IClock() = default;
    // Seconds since the epoch (local time matters only for differences).
    virtual std::int64_t nowSeconds() const = 0;
};

class IScreen {
public:
    virtual ~IScreen() = default;
    virtual QSize size() const = 0;
    virtual int depth() const = 0;
    virtual QRect availableGeometry() const = 0;
    // Client size of a window covering the whole screen without frame or menu.
    virtual QSize fullScreenClientSize() const = 0;
    // The highest ratio of device pixels to logical ones among the screens.
    virtual double devicePixelRatio() const = 0;
};

class ICursor {
public:
    virtual ~ICursor() = default;
    virtual void pushWait() = 0;
    virtual void popWait() = 0;
    virtual QPoint position() const = 0;
    virtual void setPosition(const QPoint& p) = 0;
};

// Shows the wait cursor for as long as it lives.
class WaitCursor {
public:
    explicit WaitCursor(ICursor& cursor) : cursor_(cursor) { cursor_.pushWait(); }
    ~WaitCursor() { cursor_.popWait(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    ICursor& cursor_;
};
