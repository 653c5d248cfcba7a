#pragma once

#include "tools/ChildProcess.h"
#include "tools/ToolPaths.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <QCoroTask>

#include <chrono>
#include <memory>

// Runs one developer-tool command line and returns what it printed.
namespace DeveloperCommand {

// How long a command may run before it is ended: booting a device ("simctl boot" and
// "simctl bootstatus") may take minutes, anything else should answer within a minute.
struct Deadlines {
    std::chrono::milliseconds booting = std::chrono::minutes(5);
    std::chrono::milliseconds other = std::chrono::seconds(60);

    std::chrono::milliseconds forCommand(const QStringList &arguments) const;
};

// What may end a command early. Without either, a command runs as long as it takes.
struct Limits {
    std::chrono::milliseconds deadline{0}; // zero: none
    std::shared_ptr<ChildProcess::StopSignal> stop;
};

// Starts `executable` with exactly `arguments` (no shell), with standard output and standard
// error on one pipe, on a background thread. Returns the combined output. Throws PlatformError
// when the program cannot be started and ToolFailure when it ends unsuccessfully (its output as
// UTF-8 text, or "Command failed." when that is not UTF-8; when the output asks for the first
// launch of Xcode's tools, a sentence saying how to do that follows it).
//
// Raising `limits.stop` ends the child and everything it started, and the call throws Stopped.
// When the deadline passes, the same happens and the call throws a ToolFailure that names the
// command and what to try. Otherwise the child is never killed: if the awaiting coroutine goes
// away, the background job still runs to the end. (An interrupted command-line program stops its
// children through ChildProcess::signalRunning.)
QCoro::Task<QByteArray> run(QStringList arguments, QString executable = ToolPaths::xcrun(),
                            Limits limits = {});

// run() with the deadline Deadlines gives the command, and no stop signal: how work outside the
// launcher (the gallery, the command line) keeps a tool that never answers from holding it for
// good.
QCoro::Task<QByteArray> runWithDeadline(QStringList arguments,
                                        QString executable = ToolPaths::xcrun());

// "xcrun simctl bootstatus": the command as a sentence names it.
QString commandName(const QString &executable, const QStringList &arguments);

// "5 minutes", "60 seconds", "1 second", "250 milliseconds".
QString durationText(std::chrono::milliseconds duration);

} // namespace DeveloperCommand
