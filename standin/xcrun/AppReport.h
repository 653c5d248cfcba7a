#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QVariantMap>

class DeviceSet;

// The `simctl listapps` report: one entry per installed app, keyed by bundle identifier,
// with the keys a real device reports, printed in the old text property-list form.
namespace AppReport {

QVariantMap entry(const DeviceSet &set, const QJsonObject &app);
QByteArray report(const DeviceSet &set, const QJsonObject &device);

} // namespace AppReport
