#include "metadata/AppIcon.h"

#include "metadata/AppIconSource.h"
#include "metadata/Bundle.h"
#include "metadata/DeferredIconEngine.h"
#include "metadata/LazyImageIconEngine.h"
#include "metadata/PropertyListValues.h"
#include "metadata/SystemIcons.h"

#include <QFileInfo>
#include <QImageReader>

namespace {

bool holdsImage(const QString &filePath) {
    return QFileInfo(filePath).isFile() && QImageReader(filePath).canRead();
}

} // namespace

namespace AppIcon {

// An empty path names no bundle: it would resolve the icon names against the working folder.
QString bundlePath(const QVariantMap &info) {
    const QString path =
        PropertyListValues::string(info.value(QStringLiteral("Path"))).value_or(QString());
    if (!path.isEmpty())
        return path;
    return PropertyListValues::string(info.value(QStringLiteral("BundlePath"))).value_or(QString());
}

QStringList iconNames(const QVariantMap &iconDictionary) {
    using namespace PropertyListValues;
    const QVariantMap icons =
        dictionary(iconDictionary.value(QStringLiteral("CFBundleIcons"))).value_or(QVariantMap());
    const QVariantMap primary =
        dictionary(icons.value(QStringLiteral("CFBundlePrimaryIcon"))).value_or(QVariantMap());
    QStringList names =
        stringArray(primary.value(QStringLiteral("CFBundleIconFiles"))).value_or(QStringList());
    names += stringArray(iconDictionary.value(QStringLiteral("CFBundleIconFiles")))
                 .value_or(QStringList());
    if (const auto iconFile = string(iconDictionary.value(QStringLiteral("CFBundleIconFile"))))
        names.append(*iconFile);
    return names;
}

QStringList candidateFiles(const QString &bundlePath, const QStringList &names) {
    static const QString suffixes[] = {QString(), QStringLiteral("@3x.png"),
                                       QStringLiteral("@2x.png"), QStringLiteral(".png"),
                                       QStringLiteral(".icns")};
    QStringList files;
    for (auto name = names.crbegin(); name != names.crend(); ++name) {
        for (const QString &suffix : suffixes)
            files.append(bundlePath + QLatin1Char('/') + *name + suffix);
    }
    return files;
}

AppIconSource locate(const QVariantMap &info) {
    const QString folder = bundlePath(info);
    if (folder.isEmpty())
        return {AppIconSource::Kind::GenericApplicationIcon, QString()};

    const std::optional<Bundle> bundle = Bundle::open(folder);
    const QVariantMap &iconDictionary =
        bundle && bundle->infoDictionary() ? *bundle->infoDictionary() : info;
    for (const QString &file : candidateFiles(folder, iconNames(iconDictionary))) {
        if (holdsImage(file))
            return {AppIconSource::Kind::ImageFile, file};
    }
    return {AppIconSource::Kind::SystemIcon, folder};
}

QIcon iconFor(const AppIconSource &source) {
    switch (source.kind) {
    case AppIconSource::Kind::ImageFile:
        return QIcon(new LazyImageIconEngine(source.path));
    case AppIconSource::Kind::SystemIcon:
        return QIcon(
            new DeferredIconEngine([path = source.path] { return SystemIcons::forPath(path); }));
    case AppIconSource::Kind::GenericApplicationIcon:
        break;
    }
    return QIcon(new DeferredIconEngine(&SystemIcons::genericApplication));
}

QIcon load(const QVariantMap &info) {
    return iconFor(locate(info));
}

} // namespace AppIcon
