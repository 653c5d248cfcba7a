#pragma once

#include <QStringList>

class DeviceSet;

// Answers one `simctl` command line (the arguments after "simctl") against the device set and
// returns the exit status.
int runSimctl(const QStringList &arguments, DeviceSet &set);
