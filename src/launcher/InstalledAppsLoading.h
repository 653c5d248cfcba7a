#pragma once

#include "tools/InstalledApp.h"

#include <QByteArray>
#include <QList>

#include <QCoroTask>

namespace InstalledAppsLoading {

// The installed apps of a `simctl listapps` report, exactly as InstalledApps::decode with
// AppIcon::load gives them, without holding the calling (main) thread: the report is decoded
// and sorted, and every icon file located, on a worker thread; the icons, which touch no file
// until first painted, are then made on the calling thread. Throws what decode throws.
QCoro::Task<QList<InstalledApp>> load(QByteArray report);

// One thread's share of the list: the entries from `from` up to, not including, `to`.
struct Slice {
    qsizetype from = 0;
    qsizetype to = 0;
    bool operator==(const Slice &) const = default;
};

// `count` entries shared out in order over at most `parts` threads: slices of equal length but
// the last, which holds what is left. None for no entries.
QList<Slice> slices(qsizetype count, qsizetype parts);

} // namespace InstalledAppsLoading
