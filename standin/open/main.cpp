// Stand-in for macOS `open`: checks its command line the way the real tool does and records
// it in the device set's command log; nothing is actually started.
#include "common/CommandLog.h"
#include "common/Console.h"
#include "common/DeviceSet.h"
#include "common/TestHooks.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace {

int usage() {
    return Console::fail(
        QStringLiteral("Usage: open [-e] [-t] [-f] [-W] [-R] [-n] [-g] [-h] [-s <partial SDK name>]"
                       "[-b <bundle identifier>] [-a <application>] [-u URL] [filenames] "
                       "[--args arguments]\n"
                       "Help: Open opens files from a shell.\n"),
        1);
}

// Simulator is always there; other applications are looked up by path, or by name in the
// device set's Applications folder.
bool applicationExists(const QString &name, const DeviceSet &set) {
    static const QRegularExpression simulator(QStringLiteral("(^|/)Simulator(\\.app)?/?$"));
    if (simulator.match(name).hasMatch())
        return true;
    if (name.contains(QLatin1Char('/')))
        return QFileInfo(name).isDir();
    const QString bundle =
        name.endsWith(QLatin1String(".app")) ? name : name + QStringLiteral(".app");
    return QFileInfo(set.absolutePath(QStringLiteral("Applications/") + bundle)).isDir();
}

} // namespace

int main(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromUtf8(argv[i]);

    const DeviceSet set(DeviceSet::locate(argv[0]));
    appendToCommandLog(set.path(), QStringLiteral("open"), arguments);
    if (TestHooks::applyAndCheckFailure(QStringLiteral("open")))
        return 1;

    static const QRegularExpression flags(QStringLiteral("^-[eftWRnghj]+$"));
    QString application;
    QStringList files;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--args"))
            break; // everything after it goes to the application unchanged
        if (argument == QLatin1String("-a")) {
            if (++i == arguments.size())
                return usage();
            application = arguments.at(i);
        } else if (flags.match(argument).hasMatch()) {
            continue;
        } else if (argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            Console::fail(QStringLiteral("open: unrecognized option `%1'\n").arg(argument), 1);
            return usage();
        } else {
            files << argument;
        }
    }
    if (application.isEmpty() && files.isEmpty())
        return usage();
    if (!application.isEmpty() && !applicationExists(application, set))
        return Console::fail(
            QStringLiteral("Unable to find application named '%1'\n").arg(application), 1);
    for (const QString &file : files) {
        const QFileInfo info(file);
        if (!info.exists())
            return Console::fail(
                QStringLiteral("The file %1 does not exist.\n").arg(info.absoluteFilePath()), 1);
    }
    return 0;
}
