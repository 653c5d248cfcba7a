#pragma once

#include "gallery/GalleryShot.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <QCoroTask>

// Writes a gallery to a folder: "<language>.png" per language, "gallery.json" and a
// self-contained "index.html". With several devices, one such folder per device (named after
// the device) and a top "index.html" that shows them all.
namespace GalleryExport {

// "pt-BR.png": the language code as the app writes it.
QString imageFileName(const QString &language);

// A device name as a folder name: characters a file system or a URL treats specially become
// "-"; never empty, never "." or "..".
QString folderName(const QString &deviceName);

// Whether writing into `folder` would replace or mix with something already there.
bool hasContent(const QString &folder);

// Throws ToolFailure "The folder “<path>” is not empty." when `folder` has content and
// `replace` is false; "… is not a folder." when it is a file. Nothing happens otherwise.
void checkFolder(const QString &folder, bool replace);

// The "gallery.json" document of one device.
QJsonObject document(const QString &bundleID, LaunchOptions options, const DeviceGallery &gallery);
// The same as the text written to "gallery.json": members in a fixed order ("app", "device",
// "options", "shots"; in each shot "language", "region", "file", "settled", "seconds",
// "error"), seconds rounded to hundredths, UTF-8.
QByteArray documentText(const QString &bundleID, LaunchOptions options,
                        const DeviceGallery &gallery);
// documentText() of the only device, or a JSON list of every device's document.
QByteArray resultText(const GalleryResult &result);

// The subfolder each device of a gallery with several devices is written to, in order:
// folderName() of its name, with the start of the udid added when two names clash.
QStringList deviceFolders(const GalleryResult &result);

// Writes everything, creating the folder when needed; only the gallery's own files are
// replaced. Blocks: call it on a worker thread (write() does). Throws ToolFailure or
// PlatformError; a refused folder is checked first and nothing is written then.
void writeFolder(const GalleryResult &result, const QString &folder, bool replace);

// writeFolder() on a worker thread.
QCoro::Task<> write(GalleryResult result, QString folder, bool replace);

} // namespace GalleryExport
