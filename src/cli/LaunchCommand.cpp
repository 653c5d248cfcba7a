// Launching an app in one language and region.
#include "cli/AppTarget.h"
#include "cli/CliError.h"
#include "cli/LaunchOptionArguments.h"
#include "cli/Subcommands.h"
#include "gallery/GallerySettings.h"
#include "launcher/LaunchArguments.h"
#include "tools/DeveloperCommand.h"

namespace Subcommands {

QCoro::Task<int> launch(ParsedCommandLine arguments, CliContext &context) {
    const AppTarget target = AppTarget::fromArguments(arguments);
    if (!arguments.has(QStringLiteral("language")))
        throw UsageError(QStringLiteral("Give the language with --language."),
                         CliSyntax::helpHint(arguments.subcommand));
    const LaunchOptions options = CliLaunchOptions::parse(arguments);

    ListedDevice device;
    if (target.onSimulator()) {
        device = co_await AppTargets::resolveDevice(target.deviceArgument, context.tools);
        // The bundle can only be located on a running device.
        co_await AppTargets::bootIfNeeded(device, context);
    }
    const QString bundlePath =
        co_await AppTargets::bundlePath(target, device.device.udid, context.tools);
    const QStringList languages = co_await AppTargets::languages(bundlePath);
    const QString code =
        AppTargets::validatedLanguage(arguments.value(QStringLiteral("language")), languages);
    const QString region = arguments.has(QStringLiteral("region"))
                               ? arguments.value(QStringLiteral("region"))
                               : GalleryRegions::likely(code);
    const QStringList launchArguments = LaunchArguments::build(code, region, options);

    if (target.onSimulator()) {
        QStringList command;
        command << QStringLiteral("simctl") << QStringLiteral("launch")
                << QStringLiteral("--terminate-running-process") << device.device.udid
                << target.bundleID << launchArguments;
        co_await DeveloperCommand::runWithDeadline(command, context.tools.xcrun);
    } else {
        QStringList command;
        command << QStringLiteral("-n") << bundlePath << QStringLiteral("--args")
                << launchArguments;
        co_await DeveloperCommand::runWithDeadline(command, context.tools.open);
    }
    context.console.print(LaunchArguments::launchedStatus(code, region, options) +
                          QLatin1Char('\n'));
    co_return ExitStatus::done;
}

} // namespace Subcommands
