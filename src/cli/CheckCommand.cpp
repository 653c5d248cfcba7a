// The localization check of an app's bundle.
#include "cli/AppTarget.h"
#include "cli/CliError.h"
#include "cli/CliJson.h"
#include "cli/Subcommands.h"
#include "metadata/LocalizationCheck.h"
#include "tools/BackgroundWork.h"

namespace Subcommands {

QCoro::Task<int> check(ParsedCommandLine arguments, CliContext &context) {
    const AppTarget target = AppTarget::fromArguments(arguments);
    const QString bundlePath = co_await AppTargets::locateBundle(target, context.tools);
    QCoro::Task<LocalizationReport> checking =
        BackgroundWork::run([bundlePath] { return LocalizationCheck::run(bundlePath); });
    const LocalizationReport report = co_await std::move(checking);

    if (arguments.has(QStringLiteral("json")))
        context.console.print(CliJson::text(CliJson::check(report)));
    else
        context.console.print(report.text());
    co_return report.problems().isEmpty() ? ExitStatus::done : ExitStatus::problemsFound;
}

} // namespace Subcommands
