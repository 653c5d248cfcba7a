#include "BundleFixture.h"
#include "metadata/AppLanguages.h"
#include "metadata/DirectoryListing.h"
#include "tools/Error.h"

#include <QTest>

#include <unistd.h>

using namespace BundleFixture;

class TestAppLanguages : public QObject {
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void notABundle_data();
    void notABundle();
    void listingFailure_data();
    void listingFailure();
    void unreadableResources();
    void label_data();
    void label();
};

void TestAppLanguages::read_data() {
    QTest::addColumn<QString>("infoPath"); // where Info.plist goes, empty for none
    QTest::addColumn<QByteArray>("info");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("expected");

    const auto info = [](const QVariantMap &map) { return xmlPlist(map); };
    const QString ios = QStringLiteral("Info.plist");
    const QString mac = QStringLiteral("Contents/Info.plist");

    QTest::newRow("localizations, Info.plist and folders merge")
        << ios
        << info({{"CFBundleLocalizations", QStringList{"en", "fr"}},
                 {"CFBundleDevelopmentRegion", "en"}})
        << QStringList{"Base.lproj/", "en.lproj/", "de.lproj/", "fr.lproj/"}
        << QStringList{"de", "en", "fr"};
    QTest::newRow("legacy English stays apart from en")
        << ios << info({{"CFBundleDevelopmentRegion", "en"}})
        << QStringList{"English.lproj/", "de.lproj/"} << QStringList{"English", "de", "en"};
    QTest::newRow("pt-BR and pt_BR are two languages")
        << QString() << QByteArray() << QStringList{"pt_BR.lproj/", "pt-BR.lproj/"}
        << QStringList{"pt-BR", "pt_BR"};
    QTest::newRow("CFBundleLocalizations as a single string is ignored")
        << ios << info({{"CFBundleLocalizations", "fr"}}) << QStringList{"de.lproj/"}
        << QStringList{"de"};
    QTest::newRow("CFBundleLocalizations with a non-string member is ignored")
        << ios << info({{"CFBundleLocalizations", QVariantList{"fr", 3}}})
        << QStringList{"de.lproj/"} << QStringList{"de"};
    QTest::newRow("only Base gives nothing")
        << QString() << QByteArray() << QStringList{"Base.lproj/"} << QStringList();
    QTest::newRow("Base in any case and empty names are dropped")
        << ios
        << info({{"CFBundleDevelopmentRegion", "BASE"}, {"CFBundleLocalizations", QStringList{""}}})
        << QStringList{"base.lproj/", ".lproj/"} << QStringList();
    QTest::newRow("extension is case-sensitive")
        << QString() << QByteArray() << QStringList{"de.LPROJ/", "fr.Lproj/", "it.lproj.bak/"}
        << QStringList();
    QTest::newRow("plain file and hidden entry count")
        << QString() << QByteArray() << QStringList{"x.lproj", ".fr.lproj/"}
        << QStringList{".fr", "x"};
    QTest::newRow("code-point order beyond the BMP")
        << QString() << QByteArray()
        << QStringList{QString::fromUtf8("\xF0\x9D\x92\x9C.lproj/"), QString::fromUtf8("ｆ.lproj/")}
        << QStringList{QString::fromUtf8("ｆ"), QString::fromUtf8("\xF0\x9D\x92\x9C")};
    QTest::newRow("Mac layout lists Contents/Resources only")
        << mac << info({{"CFBundleDevelopmentRegion", "ja"}})
        << QStringList{"Contents/Resources/de.lproj/", "en.lproj/", "Contents/fr.lproj/"}
        << QStringList{"de", "ja"};
    QTest::newRow("Mac layout without Resources lists the bundle folder")
        << mac << info({{"CFBundleLocalizations", QStringList{"it"}}}) << QStringList{"fr.lproj/"}
        << QStringList{"fr", "it"};
    QTest::newRow("unreadable Info.plist is no information dictionary")
        << ios << QByteArray("<plist><dict><key>") << QStringList{"de.lproj/"} << QStringList{"de"};
    QTest::newRow("Info.plist that is not a dictionary is ignored")
        << ios << xmlPlist(QStringList{"fr"}) << QStringList{"de.lproj/"} << QStringList{"de"};
}

void TestAppLanguages::read() {
    QFETCH(QString, infoPath);
    QFETCH(QByteArray, info);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, expected);

    QTemporaryDir folder;
    const QString bundle = folder.filePath(QStringLiteral("Sample.app"));
    QVERIFY(QDir().mkpath(bundle));
    if (!infoPath.isEmpty())
        QVERIFY(writeFile(bundle + QLatin1Char('/') + infoPath, info));
    createEntries(bundle, entries);

    QCOMPARE(AppLanguages::read(bundle), expected);
}

void TestAppLanguages::notABundle_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("createFile");
    QTest::newRow("missing path") << "Missing.app" << false;
    QTest::newRow("plain file") << "File.app" << true;
    QTest::newRow("empty path") << "" << false;
}

void TestAppLanguages::notABundle() {
    QFETCH(QString, name);
    QFETCH(bool, createFile);
    QTemporaryDir folder;
    const QString path = name.isEmpty() ? QString() : folder.filePath(name);
    if (createFile)
        QVERIFY(writeFile(path, "not a bundle"));
    try {
        AppLanguages::read(path);
        QFAIL("read() did not throw");
    } catch (const PlatformError &error) {
        QCOMPARE(
            error.description(),
            QStringLiteral("The file couldn’t be opened because it isn’t in the correct format."));
    }
}

void TestAppLanguages::listingFailure_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("createFile");
    QTest::addColumn<QString>("expected");
    QTest::newRow("missing folder")
        << "Resources" << false << "The folder “Resources” doesn’t exist.";
    QTest::newRow("plain file") << "Resources" << true
                                << "The file “Resources” couldn’t be opened.";
}

void TestAppLanguages::listingFailure() {
    QFETCH(QString, name);
    QFETCH(bool, createFile);
    QFETCH(QString, expected);
    QTemporaryDir folder;
    const QString path = folder.filePath(name);
    if (createFile)
        QVERIFY(writeFile(path, "x"));
    try {
        listDirectory(path);
        QFAIL("listDirectory() did not throw");
    } catch (const PlatformError &error) {
        QCOMPARE(error.description(), expected);
    }
}

void TestAppLanguages::unreadableResources() {
    if (::geteuid() == 0)
        QSKIP("Permissions do not restrict the superuser");
    QTemporaryDir folder;
    const QString bundle = folder.filePath(QStringLiteral("Locked.app"));
    createEntries(bundle, {"Contents/Resources/de.lproj/"});
    QFile resources(bundle + QStringLiteral("/Contents/Resources"));
    QVERIFY(resources.setPermissions(QFile::ExeOwner));
    try {
        AppLanguages::read(bundle);
        resources.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFAIL("read() did not throw");
    } catch (const PlatformError &error) {
        resources.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(error.description(),
                 QStringLiteral("The file “Resources” couldn’t be opened because you don’t have "
                                "permission to view it."));
    }
}

void TestAppLanguages::label_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("expected");
    QTest::newRow("language") << "de"
                              << "German (de)";
    QTest::newRow("language tag with region") << "pt-BR"
                                              << "Portuguese (Brazil) (pt-BR)";
    QTest::newRow("language tag with script") << "zh-Hans"
                                              << "Chinese (Simplified) (zh-Hans)";
    QTest::newRow("underscore form") << "pt_BR"
                                     << "Portuguese (Brazil) (pt_BR)";
    QTest::newRow("unknown code") << "xx-Fake"
                                  << "xx-Fake (xx-Fake)";
    QTest::newRow("unknown region") << "de-XX"
                                    << "de-XX (de-XX)";
    QTest::newRow("legacy name") << "English"
                                 << "English (English)";
    QTest::newRow("empty") << ""
                           << " ()";
}

void TestAppLanguages::label() {
    QFETCH(QString, code);
    QFETCH(QString, expected);
    QCOMPARE(AppLanguages::label(code), expected);
}

QTEST_GUILESS_MAIN(TestAppLanguages)
#include "tst_applanguages.moc"
