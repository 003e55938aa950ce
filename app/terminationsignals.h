#pragma once

#include <QObject>

#include <csignal>

class QSocketNotifier;

// Turns the signals with which the system ends a program (SIGTERM, and SIGINT and SIGHUP from a
// terminal) into a Qt signal on the main thread, where the game can still be kept. The handler
// itself only writes the signal's number into a pipe; everything else runs from the event loop.
// One instance at a time; the earlier handlers come back when it goes.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // False when the pipe could not be made: the signals then end the program as they always do.
    bool active() const { return notifier_ != nullptr; }

signals:
    void received(int signalNumber);

private:
    static void handle(int signalNumber);
    void readPipe();

    QSocketNotifier* notifier_ = nullptr;
    struct sigaction previous_[3] = {};
};
