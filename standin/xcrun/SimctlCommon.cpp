#include "SimctlCommon.h"

#include "common/Console.h"

#include <QDateTime>

namespace SimctlCommon {

int simulatorError(int code, const QString &message) {
    return Console::fail(QStringLiteral("An error was encountered processing the command "
                                        "(domain=com.apple.CoreSimulator.SimError, code=%1):\n%2\n")
                             .arg(QString::number(code), message),
                         code & 0xff);
}

int usage(const QString &text) {
    return Console::fail(QStringLiteral("Usage: simctl %1\n").arg(text), 64);
}

QString member(const QJsonObject &object, const char *key) {
    return object.value(QLatin1String(key)).toString();
}

std::optional<int> openDevice(DeviceSet &set, bool forWriting, const QString &udid, int *index) {
    QString error;
    if (!set.open(forWriting, &error))
        return Console::fail(error + QLatin1Char('\n'), 1);
    *index = set.indexOf(udid);
    if (*index >= 0)
        return std::nullopt;
    if (udid == QLatin1String("booted"))
        return Console::fail(QStringLiteral("No devices are booted.\n"), 149);
    return Console::fail(QStringLiteral("Invalid device: %1\n").arg(udid), 148);
}

std::optional<int> requireBooted(const QJsonObject &device) {
    const QString state = member(device, "state");
    if (state == QLatin1String("Booted"))
        return std::nullopt;
    return simulatorError(405, QStringLiteral("Unable to lookup in current state: %1").arg(state));
}

std::optional<int> openBootedDevice(DeviceSet &set, bool forWriting, const QString &udid,
                                    int *index, QJsonObject *device) {
    if (const auto status = openDevice(set, forWriting, udid, index))
        return status;
    *device = set.device(*index);
    return requireBooted(*device);
}

QJsonObject findApp(const QJsonObject &device, const QString &bundleIdentifier) {
    for (const QJsonValue &app : device.value(QLatin1String("apps")).toArray()) {
        if (member(app.toObject(), "bundleIdentifier") == bundleIdentifier)
            return app.toObject();
    }
    return {};
}

std::optional<int> bootDevice(QJsonObject &device) {
    if (!device.value(QLatin1String("isAvailable")).toBool())
        return simulatorError(403, QStringLiteral("Unable to boot device because we cannot "
                                                  "determine the runtime bundle."));
    device.insert(QLatin1String("state"), QStringLiteral("Booted"));
    device.remove(QLatin1String("foreground")); // a fresh boot shows the home screen
    device.insert(QLatin1String("bootFinished"), false);
    device.insert(QLatin1String("lastBootedAt"),
                  QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ")));
    return std::nullopt;
}

int save(DeviceSet &set) {
    QString error;
    return set.save(&error) ? 0 : Console::fail(error + QLatin1Char('\n'), 1);
}

} // namespace SimctlCommon
