#pragma once

#include "common/DeviceSet.h"

#include <QStringList>

// The simctl subcommands about what a device shows: screenshots, the status bar, the
// appearance, opening a URL and ending an app. Each returns the tool's exit status.
namespace DisplayVerbs {

int io(const QStringList &arguments, DeviceSet &set);
int statusBar(const QStringList &arguments, DeviceSet &set);
int ui(const QStringList &arguments, DeviceSet &set);
int openurl(const QStringList &arguments, DeviceSet &set);
int terminate(const QStringList &arguments, DeviceSet &set);

// Records a launch: the app comes to the foreground with its arguments and shows its launch
// screen from now on. The caller saves the set.
void bringToForeground(DeviceSet &set, int index, const QString &bundleIdentifier,
                       const QStringList &arguments);

} // namespace DisplayVerbs
