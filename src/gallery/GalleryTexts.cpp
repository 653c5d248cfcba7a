#include "gallery/GalleryTexts.h"

#include <QLocale>
#include <QStringList>

#include <unicode/uloc.h>

namespace {

QByteArray icuIdentifier(const QString &code) {
    const QByteArray tag = code.trimmed().toUtf8();
    char identifier[ULOC_FULLNAME_CAPACITY];
    int32_t parsed = 0;
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length =
        uloc_forLanguageTag(tag.constData(), identifier, sizeof identifier, &parsed, &status);
    if (U_SUCCESS(status) && status != U_STRING_NOT_TERMINATED_WARNING && length > 0 &&
        parsed == tag.size())
        return QByteArray(identifier, length);
    return tag;
}

} // namespace

namespace GalleryTexts {

QString ownName(const QString &language) {
    const QByteArray identifier = icuIdentifier(language);
    UChar buffer[256];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = uloc_getDisplayName(identifier.constData(), identifier.constData(),
                                               buffer, int32_t(std::size(buffer)), &status);
    if (U_FAILURE(status) || status == U_USING_DEFAULT_WARNING || length <= 0)
        return language;
    const QString name = QString::fromUtf16(reinterpret_cast<const char16_t *>(buffer), length);
    if (name.compare(QString::fromUtf8(identifier), Qt::CaseInsensitive) == 0)
        return language;
    const QLocale locale(QString::fromUtf8(identifier));
    return locale.toUpper(name.left(1)) + name.mid(1);
}

QString progressLine(int number, int total, const QString &language, const QString &region) {
    return QStringLiteral("%1 of %2 — %3 (%4)")
        .arg(QString::number(number), QString::number(total), ownName(language), region);
}

QString summary(int succeeded, int failed, int unsettled, int total, bool stopped) {
    const int done = succeeded + failed + unsettled;
    if (stopped)
        return QStringLiteral("Stopped after %1 of %2 languages.")
            .arg(QString::number(done), QString::number(total));
    if (failed == 0 && unsettled == 0)
        return total == 1 ? QStringLiteral("Captured 1 language.")
                          : QStringLiteral("Captured %1 languages.").arg(total);
    QStringList problems;
    if (failed > 0)
        problems << QStringLiteral("%1 failed").arg(failed);
    if (unsettled > 0)
        problems << QStringLiteral("%1 did not settle").arg(unsettled);
    return QStringLiteral("Captured %1 of %2 languages: %3.")
        .arg(QString::number(succeeded), QString::number(total),
             problems.join(QStringLiteral(", ")));
}

} // namespace GalleryTexts
