#include "ui/LocalizedSearch.h"
#include "ui/PickerMatching.h"

#include <QTest>

namespace {

// Labels as the language picker shows them: an English name and the code in parentheses.
QString label(const QString &code) {
    static const QHash<QString, QString> names = {{"de", "German"},  {"de-CH", "Swiss High German"},
                                                  {"en", "English"}, {"fr", "French"},
                                                  {"nl", "Dutch"},   {"x2", "Lang 2"},
                                                  {"x10", "Lang 10"}};
    if (code == "p" || code == "q")
        return "Twin"; // two codes with one label
    return names.value(code, code) + " (" + code + ")";
}

const QStringList appNames = {"Quill Notes", "Safari", "Café Crème", "Straßenbahn"};
const QStringList appIDs = {"com.example.QuillNotes", "com.apple.mobilesafari",
                            "com.example.CafeCreme", "com.example.Tram"};

} // namespace

class PickerMatchingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void apps_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("blanks list all, in order") << "  \t\n" << QList<int>{0, 1, 2, 3};
        QTest::newRow("name, any case") << "SAFARI" << QList<int>{1};
        QTest::newRow("bundle id only") << "mobilesafari" << QList<int>{1};
        QTest::newRow("trimmed") << "  notes\n" << QList<int>{0};
        QTest::newRow("none") << "xyz" << QList<int>{};
        // Compared as the user's language does: ß and ss are one, accents are not ignored.
        QTest::newRow("ss finds ß") << "STRASSEN" << QList<int>{3};
        QTest::newRow("accented capital") << "CRÈME" << QList<int>{2};
        QTest::newRow("accents count") << "CAFÈ" << QList<int>{};
    }
    void apps() {
        QFETCH(QString, query);
        QTEST(PickerMatching::matchingApps(appNames, appIDs, query), "expected");
    }

    // Whatever the user's language, a search finds the texts that contain it: a letter that the
    // language's collation joins with the next one ("ch", "sz", "aa") still finds the pair; case
    // is folded as the language does (Turkish dotted and dotless i), accents count.
    void search_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("needle");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("found");
        const auto row = [](const char *name, const char *locale, QString needle, QString text,
                            bool found) {
            QTest::newRow(name) << locale << needle << text << found;
        };
        row("Czech c, Chrome", "cs_CZ", "c", "Chrome", true);
        row("Czech example.c, bundle identifier", "cs_CZ", "example.c", "com.example.Chat", true);
        row("Czech h inside ch", "cs_CZ", "hrom", "Chrome", true);
        row("Hungarian s, Szótár", "hu_HU", "s", "Szótár", true);
        row("Danish a, Aarhus", "da_DK", "a", "Aarhus", true);
        row("Danish aa, Aarhus", "da_DK", "AA", "Aarhus", true);
        row("German STRASSE, Straße", "de_DE", "STRASSE", "Straße", true);
        row("accents count", "fr_FR", "cafe", "Café", false);
        row("accent, other case", "fr_FR", "CAFÉ", "café crème", true);
        row("Turkish dotless i, capital I", "tr_TR", "ı", "IŞIK", true);
        row("Turkish i, not capital I", "tr_TR", "ik", "IŞIK", false);
        row("Turkish i, capital İ", "tr_TR", "izmir", "İZMİR", true);
        row("English i, capital I", "en_US", "ik", "IŞIK", true);
        row("Azeri dotless i, capital I", "az_AZ", "ı", "BAKI", true);
        row("canonically equivalent spellings", "fr_FR", "caf\u00e9", "cafe\u0301 cr\u00e8me",
            true);
        row("width does not count", "ja_JP", "abc", "\uff21\uff22\uff23", true);
        row("none", "cs_CZ", "x", "Chrome", false);
        row("empty text", "en_US", "a", "", false);
    }
    void search() {
        QFETCH(QString, locale);
        QFETCH(QString, needle);
        QFETCH(QString, text);
        LocalizedSearch search(needle, QLocale(locale));
        QTEST(search.isIn(text), "found");
    }

    void languages_data() {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("expected");
        const QStringList some = {"fr", "de", "en", "de-CH", "nl"};
        QTest::newRow("sorted by label")
            << some << "" << QStringList{"nl", "en", "fr", "de", "de-CH"};
        QTest::newRow("name or code") << some << "de" << QStringList{"de", "de-CH"};
        QTest::newRow("name, any case") << some << "ENGL" << QStringList{"en"};
        QTest::newRow("numbers sort numerically")
            << QStringList{"x10", "x2"} << "" << QStringList{"x2", "x10"};
        QTest::newRow("equal labels keep input order")
            << QStringList{"q", "p"} << "twin" << QStringList{"q", "p"};
    }
    void languages() {
        QFETCH(QStringList, codes);
        QFETCH(QString, query);
        QTEST(PickerMatching::matchingLanguages(codes, query, &label), "expected");
    }

    void myApps_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QList<int>>("apps");
        QTest::addColumn<QStringList>("unloaded");
        QTest::newRow("empty lists everything")
            << "" << QList<int>{0, 1} << QStringList{"com.a.Early", "com.z.Late"};
        QTest::newRow("case-insensitive name") << "quill" << QList<int>{0} << QStringList{};
        QTest::newRow("trailing space is kept") << "Quill " << QList<int>{0} << QStringList{};
        QTest::newRow("trailing space must match") << "Safari " << QList<int>{} << QStringList{};
        QTest::newRow("identifier search covers unloaded")
            << "late" << QList<int>{} << QStringList{"com.z.Late"};
    }
    void myApps() {
        QFETCH(QString, search);
        // Added in the opposite of text order; the loaded one never shows as unloaded.
        const QSet<QString> myApps = {"com.z.Late", "com.a.Early", "com.example.QuillNotes"};
        const QStringList names = appNames.first(2), ids = appIDs.first(2);
        QTEST(PickerMatching::matchingMyApps(names, ids, search), "apps");
        QTEST(PickerMatching::unloadedIdentifiers(myApps, ids, search), "unloaded");
    }
};

QTEST_GUILESS_MAIN(PickerMatchingTest)
#include "tst_picker_matching.moc"
