#include "metadata/AppLanguages.h"

#include "metadata/Bundle.h"
#include "metadata/LanguageCodes.h"
#include "metadata/PropertyListValues.h"
#include "tools/Error.h"

#include <QCollator>
#include <QLocale>
#include <QSet>

#include <unicode/uloc.h>

#include <algorithm>

namespace {

// The English name ICU has for the code; empty when ICU only falls back to defaults (it echoes
// the code or its parts back then).
QString englishName(const QString &code) {
    if (code.isEmpty())
        return {};
    const QByteArray identifier = LanguageCodes::icuLocaleID(code);
    // ICU reports U_USING_DEFAULT_WARNING only when the name fits with room to spare, so the
    // buffer is never sized exactly.
    const auto displayName = [&](QString &name, UErrorCode &status) {
        status = U_ZERO_ERROR;
        return uloc_getDisplayName(identifier.constData(), "en",
                                   reinterpret_cast<UChar *>(name.data()), int32_t(name.size()),
                                   &status);
    };
    QString name(256, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = displayName(name, status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        name.resize(length + 64);
        length = displayName(name, status);
    }
    name.truncate(qMax(0, length));
    if (U_FAILURE(status) || status == U_USING_DEFAULT_WARNING ||
        status == U_STRING_NOT_TERMINATED_WARNING || name.isEmpty())
        return {};
    if (name == code || name == QString::fromUtf8(identifier))
        return {};
    return name;
}

} // namespace

namespace AppLanguages {

QStringList read(const QString &bundlePath) {
    const std::optional<Bundle> bundle = Bundle::open(bundlePath);
    if (!bundle)
        throw PlatformError(
            QStringLiteral("The file couldn’t be opened because it isn’t in the correct format."));

    QStringList candidates = bundle->localizations();
    if (bundle->infoDictionary())
        candidates += PropertyListValues::stringArray(
                          bundle->infoDictionary()->value(QStringLiteral("CFBundleLocalizations")))
                          .value_or(QStringList());
    if (const std::optional<QString> development = bundle->developmentLocalization())
        candidates.append(*development);

    // Listed once for the localizations above; a failed listing is an error here.
    candidates += Bundle::lprojNames(bundle->resourceEntries());

    QSet<QString> seen;
    QStringList languages;
    for (const QString &candidate : std::as_const(candidates)) {
        if (candidate.isEmpty() || candidate.toLower() == QLatin1String("base"))
            continue;
        if (seen.contains(candidate))
            continue;
        seen.insert(candidate);
        languages.append(candidate);
    }
    LanguageCodes::sortByCodePoints(languages);
    return languages;
}

QStringList sortedByLabel(const QStringList &codes, const LabelFunction &labelOf) {
    QCollator collator{QLocale(QLocale::English)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);

    struct Entry {
        QString code;
        QString label;
    };
    QList<Entry> entries;
    entries.reserve(codes.size());
    for (const QString &code : codes)
        entries.append({code, labelOf(code)});
    std::stable_sort(entries.begin(), entries.end(), [&](const Entry &a, const Entry &b) {
        return collator.compare(a.label, b.label) < 0;
    });

    QStringList sorted;
    sorted.reserve(entries.size());
    for (const Entry &entry : entries)
        sorted.append(entry.code);
    return sorted;
}

QString label(const QString &code) {
    QString name = englishName(code);
    if (name.isEmpty())
        name = code;
    return name + QStringLiteral(" (") + code + QLatin1Char(')');
}

} // namespace AppLanguages
