#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// Where an installed app's icon comes from: an image file in its bundle, or one of the two
// fallbacks (the system's icon for the bundle path, the generic application icon).
struct AppIconSource {
    enum class Kind { ImageFile, SystemIcon, GenericApplicationIcon };

    Kind kind = Kind::GenericApplicationIcon;
    // The image file, or the bundle path for the system icon; empty for the generic icon.
    QString path;

    bool operator==(const AppIconSource &) const = default;
};

namespace AppIcon {

// The icon names of an icon dictionary in collection order: CFBundleIcons → CFBundlePrimaryIcon
// → CFBundleIconFiles, then the top-level CFBundleIconFiles, then CFBundleIconFile. A source of
// the wrong type contributes nothing.
QStringList iconNames(const QVariantMap &iconDictionary);

// The files to try, in order: the names from last to first, each as it stands and then with
// "@3x.png", "@2x.png", ".png" and ".icns" appended, relative to the bundle folder.
QStringList candidateFiles(const QString &bundlePath, const QStringList &names);

// Chooses the icon for an app's information record: the first candidate file that holds an
// image (judged from its header, nothing is decoded), else a fallback. The icon names come
// from the bundle's own Info.plist when it has one, else from the record. Only reads files,
// so it may run on any thread.
AppIconSource locate(const QVariantMap &info);

// The icon for a source; never null. Touches no file and no icon theme: an image file is
// decoded, and a fallback looked up, when the icon is first painted (on the GUI thread).
QIcon iconFor(const AppIconSource &source);

} // namespace AppIcon
