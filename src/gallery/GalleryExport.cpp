#include "gallery/GalleryExport.h"

#include "tools/BackgroundWork.h"
#include "tools/Error.h"

namespace GalleryExport {

QString imageFileName(const QString &language) {
    return language + QStringLiteral(".png");
}

QString folderName(const QString &deviceName) {
    return deviceName;
}

bool hasContent(const QString &) {
    return false;
}

void checkFolder(const QString &, bool) {}

QJsonObject document(const QString &, LaunchOptions, const DeviceGallery &) {
    return {};
}

void writeFolder(const GalleryResult &, const QString &, bool) {}

QCoro::Task<> write(GalleryResult result, QString folder, bool replace) {
    co_await BackgroundWork::run([result, folder, replace] {
        writeFolder(result, folder, replace);
        return true;
    });
}

} // namespace GalleryExport
