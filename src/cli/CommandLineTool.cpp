#include "cli/CommandLineTool.h"

#include "cli/CliError.h"
#include "cli/Subcommands.h"
#include "tools/ChildProcess.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

CommandLineTool::CommandLineTool(CliConsole &console, DeveloperToolPaths tools)
    : m_context{console, std::move(tools), nullptr} {}

QCoro::Task<int> CommandLineTool::run(QStringList arguments) {
    try {
        const ParsedCommandLine parsed = CliSyntax::parse(arguments);
        switch (parsed.action) {
        case ParsedCommandLine::Action::GeneralHelp:
            m_context.console.print(CliSyntax::generalHelp());
            co_return ExitStatus::done;
        case ParsedCommandLine::Action::SubcommandHelp:
            m_context.console.print(CliSyntax::help(*CliSyntax::subcommand(parsed.subcommand)));
            co_return ExitStatus::done;
        case ParsedCommandLine::Action::Version:
            m_context.console.print(
                QStringLiteral("%1 %2\n").arg(QString::fromLatin1(CliSyntax::programName),
                                              QString::fromLatin1(BuildSettings::version)));
            co_return ExitStatus::done;
        case ParsedCommandLine::Action::Run:
            break;
        }
        const int status = co_await dispatch(parsed);
        co_return status;
    } catch (const CliError &error) {
        m_context.console.error(error.description(), error.hint());
    } catch (...) {
        m_context.console.error(userFacingDescription(std::current_exception()));
    }
    co_return ExitStatus::failure;
}

QCoro::Task<int> CommandLineTool::dispatch(ParsedCommandLine arguments) {
    const QString &name = arguments.subcommand;
    if (name == QLatin1String("devices"))
        co_return co_await Subcommands::devices(arguments, m_context);
    if (name == QLatin1String("apps"))
        co_return co_await Subcommands::apps(arguments, m_context);
    if (name == QLatin1String("languages"))
        co_return co_await Subcommands::languages(arguments, m_context);
    if (name == QLatin1String("launch"))
        co_return co_await Subcommands::launch(arguments, m_context);
    if (name == QLatin1String("check"))
        co_return co_await Subcommands::check(arguments, m_context);
    co_return co_await Subcommands::gallery(arguments, m_context);
}

void CommandLineTool::interrupt(int signal) {
    if (++m_interruptions == 1 && m_context.onInterrupt) {
        m_context.onInterrupt();
        return;
    }
    ChildProcess::signalRunning(SIGTERM);
    std::fflush(stdout);
    std::fflush(stderr);
    // Nothing is left to wait for: the event loop, the background threads and the objects
    // they use are not wound down one by one.
    std::_Exit(128 + signal);
}
