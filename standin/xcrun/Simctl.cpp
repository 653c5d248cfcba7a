#include "Simctl.h"

#include "AppReport.h"
#include "DeviceReport.h"
#include "DisplayVerbs.h"
#include "SimctlCommon.h"
#include "common/Console.h"
#include "common/DeviceSet.h"
#include "common/TestHooks.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QRegularExpression>
#include <QThread>
#include <QTimeZone>

#include <functional>
#include <optional>

using namespace SimctlCommon;

namespace {

int list(const QStringList &arguments, DeviceSet &set) {
    bool asJson = false;
    QStringList words;
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("-j") || argument == QLatin1String("--json"))
            asJson = true;
        else if (argument != QLatin1String("-v") && argument != QLatin1String("-e"))
            words << argument;
    }
    if (words.isEmpty() || words.first() != QLatin1String("devices") || words.size() > 2)
        return usage(QStringLiteral("list [-j | --json] [-v] devices [<search term>|available]\n"
                                    "(this stand-in lists devices only)"));
    QString error;
    if (!set.open(false, &error))
        return Console::fail(error + QLatin1Char('\n'), 1);
    const QString filter = words.value(1);
    Console::out(asJson ? DeviceReport::json(set, filter) : DeviceReport::text(set, filter));
    return 0;
}

int boot(const QStringList &arguments, DeviceSet &set) {
    const QStringList positional = arguments.filter(QRegularExpression(QStringLiteral("^(?!--)")));
    if (positional.size() != 1)
        return usage(QStringLiteral("boot <device> [--arch=<arch>]"));
    int index = -1;
    if (const auto status = openDevice(set, true, positional.first(), &index))
        return *status;
    QJsonObject device = set.device(index);
    const QString state = member(device, "state");
    if (state != QLatin1String("Shutdown"))
        return simulatorError(
            405, QStringLiteral("Unable to boot device in current state: %1").arg(state));
    if (const auto status = bootDevice(device))
        return *status;
    set.setDevice(index, device);
    return save(set);
}

void printBootProgress() {
    QElapsedTimer timer;
    timer.start();
    for (const char *stage : {"BackBoard", "Data Migration", "System App"}) {
        Console::out(QStringLiteral("Waiting on %1\n").arg(QLatin1String(stage)));
        QThread::msleep(20);
    }
    Console::out(QStringLiteral("Finished in %1 seconds.\n")
                     .arg(double(timer.elapsed()) / 1000.0, 0, 'f', 2));
}

int bootstatus(const QStringList &arguments, DeviceSet &set) {
    QString udid;
    bool bootIfNeeded = false;
    for (const QString &argument : arguments) {
        static const QRegularExpression options(QStringLiteral("^-[bcd]+$"));
        if (options.match(argument).hasMatch())
            bootIfNeeded = bootIfNeeded || argument.contains(QLatin1Char('b'));
        else if (udid.isEmpty())
            udid = argument;
        else
            return usage(QStringLiteral("bootstatus <device> [-bcd]"));
    }
    if (udid.isEmpty())
        return usage(QStringLiteral("bootstatus <device> [-bcd]"));
    int index = -1;
    if (const auto status = openDevice(set, true, udid, &index))
        return *status;
    QJsonObject device = set.device(index);
    Console::out(QStringLiteral("Monitoring boot status for %1 (%2).\n")
                     .arg(member(device, "name"), member(device, "udid")));
    if (member(device, "state") == QLatin1String("Booted") &&
        device.value(QLatin1String("bootFinished")).toBool(true)) {
        Console::out(QStringLiteral("Device already booted, nothing to do.\n"));
        return 0;
    }
    if (member(device, "state") != QLatin1String("Booted")) {
        if (bootIfNeeded) {
            if (const auto status = bootDevice(device))
                return *status;
        } else {
            // Like the real tool, wait until someone else boots the device.
            const QString waitingFor = member(device, "udid");
            do {
                set.close();
                QThread::msleep(200);
                if (const auto status = openDevice(set, true, waitingFor, &index))
                    return *status;
                device = set.device(index);
            } while (member(device, "state") != QLatin1String("Booted"));
        }
    }
    printBootProgress();
    device.insert(QLatin1String("bootFinished"), true);
    set.setDevice(index, device);
    return save(set);
}

int shutdown(const QStringList &arguments, DeviceSet &set) {
    if (arguments.size() != 1)
        return usage(QStringLiteral("shutdown <device> | all"));
    QString error;
    if (arguments.first() == QLatin1String("all")) {
        if (!set.open(true, &error))
            return Console::fail(error + QLatin1Char('\n'), 1);
        for (int index = 0; index < set.devices().size(); ++index) {
            QJsonObject device = set.device(index);
            device.insert(QLatin1String("state"), QStringLiteral("Shutdown"));
            device.remove(QLatin1String("foreground"));
            set.setDevice(index, device);
        }
        return save(set);
    }
    int index = -1;
    if (const auto status = openDevice(set, true, arguments.first(), &index))
        return *status;
    QJsonObject device = set.device(index);
    const QString state = member(device, "state");
    if (state != QLatin1String("Booted"))
        return simulatorError(
            405, QStringLiteral("Unable to shutdown device in current state: %1").arg(state));
    device.insert(QLatin1String("state"), QStringLiteral("Shutdown"));
    device.remove(QLatin1String("foreground"));
    set.setDevice(index, device);
    return save(set);
}

int listapps(const QStringList &arguments, DeviceSet &set) {
    if (arguments.size() != 1)
        return usage(QStringLiteral("listapps <device>"));
    int index = -1;
    QJsonObject device;
    if (const auto status = openBootedDevice(set, false, arguments.first(), &index, &device))
        return *status;
    Console::out(AppReport::report(set, device));
    return 0;
}

int notInstalled() {
    return Console::fail(QStringLiteral("An error was encountered processing the command "
                                        "(domain=NSPOSIXErrorDomain, code=2):\n"
                                        "No such file or directory\n"),
                         2);
}

int getAppContainer(const QStringList &arguments, DeviceSet &set) {
    if (arguments.size() < 2 || arguments.size() > 3)
        return usage(
            QStringLiteral("get_app_container <device> <app bundle identifier> [<container>]\n"
                           "    container: app, data, groups, or an app group identifier"));
    int index = -1;
    QJsonObject device;
    if (const auto status = openBootedDevice(set, false, arguments.at(0), &index, &device))
        return *status;
    const QJsonObject app = findApp(device, arguments.at(1));
    if (app.isEmpty())
        return notInstalled();
    const QString container = arguments.value(2, QStringLiteral("app"));
    const QJsonObject groups = app.value(QLatin1String("groupContainers")).toObject();
    if (container == QLatin1String("app")) {
        Console::out(set.absolutePath(member(app, "path")) + QLatin1Char('\n'));
    } else if (container == QLatin1String("data")) {
        if (member(app, "dataContainer").isEmpty())
            return notInstalled();
        Console::out(set.absolutePath(member(app, "dataContainer")) + QLatin1Char('\n'));
    } else if (container == QLatin1String("groups")) {
        for (auto it = groups.begin(); it != groups.end(); ++it)
            Console::out(it.key() + QLatin1Char('\t') + set.absolutePath(it.value().toString()) +
                         QLatin1Char('\n'));
    } else if (groups.contains(container)) {
        Console::out(set.absolutePath(groups.value(container).toString()) + QLatin1Char('\n'));
    } else {
        return notInstalled();
    }
    return 0;
}

int launch(const QStringList &arguments, DeviceSet &set) {
    qsizetype position = 0;
    static const QStringList flags = {QStringLiteral("-w"), QStringLiteral("--wait-for-debugger"),
                                      QStringLiteral("--console"), QStringLiteral("--console-pty"),
                                      QStringLiteral("--terminate-running-process")};
    while (position < arguments.size() && arguments.at(position).startsWith(QLatin1Char('-'))) {
        const QString &option = arguments.at(position);
        if (!flags.contains(option) && !option.startsWith(QLatin1String("--stdout=")) &&
            !option.startsWith(QLatin1String("--stderr=")))
            break;
        ++position;
    }
    if (arguments.size() - position < 2 || arguments.at(position).startsWith(QLatin1Char('-')))
        return usage(
            QStringLiteral("launch [-w | --wait-for-debugger] [--console|--console-pty] "
                           "[--stdout=<path>] [--stderr=<path>] [--terminate-running-process] "
                           "<device> <app bundle identifier> [<argv 1> <argv 2> ... <argv n>]"));
    int index = -1;
    QJsonObject device;
    if (const auto status = openBootedDevice(set, true, arguments.at(position), &index, &device))
        return *status;
    const QString bundleIdentifier = arguments.at(position + 1);
    if (findApp(device, bundleIdentifier).isEmpty()) {
        const QString quoted = QLatin1Char('"') + bundleIdentifier + QLatin1Char('"');
        return Console::fail(
            QStringLiteral(
                "An error was encountered processing the command "
                "(domain=FBSOpenApplicationServiceErrorDomain, code=4):\n"
                "The request to open %1 failed.\n"
                "Underlying error (domain=FBSOpenApplicationErrorDomain, code=4):\n"
                "\tThe operation couldn\u2019t be completed. Application info provider "
                "(FBSApplicationLibrary) returned nil for %1\n"
                "\tApplication info provider (FBSApplicationLibrary) returned nil for %1\n")
                .arg(quoted),
            4);
    }
    const qint64 pid = set.takeProcessIdentifier();
    DisplayVerbs::bringToForeground(set, index, bundleIdentifier, arguments.mid(position + 2));
    if (const int status = save(set))
        return status;
    Console::out(QStringLiteral("%1: %2\n").arg(bundleIdentifier, QString::number(pid)));
    return 0;
}

} // namespace

int runSimctl(const QStringList &arguments, DeviceSet &set) {
    static const QList<std::pair<QString, std::function<int(const QStringList &, DeviceSet &)>>>
        subcommands = {{QStringLiteral("list"), list},
                       {QStringLiteral("boot"), boot},
                       {QStringLiteral("bootstatus"), bootstatus},
                       {QStringLiteral("listapps"), listapps},
                       {QStringLiteral("get_app_container"), getAppContainer},
                       {QStringLiteral("launch"), launch},
                       {QStringLiteral("shutdown"), shutdown},
                       {QStringLiteral("io"), DisplayVerbs::io},
                       {QStringLiteral("status_bar"), DisplayVerbs::statusBar},
                       {QStringLiteral("ui"), DisplayVerbs::ui},
                       {QStringLiteral("openurl"), DisplayVerbs::openurl},
                       {QStringLiteral("terminate"), DisplayVerbs::terminate}};
    const QString subcommand = arguments.value(0);
    for (const auto &[name, handler] : subcommands) {
        if (name != subcommand)
            continue;
        if (TestHooks::applyAndCheckFailure(subcommand, arguments.mid(1)))
            return 1;
        return handler(arguments.mid(1), set);
    }
    QStringList names;
    for (const auto &entry : subcommands)
        names << entry.first;
    return Console::fail(QStringLiteral("usage: simctl <subcommand> ...\n"
                                        "Subcommands answered by this stand-in: %1\n")
                             .arg(names.join(QStringLiteral(", "))),
                         64);
}
