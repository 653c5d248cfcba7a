#include "launcher/SimulatorBoot.h"

#include "launcher/LauncherTexts.h"
#include "tools/DeveloperCommand.h"
#include "tools/DeviceList.h"
#include "tools/Error.h"

namespace SimulatorBoot {

QCoro::Task<> boot(std::function<QString()> device, DeveloperToolPaths tools, ToolRunner run) {
    if (device().isEmpty())
        throw ToolFailure(LauncherTexts::chooseSimulatorFirst());

    QStringList listing;
    listing << QStringLiteral("simctl") << QStringLiteral("list") << QStringLiteral("devices")
            << QStringLiteral("--json");
    const DeviceList all = DeviceList::decode(co_await run(listing, tools.xcrun));

    const std::optional<SimulatorDevice> listed = all.device(device());
    if (!listed || listed->state != QLatin1String("Booted")) {
        QStringList booting;
        booting << QStringLiteral("simctl") << QStringLiteral("boot") << device();
        co_await run(booting, tools.xcrun);
    }

    QStringList waiting;
    waiting << QStringLiteral("simctl") << QStringLiteral("bootstatus") << device()
            << QStringLiteral("-b");
    co_await run(waiting, tools.xcrun);

    QStringList showing;
    showing << QStringLiteral("-a") << QStringLiteral("Simulator") << QStringLiteral("--args")
            << QStringLiteral("-CurrentDeviceUDID") << device();
    co_await run(showing, tools.open);
}

QCoro::Task<> bootIfNeeded(QString udid, DeveloperToolPaths tools) {
    const std::function<QString()> device = [udid] { return udid; };
    const ToolRunner run = [](QStringList arguments, QString executable) {
        return DeveloperCommand::runWithDeadline(std::move(arguments), std::move(executable));
    };
    co_await boot(device, tools, run);
}

} // namespace SimulatorBoot
