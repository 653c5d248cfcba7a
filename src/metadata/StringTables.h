#pragma once

#include "metadata/LocalizationReport.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// The string tables in one .lproj folder: "Localizable.strings" and "Localizable.stringsdict"
// both belong to the table "Localizable", whose keys are the union of the two.
struct StringTable {
    QString name;
    QSet<QString> keys;
    QList<UnreadableFile> unreadableFiles;
};

namespace StringTables {

// The tables of the folder, sorted by name. Files of either form that do not parse, or that
// hold anything but a dictionary, are named in their table's `unreadableFiles`; their keys do
// not count. Throws PlatformError when the folder cannot be listed.
QList<StringTable> read(const QString &lprojPath);

// The keys of one table file in any property-list form (text, XML, binary); throws
// PropertyList::ParseError or PlatformError with a readable reason.
QSet<QString> keysOfFile(const QString &filePath);

} // namespace StringTables
