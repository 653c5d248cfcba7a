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
