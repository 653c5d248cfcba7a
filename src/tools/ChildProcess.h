#pragma once

#include <QByteArray>
#include <QList>

#include <atomic>
#include <chrono>
#include <memory>

// Runs one program to completion, blocking the calling thread: one child, one pipe that
// carries both its standard output and standard error, no shell. Standard input, environment
// and working directory are inherited. Every descriptor it opens is closed and the child is
// always reaped before it returns.
//
// The child leads a process group of its own, so that a run that is stopped, or whose
// deadline passes, ends the child together with everything it started.
namespace ChildProcess {

// Lets another thread end runs early. Raising it stops every run that was given it, running or
// still to start. Thread-safe.
class StopSignal {
public:
    StopSignal();
    ~StopSignal();
    StopSignal(const StopSignal &) = delete;
    StopSignal &operator=(const StopSignal &) = delete;

    void raise();
    bool isRaised() const { return m_raised.load(); }
    // Readable once raised, for poll(); -1 when no descriptor could be made (then runs notice
    // the signal within a tenth of a second instead).
    int descriptor() const { return m_readEnd; }

private:
    std::atomic<bool> m_raised{false};
    int m_readEnd = -1;
    int m_writeEnd = -1;
};

struct Limits {
    // How long the child may run; zero for no limit.
    std::chrono::milliseconds deadline{0};
    std::shared_ptr<StopSignal> stop; // may be null
};

enum class Ending {
    Exited,         // the child ended by itself
    Stopped,        // the stop signal ended it (or kept it from starting)
    DeadlinePassed, // it was ended when its deadline passed
};

struct Outcome {
    // 0 when the child was started; otherwise the errno of the failed start (no child exists).
    int startError = 0;
    // Everything the child wrote, in the order it wrote it.
    QByteArray output;
    // True when the child exited normally with status 0.
    bool succeeded = false;
    Ending ending = Ending::Exited;
};

// `program` is the path to execute (no search in PATH); `arguments` are passed exactly as
// given after the program name. Suitable for a background thread; never throws. A child that
// is ended early gets SIGTERM, and SIGKILL when its group has not closed the pipe a second
// later.
Outcome run(const QByteArray &program, const QList<QByteArray> &arguments,
            const Limits &limits = {});

// Sends `signal` to every child that run() has started and not yet reaped, and to the processes
// in its group, from any thread:
// how a command-line program stops the tools it is waiting for when it is interrupted. A run
// whose child is not started yet is not affected.
void signalRunning(int signal);

} // namespace ChildProcess
