#pragma once

#include <QIcon>
#include <QString>
#include <QVariantMap>

namespace AppIcon {

// The icon of an installed app from its information record; never a null icon. Image files
// are decoded lazily, when the icon is first painted.
QIcon load(const QVariantMap &info);

// The bundle folder an installed app's information record names ("Path", else "BundlePath");
// empty when it names none.
QString bundlePath(const QVariantMap &info);

} // namespace AppIcon
