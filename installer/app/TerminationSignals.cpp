#include "TerminationSignals.h"

#include "AppDelegate.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 2> handledSignals { SIGTERM, SIGINT };

// Written from the signal handler, so a plain int rather than anything Qt.
volatile sig_atomic_t writeEnd = -1;
int pipeEnds[2] = { -1, -1 };
struct sigaction previous[handledSignals.size()];

void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    if (writeEnd >= 0) {
        // A full pipe already holds a pending quit; losing this byte is harmless.
        [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(Handler handler, QObject *parent)
    : QObject(parent)
    , m_handler(handler ? std::move(handler) : Handler([](int) { AppDelegate::terminate(); }))
{
    if (pipeEnds[0] >= 0 || ::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    writeEnd = pipeEnds[1];
    m_notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readSignals);

    struct sigaction action = {};
    action.sa_handler = &onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < handledSignals.size(); ++i)
        sigaction(handledSignals[i], &action, &previous[i]);
    m_active = true;
}

TerminationSignals::~TerminationSignals()
{
    if (!m_active)
        return;
    for (size_t i = 0; i < handledSignals.size(); ++i)
        sigaction(handledSignals[i], &previous[i], nullptr);
    writeEnd = -1;
    delete m_notifier;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

bool TerminationSignals::isActive() const
{
    return m_active;
}

void TerminationSignals::readSignals()
{
    unsigned char buffer[16];
    ssize_t count = 0;
    while ((count = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
        for (ssize_t i = 0; i < count; ++i) {
            const int signalNumber = buffer[i];
            Q_EMIT received(signalNumber);
            m_handler(signalNumber);
        }
    }
}
