#pragma once

#include "tools/Error.h"

#include <QByteArray>
#include <QString>

#include <functional>

// Reading one file of an app bundle, which is input from anyone: only a regular file is read
// (after links are followed), opening never waits (a named pipe or a device is refused before
// it is opened), and no more than a set number of bytes is ever held.
namespace BundleFile {

// Thrown when the caller's stop request ends a read.
class ReadStopped : public Error {
public:
    ReadStopped();
};

// The whole file. Throws PlatformError, worded as Foundation words a failed read, when the file
// is missing, not a regular file, not readable, or larger than `limit` bytes; throws
// ReadStopped once `stopRequested` (asked before each piece is read) returns true.
QByteArray read(const QString &filePath, qint64 limit,
                const std::function<bool()> &stopRequested = {});

} // namespace BundleFile
