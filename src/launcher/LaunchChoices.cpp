// The launcher's choices beyond language and region: diagnostic options, the recent launches,
// and the launches that reuse earlier choices (next language, a recent launch).
#include "launcher/LauncherState.h"

#include "launcher/NextLanguage.h"
#include "launcher/StoredValues.h"
#include "metadata/AppLanguages.h"
#include "tools/Error.h"

#include <QFileInfo>

namespace {

const QString launchOptionsKey = QStringLiteral("launchOptions");

} // namespace

void Launcher::readLaunchChoices() {
    d->launchOptions = LaunchOptionCatalog::fromStoredNames(
        StoredValues::readTextList(*d->store, launchOptionsKey).value_or(QStringList()));
    d->recentLaunches = new RecentLaunches(d->store, this);
}

LaunchOptions Launcher::launchOptions() const {
    return d->launchOptions;
}

void Launcher::setLaunchOptions(LaunchOptions value) {
    if (d->launchOptions == value)
        return;
    d->launchOptions = value;
    StoredValues::writeTextList(*d->store, launchOptionsKey,
                                LaunchOptionCatalog::storedNames(value));
    Q_EMIT launchOptionsChanged();
}

void Launcher::setLaunchOption(LaunchOption option, bool on) {
    setLaunchOptions(on ? d->launchOptions | option : d->launchOptions & ~LaunchOptions(option));
}

RecentLaunches *Launcher::recentLaunches() const {
    return d->recentLaunches;
}

RecentLaunch Launcher::currentLaunch(const QString &code) const {
    RecentLaunch launch;
    launch.macMode = d->macMode;
    launch.language = code;
    launch.locale = d->locale;
    launch.options = d->launchOptions;
    if (d->macMode) {
        launch.macAppPath = d->macApp.toLocalFile();
        launch.appName = QFileInfo(launch.macAppPath).completeBaseName();
        return launch;
    }
    launch.deviceID = d->deviceID;
    launch.bundleID = d->bundleID;
    for (const InstalledApp &app : std::as_const(d->apps)) {
        if (app.id == d->bundleID)
            launch.appName = app.name;
    }
    for (const SimulatorDevice &device : std::as_const(d->devices)) {
        if (device.udid == d->deviceID)
            launch.deviceName = device.name;
    }
    return launch;
}

namespace {

// A Mac app bundle: a folder with its information property list where the platform expects it.
// Checked without reading anything, so the Recent menu opens at once.
bool isMacApp(const QString &path) {
    return !path.isEmpty() && QFileInfo(path).isDir() &&
           QFileInfo(path + QStringLiteral("/Contents/Info.plist")).isFile();
}

bool listsApp(const QList<InstalledApp> &apps, const QString &bundleID) {
    return std::any_of(apps.begin(), apps.end(),
                       [&](const InstalledApp &app) { return app.id == bundleID; });
}

ToolFailure appGone() {
    return ToolFailure(QStringLiteral("This app is no longer available."));
}

} // namespace

bool Launcher::canRelaunch(const RecentLaunch &launch) const {
    if (launch.macMode)
        return isMacApp(launch.macAppPath);
    const bool deviceListed =
        std::any_of(d->devices.begin(), d->devices.end(),
                    [&](const SimulatorDevice &device) { return device.udid == launch.deviceID; });
    if (!deviceListed || launch.bundleID.isEmpty())
        return false;
    // Only the chosen device's apps are known, and only once they are loaded.
    if (launch.deviceID != d->deviceID || d->apps.isEmpty())
        return true;
    return listsApp(d->apps, launch.bundleID);
}

QCoro::Task<> Launcher::launchInNextLanguage() {
    // The order the language picker lists them in.
    const QStringList listed = AppLanguages::sortedByLabel(d->supportedLanguages);
    setLanguage(NextLanguage::after(listed, d->language.trimmed()));
    co_await launch();
}

QCoro::Task<> Launcher::launchRecent(RecentLaunch launch) {
    const Run run = d->operation;
    if (!canRelaunch(launch))
        throw appGone();
    // Everything is checked before anything changes: a refused relaunch leaves the window as
    // it was. The apps of another device are read without choosing that device.
    const bool appsKnown = !launch.macMode && launch.deviceID == d->deviceID && !d->apps.isEmpty();
    QList<InstalledApp> installed = d->apps;
    if (!launch.macMode && !appsKnown) {
        const QString device = launch.deviceID;
        const std::function<QString()> launchDevice = [device] { return device; };
        installed = co_await installedAppsOf(run, launchDevice);
        if (!listsApp(installed, launch.bundleID))
            throw appGone();
    }

    setMacMode(launch.macMode);
    if (launch.macMode) {
        setMacApp(QUrl::fromLocalFile(launch.macAppPath));
    } else {
        if (!appsKnown) {
            setDeviceID(launch.deviceID);
            setApps(installed);
        }
        // The picker shows what is launched: an app Only My Apps hides is shown by showing all.
        if (d->onlyMyApps && !d->myAppIDs.contains(launch.bundleID))
            setOnlyMyApps(false);
        setBundleID(launch.bundleID);
    }
    // The language must still be one the app declares, as for any launch. The detection
    // belongs to this operation: stopping the operation stops it too.
    d->detection.supersede();
    d->detection = run.within();
    co_await detect(d->detection);
    setLanguage(launch.language);
    setLocale(launch.locale);
    setLaunchOptions(launch.options);
    co_await this->launch();
}
