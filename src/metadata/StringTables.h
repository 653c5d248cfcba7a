#pragma once

#include "metadata/LocalizationReport.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

// The string tables in one .lproj folder: "Localizable.strings" and "Localizable.stringsdict"
// both belong to the table "Localizable", whose keys are the union of the two.
struct StringTable {
    QString name;
    QSet<QString> keys; // of the files that could be read
    QList<UnreadableFile> unreadableFiles;
};

namespace StringTables {

// A table file larger than this is not read: the largest real ones are a few megabytes.
inline constexpr qint64 maximumFileSize = 32 * 1024 * 1024;

// The tables of the folder, sorted by name. Files of either form that cannot be read (not a
// regular file, too large, malformed, anything but a dictionary) are named in their table's
// `unreadableFiles`; the table's keys are those of its other files. Throws PlatformError when
// the folder cannot be listed, and BundleFile::ReadStopped once `stopRequested` returns true.
QList<StringTable> read(const QString &lprojPath, const std::function<bool()> &stopRequested = {});

// The keys of one table file in any property-list form (text, XML, binary); throws
// PropertyList::ParseError or PlatformError with a readable reason, and
// BundleFile::ReadStopped as `read` does.
QSet<QString> keysOfFile(const QString &filePath, const std::function<bool()> &stopRequested = {});

} // namespace StringTables
