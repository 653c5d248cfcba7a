// Launching the target app in the chosen language and region.
#include "launcher/LauncherState.h"

#include "launcher/LaunchArguments.h"
#include "tools/Error.h"

QCoro::Task<> Launcher::launch() {
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
        co_await runTool(arguments, d->tools.open);
    } else {
        if (d->bundleID.isEmpty())
            throw ToolFailure(QStringLiteral("Choose an installed app or enter its bundle ID."));
        co_await boot();
        QStringList arguments;
        arguments << QStringLiteral("simctl") << QStringLiteral("launch")
                  << QStringLiteral("--terminate-running-process") << d->deviceID << d->bundleID
                  << launchArguments;
        co_await runTool(arguments, d->tools.xcrun);
    }

    // The region as it stands now, after the wait.
    setStatus(LaunchArguments::launchedStatus(code, d->locale, options));
    d->recentLaunches->add(made);
}
