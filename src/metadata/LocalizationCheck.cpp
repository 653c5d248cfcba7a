#include "metadata/LocalizationCheck.h"

#include "metadata/Bundle.h"
#include "metadata/DirectoryListing.h"
#include "metadata/LanguageCodes.h"
#include "metadata/PropertyListValues.h"
#include "metadata/StringTables.h"
#include "tools/Error.h"

#include <QHash>
#include <QSet>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <map>

namespace {

bool isLanguageName(const QString &name) {
    return !name.isEmpty() && name.toLower() != QLatin1String("base");
}

// The tables of a folder; none when the .lproj entry is not a readable folder (the language
// still counts, it just ships no tables).
QList<StringTable> tablesOf(const QString &folder) {
    try {
        return StringTables::read(folder);
    } catch (const PlatformError &) {
        return {};
    }
}

QStringList sortedDifference(const QSet<QString> &reference, const QSet<QString> &present) {
    QStringList missing;
    for (const QString &key : reference) {
        if (!present.contains(key))
            missing.append(key);
    }
    missing.sort();
    return missing;
}

// One language's rows: its own tables and every table of the reference, by name.
QList<LocalizationTable> compareTables(const QList<StringTable> &own,
                                       const QList<StringTable> &reference, bool isReference) {
    std::map<QString, LocalizationTable> rows;
    QHash<QString, const StringTable *> ownByName;
    for (const StringTable &table : own) {
        ownByName.insert(table.name, &table);
        LocalizationTable &row = rows[table.name];
        row.name = table.name;
        row.keyCount = int(table.keys.size());
        row.unreadableFiles = table.unreadableFiles;
    }
    if (!isReference) {
        static const QSet<QString> none;
        for (const StringTable &table : reference) {
            LocalizationTable &row = rows[table.name];
            row.name = table.name;
            row.referenceKeyCount = int(table.keys.size());
            const StringTable *mine = ownByName.value(table.name);
            // A table with a file that did not parse is reported as unreadable; which of its
            // keys are missing is unknown then.
            if (!mine || mine->unreadableFiles.isEmpty())
                row.missingKeys = sortedDifference(table.keys, mine ? mine->keys : none);
        }
    } else {
        for (auto &[name, row] : rows)
            row.referenceKeyCount = row.keyCount;
    }
    QList<LocalizationTable> sorted;
    for (auto &[name, row] : rows)
        sorted.append(std::move(row));
    return sorted;
}

} // namespace

namespace LocalizationCheck {

LocalizationReport run(const QString &bundlePath, const std::function<bool()> &stopRequested) {
    const std::optional<Bundle> bundle = Bundle::open(bundlePath);
    if (!bundle)
        throw PlatformError(
            QStringLiteral("The file couldn’t be opened because it isn’t in the correct format."));
    const QString resources =
        bundle->resourcePath().isEmpty() ? bundle->path() : bundle->resourcePath();
    const QStringList entries = bundle->resourcePath().isEmpty() ? listDirectory(bundle->path())
                                                                 : bundle->resourceEntries();
    const QStringList folderNames = Bundle::lprojNames(entries);
    const QSet<QString> folders(folderNames.begin(), folderNames.end());

    LocalizationReport report;
    report.bundlePath = bundlePath;
    std::optional<QStringList> listed;
    if (bundle->infoDictionary())
        listed = PropertyListValues::stringArray(
            bundle->infoDictionary()->value(QStringLiteral("CFBundleLocalizations")));
    report.listsLocalizations = listed.has_value();
    const QString development = bundle->developmentLocalization().value_or(QString());
    if (isLanguageName(development))
        report.developmentLanguage = development;

    if (folders.contains(report.developmentLanguage) && !report.developmentLanguage.isEmpty())
        report.referenceFolder = report.developmentLanguage;
    else if (folders.contains(QStringLiteral("Base")))
        report.referenceFolder = QStringLiteral("Base");
    const auto folderPath = [&](const QString &language) {
        return resources + QLatin1Char('/') + language + QStringLiteral(".lproj");
    };
    const QList<StringTable> reference = report.referenceFolder.isEmpty()
                                             ? QList<StringTable>()
                                             : tablesOf(folderPath(report.referenceFolder));

    QStringList names = folderNames;
    names += listed.value_or(QStringList());
    names.append(report.developmentLanguage);
    names.removeIf([](const QString &name) { return !isLanguageName(name); });
    names.removeDuplicates();
    LanguageCodes::sortByCodePoints(names); // the order AppLanguages::read gives

    // Languages are independent of each other: read and compare them in parallel, each
    // dropping its tables once compared. A pool of this run's own, since the caller may itself
    // be a thread of the global pool, which a blocking map must not wait on.
    QThreadPool pool;
    pool.setMaxThreadCount(QThread::idealThreadCount());
    const auto checkLanguage = [&](const QString &language) {
        LanguageLocalization entry;
        entry.language = language;
        entry.hasFolder = folders.contains(language);
        entry.listed = !listed || listed->contains(language);
        entry.development = language == report.developmentLanguage;
        if (entry.hasFolder && !(stopRequested && stopRequested())) {
            const bool isReference = language == report.referenceFolder;
            entry.tables = compareTables(isReference ? reference : tablesOf(folderPath(language)),
                                         reference, isReference);
        }
        return entry;
    };
    report.languages = QtConcurrent::blockingMapped<QList<LanguageLocalization>>(
        &pool, std::as_const(names), checkLanguage);
    return report;
}

} // namespace LocalizationCheck
