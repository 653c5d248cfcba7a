// Stand-in for `xcrun`: answers the `xcrun simctl …` command lines from a device set on disk.
#include "Simctl.h"
#include "common/CommandLog.h"
#include "common/Console.h"
#include "common/DeviceSet.h"

#include <QStringList>

int main(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromUtf8(argv[i]);

    DeviceSet set(DeviceSet::locate(argv[0]));
    appendToCommandLog(set.path(), QStringLiteral("xcrun"), arguments);

    if (arguments.isEmpty())
        return Console::fail(
            QStringLiteral("Usage: xcrun [options] <tool name> ... arguments ...\n"), 1);
    if (arguments.first() != QLatin1String("simctl"))
        return Console::fail(QStringLiteral("xcrun: error: unable to find utility \"%1\", not a "
                                            "developer tool or in PATH\n")
                                 .arg(arguments.first()),
                             72);
    return runSimctl(arguments.mid(1), set);
}
