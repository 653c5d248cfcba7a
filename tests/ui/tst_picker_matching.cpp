#include "ui/PickerMatching.h"

#include <QTest>

namespace {

// Labels as the language picker shows them: an English name and the code in parentheses.
QString label(const QString &code) {
    static const QHash<QString, QString> names = {
        {QStringLiteral("de"), QStringLiteral("German")},
        {QStringLiteral("de-CH"), QStringLiteral("Swiss High German")},
        {QStringLiteral("en"), QStringLiteral("English")},
        {QStringLiteral("fr"), QStringLiteral("French")},
        {QStringLiteral("ja"), QStringLiteral("Japanese")},
        {QStringLiteral("nl"), QStringLiteral("Dutch")},
        {QStringLiteral("x2"), QStringLiteral("Lang 2")},
        {QStringLiteral("x10"), QStringLiteral("Lang 10")},
    };
    if (code == QLatin1String("p") || code == QLatin1String("q"))
        return QStringLiteral("Twin"); // two codes with one label
    const QString name = names.value(code, code);
    return name + QStringLiteral(" (") + code + QLatin1Char(')');
}

} // namespace

class PickerMatchingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void apps_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("empty lists all") << QString() << QList<int>{0, 1, 2};
        QTest::newRow("blanks list all") << QStringLiteral("  \t\n") << QList<int>{0, 1, 2};
        QTest::newRow("name, any case") << QStringLiteral("SAFARI") << QList<int>{1};
        QTest::newRow("bundle id only") << QStringLiteral("mobilesafari") << QList<int>{1};
        QTest::newRow("trimmed") << QStringLiteral("  notes\n") << QList<int>{0};
        QTest::newRow("several keep order") << QStringLiteral("com.") << QList<int>{0, 1, 2};
        QTest::newRow("none") << QStringLiteral("xyz") << QList<int>{};
    }
    void apps() {
        QFETCH(QString, query);
        QFETCH(QList<int>, expected);
        const QStringList names = {QStringLiteral("Quill Notes"), QStringLiteral("Safari"),
                                   QStringLiteral("Café Crème")};
        const QStringList ids = {QStringLiteral("com.example.QuillNotes"),
                                 QStringLiteral("com.apple.mobilesafari"),
                                 QStringLiteral("com.example.CafeCreme")};
        QCOMPARE(PickerMatching::matchingApps(names, ids, query), expected);
    }

    void languages_data() {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("expected");
        const QStringList some = {QStringLiteral("fr"), QStringLiteral("de"), QStringLiteral("en"),
                                  QStringLiteral("de-CH"), QStringLiteral("nl")};
        QTest::newRow("sorted by label")
            << some << QString() << QStringList{"nl", "en", "fr", "de", "de-CH"};
        QTest::newRow("de in name or code, any case")
            << some << QStringLiteral("de") << QStringList{"de", "de-CH"};
        QTest::newRow("by English name") << some << QStringLiteral("ENGL") << QStringList{"en"};
        QTest::newRow("blanks list all")
            << some << QStringLiteral("   ") << QStringList{"nl", "en", "fr", "de", "de-CH"};
        QTest::newRow("numbers sort numerically")
            << QStringList{"x10", "x2"} << QString() << QStringList{"x2", "x10"};
        QTest::newRow("equal labels keep input order")
            << QStringList{"q", "p"} << QStringLiteral("twin") << QStringList{"q", "p"};
        QTest::newRow("no match") << some << QStringLiteral("zz") << QStringList{};
    }
    void languages() {
        QFETCH(QStringList, codes);
        QFETCH(QString, query);
        QFETCH(QStringList, expected);
        QCOMPARE(PickerMatching::matchingLanguages(codes, query, &label), expected);
    }

    void myApps_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QList<int>>("apps");
        QTest::addColumn<QStringList>("unloaded");
        QTest::newRow("empty lists everything")
            << QString() << QList<int>{0, 1} << QStringList{"com.a.Early", "com.z.Late"};
        QTest::newRow("case-insensitive name")
            << QStringLiteral("quill") << QList<int>{0} << QStringList{};
        QTest::newRow("trailing space is kept")
            << QStringLiteral("Quill ") << QList<int>{0} << QStringList{};
        QTest::newRow("trailing space matches only with a space")
            << QStringLiteral("Safari ") << QList<int>{} << QStringList{};
        QTest::newRow("identifier search covers unloaded")
            << QStringLiteral("late") << QList<int>{} << QStringList{"com.z.Late"};
    }
    void myApps() {
        QFETCH(QString, search);
        QFETCH(QList<int>, apps);
        QFETCH(QStringList, unloaded);
        const QStringList names = {QStringLiteral("Quill Notes"), QStringLiteral("Safari")};
        const QStringList ids = {QStringLiteral("com.example.QuillNotes"),
                                 QStringLiteral("com.apple.mobilesafari")};
        // Added in the opposite of text order; the loaded one never shows as unloaded.
        const QSet<QString> myApps = {QStringLiteral("com.z.Late"), QStringLiteral("com.a.Early"),
                                      QStringLiteral("com.example.QuillNotes")};
        QCOMPARE(PickerMatching::matchingMyApps(names, ids, search), apps);
        QCOMPARE(PickerMatching::unloadedIdentifiers(myApps, ids, search), unloaded);
    }
};

QTEST_GUILESS_MAIN(PickerMatchingTest)
#include "tst_picker_matching.moc"
