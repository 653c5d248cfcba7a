// The launcher's choices beyond language and region: diagnostic options, the recent launches,
// and the launches that reuse earlier choices (next language, a recent launch).
#include "launcher/LauncherState.h"

#include "launcher/NextLanguage.h"
#include "launcher/StoredValues.h"
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

bool Launcher::canRelaunch(const RecentLaunch &launch) const {
    if (launch.macMode)
        return !launch.macAppPath.isEmpty() && QFileInfo::exists(launch.macAppPath);
    const bool deviceListed =
        std::any_of(d->devices.begin(), d->devices.end(),
                    [&](const SimulatorDevice &device) { return device.udid == launch.deviceID; });
    if (!deviceListed || launch.bundleID.isEmpty())
        return false;
    // Only the chosen device's apps are known, and only once they are loaded.
    if (launch.deviceID != d->deviceID || d->apps.isEmpty())
        return true;
    return std::any_of(d->apps.begin(), d->apps.end(),
                       [&](const InstalledApp &app) { return app.id == launch.bundleID; });
}

QCoro::Task<> Launcher::launchInNextLanguage() {
    setLanguage(NextLanguage::after(d->supportedLanguages, d->language.trimmed()));
    co_await launch();
}

QCoro::Task<> Launcher::launchRecent(RecentLaunch launch) {
    if (!canRelaunch(launch))
        throw ToolFailure(QStringLiteral("This app is no longer available."));
    setMacMode(launch.macMode);
    if (launch.macMode) {
        setMacApp(QUrl::fromLocalFile(launch.macAppPath));
    } else {
        // The device's apps are loaded first, so the app is checked and shown as chosen.
        if (launch.deviceID != d->deviceID || d->apps.isEmpty()) {
            setDeviceID(launch.deviceID);
            co_await loadApps();
        }
        const bool installed =
            std::any_of(d->apps.begin(), d->apps.end(),
                        [&](const InstalledApp &app) { return app.id == launch.bundleID; });
        if (!installed)
            throw ToolFailure(QStringLiteral("This app is no longer available."));
        setBundleID(launch.bundleID);
    }
    // The language must still be one the app declares, as for any launch.
    const QPointer<Launcher> self(this);
    co_await detectLanguages();
    if (!self)
        co_return; // the launcher was closed while the languages were read
    setLanguage(launch.language);
    setLocale(launch.locale);
    setLaunchOptions(launch.options);
    co_await this->launch();
}
