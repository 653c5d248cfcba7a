#include "launcher/InstalledAppsLoading.h"

#include "metadata/AppIconSource.h"
#include "tools/BackgroundWork.h"
#include "tools/InstalledApps.h"

#include <QThread>

#include <algorithm>
#include <future>
#include <vector>

namespace {

struct LocatedApp {
    QString id;
    QString name;
    AppIconSource icon;
};

// Locating is mostly waiting for file probes and reading Info.plist files, so a long list is
// shared out over the cores; each thread fills its own slice, so the order stays.
QList<LocatedApp> locateAll(const QByteArray &report) {
    const QList<InstalledApps::Entry> entries = InstalledApps::readEntries(report);
    QList<LocatedApp> apps(entries.size());
    LocatedApp *const out = apps.data();
    const auto locateSlice = [&entries, out](qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to; ++i)
            out[i] = {entries[i].id, entries[i].name, AppIcon::locate(entries[i].info)};
    };
    const qsizetype threads =
        std::clamp<qsizetype>(entries.size() / 64, 1, std::max(1, QThread::idealThreadCount()));
    const QList<InstalledAppsLoading::Slice> parts =
        InstalledAppsLoading::slices(entries.size(), threads);
    std::vector<std::future<void>> others;
    for (qsizetype part = 1; part < parts.size(); ++part)
        others.push_back(
            std::async(std::launch::async, locateSlice, parts[part].from, parts[part].to));
    if (!parts.isEmpty())
        locateSlice(parts.first().from, parts.first().to);
    for (std::future<void> &other : others)
        other.get();
    return apps;
}

} // namespace

namespace InstalledAppsLoading {

QList<Slice> slices(qsizetype count, qsizetype parts) {
    const qsizetype shares = std::max<qsizetype>(parts, 1);
    const qsizetype length = (count + shares - 1) / shares;
    QList<Slice> result;
    for (qsizetype from = 0; from < count; from += length)
        result.append({from, std::min(from + length, count)});
    return result;
}

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
