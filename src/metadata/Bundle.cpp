#include "metadata/Bundle.h"

#include "metadata/BundleFile.h"
#include "metadata/DirectoryListing.h"
#include "metadata/PropertyListValues.h"
#include "tools/PropertyList.h"

#include <QFileInfo>

namespace {

// An information property list is a few kilobytes; anything far larger is not one, and is not
// worth reading into memory.
constexpr qint64 maximumInfoSize = 16 * 1024 * 1024;

std::optional<QVariantMap> readInfoDictionary(const QString &filePath) {
    try {
        return PropertyListValues::dictionary(
            PropertyList::read(BundleFile::read(filePath, maximumInfoSize)));
    } catch (const std::exception &) {
        // An unreadable information property list (missing, a pipe, too large, malformed)
        // means the bundle has none.
    }
    return std::nullopt;
}

} // namespace

std::optional<Bundle> Bundle::open(const QString &path) {
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return std::nullopt;
    return Bundle(path);
}

Bundle::Bundle(QString path)
    : m_path(std::move(path)) {
    const QString contents = m_path + QStringLiteral("/Contents");
    if (QFileInfo(contents).isDir()) {
        m_info = readInfoDictionary(contents + QStringLiteral("/Info.plist"));
        const QString resources = contents + QStringLiteral("/Resources");
        if (QFileInfo(resources).isDir())
            m_resources = resources;
    } else {
        m_info = readInfoDictionary(m_path + QStringLiteral("/Info.plist"));
    }
}

std::optional<QString> Bundle::developmentLocalization() const {
    if (!m_info)
        return std::nullopt;
    return PropertyListValues::string(m_info->value(QStringLiteral("CFBundleDevelopmentRegion")));
}

QString Bundle::resourceFolder() const {
    return m_resources.isEmpty() ? m_path : m_resources;
}

QStringList Bundle::resourceEntries() const {
    if (!m_resourceEntries)
        m_resourceEntries = listDirectory(resourceFolder());
    return *m_resourceEntries;
}

QStringList Bundle::localizations() const {
    try {
        return lprojNames(resourceEntries());
    } catch (const std::exception &) {
        return {};
    }
}

QStringList Bundle::lprojNames(const QStringList &entries) {
    static const QString extension = QStringLiteral(".lproj");
    QStringList names;
    for (const QString &entry : entries) {
        if (entry.endsWith(extension, Qt::CaseSensitive))
            names.append(entry.chopped(extension.size()));
    }
    return names;
}
