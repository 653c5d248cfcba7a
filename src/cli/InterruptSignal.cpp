#include "cli/InterruptSignal.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t writeEnd = -1;

void handle(int signal) {
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &number, 1);
    errno = saved;
}

} // namespace

InterruptSignal::InterruptSignal(QObject *parent)
    : QObject(parent) {
    int fds[2];
    if (::pipe(fds) != 0)
        return; // without the pipe the signals keep their default action
    for (const int fd : fds) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    m_readEnd = fds[0];
    writeEnd = fds[1];
    m_notifier = new QSocketNotifier(m_readEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &InterruptSignal::readPending);

    struct sigaction action = {};
    action.sa_handler = handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

InterruptSignal::~InterruptSignal() {
    if (m_readEnd < 0)
        return;
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    ::close(writeEnd);
    writeEnd = -1;
    ::close(m_readEnd);
}

void InterruptSignal::readPending() {
    unsigned char number = 0;
    while (::read(m_readEnd, &number, 1) == 1)
        Q_EMIT received(number);
}
