#include "cli/LaunchOptionArguments.h"

#include "cli/CliError.h"
#include "launcher/LaunchOptionNames.h"

namespace CliLaunchOptions {

// The --option values as launch options; throws UsageError for a name that is none.
LaunchOptions parse(const ParsedCommandLine &arguments) {
    LaunchOptions options;
    for (const QString &name : arguments.values(QStringLiteral("option"))) {
        const std::optional<LaunchOption> option = LaunchOptionNames::fromName(name);
        if (!option)
            throw UsageError(QStringLiteral("Unknown launch option “%1”.").arg(name),
                             QStringLiteral("Launch options: %1. %2")
                                 .arg(LaunchOptionNames::allNames().join(QStringLiteral(", ")),
                                      CliSyntax::helpHint(arguments.subcommand)));
        options |= *option;
    }
    return options;
}

} // namespace CliLaunchOptions
