#include "cli/AppTarget.h"

#include "cli/CliError.h"
#include "launcher/AppContainer.h"
#include "launcher/LaunchArguments.h"
#include "launcher/SimulatorBoot.h"
#include "metadata/AppLanguages.h"
#include "tools/BackgroundWork.h"
#include "tools/DeveloperCommand.h"

#include <QDir>
#include <QFileInfo>

AppTarget AppTarget::fromArguments(const ParsedCommandLine &arguments) {
    const bool device = arguments.has(QStringLiteral("device"));
    const bool app = arguments.has(QStringLiteral("app"));
    const bool mac = arguments.has(QStringLiteral("mac-app"));
    const bool path = !arguments.positionals.isEmpty();
    const QString hint = CliSyntax::helpHint(arguments.subcommand);
    const QString choices = path ? QStringLiteral("Give --device and --app, --mac-app, or a "
                                                  "bundle path.")
                                 : QStringLiteral("Give --device and --app, or --mac-app.");
    const int given = int(device || app) + int(mac) + int(path);
    if (given != 1)
        throw UsageError(given == 0 ? QStringLiteral("No app given. ") + choices
                                    : QStringLiteral("More than one app given. ") + choices,
                         hint);
    AppTarget target;
    if (device || app) {
        if (!device)
            throw UsageError(QStringLiteral("--app needs --device: the simulator device the app "
                                            "is installed on."),
                             hint);
        if (!app)
            throw UsageError(QStringLiteral("--device needs --app: the bundle identifier of an "
                                            "installed app."),
                             hint);
        target.deviceArgument = arguments.value(QStringLiteral("device"));
        target.bundleID = arguments.value(QStringLiteral("app"));
        return target;
    }
    const QString pathGiven =
        mac ? arguments.value(QStringLiteral("mac-app")) : arguments.positionals.first();
    target.bundlePath = QDir::cleanPath(QFileInfo(pathGiven).absoluteFilePath());
    return target;
}

namespace {

// A folder given on the command line must be an app bundle: any folder would otherwise be
// checked and reported as having no problems. A path that does not exist is left to the
// bundle reader, which refuses it with the app's own words.
void checkIsBundle(const QString &path) {
    const QFileInfo info(path);
    if (!info.exists())
        return;
    const bool hasInfo = QFileInfo(path + QStringLiteral("/Contents/Info.plist")).isFile() ||
                         QFileInfo(path + QStringLiteral("/Info.plist")).isFile();
    if (!info.isDir() || !hasInfo)
        throw ToolFailure(
            QStringLiteral("“%1” is not an app bundle: it has no Info.plist.").arg(path));
}

} // namespace

namespace AppTargets {

QCoro::Task<ListedDevice> resolveDevice(QString deviceArgument, DeveloperToolPaths tools) {
    const DeviceDirectory directory = co_await DeviceDirectory::load(tools, false);
    co_return directory.resolve(deviceArgument);
}

QCoro::Task<> bootIfNeeded(ListedDevice device, CliContext &context) {
    if (device.device.state != QLatin1String("Booted"))
        context.console.progress(QStringLiteral("Booting %1…").arg(device.device.name));
    co_await SimulatorBoot::bootIfNeeded(device.device.udid, context.tools);
}

QCoro::Task<QString> bundlePath(AppTarget target, QString udid, DeveloperToolPaths tools) {
    if (!target.onSimulator()) {
        checkIsBundle(target.bundlePath);
        co_return target.bundlePath;
    }
    QStringList arguments;
    arguments << QStringLiteral("simctl") << QStringLiteral("get_app_container") << udid
              << target.bundleID << QStringLiteral("app");
    const QByteArray output = co_await DeveloperCommand::runWithDeadline(arguments, tools.xcrun);
    co_return AppContainer::bundlePath(output);
}

QCoro::Task<QString> locateBundle(AppTarget target, DeveloperToolPaths tools) {
    QString udid;
    if (target.onSimulator()) {
        const ListedDevice device = co_await resolveDevice(target.deviceArgument, tools);
        udid = device.device.udid;
    }
    co_return co_await bundlePath(target, udid, tools);
}

QCoro::Task<QStringList> languages(QString bundlePath) {
    QCoro::Task<QStringList> reading =
        BackgroundWork::run([bundlePath] { return AppLanguages::read(bundlePath); });
    co_return co_await std::move(reading);
}

QString validatedLanguage(const QString &code, const QStringList &languages) {
    try {
        return LaunchArguments::validatedLanguageCode(code, languages);
    } catch (const ToolFailure &refusal) {
        throw CliError(refusal.message(),
                       languages.isEmpty()
                           ? QStringLiteral("The app declares no languages.")
                           : QStringLiteral("“%1” is not one of the app's languages: %2.")
                                 .arg(code.trimmed(), languages.join(QStringLiteral(", "))));
    }
}

} // namespace AppTargets
