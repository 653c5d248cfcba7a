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

QList<InstalledApp> decode(const QByteArray &report, const IconLoader &loadIcon) {
    const QVariant root = PropertyList::read(report);
    if (!isDictionary(root))
        throw ToolFailure(QStringLiteral("Could not read installed apps."));
    const QVariantMap entries = root.toMap();
    for (const QVariant &info : entries) {
        if (!isDictionary(info))
            throw ToolFailure(QStringLiteral("Could not read installed apps."));
    }

    QList<InstalledApp> apps;
    apps.reserve(entries.size());
    for (auto entry = entries.cbegin(); entry != entries.cend(); ++entry) {
        const QVariantMap info = entry.value().toMap();
        apps.append(
            {entry.key(), displayName(entry.key(), info), loadIcon ? loadIcon(info) : QIcon()});
    }

    const NaturalOrder order;
    std::stable_sort(
        apps.begin(), apps.end(),
        [&order](const InstalledApp &a, const InstalledApp &b) { return order(a.name, b.name); });
    return apps;
}

} // namespace InstalledApps
