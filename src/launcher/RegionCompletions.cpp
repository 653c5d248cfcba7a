#include "launcher/RegionCompletions.h"

#include "metadata/LanguageCodes.h"

#include <unicode/uloc.h>

#include <algorithm>

namespace {

struct LocaleParts {
    QByteArray language;
    QByteArray script;
    QByteArray region;
    QByteArray variant;
};

using PartGetter = int32_t (*)(const char *, char *, int32_t, UErrorCode *);

QByteArray part(PartGetter getter, const char *identifier) {
    char buffer[ULOC_FULLNAME_CAPACITY];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = getter(identifier, buffer, sizeof buffer, &status);
    if (U_FAILURE(status) || status == U_STRING_NOT_TERMINATED_WARNING)
        return {};
    return QByteArray(buffer, length);
}

LocaleParts parts(const char *identifier) {
    return {part(uloc_getLanguage, identifier), part(uloc_getScript, identifier),
            part(uloc_getCountry, identifier), part(uloc_getVariant, identifier)};
}

// The script a language is usually written in within a region ("Hant" for zh and HK).
QByteArray likelyScript(const QByteArray &language, const QByteArray &region) {
    const QByteArray minimal = region.isEmpty() ? language : language + '_' + region;
    char maximal[ULOC_FULLNAME_CAPACITY];
    UErrorCode status = U_ZERO_ERROR;
    uloc_addLikelySubtags(minimal.constData(), maximal, sizeof maximal, &status);
    if (U_FAILURE(status) || status == U_STRING_NOT_TERMINATED_WARNING)
        return {};
    return part(uloc_getScript, maximal);
}

QByteArray likelyRegion(const QByteArray &identifier) {
    char maximal[ULOC_FULLNAME_CAPACITY];
    UErrorCode status = U_ZERO_ERROR;
    uloc_addLikelySubtags(identifier.constData(), maximal, sizeof maximal, &status);
    if (U_FAILURE(status) || status == U_STRING_NOT_TERMINATED_WARNING)
        return {};
    return part(uloc_getCountry, maximal);
}

} // namespace

namespace RegionCompletions {

QStringList forLanguage(const QString &code) {
    const QByteArray identifier = LanguageCodes::icuLocaleID(code.trimmed());
    const LocaleParts wanted = parts(identifier.constData());
    if (wanted.language.isEmpty())
        return {};
    // A code without a script means the language's usual one, region by region.
    const bool scriptGiven = !wanted.script.isEmpty();

    QStringList codes;
    const int32_t count = uloc_countAvailable();
    for (int32_t i = 0; i < count; ++i) {
        const LocaleParts candidate = parts(uloc_getAvailable(i));
        if (candidate.language != wanted.language || candidate.region.isEmpty() ||
            !candidate.variant.isEmpty())
            continue;
        const QByteArray usual = likelyScript(candidate.language, candidate.region);
        const QByteArray script = candidate.script.isEmpty() ? usual : candidate.script;
        if (scriptGiven ? script != wanted.script : script != usual)
            continue;
        QByteArray written = candidate.language;
        if (script != usual)
            written += '_' + script;
        written += '_' + candidate.region;
        const QString text = QString::fromLatin1(written);
        if (!codes.contains(text))
            codes << text;
    }
    std::sort(codes.begin(), codes.end());

    // The bundle's own region, then the language's likely one, lead the list.
    QStringList leading;
    const QByteArray languageAlone =
        scriptGiven ? wanted.language + '_' + wanted.script : wanted.language;
    for (const QByteArray &region : {wanted.region, likelyRegion(languageAlone)}) {
        if (region.isEmpty())
            continue;
        for (const QString &candidate : std::as_const(codes)) {
            if (candidate.endsWith(QLatin1Char('_') + QString::fromLatin1(region)) &&
                !leading.contains(candidate))
                leading << candidate;
        }
    }
    for (const QString &lead : std::as_const(leading))
        codes.removeOne(lead);
    return leading + codes;
}

} // namespace RegionCompletions
