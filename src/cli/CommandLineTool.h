#pragma once

#include "cli/CliContext.h"
#include "cli/CliSyntax.h"

#include <QStringList>

#include <QCoroTask>

// The command line as a whole: takes the arguments apart, runs the subcommand, reports its
// failure and answers with the exit status. Main thread only.
class CommandLineTool {
public:
    CommandLineTool(CliConsole &console, DeveloperToolPaths tools);

    // The arguments after the program name. Never throws: a failure is written to the console
    // and becomes exit status 2.
    QCoro::Task<int> run(QStringList arguments);

    // Ctrl+C (or a termination request) arrived. The first one lets the running subcommand
    // clean up when it asked to (a gallery restores its devices and ends with status 130);
    // otherwise, and for a second one, the running tools are stopped and the program exits
    // with 128 + the signal number at once.
    void interrupt(int signal);

private:
    QCoro::Task<int> dispatch(ParsedCommandLine arguments);

    CliContext m_context;
    int m_interruptions = 0;
};
