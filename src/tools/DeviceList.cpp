#include "tools/DeviceList.h"

#include "tools/Error.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <algorithm>

namespace {

const QString notInCorrectFormat =
    QStringLiteral("The data couldn’t be read because it isn’t in the correct format.");
const QString isMissing = QStringLiteral("The data couldn’t be read because it is missing.");

// Where in the report a value sits, for error messages: devices › <runtime> › 2 › name.
QString pathText(const QStringList &path) {
    return path.join(QStringLiteral(" › "));
}

[[noreturn]] void typeMismatch(const QStringList &path, const char *expected) {
    const QString where = path.isEmpty() ? QStringLiteral("the top level")
                                         : QStringLiteral("“%1”").arg(pathText(path));
    throw PlatformError(QStringLiteral("%1 Expected %2 at %3.")
                            .arg(notInCorrectFormat, QLatin1String(expected), where));
}

[[noreturn]] void missingMember(const QStringList &path) {
    throw PlatformError(QStringLiteral("%1 No value for “%2”.").arg(isMissing, pathText(path)));
}

// A required member; null counts as missing, as it does for a non-optional field.
QJsonValue member(const QJsonObject &object, const QString &key, const QStringList &path) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        missingMember(path + QStringList{key});
    return value;
}

QString stringMember(const QJsonObject &object, const QString &key, const QStringList &path) {
    const QJsonValue value = member(object, key, path);
    if (!value.isString())
        typeMismatch(path + QStringList{key}, "a string");
    return value.toString();
}

bool boolMember(const QJsonObject &object, const QString &key, const QStringList &path) {
    const QJsonValue value = member(object, key, path);
    if (!value.isBool())
        typeMismatch(path + QStringList{key}, "a boolean");
    return value.toBool();
}

SimulatorDevice decodeDevice(const QJsonValue &value, const QStringList &path) {
    if (!value.isObject())
        typeMismatch(path, "an object");
    const QJsonObject object = value.toObject();
    SimulatorDevice device;
    device.udid = stringMember(object, QStringLiteral("udid"), path);
    device.name = stringMember(object, QStringLiteral("name"), path);
    device.state = stringMember(object, QStringLiteral("state"), path);
    device.isAvailable = boolMember(object, QStringLiteral("isAvailable"), path);
    return device;
}

// The name as Unicode scalar values after canonical composition. Comparing these compares
// code points; comparing UTF-16 units would put U+10000 and above before U+E000..U+FFFF.
QList<uint> sortKey(const QString &name) {
    return name.normalized(QString::NormalizationForm_C).toUcs4();
}

} // namespace

DeviceList DeviceList::decode(const QByteArray &json) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        throw PlatformError(QStringLiteral("%1 The JSON is not valid (%2 at offset %3).")
                                .arg(notInCorrectFormat, parseError.errorString())
                                .arg(parseError.offset));
    if (!document.isObject())
        typeMismatch({}, "an object");

    const QStringList devicesPath{QStringLiteral("devices")};
    const QJsonValue runtimes = member(document.object(), devicesPath.first(), {});
    if (!runtimes.isObject())
        typeMismatch(devicesPath, "an object");

    DeviceList list;
    const QJsonObject runtimeObject = runtimes.toObject();
    for (auto runtime = runtimeObject.begin(); runtime != runtimeObject.end(); ++runtime) {
        const QStringList runtimePath = devicesPath + QStringList{runtime.key()};
        if (!runtime.value().isArray())
            typeMismatch(runtimePath, "an array");
        const QJsonArray entries = runtime.value().toArray();
        QList<SimulatorDevice> devices;
        devices.reserve(entries.size());
        for (qsizetype i = 0; i < entries.size(); ++i)
            devices.append(
                decodeDevice(entries.at(i), runtimePath + QStringList{QString::number(i)}));
        list.devices.insert(runtime.key(), devices);
    }
    return list;
}

QList<SimulatorDevice> DeviceList::flattened() const {
    QList<SimulatorDevice> all;
    for (const QList<SimulatorDevice> &runtimeDevices : devices)
        all += runtimeDevices;
    return all;
}

QList<SimulatorDevice> DeviceList::availableDevices() const {
    struct Entry {
        QList<uint> key;
        SimulatorDevice device;
    };
    QList<Entry> entries;
    for (const SimulatorDevice &device : flattened()) {
        if (device.isAvailable)
            entries.append({sortKey(device.name), device});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry &a, const Entry &b) { return a.key < b.key; });

    QList<SimulatorDevice> ordered;
    ordered.reserve(entries.size());
    for (const Entry &entry : entries)
        ordered.append(entry.device);
    return ordered;
}

std::optional<SimulatorDevice> DeviceList::device(const QString &udid) const {
    for (const QList<SimulatorDevice> &runtimeDevices : devices) {
        for (const SimulatorDevice &candidate : runtimeDevices) {
            if (candidate.udid == udid)
                return candidate;
        }
    }
    return std::nullopt;
}
