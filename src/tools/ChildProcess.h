#pragma once

#include <QByteArray>
#include <QList>

// Runs one program to completion, blocking the calling thread: one child, one pipe that
// carries both its standard output and standard error, no shell. Standard input, environment
// and working directory are inherited. Every descriptor it opens is closed and the child is
// always reaped before it returns.
namespace ChildProcess {

struct Outcome {
    // 0 when the child was started; otherwise the errno of the failed start (no child exists).
    int startError = 0;
    // Everything the child wrote, in the order it wrote it.
    QByteArray output;
    // True when the child exited normally with status 0.
    bool succeeded = false;
};

// `program` is the path to execute (no search in PATH); `arguments` are passed exactly as
// given after the program name. Suitable for a background thread; never throws.
Outcome run(const QByteArray &program, const QList<QByteArray> &arguments);

// Sends `signal` to every child that run() has started and not yet reaped, from any thread:
// how a command-line program stops the tools it is waiting for when it is interrupted. A run
// whose child is not started yet is not affected.
void signalRunning(int signal);

} // namespace ChildProcess
