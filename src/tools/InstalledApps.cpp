#include "tools/InstalledApps.h"

#include "tools/Error.h"
#include "tools/NaturalOrder.h"
#include "tools/PropertyList.h"

#include <algorithm>

namespace {

bool isDictionary(const QVariant &value) {
    return value.typeId() == QMetaType::QVariantMap;
}

// The first of the name keys whose value is text (empty text included), else the identifier.
QString displayName(const QString &id, const QVariantMap &info) {
    for (const QString &key :
         {QStringLiteral("CFBundleDisplayName"), QStringLiteral("CFBundleName")}) {
        const auto value = info.constFind(key);
        if (value != info.constEnd() && value->typeId() == QMetaType::QString)
            return value->toString();
    }
    return id;
}

} // namespace

namespace InstalledApps {

QList<Entry> readEntries(const QByteArray &report) {
    const QVariant root = PropertyList::read(report);
    if (!isDictionary(root))
        throw ToolFailure(QStringLiteral("Could not read installed apps."));
    const QVariantMap entries = root.toMap();
    for (const QVariant &info : entries) {
        if (!isDictionary(info))
            throw ToolFailure(QStringLiteral("Could not read installed apps."));
    }

    QList<Entry> apps;
    apps.reserve(entries.size());
    for (auto entry = entries.cbegin(); entry != entries.cend(); ++entry) {
        QVariantMap info = entry.value().toMap();
        QString name = displayName(entry.key(), info);
        apps.append({entry.key(), std::move(name), std::move(info)});
    }

    const NaturalOrder order;
    std::stable_sort(apps.begin(), apps.end(),
                     [&order](const Entry &a, const Entry &b) { return order(a.name, b.name); });
    return apps;
}

QList<InstalledApp> decode(const QByteArray &report, const IconLoader &loadIcon) {
    const QList<Entry> entries = readEntries(report);
    QList<InstalledApp> apps;
    apps.reserve(entries.size());
    for (const Entry &entry : entries)
        apps.append({entry.id, entry.name, loadIcon ? loadIcon(entry.info) : QIcon()});
    return apps;
}

} // namespace InstalledApps
