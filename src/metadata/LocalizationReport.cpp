#include "metadata/LocalizationReport.h"

#include "metadata/AppLanguages.h"

#include <QFileInfo>

namespace {

QString strings(int count) {
    return count == 1 ? QStringLiteral("1 string") : QStringLiteral("%1 strings").arg(count);
}

QString tableLine(const QString &language, const LocalizationTable &table) {
    if (!table.missingKeys.isEmpty())
        return QStringLiteral("%1: %2 of %3 missing in %4")
            .arg(language)
            .arg(table.missingKeys.size())
            .arg(strings(table.referenceKeyCount), table.name);
    if (table.referenceKeyCount == 0)
        return QStringLiteral("%1: %2 (%3)")
            .arg(table.name, strings(table.keyCount),
                 table.keyCount == 0 ? QStringLiteral("empty or unreadable")
                                     : QStringLiteral("no table to compare with"));
    return QStringLiteral("%1: %2, complete").arg(table.name, strings(table.keyCount));
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

QStringList LanguageLocalization::problems() const {
    QStringList found;
    const QString prefix = language + QStringLiteral(": ");
    if (!hasFolder)
        found.append(prefix + (development
                                   ? QStringLiteral("development language has no .lproj folder")
                                   : QStringLiteral("no .lproj folder")));
    if (hasFolder && !listed)
        found.append(prefix + QStringLiteral("not listed in CFBundleLocalizations"));
    if (const int missing = missingCount(); missing > 0)
        found.append(prefix + strings(missing) + QStringLiteral(" missing"));
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
    lines << (referenceFolder.isEmpty()
                  ? QStringLiteral("String tables compared with: nothing (no reference folder)")
                  : QStringLiteral("String tables compared with: %1.lproj").arg(referenceFolder));
    lines << summary();
    for (const LanguageLocalization &language : languages) {
        lines << QString();
        lines << AppLanguages::label(language.language) +
                     (language.development ? QStringLiteral(" — development language") : QString());
        for (const QString &problem : language.problems())
            lines << QStringLiteral("  Problem: ") + problem;
        if (language.hasFolder && language.tables.isEmpty())
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
