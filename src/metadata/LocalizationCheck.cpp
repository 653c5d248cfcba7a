#include "metadata/LocalizationCheck.h"

#include "metadata/Bundle.h"
#include "metadata/BundleFile.h"
#include "metadata/LanguageCodes.h"
#include "metadata/PropertyListValues.h"
#include "metadata/StringTables.h"
#include "tools/Error.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <map>
#include <sys/stat.h>

namespace {

bool isLanguageName(const QString &name) {
    return !name.isEmpty() && name.toLower() != QLatin1String("base");
}

// A folder's tables, or why the folder could not be listed.
struct FolderTables {
    QList<StringTable> tables;
    QString failure;
};

// The listing's own words, or plainer ones when the entry is no folder at all.
QString listingFailure(const QString &folder, const PlatformError &error) {
    const QString name = QFileInfo(folder).fileName();
    struct stat status {};
    if (::stat(QFile::encodeName(folder).constData(), &status) != 0)
        return errno == ELOOP ? QStringLiteral("“%1” is a link that leads in a circle.").arg(name)
                              : error.description();
    if (!S_ISDIR(status.st_mode))
        return QStringLiteral("“%1” is not a folder.").arg(name);
    return error.description();
}

FolderTables readFolder(const QString &folder, const std::function<bool()> &stopRequested) {
    try {
        return {StringTables::read(folder, stopRequested), {}};
    } catch (const PlatformError &error) {
        return {{}, listingFailure(folder, error)};
    }
}

// The table of one name that the languages are compared with.
struct ReferenceTable {
    QString folder; // "en" or "Base"
    const StringTable *table = nullptr;
    bool partial = false; // not every key of it is known
};

// As the app looks a table up: in the development language's folder, else in Base's. When the
// development language's folder could not be listed, a table of Base may be overridden there
// unseen, so each is partial.
QHash<QString, ReferenceTable> referenceTables(const QString &development,
                                               const FolderTables &developmentTables,
                                               const FolderTables &baseTables) {
    QHash<QString, ReferenceTable> references;
    const bool developmentUnknown = !developmentTables.failure.isEmpty();
    for (const StringTable &table : baseTables.tables)
        references.insert(table.name, {QStringLiteral("Base"), &table,
                                       developmentUnknown || !table.unreadableFiles.isEmpty()});
    for (const StringTable &table : developmentTables.tables)
        references.insert(table.name, {development, &table, !table.unreadableFiles.isEmpty()});
    return references;
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

// One language's rows: its own tables and every reference table, by name. The development
// language is its own reference. Keys are counted in the files that could be read; a row with
// an unreadable file on either side is marked incomplete.
QList<LocalizationTable> compareTables(const QString &language, const QList<StringTable> &own,
                                       const QHash<QString, ReferenceTable> &references,
                                       bool isDevelopment, bool referencesPartial) {
    std::map<QString, LocalizationTable> rows;
    QHash<QString, const StringTable *> ownByName;
    for (const StringTable &table : own) {
        ownByName.insert(table.name, &table);
        LocalizationTable &row = rows[table.name];
        row.name = table.name;
        row.keyCount = int(table.keys.size());
        row.unreadableFiles = table.unreadableFiles;
        row.incomplete = !table.unreadableFiles.isEmpty();
        if (isDevelopment) {
            row.referenceFolder = language;
            row.referenceKeyCount = row.keyCount;
        } else {
            row.incomplete = row.incomplete || referencesPartial;
        }
    }
    if (!isDevelopment) {
        static const QSet<QString> none;
        for (auto reference = references.begin(); reference != references.end(); ++reference) {
            LocalizationTable &row = rows[reference.key()];
            row.name = reference.key();
            row.referenceFolder = reference->folder;
            row.referenceKeyCount = int(reference->table->keys.size());
            const StringTable *mine = ownByName.value(reference.key());
            row.missingKeys = sortedDifference(reference->table->keys, mine ? mine->keys : none);
            row.incomplete = row.incomplete || reference->partial;
        }
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
    const QStringList folderNames = Bundle::lprojNames(bundle->resourceEntries());
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

    const auto folderPath = [&](const QString &language) {
        return bundle->resourceFolder() + QLatin1Char('/') + language + QStringLiteral(".lproj");
    };
    FolderTables developmentTables;
    FolderTables baseTables;
    for (const QString &folder : {report.developmentLanguage, QStringLiteral("Base")}) {
        if (folder.isEmpty() || !folders.contains(folder))
            continue;
        report.referenceFolders.append(folder);
        (folder == report.developmentLanguage ? developmentTables : baseTables) =
            readFolder(folderPath(folder), stopRequested);
    }
    const QHash<QString, ReferenceTable> references =
        referenceTables(report.developmentLanguage, developmentTables, baseTables);
    const bool referencesPartial = !developmentTables.failure.isEmpty();

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
    std::atomic_bool stopped = false;
    const auto checkLanguage = [&](const QString &language) {
        LanguageLocalization entry;
        entry.language = language;
        entry.hasFolder = folders.contains(language);
        entry.listed = !listed || listed->contains(language);
        entry.development = language == report.developmentLanguage;
        if (!entry.hasFolder)
            return entry;
        try {
            const FolderTables own = entry.development
                                         ? developmentTables
                                         : readFolder(folderPath(language), stopRequested);
            entry.folderFailure = own.failure;
            if (own.failure.isEmpty())
                entry.tables = compareTables(language, own.tables, references, entry.development,
                                             referencesPartial);
        } catch (const BundleFile::ReadStopped &) {
            stopped = true;
        }
        return entry;
    };
    report.languages = QtConcurrent::blockingMapped<QList<LanguageLocalization>>(
        &pool, std::as_const(names), checkLanguage);
    if (stopped)
        throw BundleFile::ReadStopped();
    return report;
}

} // namespace LocalizationCheck
