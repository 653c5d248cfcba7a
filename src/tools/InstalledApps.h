#pragma once

#include "tools/InstalledApp.h"

#include <QByteArray>
#include <QList>
#include <QVariantMap>

#include <functional>

namespace InstalledApps {

// Gives the icon for one app's information dictionary (AppIcon::load in the application).
using IconLoader = std::function<QIcon(const QVariantMap &info)>;

// Turns a `simctl listapps` report into apps sorted by name (locale-aware, case-insensitive,
// digit-aware, stable). Throws PropertyList::ParseError for unreadable input and ToolFailure
// "Could not read installed apps." for a report of the wrong shape.
QList<InstalledApp> decode(const QByteArray &report, const IconLoader &loadIcon);

} // namespace InstalledApps
