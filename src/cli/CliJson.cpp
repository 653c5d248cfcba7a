#include "cli/CliJson.h"

#include "metadata/AppIcon.h"

#include <QJsonDocument>

namespace {

QJsonObject table(const LocalizationTable &table) {
    QJsonArray unreadable;
    for (const UnreadableFile &file : table.unreadableFiles)
        unreadable.append(file.fileName);
    return {{QStringLiteral("name"), table.name},
            {QStringLiteral("strings"), table.keyCount},
            {QStringLiteral("missing"), QJsonArray::fromStringList(table.missingKeys)},
            {QStringLiteral("unreadableFiles"), unreadable},
            // Beyond the fixed members: which folder's table it was compared with, and whether
            // a file on either side could not be read.
            {QStringLiteral("comparedWith"), table.referenceFolder.isEmpty()
                                                 ? QJsonValue(QJsonValue::Null)
                                                 : QJsonValue(table.referenceFolder)},
            {QStringLiteral("incomplete"), table.incomplete}};
}

// A table the reference folder has and the language's folder lacks altogether: every key is
// missing and none of its files was even there to be unreadable.
bool isMissingTable(const LanguageLocalization &language, const LocalizationTable &table) {
    return !language.development && table.keyCount == 0 && table.referenceKeyCount > 0 &&
           table.unreadableFiles.isEmpty() && table.missingKeys.size() == table.referenceKeyCount;
}

} // namespace

namespace CliJson {

QJsonArray devices(const QList<ListedDevice> &devices) {
    QJsonArray list;
    for (const ListedDevice &listed : devices)
        list.append(QJsonObject{{QStringLiteral("udid"), listed.device.udid},
                                {QStringLiteral("name"), listed.device.name},
                                {QStringLiteral("runtime"), listed.runtime},
                                {QStringLiteral("state"), listed.device.state}});
    return list;
}

QJsonArray apps(const QList<InstalledApps::Entry> &apps) {
    QJsonArray list;
    for (const InstalledApps::Entry &app : apps)
        list.append(QJsonObject{{QStringLiteral("id"), app.id},
                                {QStringLiteral("name"), app.name},
                                {QStringLiteral("bundlePath"), AppIcon::bundlePath(app.info)}});
    return list;
}

QJsonObject languages(const QString &bundlePath, const QStringList &languages) {
    return {{QStringLiteral("bundlePath"), bundlePath},
            {QStringLiteral("languages"), QJsonArray::fromStringList(languages)}};
}

QJsonObject check(const LocalizationReport &report) {
    QJsonArray languages;
    for (const LanguageLocalization &language : report.languages) {
        QJsonArray missingTables;
        QJsonArray tables;
        for (const LocalizationTable &entry : language.tables) {
            if (isMissingTable(language, entry))
                missingTables.append(entry.name);
            else
                tables.append(table(entry));
        }
        languages.append(
            QJsonObject{{QStringLiteral("code"), language.language},
                        {QStringLiteral("hasFolder"), language.hasFolder},
                        {QStringLiteral("listed"), language.listed},
                        {QStringLiteral("missingTables"), missingTables},
                        {QStringLiteral("tables"), tables},
                        {QStringLiteral("folderFailure"),
                         language.folderFailure.isEmpty() ? QJsonValue(QJsonValue::Null)
                                                          : QJsonValue(language.folderFailure)}});
    }
    return {
        {QStringLiteral("bundlePath"), report.bundlePath},
        {QStringLiteral("developmentLanguage"), report.developmentLanguage},
        {QStringLiteral("referenceFolders"), QJsonArray::fromStringList(report.referenceFolders)},
        {QStringLiteral("problemCount"), int(report.problems().size())},
        {QStringLiteral("summary"), report.summary()},
        {QStringLiteral("languages"), languages}};
}

QString text(const QJsonArray &document) {
    return QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented));
}

QString text(const QJsonObject &document) {
    return QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented));
}

} // namespace CliJson
