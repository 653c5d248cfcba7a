#include "TestHooks.h"

#include <QFile>
#include <QThread>

#include <cstdio>

#include <unistd.h>

namespace {

[[noreturn]] void waitForever() {
    for (;;)
        ::pause();
}

[[noreturn]] void hang(const QString &pidFile) {
    const QByteArray said = qgetenv("QUILLMARCH_STANDIN_HANG_OUTPUT");
    std::fwrite(said.constData(), 1, size_t(said.size()), stderr);
    std::fflush(stderr);
    // The child keeps the output pipe open too, as a helper process of a real tool would.
    const pid_t child = ::fork();
    if (child == 0)
        waitForever();
    if (!pidFile.isEmpty()) {
        QFile file(pidFile);
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray::number(::getpid()) + ' ' + QByteArray::number(child));
    }
    waitForever();
}

} // namespace

namespace TestHooks {

QString hookName(const QString &subcommand) {
    QString name = subcommand.toUpper();
    name.replace(QLatin1Char('-'), QLatin1Char('_'));
    return name;
}

bool applyAndCheckFailure(const QString &subcommand, const QStringList &arguments) {
    const QString name = hookName(subcommand);
    const QByteArray delayVariable = "QUILLMARCH_STANDIN_DELAY_MS_" + name.toLatin1();
    bool ok = false;
    const int delay = qEnvironmentVariableIntValue(delayVariable.constData(), &ok);
    if (ok && delay > 0)
        QThread::msleep(ulong(delay));

    const QByteArray hangVariable = "QUILLMARCH_STANDIN_HANG_" + name.toLatin1();
    if (qEnvironmentVariableIsSet(hangVariable.constData()))
        hang(qEnvironmentVariable(hangVariable.constData()));

    const QByteArray failVariable = "QUILLMARCH_STANDIN_FAIL_" + name.toLatin1();
    if (!qEnvironmentVariableIsSet(failVariable.constData()))
        return false;
    const QByteArray onlyWith = failVariable + "_ONLY_WITH";
    if (qEnvironmentVariableIsSet(onlyWith.constData()) &&
        !arguments.contains(qEnvironmentVariable(onlyWith.constData())))
        return false;
    const QByteArray text = qgetenv(failVariable.constData());
    std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
    return true;
}

int milliseconds(const char *variable, int fallback) {
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(variable, &ok);
    return ok && value >= 0 ? value : fallback;
}

} // namespace TestHooks
