#pragma once

#include <QLocale>
#include <QString>

struct UCollator;
struct UStringSearch;

// Localized, case-insensitive containment as a user expects it in a search field: both texts
// are case-folded in full (so "STRASSE" finds "Straße"; in a Turkish or Azeri locale the
// dotted and dotless i fold as those languages do), then compared by ICU string search with
// the root collation at secondary strength, so accents count and canonically equivalent
// spellings match. The locale's own collation is not used: it may join letters into one
// ("ch" in Czech), and then a search for the first of them would miss every text that has
// the pair. Prepared once per search text and then asked about many texts.
class LocalizedSearch {
public:
    explicit LocalizedSearch(const QString &needle, const QLocale &locale = QLocale());
    ~LocalizedSearch();
    LocalizedSearch(const LocalizedSearch &) = delete;
    LocalizedSearch &operator=(const LocalizedSearch &) = delete;

    // True when the needle is empty or occurs in `text`.
    bool isIn(const QString &text);

private:
    QString fold(const QString &text) const;

    unsigned m_foldOptions = 0;
    QString m_needle; // folded; ICU keeps pointing into it
    QString m_text;   // the folded text of the last question, likewise
    UCollator *m_collator = nullptr;
    UStringSearch *m_search = nullptr;
};
