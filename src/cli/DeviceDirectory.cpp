#include "cli/DeviceDirectory.h"

#include "cli/CliError.h"
#include "cli/CliSyntax.h"
#include "tools/DeveloperCommand.h"

#include <QRegularExpression>

QString ListedDevice::runtimeName() const {
    static const QRegularExpression pattern(
        QStringLiteral("^com\\.apple\\.CoreSimulator\\.SimRuntime\\.([A-Za-z]+)-([0-9-]+)$"));
    const QRegularExpressionMatch match = pattern.match(runtime);
    if (!match.hasMatch())
        return runtime;
    return match.captured(1) + QLatin1Char(' ') +
           match.captured(2).replace(QLatin1Char('-'), QLatin1Char('.'));
}

QCoro::Task<DeviceDirectory> DeviceDirectory::load(DeveloperToolPaths tools, bool availableOnly) {
    QStringList arguments;
    arguments << QStringLiteral("simctl") << QStringLiteral("list") << QStringLiteral("devices");
    if (availableOnly)
        arguments << QStringLiteral("available");
    arguments << QStringLiteral("--json");
    const QByteArray report = co_await DeveloperCommand::runWithDeadline(arguments, tools.xcrun);
    co_return DeviceDirectory(DeviceList::decode(report));
}

DeviceDirectory::DeviceDirectory(DeviceList list)
    : m_list(std::move(list)) {}

ListedDevice DeviceDirectory::listed(const SimulatorDevice &device) const {
    for (auto runtime = m_list.devices.cbegin(); runtime != m_list.devices.cend(); ++runtime) {
        for (const SimulatorDevice &candidate : runtime.value()) {
            if (candidate.udid == device.udid)
                return {device, runtime.key()};
        }
    }
    return {device, QString()};
}

QList<ListedDevice> DeviceDirectory::available() const {
    QList<ListedDevice> result;
    for (const SimulatorDevice &device : m_list.availableDevices())
        result << listed(device);
    return result;
}

ListedDevice DeviceDirectory::resolve(const QString &udidOrName) const {
    if (const std::optional<SimulatorDevice> byUdid = m_list.device(udidOrName))
        return listed(*byUdid);

    QList<ListedDevice> named;
    for (const SimulatorDevice &device : m_list.flattened()) {
        if (device.name == udidOrName)
            named << listed(device);
    }
    if (named.size() == 1)
        return named.first();
    if (named.isEmpty())
        throw CliError(
            QStringLiteral("No simulator device has the UDID or name “%1”.").arg(udidOrName),
            QStringLiteral("Run '%1 devices' to list them.")
                .arg(QString::fromLatin1(CliSyntax::programName)));
    QStringList udids;
    for (const ListedDevice &device : named)
        udids << QStringLiteral("%1 (%2)").arg(device.device.udid, device.runtimeName());
    throw CliError(QStringLiteral("Several simulator devices are named “%1”: %2.")
                       .arg(udidOrName, udids.join(QStringLiteral(", "))),
                   QStringLiteral("Give the UDID of the one you mean."));
}
