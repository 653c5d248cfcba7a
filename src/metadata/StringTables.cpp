#include "metadata/StringTables.h"

#include "metadata/BundleFile.h"
#include "metadata/DirectoryListing.h"
#include "tools/Error.h"
#include "tools/PropertyList.h"

#include <QVariantMap>

#include <algorithm>
#include <map>

namespace {

// "Localizable" for "Localizable.strings" or "Localizable.stringsdict"; empty for other files
// (and for a file named only ".strings").
QString tableName(const QString &fileName) {
    for (QLatin1String extension : {QLatin1String(".strings"), QLatin1String(".stringsdict")}) {
        if (fileName.endsWith(extension))
            return fileName.chopped(extension.size());
    }
    return {};
}

} // namespace

namespace StringTables {

QSet<QString> keysOfFile(const QString &filePath, const std::function<bool()> &stopRequested) {
    const QVariant table =
        PropertyList::read(BundleFile::read(filePath, maximumFileSize, stopRequested));
    if (table.typeId() != QMetaType::QVariantMap)
        throw PropertyList::ParseError(QStringLiteral("The file holds no table of strings."));
    const QVariantMap entries = table.toMap();
    QSet<QString> keys;
    keys.reserve(entries.size());
    for (auto entry = entries.keyBegin(); entry != entries.keyEnd(); ++entry)
        keys.insert(*entry);
    return keys;
}

QList<StringTable> read(const QString &lprojPath, const std::function<bool()> &stopRequested) {
    std::map<QString, StringTable> tables;
    for (const QString &fileName : listDirectory(lprojPath)) {
        const QString name = tableName(fileName);
        if (name.isEmpty())
            continue;
        StringTable &table = tables[name];
        table.name = name;
        try {
            table.keys.unite(keysOfFile(lprojPath + QLatin1Char('/') + fileName, stopRequested));
        } catch (const BundleFile::ReadStopped &) {
            throw;
        } catch (...) {
            table.unreadableFiles.append(
                {fileName, userFacingDescription(std::current_exception())});
        }
    }
    QList<StringTable> sorted;
    sorted.reserve(qsizetype(tables.size()));
    for (auto &[name, table] : tables) {
        std::sort(table.unreadableFiles.begin(), table.unreadableFiles.end(),
                  [](const UnreadableFile &a, const UnreadableFile &b) {
                      return a.fileName < b.fileName;
                  });
        sorted.append(std::move(table));
    }
    return sorted;
}

} // namespace StringTables
