#include "metadata/LanguageCodes.h"

#include <unicode/uloc.h>

#include <algorithm>

namespace LanguageCodes {

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

void sortByCodePoints(QStringList &codes) {
    std::sort(codes.begin(), codes.end(), [](const QString &a, const QString &b) {
        const QList<uint> left = a.toUcs4();
        const QList<uint> right = b.toUcs4();
        return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end());
    });
}

} // namespace LanguageCodes
