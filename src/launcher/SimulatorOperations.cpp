// Bringing the simulator side up to date: the device list, booting, the installed apps.
#include "launcher/LauncherState.h"

#include "launcher/InstalledAppsLoading.h"
#include "launcher/SimulatorBoot.h"
#include "tools/DeviceList.h"

QCoro::Task<> Launcher::refresh() {
    const Run run = d->operation;
    QStringList arguments;
    arguments << QStringLiteral("simctl") << QStringLiteral("list") << QStringLiteral("devices")
              << QStringLiteral("available") << QStringLiteral("--json");
    const QByteArray report = co_await runTool(run, arguments, d->tools.xcrun);
    const QList<SimulatorDevice> available = DeviceList::decode(report).availableDevices();

    setDevices(available);
    const bool stillListed =
        std::any_of(available.begin(), available.end(),
                    [this](const SimulatorDevice &device) { return device.udid == d->deviceID; });
    if (stillListed)
        setDeviceID(d->deviceID); // an assignment all the same: it stores the choice again
    else
        setDeviceID(available.isEmpty() ? QString() : available.first().udid);
    setApps(QList<InstalledApp>());
    setBundleID(QString());
    setStatus(available.isEmpty()
                  ? QStringLiteral("No available simulators. Install a runtime in Xcode Settings.")
                  : QStringLiteral("Choose a simulator, then load its apps."));
}

QCoro::Task<> Launcher::boot() {
    // Each command names the device chosen at the moment it is issued.
    const std::function<QString()> currentDevice = [this] { return d->deviceID; };
    co_await bootDevice(d->operation, currentDevice);
}

QCoro::Task<> Launcher::bootDevice(Run run, std::function<QString()> device) {
    const SimulatorBoot::ToolRunner runner = [this, run](QStringList arguments,
                                                         QString executable) {
        return runTool(run, std::move(arguments), std::move(executable));
    };
    co_await SimulatorBoot::boot(device, d->tools, runner);
}

QCoro::Task<> Launcher::loadApps() {
    // Each command names the device chosen at the moment it is issued.
    const std::function<QString()> currentDevice = [this] { return d->deviceID; };
    const QList<InstalledApp> installed = co_await installedAppsOf(d->operation, currentDevice);
    setApps(installed);
    reconcileAppSelection();
    setStatus(QStringLiteral("Loaded %1 installed apps.").arg(installed.size()));
}

QCoro::Task<QList<InstalledApp>> Launcher::installedAppsOf(Run run,
                                                           std::function<QString()> device) {
    co_await bootDevice(run, device);

    QStringList listing;
    listing << QStringLiteral("simctl") << QStringLiteral("listapps") << device();
    const QByteArray report = co_await runTool(run, listing, d->tools.xcrun);
    QCoro::Task<QList<InstalledApp>> loading = InstalledAppsLoading::load(report);
    co_return co_await run.await(std::move(loading));
}
