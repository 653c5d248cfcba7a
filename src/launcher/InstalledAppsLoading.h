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

} // namespace InstalledAppsLoading
