// The localization check against real bundles on disk, with string tables in all three
// property-list forms.
#include "BundleFixture.h"

#include "metadata/LocalizationCheck.h"
#include "tools/Error.h"

#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <plist/plist.h>

#include <cstdlib>

namespace {

QByteArray xmlPlist(const QString &body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC \"-//Apple//DTD "
           "PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">" +
           body.toUtf8() + "</plist>\n";
}

// An Info.plist: the development region and, unless empty, CFBundleLocalizations.
QByteArray infoPlist(const QString &development, const QStringList &listed) {
    QString body = QStringLiteral("<dict><key>CFBundleDevelopmentRegion</key><string>%1</string>")
                       .arg(development);
    if (!listed.isEmpty()) {
        body += QStringLiteral("<key>CFBundleLocalizations</key><array>");
        for (const QString &language : listed)
            body += QStringLiteral("<string>%1</string>").arg(language);
        body += QStringLiteral("</array>");
    }
    return xmlPlist(body + QStringLiteral("</dict>"));
}

// A plural table with the given keys, as XML or binary.
QByteArray stringsdict(const QStringList &keys, bool binary) {
    QString body = QStringLiteral("<dict>");
    for (const QString &key : keys)
        body += QStringLiteral("<key>%1</key><dict><key>NSStringLocalizedFormatKey</key>"
                               "<string>%#@n@</string></dict>")
                    .arg(key);
    const QByteArray xml = xmlPlist(body + QStringLiteral("</dict>"));
    if (!binary)
        return xml;
    plist_t root = nullptr;
    plist_from_xml(xml.constData(), uint32_t(xml.size()), &root);
    char *bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &bytes, &length);
    const QByteArray result(bytes, length);
    std::free(bytes); // libplist 2.2 allocates with malloc
    plist_free(root);
    return result;
}

QByteArray utf16Strings(const QString &text) {
    QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

// Files of an iOS bundle (flat): path → contents.
using Files = QList<std::pair<QString, QByteArray>>;

const QByteArray englishStrings = "/* Greeting */\n\"hello\" = \"Hello\";\n\"bye\" = \"Bye\";\n"
                                  "\"thanks\" = \"Thanks\";\n";

} // namespace

class LocalizationCheckTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void problemsOfBundles_data();
    void problemsOfBundles();
    void comparesTablesAcrossForms();
    void unreadableTableIsNamedNotFatal();
    void summaryAndText();
    void notABundleThrows();
};

void LocalizationCheckTest::problemsOfBundles_data() {
    QTest::addColumn<Files>("files");
    QTest::addColumn<QStringList>("problems");

    const QByteArray base = englishStrings;
    QTest::newRow("listed without folder, folder not listed")
        << Files{{"Info.plist", infoPlist("en", {"en", "de", "nb"})},
                 {"en.lproj/Localizable.strings", base},
                 {"de.lproj/Localizable.strings", base},
                 {"fr.lproj/Localizable.strings", base}}
        << QStringList{"fr: not listed in CFBundleLocalizations", "nb: no .lproj folder"};
    QTest::newRow("no CFBundleLocalizations: folders are not judged against it")
        << Files{{"Info.plist", infoPlist("en", {})},
                 {"en.lproj/Localizable.strings", base},
                 {"fr.lproj/Localizable.strings", base}}
        << QStringList{};
    QTest::newRow("development language without folder, Base is the reference")
        << Files{{"Info.plist", infoPlist("en", {})},
                 {"Base.lproj/Localizable.strings", base},
                 {"de.lproj/Localizable.strings", "\"hello\" = \"Hallo\";"}}
        << QStringList{"de: 2 strings missing", "en: development language has no .lproj folder"};
    QTest::newRow("a whole table missing counts every key")
        << Files{{"Info.plist", infoPlist("en", {})},
                 {"en.lproj/Localizable.strings", base},
                 {"en.lproj/InfoPlist.strings", "\"CFBundleDisplayName\" = \"Notes\";"},
                 {"ja.lproj/Localizable.strings", base}}
        << QStringList{"ja: 1 string missing"};
    QTest::newRow("an empty folder lacks everything; Base is never a language")
        << Files{{"Info.plist", infoPlist("en", {})},
                 {"en.lproj/Localizable.strings", base},
                 {"Base.lproj/Main.strings", "\"x\" = \"y\";"},
                 {"ko.lproj/", {}}}
        << QStringList{"ko: 3 strings missing"};
}

void LocalizationCheckTest::problemsOfBundles() {
    QFETCH(Files, files);
    QFETCH(QStringList, problems);
    QTemporaryDir bundle;
    for (const auto &[path, bytes] : files) {
        if (path.endsWith(QLatin1Char('/')))
            BundleFixture::createEntries(bundle.path(), {path});
        else
            QVERIFY(BundleFixture::writeFile(bundle.filePath(path), bytes));
    }
    QCOMPARE(LocalizationCheck::run(bundle.path()).problems(), problems);
}

void LocalizationCheckTest::comparesTablesAcrossForms() {
    // Text strings in UTF-8 and UTF-16, plural tables as XML and binary: one table per name.
    QTemporaryDir bundle;
    QVERIFY(BundleFixture::writeFile(bundle.filePath("Info.plist"), infoPlist("en", {})));
    QVERIFY(
        BundleFixture::writeFile(bundle.filePath("en.lproj/Localizable.strings"), englishStrings));
    QVERIFY(BundleFixture::writeFile(bundle.filePath("en.lproj/Localizable.stringsdict"),
                                     stringsdict({"files.count", "notes.count"}, false)));
    QVERIFY(BundleFixture::writeFile(bundle.filePath("fr.lproj/Localizable.strings"),
                                     utf16Strings("\"hello\" = \"Bonjour\";\n")));
    QVERIFY(BundleFixture::writeFile(bundle.filePath("fr.lproj/Localizable.stringsdict"),
                                     stringsdict({"notes.count"}, true)));
    QVERIFY(BundleFixture::writeFile(bundle.filePath("fr.lproj/Extra.strings"), "\"a\" = \"b\";"));

    const LocalizationReport report = LocalizationCheck::run(bundle.path());
    QCOMPARE(report.referenceFolder, QStringLiteral("en"));
    QCOMPARE(report.languages.size(), 2);
    const LanguageLocalization &french = report.languages[1];
    QCOMPARE(french.language, QStringLiteral("fr"));
    QCOMPARE(french.tables.size(), 2);
    QCOMPARE(french.tables[0].name, QStringLiteral("Extra"));
    QCOMPARE(french.tables[0].referenceKeyCount, 0);
    const LocalizationTable &localizable = french.tables[1];
    QCOMPARE(localizable.keyCount, 2);
    QCOMPARE(localizable.referenceKeyCount, 5);
    QCOMPARE(localizable.missingKeys, (QStringList{"bye", "files.count", "thanks"}));
    QVERIFY(report.text().contains(QStringLiteral("fr: 3 of 5 strings missing in Localizable")));
    QCOMPARE(report.languages[0].missingCount(), 0);
}

void LocalizationCheckTest::unreadableTableIsNamedNotFatal() {
    QTemporaryDir bundle;
    QVERIFY(BundleFixture::writeFile(bundle.filePath("Info.plist"), infoPlist("en", {})));
    QVERIFY(
        BundleFixture::writeFile(bundle.filePath("en.lproj/Localizable.strings"), englishStrings));
    QVERIFY(BundleFixture::writeFile(bundle.filePath("en.lproj/Menu.strings"), "\"m\" = \"M\";"));
    // A missing semicolon, and a plural table that is an array.
    QVERIFY(BundleFixture::writeFile(bundle.filePath("de.lproj/Localizable.strings"),
                                     "\"hello\" = \"Hallo\"\n\"bye\" = \"Tschüss\";"));
    QVERIFY(BundleFixture::writeFile(bundle.filePath("de.lproj/Menu.stringsdict"),
                                     xmlPlist("<array/>")));

    const LocalizationReport report = LocalizationCheck::run(bundle.path());
    QCOMPARE(report.problems(), (QStringList{"de: Localizable.strings could not be read",
                                             "de: Menu.stringsdict could not be read"}));
    const LocalizationTable &table = report.languages[0].tables[0];
    QCOMPARE(table.unreadableFiles.size(), 1);
    QVERIFY2(table.unreadableFiles[0].reason.contains(QStringLiteral("line 2")),
             qPrintable(table.unreadableFiles[0].reason));
}

void LocalizationCheckTest::summaryAndText() {
    QTemporaryDir bundle;
    QVERIFY(BundleFixture::writeFile(bundle.filePath("Info.plist"),
                                     infoPlist("en", {"en", "fr", "nb"})));
    QString english;
    QString french;
    for (int i = 0; i < 240; ++i) {
        english += QStringLiteral("\"k%1\" = \"v\";\n").arg(i);
        if (i >= 12)
            french += QStringLiteral("\"k%1\" = \"v\";\n").arg(i);
    }
    QVERIFY(BundleFixture::writeFile(bundle.filePath("en.lproj/Localizable.strings"),
                                     english.toUtf8()));
    QVERIFY(
        BundleFixture::writeFile(bundle.filePath("fr.lproj/Localizable.strings"), french.toUtf8()));
    const LocalizationReport report = LocalizationCheck::run(bundle.path());
    QCOMPARE(report.summary(),
             QStringLiteral("2 problems — fr: 12 strings missing; nb: no .lproj folder"));
    QVERIFY(report.text().contains(QStringLiteral("fr: 12 of 240 strings missing in Localizable")));

    QTemporaryDir clean;
    QVERIFY(BundleFixture::writeFile(clean.filePath("Info.plist"), infoPlist("en", {})));
    QVERIFY(
        BundleFixture::writeFile(clean.filePath("en.lproj/Localizable.strings"), "\"a\"=\"b\";"));
    QCOMPARE(LocalizationCheck::run(clean.path()).summary(),
             QStringLiteral("No localization problems found."));
}

void LocalizationCheckTest::notABundleThrows() {
    QTemporaryDir folder;
    QVERIFY_THROWS_EXCEPTION(PlatformError, LocalizationCheck::run(folder.filePath("missing.app")));
}

QTEST_GUILESS_MAIN(LocalizationCheckTest)
#include "tst_localizationcheck.moc"
