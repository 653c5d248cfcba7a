#include "tools/DeveloperCommand.h"

#include "tools/ChildProcess.h"
#include "tools/Error.h"

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

// What the background job hands back: the output, or the error to rethrow.
struct JobResult {
    QByteArray output;
    std::exception_ptr error;
};

// Runs the command and builds the error there too, so that converting a large output to
// text never happens on the caller's thread.
JobResult runCommand(const QByteArray &program, const QList<QByteArray> &arguments,
                     const QString &executable) {
    ChildProcess::Outcome outcome = ChildProcess::run(program, arguments);
    JobResult result;
    if (outcome.startError != 0) {
        result.error = std::make_exception_ptr(
            PlatformError(startFailureDescription(outcome.startError, executable)));
    } else if (!outcome.succeeded) {
        result.error = std::make_exception_ptr(
            ToolFailure(strictUtf8(outcome.output).value_or(QStringLiteral("Command failed."))));
    } else {
        result.output = std::move(outcome.output);
    }
    return result;
}

// Starts the blocking work on a thread of its own. The thread owns everything it uses, so
// it runs to the end (and reaps the child) even when nobody waits for its result any more.
// A dedicated thread rather than the shared pool: a command may run for a long time, and
// must neither starve other background work nor hold up the application when it quits.
QFuture<JobResult> startJob(QByteArray program, QList<QByteArray> arguments, QString executable) {
    QPromise<JobResult> promise;
    QFuture<JobResult> future = promise.future();
    promise.start();
    std::thread job([promise = std::move(promise), program = std::move(program),
                     arguments = std::move(arguments),
                     executable = std::move(executable)]() mutable {
        promise.addResult(runCommand(program, arguments, executable));
        promise.finish();
    });
    job.detach();
    return future;
}

QFuture<JobResult> start(const QStringList &arguments, const QString &executable) {
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
        return startJob(program, std::move(encoded), executable);
    } catch (const std::system_error &error) {
        throw PlatformError(startFailureDescription(error.code().value(), executable));
    }
}

} // namespace

namespace DeveloperCommand {

QCoro::Task<QByteArray> run(QStringList arguments, QString executable) {
    const QFuture<JobResult> job = start(arguments, executable);
    const JobResult result = co_await job;

    if (result.error)
        std::rethrow_exception(result.error);
    co_return result.output;
}

} // namespace DeveloperCommand
