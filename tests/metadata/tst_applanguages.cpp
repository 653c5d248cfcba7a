#include "BundleFixture.h"
#include "metadata/AppLanguages.h"
#include "metadata/DirectoryListing.h"
#include "tools/Error.h"

#include <QTemporaryDir>
#include <QTest>

using namespace BundleFixture;

class TestAppLanguages : public QObject {
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void failures_data();
    void failures();
    void label_data();
    void label();
};

void TestAppLanguages::read_data() {
    QTest::addColumn<QString>("infoPath"); // where Info.plist goes; empty for none
    QTest::addColumn<QByteArray>("info");
    QTest::addColumn<QStringList>("entries"); // "x/" is a folder, "x" an empty file
    QTest::addColumn<QStringList>("expected");
    const QString ios = "Info.plist", mac = "Contents/Info.plist";
    const QString U1D49C = QString::fromUtf8("\xF0\x9D\x92\x9C"), UFF46 = QString::fromUtf8("ｆ");
    const QStringList de{"de.lproj/"}, none;
    const QByteArray numberInArray =
        "<plist><dict><key>CFBundleLocalizations</key><array>"
        "<string>fr</string><integer>3</integer></array></dict></plist>";
    // clang-format off
    QTest::newRow("all sources merge") << ios << QByteArray("{CFBundleLocalizations = (en, fr); CFBundleDevelopmentRegion = en;}")
        << QStringList{"Base.lproj/", "en.lproj/", "de.lproj/", "fr.lproj/"} << QStringList{"de", "en", "fr"};
    QTest::newRow("legacy English stays apart from en") << ios << QByteArray("{CFBundleDevelopmentRegion = en;}")
        << QStringList{"English.lproj/", "de.lproj/"} << QStringList{"English", "de", "en"};
    QTest::newRow("pt-BR and pt_BR") << "" << QByteArray() << QStringList{"pt_BR.lproj/", "pt-BR.lproj/"} << QStringList{"pt-BR", "pt_BR"};
    QTest::newRow("single-string CFBundleLocalizations") << ios << QByteArray("{CFBundleLocalizations = fr;}") << de << QStringList{"de"};
    QTest::newRow("CFBundleLocalizations with a number") << ios << numberInArray << de << QStringList{"de"};
    QTest::newRow("only Base") << "" << QByteArray() << QStringList{"Base.lproj/"} << none;
    QTest::newRow("any case of base, empty names") << ios << QByteArray("{CFBundleDevelopmentRegion = BASE;}") << QStringList{"base.lproj/", ".lproj/"} << none;
    QTest::newRow("extension is case-sensitive") << "" << QByteArray() << QStringList{"de.LPROJ/", "it.lproj.bak/"} << none;
    QTest::newRow("plain file and hidden entry count") << "" << QByteArray() << QStringList{"x.lproj", ".fr.lproj/"} << QStringList{".fr", "x"};
    QTest::newRow("code-point order beyond the BMP") << "" << QByteArray() << QStringList{U1D49C + ".lproj/", UFF46 + ".lproj/"} << QStringList{UFF46, U1D49C};
    QTest::newRow("Mac layout lists Contents/Resources") << mac << QByteArray("{CFBundleDevelopmentRegion = ja;}")
        << QStringList{"Contents/Resources/de.lproj/", "en.lproj/"} << QStringList{"de", "ja"};
    QTest::newRow("no resource folder: bundle folder listed") << mac << QByteArray("{CFBundleLocalizations = (it);}")
        << QStringList{"fr.lproj/"} << QStringList{"fr", "it"};
    QTest::newRow("unreadable Info.plist") << ios << QByteArray("{CFBundleLocalizations = (fr") << de << QStringList{"de"};
    QTest::newRow("Info.plist not a dictionary") << ios << QByteArray("(fr)") << de << QStringList{"de"};
    // clang-format on
}

void TestAppLanguages::read() {
    QFETCH(QString, infoPath);
    QFETCH(QByteArray, info);
    QFETCH(QStringList, entries);
    QTemporaryDir folder;
    const QString bundle = folder.filePath("Sample.app");
    QVERIFY(QDir().mkpath(bundle));
    if (!infoPath.isEmpty())
        QVERIFY(writeFile(bundle + "/" + infoPath, info));
    createEntries(bundle, entries);
    QTEST(AppLanguages::read(bundle), "expected");
}

void TestAppLanguages::failures_data() {
    QTest::addColumn<QString>("entry"); // a file the temporary folder holds
    QTest::addColumn<QString>("path");  // "read:x" reads x as a bundle, "x" lists folder x
    QTest::addColumn<QString>("expected");
    const QString corrupt = "The file couldn’t be opened because it isn’t in the correct format.";
    // clang-format off
    QTest::newRow("missing bundle") << "" << "read:Missing.app" << corrupt;
    QTest::newRow("plain file as bundle") << "File.app" << "read:File.app" << corrupt;
    QTest::newRow("empty path") << "" << "read:" << corrupt;
    QTest::newRow("missing folder") << "" << "Resources" << "The folder “Resources” doesn’t exist.";
    QTest::newRow("file listed as a folder") << "Resources" << "Resources" << "The file “Resources” couldn’t be opened.";
    // clang-format on
}

void TestAppLanguages::failures() {
    QFETCH(QString, entry);
    QFETCH(QString, path);
    QTemporaryDir folder;
    if (!entry.isEmpty())
        QVERIFY(writeFile(folder.filePath(entry), "x"));
    const bool asBundle = path.startsWith("read:");
    const QString name = asBundle ? path.mid(5) : path;
    const QString fullPath = name.isEmpty() ? QString() : folder.filePath(name);
    try {
        asBundle ? AppLanguages::read(fullPath) : listDirectory(fullPath);
        QFAIL("no error thrown");
    } catch (const PlatformError &error) {
        QTEST(error.description(), "expected");
    }
}

void TestAppLanguages::label_data() {
    QTest::addColumn<QString>("expected"); // the row's tag is the code
    // clang-format off
    const char *const rows[][2] = {
        {"de", "German (de)"}, {"pt-BR", "Portuguese (Brazil) (pt-BR)"},
        {"zh-Hans", "Chinese (Simplified) (zh-Hans)"}, {"pt_BR", "Portuguese (Brazil) (pt_BR)"},
        {"xx-Fake", "xx-Fake (xx-Fake)"}, {"de-XX", "de-XX (de-XX)"}, {"English", "English (English)"}};
    // clang-format on
    for (const auto &row : rows)
        QTest::newRow(row[0]) << QString::fromUtf8(row[1]);
}

void TestAppLanguages::label() {
    QTEST(AppLanguages::label(QString::fromUtf8(QTest::currentDataTag())), "expected");
}

QTEST_GUILESS_MAIN(TestAppLanguages)
#include "tst_applanguages.moc"
