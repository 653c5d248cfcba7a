#pragma once

#include "tools/InstalledApp.h"

#include <QByteArray>
#include <QList>
#include <QVariantMap>

#include <functional>

namespace InstalledApps {

// Gives the icon for one app's information dictionary (AppIcon::load in the application).
using IconLoader = std::function<QIcon(const QVariantMap &info)>;

// One app of the report before its icon is made: its identifier, the name shown and its
// information dictionary.
struct Entry {
    QString id;
    QString name;
    QVariantMap info;
};

// The apps of a `simctl listapps` report sorted by name (locale-aware, case-insensitive,
// digit-aware, stable). Throws PropertyList::ParseError for unreadable input and ToolFailure
// "Could not read installed apps." for a report of the wrong shape. Uses nothing but the
// bytes, so it may run on any thread.
QList<Entry> readEntries(const QByteArray &report);

// readEntries() with each entry's icon made by `loadIcon`, in the sorted order.
QList<InstalledApp> decode(const QByteArray &report, const IconLoader &loadIcon);

} // namespace InstalledApps
