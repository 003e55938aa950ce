#include "app/terminationsignals.h"

#include <QSocketNotifier>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kSignals[3] = {SIGTERM, SIGINT, SIGHUP};
// Written by the handler, read by the notifier; -1 while no instance listens.
int pipeEnds[2] = {-1, -1};

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (pipeEnds[0] >= 0)
        return; // another instance listens
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
        pipeEnds[0] = pipeEnds[1] = -1;
        return;
    }
    notifier_ = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::readPipe);
    struct sigaction action = {};
    action.sa_handler = &TerminationSignals::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int k = 0; k < 3; ++k)
        sigaction(kSignals[k], &action, &previous_[k]);
}

TerminationSignals::~TerminationSignals() {
    if (!notifier_)
        return;
    for (int k = 0; k < 3; ++k)
        sigaction(kSignals[k], &previous_[k], nullptr);
    delete notifier_;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

void TerminationSignals::handle(int signalNumber) {
    // Only what a signal handler may do: one write, errno left as it was.
    const int saved = errno;
    const char number = static_cast<char>(signalNumber);
    if (pipeEnds[1] >= 0) {
        const auto written = ::write(pipeEnds[1], &number, 1);
        static_cast<void>(written);
    }
    errno = saved;
}

void TerminationSignals::readPipe() {
    char numbers[16];
    const auto got = ::read(pipeEnds[0], numbers, sizeof numbers);
    // One ending is enough, however many signals came.
    if (got > 0)
        emit received(numbers[0]);
}
