#pragma once

// The launcher's fields and collaborators, shared by the files that implement its operations.
#include "launcher/Launcher.h"
#include "launcher/LauncherTexts.h"
#include "launcher/RecentLaunches.h"
#include "tools/Run.h"

#include <memory>

struct Launcher::State {
    explicit State(Launcher *launcher)
        : operation(launcher)
        , detection(launcher) {}

    std::unique_ptr<QSettings> ownedStore;
    QSettings *store = nullptr;
    DeveloperToolPaths tools;
    DeveloperCommand::Deadlines deadlines;
    MacAppChooser macAppChooser;
    Run operation;        // the newest operation started through perform()
    Run detection;        // the newest language detection
    QString detectionKey; // the selection key the newest detection looks at

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
