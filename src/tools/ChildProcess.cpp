#include "tools/ChildProcess.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#ifdef __APPLE__
#include <crt_externs.h>
#else
extern char **environ;
#endif

namespace {

// Owns one descriptor and closes it exactly once.
class Descriptor {
public:
    explicit Descriptor(int fd = -1)
        : m_fd(fd) {}
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor() { reset(); }

    int get() const { return m_fd; }
    void reset(int fd = -1) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

// When the application was started with a standard stream closed, the pipe may land on
// descriptor 0, 1 or 2, where the duplication onto 1 and 2 in the child would clobber it.
// Moving it higher keeps the file actions simple. Returns false (errno set) on failure.
bool moveAboveStandardStreams(Descriptor &descriptor) {
    if (descriptor.get() > STDERR_FILENO)
        return true;
    const int moved = ::fcntl(descriptor.get(), F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    if (moved < 0)
        return false;
    descriptor.reset(moved);
    return true;
}

// The environment the child inherits. On Apple platforms `environ` belongs to the main
// program alone; the accessor works from any library.
char **inheritedEnvironment() {
#ifdef __APPLE__
    return *_NSGetEnviron();
#else
    return environ;
#endif
}

// Both ends are close-on-exec, so neither leaks into a child that another thread starts
// at the same moment (a leaked write end would hold our end of file back until that
// unrelated child exits). The child gets its copies through dup2 alone.
//
// Linux creates the pair close-on-exec at once. Elsewhere the flag is set right after
// creation; the children started here never see the gap, because on Apple platforms they
// inherit only the descriptors named in their file actions (see spawn()).
int openPipe(Descriptor &readEnd, Descriptor &writeEnd) {
    int fds[2];
#ifdef __linux__
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return errno;
    readEnd.reset(fds[0]);
    writeEnd.reset(fds[1]);
#else
    if (::pipe(fds) != 0)
        return errno;
    readEnd.reset(fds[0]);
    writeEnd.reset(fds[1]);
    if (::fcntl(fds[0], F_SETFD, FD_CLOEXEC) != 0 || ::fcntl(fds[1], F_SETFD, FD_CLOEXEC) != 0)
        return errno;
#endif
    if (!moveAboveStandardStreams(readEnd) || !moveAboveStandardStreams(writeEnd))
        return errno;
#ifdef F_SETPIPE_SZ
    // A larger pipe means fewer wake-ups for large reports; the default size works too.
    ::fcntl(writeEnd.get(), F_SETPIPE_SZ, 1 << 20);
#endif
    return 0;
}

int spawn(pid_t &pid, const QByteArray &program, const QList<QByteArray> &arguments, int writeEnd) {
    std::vector<char *> argv;
    argv.reserve(arguments.size() + 2);
    argv.push_back(const_cast<char *>(program.constData()));
    for (const QByteArray &argument : arguments)
        argv.push_back(const_cast<char *>(argument.constData()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    if (int error = posix_spawn_file_actions_init(&actions))
        return error;
    if (int error = posix_spawnattr_init(&attributes)) {
        posix_spawn_file_actions_destroy(&actions);
        return error;
    }

    // The child starts with an empty signal mask and the default SIGPIPE action, whatever
    // this thread or the networking code have set for the application itself.
    sigset_t emptyMask;
    sigset_t defaulted;
    sigemptyset(&emptyMask);
    sigemptyset(&defaulted);
    sigaddset(&defaulted, SIGPIPE);

    int error = posix_spawn_file_actions_adddup2(&actions, writeEnd, STDOUT_FILENO);
    if (!error)
        error = posix_spawn_file_actions_adddup2(&actions, writeEnd, STDERR_FILENO);
    if (!error)
        error = posix_spawnattr_setsigmask(&attributes, &emptyMask);
    if (!error)
        error = posix_spawnattr_setsigdefault(&attributes, &defaulted);
    // A group of its own: ending the run early ends whatever the child started as well.
    if (!error)
        error = posix_spawnattr_setpgroup(&attributes, 0);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP;
#ifdef POSIX_SPAWN_CLOEXEC_DEFAULT
    // The child receives only standard input and the pipe, whatever other descriptors the
    // application holds or is creating in another thread right now. Standard input is kept
    // when the application has one (naming a closed descriptor would fail the start).
    flags |= POSIX_SPAWN_CLOEXEC_DEFAULT;
    if (!error && ::fcntl(STDIN_FILENO, F_GETFD) != -1)
        error = posix_spawn_file_actions_addinherit_np(&actions, STDIN_FILENO);
#endif
    if (!error)
        error = posix_spawnattr_setflags(&attributes, flags);
    if (!error)
        error = posix_spawn(&pid, program.constData(), &actions, &attributes, argv.data(),
                            inheritedEnvironment());

    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error;
}

// Reads until end of file. Returns false when reading failed before end of file.
bool drain(int fd, QByteArray &output) {
    constexpr qsizetype minimumChunk = 64 * 1024;
    for (;;) {
        const qsizetype used = output.size();
        if (output.capacity() - used < minimumChunk)
            output.reserve(std::max(used * 2, used + minimumChunk));
        const qsizetype room = output.capacity() - used;
        output.resize(used + room);
        const ssize_t count = ::read(fd, output.data() + used, size_t(room));
        output.resize(used + std::max<ssize_t>(count, 0));
        if (count > 0)
            continue;
        if (count == 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

// The children started and not yet reaped. A pid leaves the set before it is reaped, so a
// signal never reaches a process that took over a reaped child's pid.
std::mutex runningMutex;
std::set<pid_t> runningChildren;

using Clock = std::chrono::steady_clock;

// Reads until end of file, or until the stop signal is raised or `until` passes. `complete`
// tells whether end of file was reached.
ChildProcess::Ending drainWithin(int fd, QByteArray &output, const ChildProcess::StopSignal *stop,
                                 std::optional<Clock::time_point> until, bool &complete) {
    using ChildProcess::Ending;
    complete = false;
    char buffer[64 * 1024];
    for (;;) {
        if (stop && stop->isRaised())
            return Ending::Stopped;
        // Without a descriptor for the stop signal, it is looked at ten times a second.
        int timeout = stop && stop->descriptor() < 0 ? 100 : -1;
        if (until) {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(*until - Clock::now()).count();
            if (left <= 0)
                return Ending::DeadlinePassed;
            timeout = timeout < 0 ? int(std::min<long long>(left, 1 << 30))
                                  : int(std::min<long long>(left, timeout));
        }
        pollfd watched[2] = {{fd, POLLIN, 0}, {stop ? stop->descriptor() : -1, POLLIN, 0}};
        const int ready = ::poll(watched, 2, timeout);
        if (ready < 0 && errno != EINTR)
            return Ending::Exited;
        if (ready <= 0 || (watched[1].revents & POLLIN))
            continue; // the top of the loop tells which limit was reached
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count > 0) {
            output.append(buffer, count);
        } else if (count == 0) {
            complete = true;
            return Ending::Exited;
        } else if (errno != EINTR && errno != EAGAIN) {
            return Ending::Exited;
        }
    }
}

// Ends the child's process group: SIGTERM, then SIGKILL once the group has had a second to
// close the pipe. The child itself is not reaped yet, so its group cannot have been reused.
void endGroup(pid_t pid, int fd, QByteArray &output) {
    ::kill(-pid, SIGTERM);
    bool closed = false;
    drainWithin(fd, output, nullptr, Clock::now() + std::chrono::seconds(1), closed);
    ::kill(-pid, SIGKILL);
}

// Reaps the child. Returns its wait status, or -1 when it cannot be known.
int reap(pid_t pid) {
    int status = 0;
    for (;;) {
        if (::waitpid(pid, &status, 0) == pid)
            return status;
        if (errno != EINTR)
            return -1;
    }
}

} // namespace

namespace ChildProcess {

StopSignal::StopSignal() {
    int fds[2];
#ifdef __linux__
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
#else
    if (::pipe(fds) != 0)
        return;
    for (const int fd : fds) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
#endif
    m_readEnd = fds[0];
    m_writeEnd = fds[1];
}

StopSignal::~StopSignal() {
    if (m_readEnd >= 0)
        ::close(m_readEnd);
    if (m_writeEnd >= 0)
        ::close(m_writeEnd);
}

void StopSignal::raise() {
    if (m_raised.exchange(true) || m_writeEnd < 0)
        return;
    // Never read back: the byte keeps the read end readable for every run that watches it.
    const char byte = 1;
    while (::write(m_writeEnd, &byte, 1) < 0 && errno == EINTR) {
    }
}

Outcome run(const QByteArray &program, const QList<QByteArray> &arguments, const Limits &limits) {
    Outcome outcome;
    if (limits.stop && limits.stop->isRaised()) {
        outcome.ending = Ending::Stopped;
        return outcome;
    }
    Descriptor readEnd;
    Descriptor writeEnd;
    if (int error = openPipe(readEnd, writeEnd)) {
        outcome.startError = error;
        return outcome;
    }

    pid_t pid = -1;
    {
        // Held across the start, so that signalRunning() either comes before it or sees it.
        const std::lock_guard<std::mutex> lock(runningMutex);
        if (int error = spawn(pid, program, arguments, writeEnd.get())) {
            outcome.startError = error;
            return outcome;
        }
        runningChildren.insert(pid);
    }
    // Only the child may hold the write end now, so end of file means the child (and
    // anything it left running with our pipe) has finished writing.
    writeEnd.reset();

    bool complete = false;
    if (!limits.stop && limits.deadline.count() <= 0) {
        complete = drain(readEnd.get(), outcome.output);
    } else {
        std::optional<Clock::time_point> until;
        if (limits.deadline.count() > 0)
            until = Clock::now() + limits.deadline;
        outcome.ending =
            drainWithin(readEnd.get(), outcome.output, limits.stop.get(), until, complete);
        if (outcome.ending != Ending::Exited)
            endGroup(pid, readEnd.get(), outcome.output);
    }
    // Closing before waiting lets a child that is still writing end (with SIGPIPE) if
    // reading failed, instead of blocking forever on a full pipe.
    readEnd.reset();

    {
        const std::lock_guard<std::mutex> lock(runningMutex);
        runningChildren.erase(pid);
    }
    const int status = reap(pid);
    outcome.output.squeeze();
    outcome.succeeded = outcome.ending == Ending::Exited && complete && status != -1 &&
                        WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return outcome;
}

void signalRunning(int signal) {
    const std::lock_guard<std::mutex> lock(runningMutex);
    for (const pid_t pid : runningChildren)
        ::kill(-pid, signal); // each child leads a process group of its own
}

} // namespace ChildProcess
