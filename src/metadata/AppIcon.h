#pragma once

#include <QIcon>
#include <QVariantMap>

namespace AppIcon {

// The icon of an installed app from its information record; never a null icon. Image files
// are decoded lazily, when the icon is first painted.
QIcon load(const QVariantMap &info);

} // namespace AppIcon
