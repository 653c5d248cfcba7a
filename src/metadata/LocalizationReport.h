#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

// A table file that could not be read, and why.
struct UnreadableFile {
    QString fileName; // "Localizable.strings"
    QString reason;
    friend bool operator==(const UnreadableFile &, const UnreadableFile &) = default;
};

// One string table of one language: the keys of <name>.strings and <name>.stringsdict together,
// compared with the table of that name the app falls back to: the development language's, else
// Base's.
struct LocalizationTable {
    QString name;              // "Localizable"
    int keyCount = 0;          // keys this language ships in the table (in the files read)
    QString referenceFolder;   // "en" or "Base": whose table this one is compared with; empty
                               // when neither has a table of this name
    int referenceKeyCount = 0; // keys of that table
    QStringList missingKeys;   // in that table, not here; sorted
    QList<UnreadableFile> unreadableFiles;
    // A file of this table or of the one it is compared with could not be read: the keys
    // counted are those of the files that could.
    bool incomplete = false;

    friend bool operator==(const LocalizationTable &, const LocalizationTable &) = default;
};

// What the bundle says about one language.
struct LanguageLocalization {
    QString language;
    bool hasFolder = false; // a <language>.lproj folder exists
    bool listed = true;     // named in CFBundleLocalizations (true when the key is absent)
    bool development = false;
    // Why the <language>.lproj entry could not be listed (a plain file, a link in a circle);
    // empty when it could. No tables are compared then.
    QString folderFailure;
    QList<LocalizationTable> tables; // by name; the development language's tables included

    int missingCount() const;
    int referenceKeyCount() const;
    bool incomplete() const; // a comparison of one of its tables is incomplete
    // "fr: 12 strings missing", "nb: no .lproj folder", one text per problem, in a fixed order.
    QStringList problems() const;

    friend bool operator==(const LanguageLocalization &, const LanguageLocalization &) = default;
};

// The localization check of one bundle: every language the bundle names anywhere, in the order
// the language picker shows them.
struct LocalizationReport {
    QString bundlePath;
    QString developmentLanguage; // empty when the bundle names none
    // The folders whose tables the others are compared with, in the order a table is looked
    // for: the development language's, then Base; those of them the bundle has.
    QStringList referenceFolders;
    bool listsLocalizations = false; // CFBundleLocalizations is an array of strings
    QList<LanguageLocalization> languages;

    QStringList problems() const;
    // "2 problems — fr: 12 strings missing; nb: no .lproj folder", or
    // "No localization problems found."
    QString summary() const;
    // The whole report as plain text, for the pasteboard.
    QString text() const;

    friend bool operator==(const LocalizationReport &, const LocalizationReport &) = default;
};

Q_DECLARE_METATYPE(LocalizationReport)
