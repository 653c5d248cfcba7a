#include "gallery/GallerySettings.h"

#include "launcher/RegionCompletions.h"

QString GallerySettings::regionFor(const QString &language) const {
    return region.isEmpty() ? GalleryRegions::likely(language) : region;
}

namespace GalleryRegions {

QString likely(const QString &language) {
    const QStringList offered = RegionCompletions::forLanguage(language);
    if (!offered.isEmpty())
        return offered.first();
    QString fallback = language.trimmed();
    fallback.replace(QLatin1Char('-'), QLatin1Char('_'));
    return fallback;
}

} // namespace GalleryRegions

namespace GalleryAppearances {

QString name(GalleryAppearance appearance) {
    switch (appearance) {
    case GalleryAppearance::Light:
        return QStringLiteral("light");
    case GalleryAppearance::Dark:
        return QStringLiteral("dark");
    case GalleryAppearance::Unchanged:
        break;
    }
    return QString();
}

} // namespace GalleryAppearances
