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
    void read_data() {
        QTest::addColumn<QString>("infoPath"); // where Info.plist goes; empty for none
        QTest::addColumn<QByteArray>("info");
        QTest::addColumn<QStringList>("entries"); // "x/" is a folder, "x" an empty file
        QTest::addColumn<QStringList>("expected");
        const QString ios = "Info.plist", mac = "Contents/Info.plist";
        const QString U1D49C = QString::fromUtf8("\xF0\x9D\x92\x9C"),
                      UFF46 = QString::fromUtf8("ｆ");
        const QStringList de{"de.lproj/"}, none;
        // clang-format off
        QTest::newRow("all sources merge, legacy English apart") << ios << QByteArray("{CFBundleLocalizations = (en, fr); CFBundleDevelopmentRegion = en;}")
            << QStringList{"Base.lproj/", "English.lproj/", "de.lproj/", "fr.lproj/"} << QStringList{"English", "de", "en", "fr"};
        QTest::newRow("pt-BR and pt_BR") << "" << QByteArray() << QStringList{"pt_BR.lproj/", "pt-BR.lproj/"} << QStringList{"pt-BR", "pt_BR"};
        QTest::newRow("single-string CFBundleLocalizations") << ios << QByteArray("{CFBundleLocalizations = fr;}") << de << QStringList{"de"};
        QTest::newRow("CFBundleLocalizations with a number") << ios
            << QByteArray("<plist><dict><key>CFBundleLocalizations</key><array><string>fr</string><integer>3</integer></array></dict></plist>") << de << QStringList{"de"};
        QTest::newRow("any case of base, empty names") << ios << QByteArray("{CFBundleDevelopmentRegion = BASE;}") << QStringList{"base.lproj/", ".lproj/"} << none;
        QTest::newRow("extension is case-sensitive") << "" << QByteArray() << QStringList{"de.LPROJ/", "it.lproj.bak/"} << none;
        QTest::newRow("plain file and hidden entry count") << "" << QByteArray() << QStringList{"x.lproj", ".fr.lproj/"} << QStringList{".fr", "x"};
        QTest::newRow("code-point order beyond the BMP") << "" << QByteArray() << QStringList{U1D49C + ".lproj/", UFF46 + ".lproj/"} << QStringList{UFF46, U1D49C};
        QTest::newRow("Mac layout lists Contents/Resources") << mac << QByteArray("{CFBundleDevelopmentRegion = ja;}")
            << QStringList{"Contents/Resources/de.lproj/", "en.lproj/"} << QStringList{"de", "ja"};
        QTest::newRow("no resource folder: bundle folder listed") << mac << QByteArray("{CFBundleLocalizations = (it);}") << QStringList{"fr.lproj/"} << QStringList{"fr", "it"};
        QTest::newRow("unreadable Info.plist") << ios << QByteArray("{CFBundleLocalizations = (fr") << de << QStringList{"de"};
        QTest::newRow("Info.plist not a dictionary") << ios << QByteArray("(fr)") << de << QStringList{"de"};
        // clang-format on
    }
    void read() {
        QFETCH(QString, infoPath);
        QFETCH(QByteArray, info);
        QFETCH(QStringList, entries);
        QTemporaryDir folder;
        const QString bundle = folder.filePath("Sample.app");
        if (!infoPath.isEmpty())
            QVERIFY(writeFile(bundle + "/" + infoPath, info));
        createEntries(bundle, entries);
        QTEST(AppLanguages::read(bundle), "expected");
    }

    // A path that is no bundle, and a folder that cannot be listed, fail with the platform's words.
    void failures() {
        QTemporaryDir folder;
        QVERIFY(writeFile(folder.filePath("File"), "x"));
        const auto error = [&](auto read, const QString &name) -> QString {
            try {
                read(name.isEmpty() ? QString() : folder.filePath(name));
            } catch (const PlatformError &error) {
                return error.description();
            }
            return "no error thrown";
        };
        const QString corrupt =
            "The file couldn’t be opened because it isn’t in the correct format.";
        QCOMPARE(error(AppLanguages::read, "Missing.app"), corrupt);
        QCOMPARE(error(AppLanguages::read, "File"), corrupt);
        QCOMPARE(error(AppLanguages::read, ""), corrupt);
        QCOMPARE(error(listDirectory, "Missing"), "The folder “Missing” doesn’t exist.");
        QCOMPARE(error(listDirectory, "File"), "The file “File” couldn’t be opened.");
    }

    // The names themselves are ICU's; ours is which codes get one, and the layout.
    void label_data() {
        QTest::addColumn<QString>("sameNameAs"); // the other spelling of the code; empty: no name
        QTest::newRow("de") << "de";
        QTest::newRow("zh-Hans") << "zh_Hans";
        QTest::newRow("pt_BR") << "pt-BR";
        QTest::newRow("xx-Fake") << "";
        QTest::newRow("de-XX") << "";
        QTest::newRow("English") << "";
    }
    void label() {
        QFETCH(QString, sameNameAs);
        const QString code = QString::fromUtf8(QTest::currentDataTag());
        const QString label = AppLanguages::label(code);
        QVERIFY2(label.endsWith(" (" + code + ")"), qPrintable(label));
        const QString name = label.chopped(code.size() + 3);
        if (sameNameAs.isEmpty()) {
            QCOMPARE(name, code); // no name: the code twice
        } else {
            QVERIFY2(!name.isEmpty() && !name.contains(code), qPrintable(label));
            QCOMPARE(AppLanguages::label(sameNameAs), name + " (" + sameNameAs + ")");
        }
    }
};

QTEST_GUILESS_MAIN(TestAppLanguages)
#include "tst_applanguages.moc"
