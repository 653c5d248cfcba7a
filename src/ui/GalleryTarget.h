#pragma once

#include "gallery/GallerySettings.h"
#include "launcher/LaunchOptions.h"
#include "launcher/Launcher.h"
#include "tools/InstalledApp.h"

#include <QString>
#include <QStringList>

#include <optional>

// What a gallery window is about: the simulator device and installed app chosen in the main
// window when it was opened, with the app's languages in the language picker's order.
struct GalleryTarget {
    GalleryDevice device;
    InstalledApp app;
    QStringList languages;
    // The app's bundle inside the device, where its development language is read; may be empty.
    QString bundlePath;
    LaunchOptions launchOptions;
    DeveloperToolPaths tools;

    // Why the launcher's current choice cannot have a gallery; empty when it can.
    static QString unavailableReason(const Launcher &launcher);
    // The launcher's current choice; nothing when unavailableReason() is not empty.
    static std::optional<GalleryTarget> current(const Launcher &launcher);
};
