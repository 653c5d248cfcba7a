#pragma once

#include "cli/DeviceDirectory.h"
#include "metadata/LocalizationReport.h"
#include "tools/InstalledApps.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// The JSON documents the command line prints with --json.
namespace CliJson {

// [{"udid", "name", "runtime", "state"}]
QJsonArray devices(const QList<ListedDevice> &devices);
// [{"id", "name", "bundlePath"}]
QJsonArray apps(const QList<InstalledApps::Entry> &apps);
// {"bundlePath", "languages": [...]}
QJsonObject languages(const QString &bundlePath, const QStringList &languages);
// {"bundlePath", "developmentLanguage", "problemCount", "summary", "languages": [{"code",
// "hasFolder", "listed", "missingTables", "tables": [{"name", "strings", "missing",
// "unreadableFiles"}]}]}
QJsonObject check(const LocalizationReport &report);

// Indented, with a final line break.
QString text(const QJsonArray &document);
QString text(const QJsonObject &document);

} // namespace CliJson
