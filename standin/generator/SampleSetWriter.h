#pragma once

#include <QString>

// Writes the sample device set into an empty folder: devices.json, the runtimes' system
// apps, each device's data folder with its user apps and containers, and the Mac app.
bool writeSampleSet(const QString &root, QString *error);
