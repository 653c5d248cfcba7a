#include "metadata/StringTables.h"

#include "metadata/DirectoryListing.h"
#include "tools/Error.h"
#include "tools/PropertyList.h"
#include "tools/PropertyListKeys.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <map>

namespace {

// "Localizable" for "Localizable.strings" or "Localizable.stringsdict"; empty for other files.
QString tableName(const QString &fileName) {
    for (QLatin1String extension : {QLatin1String(".strings"), QLatin1String(".stringsdict")}) {
        if (fileName.endsWith(extension) && fileName.size() > extension.size())
            return fileName.first(fileName.size() - extension.size());
    }
    return {};
}

} // namespace

namespace StringTables {

QSet<QString> keysOfFile(const QString &filePath) {
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        throw PlatformError(QStringLiteral("The file “%1” couldn’t be opened.")
                                .arg(QFileInfo(filePath).fileName()));
    // Only the keys count here: read them without building the values.
    std::optional<QSet<QString>> keys = PropertyListKeys::read(file.readAll());
    if (!keys)
        throw PropertyList::ParseError(QStringLiteral("The file holds no table of strings."));
    return std::move(*keys);
}

QList<StringTable> read(const QString &lprojPath) {
    std::map<QString, StringTable> tables;
    for (const QString &fileName : listDirectory(lprojPath)) {
        const QString name = tableName(fileName);
        if (name.isEmpty())
            continue;
        StringTable &table = tables[name];
        table.name = name;
        try {
            QSet<QString> keys = keysOfFile(lprojPath + QLatin1Char('/') + fileName);
            if (table.keys.isEmpty())
                table.keys = std::move(keys); // unite() would insert every key again
            else
                table.keys.unite(keys);
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
