#include "DeviceReport.h"

#include "common/AppleJson.h"
#include "common/DeviceSet.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

QString member(const QJsonObject &object, const char *key) {
    return object.value(QLatin1String(key)).toString();
}

bool matches(const QJsonObject &device, const QString &filter) {
    if (filter.isEmpty())
        return true;
    if (filter == QLatin1String("available"))
        return device.value(QLatin1String("isAvailable")).toBool();
    for (const char *key : {"name", "udid", "state"}) {
        if (member(device, key).contains(filter, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

AppleJson deviceJson(const DeviceSet &set, const QJsonObject &device) {
    const QString udid = member(device, "udid");
    AppleJson json = AppleJson::object();
    if (device.contains(QLatin1String("lastBootedAt")))
        json.insert(QStringLiteral("lastBootedAt"), member(device, "lastBootedAt"));
    json.insert(QStringLiteral("dataPath"), set.absolutePath(udid + QStringLiteral("/data")))
        .insert(QStringLiteral("dataPathSize"),
                device.value(QLatin1String("dataPathSize")).toInteger())
        .insert(QStringLiteral("logPath"), set.absolutePath(QStringLiteral("Logs/") + udid))
        .insert(QStringLiteral("udid"), udid)
        .insert(QStringLiteral("isAvailable"), device.value(QLatin1String("isAvailable")).toBool());
    if (device.contains(QLatin1String("availabilityError")))
        json.insert(QStringLiteral("availabilityError"), member(device, "availabilityError"));
    json.insert(QStringLiteral("deviceTypeIdentifier"), member(device, "deviceTypeIdentifier"))
        .insert(QStringLiteral("state"), member(device, "state"))
        .insert(QStringLiteral("name"), member(device, "name"));
    return json;
}

} // namespace

namespace DeviceReport {

QByteArray json(const DeviceSet &set, const QString &filter) {
    AppleJson byRuntime = AppleJson::object();
    for (const QJsonValue &runtimeValue : set.runtimes()) {
        const QString runtime = member(runtimeValue.toObject(), "identifier");
        AppleJson devices = AppleJson::array();
        for (const QJsonValue &value : set.devices()) {
            const QJsonObject device = value.toObject();
            if (member(device, "runtime") == runtime && matches(device, filter))
                devices.append(deviceJson(set, device));
        }
        byRuntime.insert(runtime, devices);
    }
    return AppleJson::object().insert(QStringLiteral("devices"), byRuntime).pretty();
}

QByteArray text(const DeviceSet &set, const QString &filter) {
    QString out = QStringLiteral("== Devices ==\n");
    for (const QJsonValue &runtimeValue : set.runtimes()) {
        const QJsonObject runtime = runtimeValue.toObject();
        const bool installed = runtime.value(QLatin1String("isAvailable")).toBool();
        const QString identifier = member(runtime, "identifier");
        out += installed ? QStringLiteral("-- %1 --\n").arg(member(runtime, "name"))
                         : QStringLiteral("-- Unavailable: %1 --\n").arg(identifier);
        for (const QJsonValue &value : set.devices()) {
            const QJsonObject device = value.toObject();
            if (member(device, "runtime") != identifier || !matches(device, filter))
                continue;
            out +=
                QStringLiteral("    %1 (%2) (%3) ")
                    .arg(member(device, "name"), member(device, "udid"), member(device, "state"));
            if (!device.value(QLatin1String("isAvailable")).toBool())
                out += QStringLiteral("(unavailable, %1)").arg(member(device, "availabilityError"));
            out += QLatin1Char('\n');
        }
    }
    return out.toUtf8();
}

} // namespace DeviceReport
