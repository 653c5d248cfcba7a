#pragma once

#include <QIcon>
#include <QString>

// The icons the desktop supplies, each falling back to the program's own drawing when the icon
// theme has none; never null. Uses the icon theme, so call it on the GUI thread.
namespace SystemIcons {

// The generic application icon (the theme's "application-x-executable").
QIcon genericApplication();

// The icon the desktop shows for a path. An application bundle (a folder named *.app) shows
// the generic application icon, as a file browser on the Mac shows it.
QIcon forPath(const QString &path);

} // namespace SystemIcons
