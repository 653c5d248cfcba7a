#include "launcher/SimulatorBoot.h"

#include "launcher/LauncherTexts.h"
#include "tools/DeveloperCommand.h"
#include "tools/DeviceList.h"
#include "tools/Error.h"

namespace SimulatorBoot {

QCoro::Task<> bootIfNeeded(QString udid, DeveloperToolPaths tools) {
    if (udid.isEmpty())
        throw ToolFailure(LauncherTexts::chooseSimulatorFirst());

    QStringList listing;
    listing << QStringLiteral("simctl") << QStringLiteral("list") << QStringLiteral("devices")
            << QStringLiteral("--json");
    const DeviceList all = DeviceList::decode(co_await DeveloperCommand::run(listing, tools.xcrun));

    const std::optional<SimulatorDevice> listed = all.device(udid);
    if (!listed || listed->state != QLatin1String("Booted")) {
        QStringList booting;
        booting << QStringLiteral("simctl") << QStringLiteral("boot") << udid;
        co_await DeveloperCommand::run(booting, tools.xcrun);
    }

    QStringList waiting;
    waiting << QStringLiteral("simctl") << QStringLiteral("bootstatus") << udid
            << QStringLiteral("-b");
    co_await DeveloperCommand::run(waiting, tools.xcrun);

    QStringList showing;
    showing << QStringLiteral("-a") << QStringLiteral("Simulator") << QStringLiteral("--args")
            << QStringLiteral("-CurrentDeviceUDID") << udid;
    co_await DeveloperCommand::run(showing, tools.open);
}

} // namespace SimulatorBoot
