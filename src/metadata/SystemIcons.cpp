#include "metadata/SystemIcons.h"

#include "metadata/GenericAppIconEngine.h"

#include <QAbstractFileIconProvider>
#include <QFileInfo>

namespace {

bool isUsable(const QIcon &icon) {
    return !icon.isNull() && !icon.availableSizes().isEmpty();
}

} // namespace

namespace SystemIcons {

QIcon genericApplication() {
    const QIcon themed = QIcon::fromTheme(QStringLiteral("application-x-executable"));
    return isUsable(themed) ? themed : QIcon(new GenericAppIconEngine);
}

QIcon forPath(const QString &path) {
    const QFileInfo info(path);
    if (info.isDir() && info.suffix().compare(QLatin1String("app"), Qt::CaseInsensitive) == 0)
        return genericApplication();
    const QIcon icon = QAbstractFileIconProvider().icon(info);
    return isUsable(icon) ? icon : genericApplication();
}

} // namespace SystemIcons
