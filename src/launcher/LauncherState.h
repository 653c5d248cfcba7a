#pragma once

// The launcher's fields and collaborators, shared by the files that implement its operations.
#include "launcher/Launcher.h"
#include "launcher/LauncherTexts.h"
#include "launcher/RecentLaunches.h"

#include <memory>

struct Launcher::State {
    std::unique_ptr<QSettings> ownedStore;
    QSettings *store = nullptr;
    DeveloperToolPaths tools;
    MacAppChooser macAppChooser;
    quint64 detectionRuns = 0; // how many language detections have started

    bool onlyMyApps = false;
    QSet<QString> myAppIDs;
    QList<SimulatorDevice> devices;
    QList<InstalledApp> apps;
    QString deviceID;
    QString bundleID;
    QString language = QStringLiteral("en");
    QString locale = QStringLiteral("en_US");
    QStringList supportedLanguages;
    bool loadingLanguages = false;
    QString languageMessage = LauncherTexts::selectAppForLanguages();
    bool macMode = false;
    QUrl macApp;
    bool busy = false;
    QString status = LauncherTexts::initialStatus();
    std::optional<QString> error;
    LaunchOptions launchOptions;
    RecentLaunches *recentLaunches = nullptr; // a child of the launcher
    QString detectedBundlePath;
};
