#include "launcher/InstalledAppsLoading.h"

#include "metadata/AppIconSource.h"
#include "tools/BackgroundWork.h"
#include "tools/InstalledApps.h"

namespace {

struct LocatedApp {
    QString id;
    QString name;
    AppIconSource icon;
};

QList<LocatedApp> locateAll(const QByteArray &report) {
    const QList<InstalledApps::Entry> entries = InstalledApps::readEntries(report);
    QList<LocatedApp> apps;
    apps.reserve(entries.size());
    for (const InstalledApps::Entry &entry : entries)
        apps.append({entry.id, entry.name, AppIcon::locate(entry.info)});
    return apps;
}

} // namespace

namespace InstalledAppsLoading {

QCoro::Task<QList<InstalledApp>> load(QByteArray report) {
    // Named, not a temporary of the co_await: g++ 12 destroys such temporaries twice.
    QCoro::Task<QList<LocatedApp>> locating =
        BackgroundWork::run([report] { return locateAll(report); });
    const QList<LocatedApp> located = co_await std::move(locating);
    QList<InstalledApp> apps;
    apps.reserve(located.size());
    for (const LocatedApp &app : located)
        apps.append({app.id, app.name, AppIcon::iconFor(app.icon)});
    co_return apps;
}

} // namespace InstalledAppsLoading
