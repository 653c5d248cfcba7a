#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

// An application bundle on disk, read the way the platform's bundle API reads it. Two layouts
// exist: a Mac app keeps everything under Contents/ (Contents/Info.plist,
// Contents/Resources/), an iOS app is flat (Info.plist and resources at the root).
class Bundle {
public:
    // Any existing directory opens as a bundle; nothing else does.
    static std::optional<Bundle> open(const QString &path);

    QString path() const { return m_path; }

    // The information property list; absent when the file is missing, unreadable, or not a
    // dictionary.
    const std::optional<QVariantMap> &infoDictionary() const { return m_info; }

    // "CFBundleDevelopmentRegion" of the information dictionary when it is a string.
    std::optional<QString> developmentLocalization() const;

    // Where the bundle's resources are: Contents/Resources of a Mac app when that folder
    // exists, else the bundle folder itself (an iOS app keeps them at its root).
    QString resourceFolder() const;

    // The names in the resource folder (or the bundle folder), listed once and kept. Throws
    // the listing's PlatformError.
    QStringList resourceEntries() const;

    // The bundle's own localizations: its .lproj entries among the resource entries (empty
    // when they cannot be listed).
    QStringList localizations() const;

    // "pt-BR" for "pt-BR.lproj": the names whose extension is exactly "lproj", without it.
    static QStringList lprojNames(const QStringList &entries);

private:
    explicit Bundle(QString path);

    QString m_path;
    QString m_resources; // Contents/Resources; empty when there is none
    std::optional<QVariantMap> m_info;
    mutable std::optional<QStringList> m_resourceEntries;
};
