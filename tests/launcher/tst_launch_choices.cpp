// The plain rules behind faster relaunching: the next language, region completions from ICU,
// and the remembered list of recent launches.
#include "launcher/NextLanguage.h"
#include "launcher/RecentLaunches.h"
#include "launcher/RegionCompletions.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

RecentLaunch simulatorLaunch(const QString &bundleID, const QString &language = "de") {
    return RecentLaunch{false, "", "DEVICE", bundleID, bundleID, "iPhone", language, "de_CH", {}};
}

QStringList bundleIDs(const QList<RecentLaunch> &launches) {
    QStringList ids;
    for (const RecentLaunch &launch : launches)
        ids << launch.bundleID;
    return ids;
}

} // namespace

class LaunchChoicesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void nextLanguage_data() {
        QTest::addColumn<QStringList>("languages");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("next");
        const QStringList three{"de", "en", "pt-BR"};
        QTest::newRow("moves on") << three << "de"
                                  << "en";
        QTest::newRow("wraps from the last") << three << "pt-BR"
                                             << "de";
        QTest::newRow("unknown: the first") << three << "fr"
                                            << "de";
        QTest::newRow("empty choice: the first") << three << ""
                                                 << "de";
        QTest::newRow("one language stays") << QStringList{"ja"} << "ja"
                                            << "ja";
        QTest::newRow("none") << QStringList{} << "en"
                              << "";
    }

    void nextLanguage() {
        QFETCH(QStringList, languages);
        QFETCH(QString, current);
        QTEST(NextLanguage::after(languages, current), "next");
    }

    // The leading completions, and ones that must or must not be offered.
    void regionCompletions_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("leading");
        QTest::addColumn<QStringList>("included");
        QTest::addColumn<QStringList>("excluded");
        QTest::newRow("de") << "de" << QStringList{"de_DE", "de_AT", "de_BE", "de_CH"}
                            << QStringList{"de_LI", "de_LU"} << QStringList{"de", "en_DE"};
        QTest::newRow("bundle region first") << "pt-BR" << QStringList{"pt_BR", "pt_AO"}
                                             << QStringList{"pt_PT"} << QStringList{"pt"};
        QTest::newRow("old folder form") << "en_GB" << QStringList{"en_GB", "en_US"}
                                         << QStringList{"en_AU", "en_150"} << QStringList{};
        QTest::newRow("simplified script")
            << "zh-Hans" << QStringList{"zh_CN"} << QStringList{"zh_SG", "zh_Hans_HK"}
            << QStringList{"zh_TW", "zh_HK", "zh_Hant_TW"};
        QTest::newRow("traditional script")
            << "zh-Hant" << QStringList{"zh_TW"} << QStringList{"zh_HK", "zh_MO"}
            << QStringList{"zh_CN", "zh_Hant_TW"};
        QTest::newRow("unknown language")
            << "xx" << QStringList{} << QStringList{} << QStringList{};
        QTest::newRow("empty") << "" << QStringList{} << QStringList{} << QStringList{};
    }

    void regionCompletions() {
        QFETCH(QString, language);
        QFETCH(QStringList, leading);
        QFETCH(QStringList, included);
        QFETCH(QStringList, excluded);
        const QStringList codes = RegionCompletions::forLanguage(language);
        QCOMPARE(codes.mid(0, leading.size()), leading);
        QCOMPARE(codes.isEmpty(), leading.isEmpty());
        for (const QString &code : included)
            QVERIFY2(codes.contains(code), qPrintable(code));
        for (const QString &code : excluded)
            QVERIFY2(!codes.contains(code), qPrintable(code));
        QCOMPARE(QSet<QString>(codes.begin(), codes.end()).size(), codes.size());
    }

    // Newest first, a repeated launch moves up, ten at most, and all of it survives a restart
    // through an INI file, names with quotes and line breaks included.
    void recentLaunchesAreRemembered() {
        QTemporaryDir directory;
        QSettings store(directory.filePath("settings.ini"), QSettings::IniFormat);
        RecentLaunches recent(&store);
        QSignalSpy changes(&recent, &RecentLaunches::entriesChanged);
        for (int i = 0; i < 12; ++i)
            recent.add(simulatorLaunch(QString("app%1").arg(i)));
        recent.add(simulatorLaunch("app5"));
        recent.add(simulatorLaunch("app5", "fr")); // another language is another launch
        RecentLaunch mac{true, "/Apps/Ed \"1\"\n.app", "", "", "Ed \"1\"", "", "ja", "", {}};
        mac.options = LaunchOption::RightToLeftLayout | LaunchOption::BoundedStrings;
        recent.add(mac);
        QCOMPARE(changes.size(), 15);

        const QStringList expected{"",     "app5", "app5", "app11", "app10",
                                   "app9", "app8", "app7", "app6",  "app4"};
        QCOMPARE(bundleIDs(recent.entries()), expected);
        store.sync();
        QSettings reopened(directory.filePath("settings.ini"), QSettings::IniFormat);
        const QList<RecentLaunch> read = RecentLaunches(&reopened).entries();
        QCOMPARE(bundleIDs(read), expected);
        QCOMPARE(read.first().macAppPath, mac.macAppPath);
        QCOMPARE(read.first().options, mac.options);
        QCOMPARE(read.first().title(),
                 QStringLiteral("Ed \"1\" — ja () with bounded strings and right-to-left layout"));
    }

    // A damaged stored list reads as empty, and a damaged entry is skipped.
    void damagedStoreReadsWhatItCan_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("entries");
        QTest::newRow("not JSON") << QVariant("{[") << 0;
        QTest::newRow("a list instead of a text") << QVariant(QStringList{"a", "b"}) << 0;
        QTest::newRow("one entry with a wrong type")
            << QVariant(R"([{"macMode":"no"},{"macMode":false,"macApp":"","deviceID":"D",)"
                        R"("bundleID":"b","appName":"B","deviceName":"","language":"de",)"
                        R"("locale":"","options":[]}])")
            << 1;
    }

    void damagedStoreReadsWhatItCan() {
        QFETCH(QVariant, stored);
        QTemporaryDir directory;
        QSettings store(directory.filePath("settings.ini"), QSettings::IniFormat);
        store.setValue("recentLaunches", stored);
        QTEST(int(RecentLaunches(&store).entries().size()), "entries");
    }
};

QTEST_GUILESS_MAIN(LaunchChoicesTest)
#include "tst_launch_choices.moc"
