#include "tools/DeveloperCommand.h"

#include "tools/ChildProcess.h"
#include "tools/Error.h"

#include <QFileInfo>
#include <QFuture>
#include <QPromise>
#include <QStringDecoder>

#include <QCoroFuture>

#include <cerrno>
#include <exception>
#include <optional>
#include <system_error>
#include <thread>

namespace {

// The platform's way of saying why a program could not be started.
QString startFailureDescription(int error, const QString &executable) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("The file “%1” doesn’t exist.").arg(executable);
    case EACCES:
    case EPERM:
        return QStringLiteral("You don’t have permission to run “%1”.").arg(executable);
    case ENOEXEC:
        return QStringLiteral("The file “%1” couldn’t be run because it isn’t in the correct "
                              "format.")
            .arg(executable);
    default:
        return QStringLiteral("The program “%1” couldn’t be started. (%2)")
            .arg(executable, qt_error_string(error));
    }
}

// The output as text when it is valid UTF-8, kept exactly (byte order mark included).
std::optional<QString> strictUtf8(const QByteArray &bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// Xcode's tools print this (in one wording or another) until their first-launch step has run.
bool asksForFirstLaunch(const QByteArray &output) {
    return output.contains("runFirstLaunch") ||
           QString::fromUtf8(output).contains(QLatin1String("first launch"), Qt::CaseInsensitive);
}

QString firstLaunchAdvice() {
    return QStringLiteral("Xcode’s command-line tools have not finished their first launch: run "
                          "“sudo xcodebuild -runFirstLaunch” once in Terminal, then try again.");
}

// What to try when a command does not answer in time.
QString adviceAfterDeadline(const QString &executable, const QStringList &arguments,
                            const QByteArray &output) {
    if (asksForFirstLaunch(output))
        return firstLaunchAdvice();
    const bool opensApp = QFileInfo(executable).fileName() == QLatin1String("open") &&
                          arguments.value(0) != QLatin1String("-a");
    if (opensApp)
        return QStringLiteral("Check that the app opens from the Finder, then try again.");
    return QStringLiteral("Quit Simulator and try again.");
}

// What the background job hands back: the output, or the error to rethrow.
struct JobResult {
    QByteArray output;
    std::exception_ptr error;
};

// Runs the command and builds the error there too, so that converting a large output to
// text never happens on the caller's thread.
JobResult runCommand(const QByteArray &program, const QList<QByteArray> &encoded,
                     const QString &executable, const QStringList &arguments,
                     const DeveloperCommand::Limits &limits) {
    ChildProcess::Outcome outcome =
        ChildProcess::run(program, encoded, {limits.deadline, limits.stop});
    JobResult result;
    if (outcome.ending == ChildProcess::Ending::Stopped) {
        result.error = std::make_exception_ptr(Stopped());
    } else if (outcome.ending == ChildProcess::Ending::DeadlinePassed) {
        result.error = std::make_exception_ptr(
            ToolFailure(QStringLiteral("%1 did not finish within %2. %3")
                            .arg(DeveloperCommand::commandName(executable, arguments),
                                 DeveloperCommand::durationText(limits.deadline),
                                 adviceAfterDeadline(executable, arguments, outcome.output))));
    } else if (outcome.startError != 0) {
        result.error = std::make_exception_ptr(
            PlatformError(startFailureDescription(outcome.startError, executable)));
    } else if (!outcome.succeeded) {
        QString message = strictUtf8(outcome.output).value_or(QStringLiteral("Command failed."));
        if (asksForFirstLaunch(outcome.output)) {
            if (!message.isEmpty() && !message.endsWith(QLatin1Char('\n')))
                message += QLatin1Char('\n');
            message += firstLaunchAdvice();
        }
        result.error = std::make_exception_ptr(ToolFailure(message));
    } else {
        result.output = std::move(outcome.output);
    }
    return result;
}

// Starts the blocking work on a thread of its own. The thread owns everything it uses, so
// it runs to the end (and reaps the child) even when nobody waits for its result any more.
// A dedicated thread rather than the shared pool: a command may run for a long time, and
// must neither starve other background work nor hold up the application when it quits.
QFuture<JobResult> startJob(QByteArray program, QList<QByteArray> encoded, QString executable,
                            QStringList arguments, DeveloperCommand::Limits limits) {
    QPromise<JobResult> promise;
    QFuture<JobResult> future = promise.future();
    promise.start();
    std::thread job([promise = std::move(promise), program = std::move(program),
                     encoded = std::move(encoded), executable = std::move(executable),
                     arguments = std::move(arguments), limits = std::move(limits)]() mutable {
        promise.addResult(runCommand(program, encoded, executable, arguments, limits));
        promise.finish();
    });
    job.detach();
    return future;
}

QFuture<JobResult> start(const QStringList &arguments, const QString &executable,
                         const DeveloperCommand::Limits &limits) {
    QList<QByteArray> encoded;
    encoded.reserve(arguments.size());
    for (const QString &argument : arguments) {
        // A C argument vector cannot carry a null character; cutting the argument short
        // would silently run a different command.
        if (argument.contains(QChar(u'\0')))
            throw PlatformError(
                QStringLiteral("An argument for “%1” contains a null character.").arg(executable));
        encoded.append(argument.toUtf8());
    }
    const QByteArray program = executable.toUtf8();
    if (program.contains('\0'))
        throw PlatformError(startFailureDescription(ENOENT, executable));

    try {
        return startJob(program, std::move(encoded), executable, arguments, limits);
    } catch (const std::system_error &error) {
        throw PlatformError(startFailureDescription(error.code().value(), executable));
    }
}

} // namespace

namespace DeveloperCommand {

std::chrono::milliseconds Deadlines::forCommand(const QStringList &arguments) const {
    const QString subcommand =
        arguments.value(0) == QLatin1String("simctl") ? arguments.value(1) : QString();
    const bool boots =
        subcommand == QLatin1String("boot") || subcommand == QLatin1String("bootstatus");
    return boots ? booting : other;
}

QCoro::Task<QByteArray> runWithDeadline(QStringList arguments, QString executable) {
    Limits limits;
    limits.deadline = Deadlines().forCommand(arguments);
    return run(std::move(arguments), std::move(executable), std::move(limits));
}

QString commandName(const QString &executable, const QStringList &arguments) {
    QString name = QFileInfo(executable).fileName();
    if (arguments.value(0) == QLatin1String("simctl") && arguments.size() > 1)
        name += QStringLiteral(" simctl ") + arguments.at(1);
    else if (arguments.value(0) == QLatin1String("-a") && arguments.size() > 1)
        name += QStringLiteral(" -a ") + arguments.at(1);
    return name;
}

QString durationText(std::chrono::milliseconds duration) {
    const auto count = duration.count();
    const auto unit = [](long long amount, const char *singular) {
        return QStringLiteral("%1 %2%3")
            .arg(amount)
            .arg(QLatin1String(singular))
            .arg(amount == 1 ? QString() : QStringLiteral("s"));
    };
    if (count >= 120000 && count % 60000 == 0)
        return unit(count / 60000, "minute");
    if (count >= 1000 && count % 1000 == 0)
        return unit(count / 1000, "second");
    return unit(count, "millisecond");
}

QCoro::Task<QByteArray> run(QStringList arguments, QString executable, Limits limits) {
    const QFuture<JobResult> job = start(arguments, executable, limits);
    const JobResult result = co_await job;

    if (result.error)
        std::rethrow_exception(result.error);
    co_return result.output;
}

} // namespace DeveloperCommand
