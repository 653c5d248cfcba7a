// Launching the target app in the chosen language and region.
#include "launcher/LauncherState.h"

#include "launcher/LaunchArguments.h"
#include "tools/Error.h"

QCoro::Task<> Launcher::launch() {
    const Run run = d->operation;
    const QString code = LaunchArguments::validatedLanguageCode(d->language, d->supportedLanguages);
    const LaunchOptions options = d->launchOptions;
    const QStringList launchArguments = LaunchArguments::build(code, d->locale, options);
    const RecentLaunch made = currentLaunch(code);

    if (d->macMode) {
        if (d->macApp.isEmpty())
            throw ToolFailure(QStringLiteral("Choose a macOS app first."));
        QStringList arguments;
        arguments << QStringLiteral("-n") << d->macApp.toLocalFile() << QStringLiteral("--args")
                  << launchArguments;
        co_await runTool(run, arguments, d->tools.open);
    } else {
        // The app and device chosen when Launch was pressed, whatever the user changes while
        // the simulator boots (the My Apps pane stays usable meanwhile).
        const QString deviceID = d->deviceID;
        const QString bundleID = d->bundleID;
        if (bundleID.isEmpty())
            throw ToolFailure(QStringLiteral("Choose an installed app or enter its bundle ID."));
        // A named function: g++ 12 mishandles the lifetime of temporaries in co_await.
        const std::function<QString()> chosenDevice = [deviceID] { return deviceID; };
        co_await bootDevice(run, chosenDevice);
        QStringList arguments;
        arguments << QStringLiteral("simctl") << QStringLiteral("launch")
                  << QStringLiteral("--terminate-running-process") << deviceID << bundleID
                  << launchArguments;
        co_await runTool(run, arguments, d->tools.xcrun);
    }

    // The region as it stands now, after the wait.
    setStatus(LaunchArguments::launchedStatus(code, d->locale, options));
    d->recentLaunches->add(made);
}
