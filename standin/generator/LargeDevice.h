#pragma once

#include <QString>

// The UDID of the extra device that `addLargeDevice` installs; documented in standin/README.md.
inline const QString largeDeviceUdid = QStringLiteral("7D1A0E5C-9B3F-4C2A-8E6D-1F0A2B3C4D09");

// Adds to a generated sample set one booted iPhone ("Crowded iPhone") with `appCount` apps in
// all: the runtime's system apps plus generated user apps, each a real bundle with its
// Info.plist, icon files in every layout (some with none) and .lproj folders. For measuring
// app loading at scale; the output is the same on every run.
bool addLargeDevice(const QString &root, int appCount, QString *error);
