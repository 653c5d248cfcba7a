#include "metadata/StringTables.h"

#include "metadata/BundleFile.h"
#include "metadata/DirectoryListing.h"
#include "tools/Error.h"
#include "tools/PropertyList.h"
#include "tools/PropertyListKeys.h"

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
    // Only the keys count here: read them without building the values.
    std::optional<QSet<QString>> keys =
        PropertyListKeys::read(BundleFile::read(filePath, maximumFileSize, stopRequested));
    if (!keys)
        throw PropertyList::ParseError(QStringLiteral("The file holds no table of strings."));
    return std::move(*keys);
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
            QSet<QString> keys = keysOfFile(lprojPath + QLatin1Char('/') + fileName, stopRequested);
            if (table.keys.isEmpty())
                table.keys = std::move(keys); // unite() would insert every key again
            else
                table.keys.unite(keys);
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
