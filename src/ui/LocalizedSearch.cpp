#include "ui/LocalizedSearch.h"

#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/usearch.h>
#include <unicode/ustring.h>

namespace {

const UChar *utf16(const QString &text) {
    return reinterpret_cast<const UChar *>(text.utf16());
}

} // namespace

LocalizedSearch::LocalizedSearch(const QString &needle, const QLocale &locale) {
    const QLocale::Language language = locale.language();
    if (language == QLocale::Turkish || language == QLocale::Azerbaijani)
        m_foldOptions = U_FOLD_CASE_EXCLUDE_SPECIAL_I;
    m_needle = fold(needle);
    if (m_needle.isEmpty())
        return;
    UErrorCode status = U_ZERO_ERROR;
    // The root collation, not the locale's: a tailoring that joins letters into one ("ch" in
    // Czech, "sz" in Hungarian, "aa" in Danish) would keep "c" from finding "Chrome".
    m_collator = ucol_open("", &status);
    if (U_FAILURE(status))
        return;
    ucol_setStrength(m_collator, UCOL_SECONDARY);
    // The text is set for each question; a placeholder opens the search.
    static const UChar placeholder[] = {u' '};
    m_search = usearch_openFromCollator(utf16(m_needle), int32_t(m_needle.size()), placeholder, 1,
                                        m_collator, nullptr, &status);
    if (U_FAILURE(status)) {
        usearch_close(m_search);
        m_search = nullptr;
    }
}

LocalizedSearch::~LocalizedSearch() {
    usearch_close(m_search);
    ucol_close(m_collator);
}

QString LocalizedSearch::fold(const QString &text) const {
    // Full folding can make a text longer (ß becomes ss), at most three times as long.
    QString folded(text.size() * 3, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length =
        u_strFoldCase(reinterpret_cast<UChar *>(folded.data()), int32_t(folded.size()), utf16(text),
                      int32_t(text.size()), m_foldOptions, &status);
    if (U_FAILURE(status))
        return text.toCaseFolded();
    folded.truncate(length);
    return folded;
}

bool LocalizedSearch::isIn(const QString &text) {
    if (m_needle.isEmpty())
        return true;
    m_text = fold(text);
    if (m_text.isEmpty())
        return false;
    if (!m_search) // ICU without collation data: the folded texts as they are
        return m_text.contains(m_needle);
    UErrorCode status = U_ZERO_ERROR;
    usearch_setText(m_search, utf16(m_text), int32_t(m_text.size()), &status);
    const int32_t found = usearch_first(m_search, &status);
    return U_SUCCESS(status) && found != USEARCH_DONE;
}
