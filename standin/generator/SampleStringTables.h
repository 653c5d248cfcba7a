#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

// The string tables a sample app ships in one .lproj folder, in the three property-list forms
// apps use (text .strings, XML and binary .stringsdict), with a few deliberate gaps: keys a
// translation lacks, a missing plural table, a table that does not parse.
namespace SampleStringTables {

// File name and contents for each table of the app's `language` folder; empty for apps that
// ship only InfoPlist.strings.
QList<std::pair<QString, QByteArray>> files(const QString &bundleIdentifier,
                                            const QString &language);

} // namespace SampleStringTables
