#include "ui/GalleryTarget.h"

#include "metadata/AppLanguages.h"
#include "ui/PickerMatching.h"

#include <QCoreApplication>

namespace {

QString tr(const char *text) {
    return QCoreApplication::translate("GalleryTarget", text);
}

} // namespace

QString GalleryTarget::unavailableReason(const Launcher &launcher) {
    if (launcher.macMode())
        return tr("The gallery takes its screenshots on a simulator; it is not available for "
                  "macOS apps.");
    if (launcher.deviceID().isEmpty())
        return tr("Choose a simulator first.");
    const auto devices = launcher.devices();
    if (std::none_of(devices.begin(), devices.end(), [&](const SimulatorDevice &device) {
            return device.udid == launcher.deviceID();
        }))
        return tr("Refresh Simulators to list the chosen simulator.");
    const auto apps = launcher.visibleApps();
    if (launcher.bundleID().isEmpty() ||
        std::none_of(apps.begin(), apps.end(),
                     [&](const InstalledApp &app) { return app.id == launcher.bundleID(); }))
        return tr("Boot & Load Apps, then choose an installed app.");
    if (launcher.loadingLanguages())
        return tr("Reading app languages…");
    if (launcher.supportedLanguages().isEmpty())
        return tr("The app declares no languages to take.");
    return {};
}

std::optional<GalleryTarget> GalleryTarget::current(const Launcher &launcher) {
    if (!unavailableReason(launcher).isEmpty())
        return std::nullopt;
    GalleryTarget target;
    for (const SimulatorDevice &device : launcher.devices())
        if (device.udid == launcher.deviceID())
            target.device = {device.udid, device.name};
    for (const InstalledApp &app : launcher.visibleApps())
        if (app.id == launcher.bundleID())
            target.app = app;
    target.languages =
        PickerMatching::sortedLanguages(launcher.supportedLanguages(), &AppLanguages::label);
    target.bundlePath = launcher.detectedBundlePath();
    target.launchOptions = launcher.launchOptions();
    target.tools = launcher.toolPaths();
    return target;
}
