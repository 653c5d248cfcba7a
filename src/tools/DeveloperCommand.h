#pragma once

#include "BuildSettings.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <QCoroTask>

// Runs one developer-tool command line and returns what it printed.
namespace DeveloperCommand {

// Starts `executable` with exactly `arguments` (no shell), with standard output and standard
// error on one pipe, on a background thread. Returns the combined output. Throws PlatformError
// when the program cannot be started and ToolFailure when it ends unsuccessfully (its output as
// UTF-8 text, or "Command failed." when that is not UTF-8). The child is never killed: if the
// awaiting coroutine goes away, the background job still runs to the end.
QCoro::Task<QByteArray> run(QStringList arguments,
                            QString executable = QString::fromUtf8(BuildSettings::xcrunPath));

} // namespace DeveloperCommand
