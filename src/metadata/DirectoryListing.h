#pragma once

#include <QString>
#include <QStringList>

// The names of a folder's immediate entries, hidden ones included, in the order the file system
// returns them ("." and ".." left out). One pass over the folder: no sorting, no per-entry stat,
// so a folder of thousands of files costs a single read of the directory. Throws PlatformError
// worded as Foundation words a failed folder listing.
QStringList listDirectory(const QString &folderPath);
