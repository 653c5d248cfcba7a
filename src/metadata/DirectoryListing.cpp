#include "metadata/DirectoryListing.h"

#include "tools/Error.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <dirent.h>

namespace {

QString listingFailure(const QString &folderPath, int error) {
    const QString name = QFileInfo(folderPath).fileName();
    switch (error) {
    case ENOENT:
        return QStringLiteral("The folder “%1” doesn’t exist.").arg(name);
    case EACCES:
    case EPERM:
        return QStringLiteral(
                   "The file “%1” couldn’t be opened because you don’t have permission to view it.")
            .arg(name);
    default:
        return QStringLiteral("The file “%1” couldn’t be opened.").arg(name);
    }
}

} // namespace

QStringList listDirectory(const QString &folderPath) {
    DIR *folder = ::opendir(QFile::encodeName(folderPath).constData());
    if (!folder)
        throw PlatformError(listingFailure(folderPath, errno));

    QStringList names;
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(folder);
        if (!entry)
            break;
        const char *name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        names.append(QFile::decodeName(name));
    }
    const int readError = errno;
    ::closedir(folder);
    if (readError != 0)
        throw PlatformError(listingFailure(folderPath, readError));
    return names;
}
