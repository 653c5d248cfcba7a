#pragma once

#include "tools/ToolPaths.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <QCoroTask>

// Runs one developer-tool command line and returns what it printed.
namespace DeveloperCommand {

// Starts `executable` with exactly `arguments` (no shell), with standard output and standard
// error on one pipe, on a background thread. Returns the combined output. Throws PlatformError
// when the program cannot be started and ToolFailure when it ends unsuccessfully (its output as
// UTF-8 text, or "Command failed." when that is not UTF-8). The runner never kills the child: if
// the awaiting coroutine goes away, the background job still runs to the end. (An interrupted
// command-line program stops its children through ChildProcess::signalRunning.)
QCoro::Task<QByteArray> run(QStringList arguments, QString executable = ToolPaths::xcrun());

} // namespace DeveloperCommand
