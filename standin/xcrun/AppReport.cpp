#include "AppReport.h"

#include "common/DescriptionWriter.h"
#include "common/DeviceSet.h"
#include "common/PropertyListValue.h"

#include <QFile>
#include <QJsonArray>
#include <QUrl>

namespace {

QString directoryUrl(const QString &path) {
    return QString::fromUtf8(QUrl::fromLocalFile(path + QLatin1Char('/')).toEncoded());
}

QVariantMap infoDictionary(const QString &bundlePath) {
    QFile file(bundlePath + QStringLiteral("/Info.plist"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return PropertyListValue::fromBytes(file.readAll()).toMap();
}

} // namespace

namespace AppReport {

QVariantMap entry(const DeviceSet &set, const QJsonObject &app) {
    const QString bundlePath = set.absolutePath(app.value(QLatin1String("path")).toString());
    const QVariantMap info = infoDictionary(bundlePath);

    QVariantMap entry;
    entry.insert(QStringLiteral("ApplicationType"),
                 app.value(QLatin1String("applicationType")).toString());
    entry.insert(QStringLiteral("Bundle"), directoryUrl(bundlePath));
    for (const char *key : {"CFBundleDisplayName", "CFBundleExecutable", "CFBundleIdentifier",
                            "CFBundleName", "CFBundleVersion"}) {
        const QString name = QString::fromLatin1(key);
        if (info.contains(name))
            entry.insert(name, info.value(name));
    }
    const QString dataContainer = app.value(QLatin1String("dataContainer")).toString();
    if (!dataContainer.isEmpty())
        entry.insert(QStringLiteral("DataContainer"),
                     directoryUrl(set.absolutePath(dataContainer)));
    QVariantMap groups;
    const QJsonObject groupContainers = app.value(QLatin1String("groupContainers")).toObject();
    for (auto it = groupContainers.begin(); it != groupContainers.end(); ++it)
        groups.insert(it.key(), directoryUrl(set.absolutePath(it.value().toString())));
    entry.insert(QStringLiteral("GroupContainers"), groups);
    entry.insert(QStringLiteral("Path"), bundlePath);
    entry.insert(QStringLiteral("SBAppTags"),
                 app.value(QLatin1String("tags")).toArray().toVariantList());
    return entry;
}

QByteArray report(const DeviceSet &set, const QJsonObject &device) {
    QVariantMap apps;
    for (const QJsonValue &app : device.value(QLatin1String("apps")).toArray()) {
        const QJsonObject record = app.toObject();
        apps.insert(record.value(QLatin1String("bundleIdentifier")).toString(), entry(set, record));
    }
    return DescriptionWriter::describe(apps);
}

} // namespace AppReport
