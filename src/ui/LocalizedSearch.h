#pragma once

#include <QLocale>
#include <QString>

struct UCollator;
struct UStringSearch;

// Localized, case-insensitive containment as a user expects it in a search field: both texts
// are case-folded in full (so "STRASSE" finds "Straße"; Turkish and Azeri fold their dotted
// and dotless i as those languages do), then compared by ICU string search with the collator
// of the given locale at secondary strength, so accents count and canonically equivalent
// spellings match. Prepared once per search text and then asked about many texts.
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
