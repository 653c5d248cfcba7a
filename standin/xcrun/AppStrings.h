#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The texts an installed app shows in one language, read from its bundle the way the system
// resolves them: the best matching .lproj folder, and for each key the development language's
// text where that folder lacks one.
struct AppStrings {
    struct Entry {
        QString key;
        QString text;
        bool localized = true; // false: the development language's text stands in
    };

    QString displayName;
    QString resolvedLanguage; // the folder used, without ".lproj"; empty when none matched
    QList<Entry> entries;     // in the order of the development language's table

    // The first entry whose key contains one of the words (case-insensitively); nothing found
    // gives an entry with an empty key.
    Entry find(const QStringList &words) const;

    // Reads Localizable.strings in the text, XML or binary form. Never fails: an unreadable
    // bundle gives no entries.
    static AppStrings read(const QString &bundlePath, const QString &language);
    // CFBundleDisplayName, else CFBundleName; empty when neither can be read.
    static QString displayNameOf(const QString &bundlePath);
};

namespace StringsFile {

// The pairs of a .strings file in the order they appear; text (UTF-8 or UTF-16 with a byte
// order mark), XML or binary property list. Parsing stops at the first malformed pair.
QList<std::pair<QString, QString>> parse(const QByteArray &bytes);

} // namespace StringsFile
