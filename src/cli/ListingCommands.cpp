// The subcommands that list: devices, the apps on a device, an app's languages.
#include "cli/AppTarget.h"
#include "cli/CliError.h"
#include "cli/CliJson.h"
#include "cli/Subcommands.h"
#include "launcher/StoredValues.h"
#include "metadata/AppLanguages.h"
#include "tools/BackgroundWork.h"
#include "tools/DeveloperCommand.h"
#include "tools/InstalledApps.h"

#include <QSet>
#include <QSettings>

namespace {

const QString jsonOption = QStringLiteral("json");

// The My Apps set the app keeps in its settings.
QSet<QString> myAppIDs() {
    const QSettings store;
    const QStringList ids =
        StoredValues::readTextList(store, QStringLiteral("myAppIDs")).value_or(QStringList());
    return QSet<QString>(ids.begin(), ids.end());
}

} // namespace

namespace Subcommands {

QCoro::Task<int> devices(ParsedCommandLine arguments, CliContext &context) {
    const DeviceDirectory directory = co_await DeviceDirectory::load(context.tools, true);
    const QList<ListedDevice> available = directory.available();
    if (arguments.has(jsonOption)) {
        context.console.print(CliJson::text(CliJson::devices(available)));
        co_return ExitStatus::done;
    }
    QString text;
    for (const ListedDevice &listed : available)
        text += QStringLiteral("%1  %2  %3 (%4)\n")
                    .arg(listed.device.udid, listed.device.state.leftJustified(8),
                         listed.device.name, listed.runtimeName());
    context.console.print(text);
    co_return ExitStatus::done;
}

QCoro::Task<int> apps(ParsedCommandLine arguments, CliContext &context) {
    if (!arguments.has(QStringLiteral("device")))
        throw UsageError(QStringLiteral("Give the device with --device."),
                         CliSyntax::helpHint(arguments.subcommand));
    const QString deviceArgument = arguments.value(QStringLiteral("device"));
    const ListedDevice device = co_await AppTargets::resolveDevice(deviceArgument, context.tools);
    co_await AppTargets::bootIfNeeded(device, context);

    QStringList listing;
    listing << QStringLiteral("simctl") << QStringLiteral("listapps") << device.device.udid;
    const QByteArray report =
        co_await DeveloperCommand::runWithDeadline(listing, context.tools.xcrun);
    QCoro::Task<QList<InstalledApps::Entry>> reading =
        BackgroundWork::run([report] { return InstalledApps::readEntries(report); });
    QList<InstalledApps::Entry> installed = co_await std::move(reading);

    if (arguments.has(QStringLiteral("only-my-apps"))) {
        const QSet<QString> mine = myAppIDs();
        installed.removeIf(
            [&mine](const InstalledApps::Entry &entry) { return !mine.contains(entry.id); });
    }
    if (arguments.has(jsonOption)) {
        context.console.print(CliJson::text(CliJson::apps(installed)));
        co_return ExitStatus::done;
    }
    QString text;
    for (const InstalledApps::Entry &entry : std::as_const(installed))
        text += entry.id + QLatin1Char('\t') + entry.name + QLatin1Char('\n');
    context.console.print(text);
    co_return ExitStatus::done;
}

QCoro::Task<int> languages(ParsedCommandLine arguments, CliContext &context) {
    const AppTarget target = AppTarget::fromArguments(arguments);
    const QString bundlePath = co_await AppTargets::locateBundle(target, context.tools);
    const QStringList found = co_await AppTargets::languages(bundlePath);

    if (arguments.has(jsonOption)) {
        context.console.print(CliJson::text(CliJson::languages(bundlePath, found)));
        co_return ExitStatus::done;
    }
    QString text;
    for (const QString &code : found)
        text += code + QLatin1Char('\t') + AppLanguages::label(code) + QLatin1Char('\n');
    context.console.print(text);
    co_return ExitStatus::done;
}

} // namespace Subcommands
