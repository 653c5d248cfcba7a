#pragma once

// A launcher on a private settings file and a private copy of the stand-in's device set, and a
// usage statistics service that can never reach a server.

#include "StandinDeviceSet.h"
#include "launcher/Launcher.h"
#include "usage/UsageStatistics.h"

#include <QSettings>
#include <QTemporaryDir>

#include <memory>

struct UiTestFixture {
    StandinDeviceSet deviceSet;
    QTemporaryDir settingsFolder;
    QSettings store{settingsFolder.filePath(QStringLiteral("launcher.ini")), QSettings::IniFormat};
    QSettings usageStore{settingsFolder.filePath(QStringLiteral("usage.ini")),
                         QSettings::IniFormat};

    static UsageConfiguration unreachable() {
        UsageConfiguration configuration;
        configuration.endpoint = QUrl(QStringLiteral("https://127.0.0.1:9/usage/receive.php"));
        configuration.sendDelay = std::chrono::hours(1);
        configuration.retryInterval = std::chrono::hours(1);
        return configuration;
    }

    std::unique_ptr<Launcher> makeLauncher() {
        DeveloperToolPaths tools;
        tools.xcrun = deviceSet.xcrun();
        tools.open = deviceSet.open();
        return std::make_unique<Launcher>(&store, tools);
    }

    std::unique_ptr<UsageStatistics> makeStatistics() {
        return std::make_unique<UsageStatistics>(&usageStore, unreachable());
    }
};

// The fixture with its launcher and statistics service made up front.
struct UiTestModels : UiTestFixture {
    std::unique_ptr<Launcher> launcher = makeLauncher();
    std::unique_ptr<UsageStatistics> statistics = makeStatistics();
};
