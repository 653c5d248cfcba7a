#pragma once

#include "common/DeviceSet.h"

#include <QJsonObject>
#include <QString>

#include <optional>

// Answers the simctl subcommands share: the tool's errors and the device lookup.
namespace SimctlCommon {

// Prints the CoreSimulator error text; simctl exits with the low byte of its code (405 → 149).
int simulatorError(int code, const QString &message);
int usage(const QString &text);
QString member(const QJsonObject &object, const char *key);
// Opens the set and finds the device; prints the tool's error and returns the status if that
// fails.
std::optional<int> openDevice(DeviceSet &set, bool forWriting, const QString &udid, int *index);
std::optional<int> requireBooted(const QJsonObject &device);
// openDevice(), then `device` is the device found, refused unless it is booted.
std::optional<int> openBootedDevice(DeviceSet &set, bool forWriting, const QString &udid,
                                    int *index, QJsonObject *device);
QJsonObject findApp(const QJsonObject &device, const QString &bundleIdentifier);
// Marks the device booted; fails like the tool for a device whose runtime is missing.
std::optional<int> bootDevice(QJsonObject &device);
int save(DeviceSet &set);

} // namespace SimctlCommon
