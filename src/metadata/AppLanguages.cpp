#include "metadata/AppLanguages.h"

#include "metadata/Bundle.h"
#include "metadata/PropertyListValues.h"
#include "tools/Error.h"

#include <QSet>

#include <unicode/uloc.h>

#include <algorithm>

namespace {

// ICU's locale identifier for a code as bundles write it: "pt-BR" is a language tag, "pt_BR"
// (an older directory name) is already an ICU identifier.
QByteArray icuLocaleID(const QString &code) {
    const QByteArray bytes = code.toUtf8();
    char identifier[ULOC_FULLNAME_CAPACITY];
    int32_t parsedLength = 0;
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = uloc_forLanguageTag(bytes.constData(), identifier, sizeof identifier,
                                               &parsedLength, &status);
    if (U_SUCCESS(status) && status != U_STRING_NOT_TERMINATED_WARNING && length > 0 &&
        parsedLength == bytes.size())
        return QByteArray(identifier, length);
    return bytes;
}

// The English name ICU has for the code; empty when ICU only falls back to defaults (it echoes
// the code or its parts back then).
QString englishName(const QString &code) {
    if (code.isEmpty())
        return {};
    const QByteArray identifier = icuLocaleID(code);
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
    // QString's operator< compares UTF-16 units, which is not code-point order once a
    // character outside the Basic Multilingual Plane meets one above U+D7FF.
    std::sort(languages.begin(), languages.end(), [](const QString &a, const QString &b) {
        const QList<uint> left = a.toUcs4();
        const QList<uint> right = b.toUcs4();
        return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end());
    });
    return languages;
}

QString label(const QString &code) {
    QString name = englishName(code);
    if (name.isEmpty())
        name = code;
    return name + QStringLiteral(" (") + code + QLatin1Char(')');
}

} // namespace AppLanguages
