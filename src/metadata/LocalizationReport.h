#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

// A table file that did not parse, and why.
struct UnreadableFile {
    QString fileName; // "Localizable.strings"
    QString reason;
    friend bool operator==(const UnreadableFile &, const UnreadableFile &) = default;
};

// One string table of one language: the keys of <name>.strings and <name>.stringsdict together,
// compared with the same table of the development language.
struct LocalizationTable {
    QString name;              // "Localizable"
    int keyCount = 0;          // keys this language ships in the table
    int referenceKeyCount = 0; // keys of the development language's table; 0 when it has none
    QStringList missingKeys;   // in the development language's table, not here; sorted
    QList<UnreadableFile> unreadableFiles;

    friend bool operator==(const LocalizationTable &, const LocalizationTable &) = default;
};

// What the bundle says about one language.
struct LanguageLocalization {
    QString language;
    bool hasFolder = false; // a <language>.lproj folder exists
    bool listed = true;     // named in CFBundleLocalizations (true when the key is absent)
    bool development = false;
    QList<LocalizationTable> tables; // by name; the development language's tables included

    int missingCount() const;
    int referenceKeyCount() const;
    // "fr: 12 strings missing", "nb: no .lproj folder", one text per problem, in a fixed order.
    QStringList problems() const;

    friend bool operator==(const LanguageLocalization &, const LanguageLocalization &) = default;
};

// The localization check of one bundle: every language the bundle names anywhere, in the order
// the language picker shows them.
struct LocalizationReport {
    QString bundlePath;
    QString developmentLanguage; // empty when the bundle names none
    // The folder whose tables the others are compared with: the development language's, or
    // Base when that one is missing; empty when there is none.
    QString referenceFolder;
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
