#include "tools/NaturalOrder.h"

#include <unicode/coll.h>
#include <unicode/locid.h>

struct NaturalOrder::Collation {
    std::unique_ptr<icu::Collator> collator;
};

namespace {

std::unique_ptr<icu::Collator> makeCollator(const icu::Locale &locale) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(locale, status));
    if (U_FAILURE(status) || !collator)
        return nullptr;
    // Secondary strength tells accents apart but not letter case (or character width).
    collator->setStrength(icu::Collator::SECONDARY);
    collator->setAttribute(UCOL_NUMERIC_COLLATION, UCOL_ON, status);
    if (U_FAILURE(status))
        return nullptr;
    return collator;
}

} // namespace

NaturalOrder::NaturalOrder(const QLocale &locale)
    : m_collation(std::make_unique<Collation>()) {
    const QByteArray tag = locale.bcp47Name().toLatin1();
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale icuLocale = icu::Locale::forLanguageTag(tag.constData(), status);
    if (U_SUCCESS(status))
        m_collation->collator = makeCollator(icuLocale);
    if (!m_collation->collator)
        m_collation->collator = makeCollator(icu::Locale::getRoot());
}

NaturalOrder::~NaturalOrder() = default;

int NaturalOrder::compare(const QString &a, const QString &b) const {
    if (!m_collation->collator) // no collation data at all: still case-insensitive
        return a.compare(b, Qt::CaseInsensitive);
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult result = m_collation->collator->compare(
        reinterpret_cast<const UChar *>(a.utf16()), int32_t(a.size()),
        reinterpret_cast<const UChar *>(b.utf16()), int32_t(b.size()), status);
    if (U_FAILURE(status))
        return a.compare(b, Qt::CaseInsensitive);
    return int(result);
}
