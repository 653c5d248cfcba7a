#include "metadata/LocalizationReport.h"

#include "metadata/AppLanguages.h"

#include <QFileInfo>

#include <algorithm>

namespace {

QString strings(int count) {
    return count == 1 ? QStringLiteral("1 string") : QStringLiteral("%1 strings").arg(count);
}

// "Base.lproj" after a language compared with Base; nothing when compared with itself.
QString comparedWith(const QString &language, const LocalizationTable &table) {
    if (table.referenceFolder.isEmpty() || table.referenceFolder == language)
        return {};
    return QStringLiteral(", compared with %1.lproj").arg(table.referenceFolder);
}

QString tableLine(const QString &language, const LocalizationTable &table) {
    const QString incomplete =
        table.incomplete ? QStringLiteral(" (incomplete: a file could not be read)") : QString();
    if (!table.missingKeys.isEmpty())
        return QStringLiteral("%1: %2 of %3 missing in %4")
                   .arg(language)
                   .arg(table.missingKeys.size())
                   .arg(strings(table.referenceKeyCount), table.name) +
               comparedWith(language, table) + incomplete;
    if (table.referenceFolder.isEmpty())
        return QStringLiteral("%1: %2 (%3)")
                   .arg(table.name, strings(table.keyCount),
                        table.keyCount == 0 ? QStringLiteral("empty or unreadable")
                                            : QStringLiteral("no table to compare with")) +
               incomplete;
    return QStringLiteral("%1: %2, complete").arg(table.name, strings(table.keyCount)) +
           comparedWith(language, table) + incomplete;
}

} // namespace

int LanguageLocalization::missingCount() const {
    int missing = 0;
    for (const LocalizationTable &table : tables)
        missing += int(table.missingKeys.size());
    return missing;
}

int LanguageLocalization::referenceKeyCount() const {
    int count = 0;
    for (const LocalizationTable &table : tables)
        count += table.referenceKeyCount;
    return count;
}

bool LanguageLocalization::incomplete() const {
    return std::any_of(tables.begin(), tables.end(),
                       [](const LocalizationTable &table) { return table.incomplete; });
}

QStringList LanguageLocalization::problems() const {
    QStringList found;
    const QString prefix = language + QStringLiteral(": ");
    if (!hasFolder)
        found.append(prefix + (development
                                   ? QStringLiteral("development language has no .lproj folder")
                                   : QStringLiteral("no .lproj folder")));
    if (hasFolder && !listed)
        found.append(prefix + QStringLiteral("not listed in CFBundleLocalizations"));
    if (!folderFailure.isEmpty())
        found.append(prefix + language + QStringLiteral(".lproj could not be read"));
    bool ownFileUnreadable = false;
    for (const LocalizationTable &table : tables)
        ownFileUnreadable = ownFileUnreadable || !table.unreadableFiles.isEmpty();
    if (const int missing = missingCount(); missing > 0)
        found.append(prefix + strings(missing) + QStringLiteral(" missing") +
                     (incomplete() ? QStringLiteral(" (comparison incomplete)") : QString()));
    else if (incomplete() && !ownFileUnreadable)
        found.append(prefix + QStringLiteral("comparison incomplete"));
    for (const LocalizationTable &table : tables) {
        for (const UnreadableFile &file : table.unreadableFiles)
            found.append(prefix + file.fileName + QStringLiteral(" could not be read"));
    }
    return found;
}

QStringList LocalizationReport::problems() const {
    QStringList found;
    for (const LanguageLocalization &language : languages)
        found += language.problems();
    return found;
}

QString LocalizationReport::summary() const {
    const QStringList found = problems();
    if (found.isEmpty())
        return QStringLiteral("No localization problems found.");
    const QString count = found.size() == 1 ? QStringLiteral("1 problem")
                                            : QStringLiteral("%1 problems").arg(found.size());
    return count + QStringLiteral(" — ") + found.join(QStringLiteral("; "));
}

QString LocalizationReport::text() const {
    QStringList lines;
    lines << QStringLiteral("Localization check of %1").arg(QFileInfo(bundlePath).fileName());
    lines << (developmentLanguage.isEmpty()
                  ? QStringLiteral("Development language: none declared")
                  : QStringLiteral("Development language: %1").arg(developmentLanguage));
    QStringList references;
    for (const QString &folder : referenceFolders)
        references << folder + QStringLiteral(".lproj");
    lines << (references.isEmpty()
                  ? QStringLiteral("String tables compared with: nothing (no reference folder)")
                  : QStringLiteral("String tables compared with: ") +
                        references.join(QStringLiteral(", else ")));
    lines << summary();
    for (const LanguageLocalization &language : languages) {
        lines << QString();
        lines << AppLanguages::label(language.language) +
                     (language.development ? QStringLiteral(" — development language") : QString());
        for (const QString &problem : language.problems())
            lines << QStringLiteral("  Problem: ") + problem;
        if (!language.folderFailure.isEmpty())
            lines << QStringLiteral("  Could not read %1.lproj: %2")
                         .arg(language.language, language.folderFailure);
        else if (language.hasFolder && language.tables.isEmpty())
            lines << QStringLiteral("  No string tables.");
        for (const LocalizationTable &table : language.tables) {
            lines << QStringLiteral("  ") + tableLine(language.language, table);
            if (!table.missingKeys.isEmpty())
                lines << QStringLiteral("    Missing: ") +
                             table.missingKeys.join(QStringLiteral(", "));
            for (const UnreadableFile &file : table.unreadableFiles)
                lines
                    << QStringLiteral("    Could not read %1: %2").arg(file.fileName, file.reason);
        }
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}
