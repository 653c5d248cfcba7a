#pragma once

#include <QByteArray>
#include <QString>

class DeviceSet;

// The `simctl list devices` reports: JSON (`--json`) and the plain-text listing. The filter
// is empty, "available" (only usable devices), or a search term matched against names,
// identifiers and states.
namespace DeviceReport {

QByteArray json(const DeviceSet &set, const QString &filter);
QByteArray text(const DeviceSet &set, const QString &filter);

} // namespace DeviceReport
