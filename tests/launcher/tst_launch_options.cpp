// Launch options and recent launches, driven against the stand-in developer tools (the exact
// argument vectors the tools logged, the status texts, what is remembered), and the plain rules
// behind faster relaunching: the next language and region completions from ICU.
#include "LauncherFixture.h"
#include "launcher/InstalledAppsLoading.h"
#include "launcher/NextLanguage.h"
#include "launcher/RecentLaunches.h"
#include "launcher/RegionCompletions.h"

#include <QDir>

using Command = StandinDeviceSet::Command;

namespace {

const QString iPadPro = QString::fromLatin1(StandinDeviceSet::iPadPro);         // booted
const QString iPhone16Pro = QString::fromLatin1(StandinDeviceSet::iPhone16Pro); // shut down
const QString quillNotes = QStringLiteral("com.example.QuillNotes");

using Fixture = LauncherFixture;

// The launch command's arguments after the target, as the tool logged them.
QStringList launchedArguments(const Fixture &f, bool mac) {
    const QList<Command> commands = f.set.commands(mac ? "open" : "xcrun");
    if (commands.isEmpty())
        return {QStringLiteral("(nothing launched)")};
    return commands.last().arguments.mid(mac ? 3 : 5);
}

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

class LaunchOptionsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(Fixture().set.isValid(), "the stand-in's sample device set is missing");
    }

    // The four language arguments first, exactly as without options, then the options' own in
    // a fixed order, on both targets and with an empty region.
    void optionsFollowTheLanguageArguments_data() {
        QTest::addColumn<bool>("mac");
        QTest::addColumn<LaunchOptions>("options");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("appended");
        QTest::addColumn<QString>("status");
        using O = LaunchOption;
        const auto row = [](const char *name, bool mac, LaunchOptions options, QString locale,
                            QStringList appended, QString status) {
            QTest::newRow(name) << mac << options << locale << appended << status;
        };
        const QStringList doubled{"-NSDoubleLocalizedStrings", "YES"},
            accented{"-NSAccentuateLocalizedStrings", "YES"},
            bounded{"-NSSurroundLocalizedStrings", "YES"},
            rightToLeft{"-AppleTextDirection", "YES", "-NSForceRightToLeftWritingDirection", "YES"};
        row("right-to-left, empty locale", false, O::RightToLeftLayout, "", rightToLeft,
            "Launched in de () with right-to-left layout.");
        row("two, Mac", true, O::BoundedStrings | O::AccentedStrings, "de_CH", accented + bounded,
            "Launched in de (de_CH) with accented strings and bounded strings.");
        row("all, in table order whatever the flags", false,
            O::ShowNonLocalizedStrings | O::RightToLeftLayout | O::BoundedStrings |
                O::AccentedStrings | O::DoubleLengthStrings,
            "fr_CA",
            doubled + accented + bounded + rightToLeft +
                QStringList{"-NSShowNonLocalizedStrings", "YES"},
            "Launched in de (fr_CA) with double-length strings, accented strings, bounded "
            "strings, right-to-left layout and non-localized strings shown.");
    }

    void optionsFollowTheLanguageArguments() {
        QFETCH(bool, mac);
        QFETCH(LaunchOptions, options);
        QFETCH(QString, locale);
        QFETCH(QStringList, appended);
        Fixture f;
        Launcher &launcher = *f.launcher;
        f.select(mac ? QStringLiteral("mac:sample") : "sim:" + iPadPro + ":" + quillNotes);
        launcher.setSupportedLanguages({"de", "en"});
        launcher.setLanguage("de");
        launcher.setLocale(locale);
        launcher.setLaunchOptions(options);

        QCOMPARE(f.perform(&Launcher::launch), std::nullopt);
        QCOMPARE(launchedArguments(f, mac),
                 QStringList({"-AppleLanguages", "(de)", "-AppleLocale", locale}) + appended);
        QTEST(launcher.status(), "status");
    }

    // Options live under their own key and come back with the next launcher; names this build
    // does not know are skipped, and clearing them is stored as well.
    void optionsAreRemembered() {
        Fixture f;
        f.launcher->setLaunchOption(LaunchOption::BoundedStrings, true);
        f.launcher->setLaunchOption(LaunchOption::AccentedStrings, true);
        f.launcher->setLaunchOption(LaunchOption::BoundedStrings, false);
        QCOMPARE(f.store.value("launchOptions").toStringList(), QStringList{"accentedStrings"});
        QCOMPARE(f.makeLauncher()->launchOptions(), LaunchOptions(LaunchOption::AccentedStrings));

        f.store.setValue("launchOptions", QStringList{"rightToLeftLayout", "futureOption"});
        QCOMPARE(f.makeLauncher()->launchOptions(), LaunchOptions(LaunchOption::RightToLeftLayout));
        f.launcher->setLaunchOptions({});
        QCOMPARE(f.makeLauncher()->launchOptions(), LaunchOptions());
    }

    // A recent launch relaunches with its own language, region and options: a simulator app on
    // another, shut-down device is booted, its apps loaded and its languages read first.
    void recentLaunchRelaunches() {
        Fixture f;
        Launcher &launcher = *f.launcher;
        QCOMPARE(f.perform(&Launcher::refresh), std::nullopt);
        launcher.setDeviceID(iPhone16Pro);
        QCOMPARE(f.perform(&Launcher::loadApps), std::nullopt);
        launcher.setBundleID(quillNotes);
        QCoro::waitFor(launcher.detectLanguages());
        launcher.setLanguage("pt-BR");
        launcher.setLocale("");
        launcher.setLaunchOptions(LaunchOption::AccentedStrings);
        QCOMPARE(f.perform(&Launcher::launch), std::nullopt);
        const RecentLaunch remembered = launcher.recentLaunches()->entries().value(0);
        QCOMPARE(remembered.title(),
                 QStringLiteral("Quill Notes on iPhone 16 Pro — pt-BR () with accented strings"));

        // Elsewhere now: the Mac app in another language, without options.
        launcher.setMacMode(true);
        launcher.setMacApp(QUrl::fromLocalFile(f.set.macApp()));
        QCoro::waitFor(launcher.detectLanguages());
        launcher.setLaunchOptions({});
        launcher.setLocale("fr_CA");
        QCOMPARE(f.perform(&Launcher::launch), std::nullopt);
        QCOMPARE(launcher.recentLaunches()->entries().size(), 2);
        const RecentLaunch mac = launcher.recentLaunches()->entries().first();
        QVERIFY(mac.macMode);
        QCOMPARE(mac.macAppPath, f.set.macApp());
        QCOMPARE(mac.locale, "fr_CA");
        launcher.setDeviceID(iPadPro);
        launcher.setApps({});
        f.set.clearCommands();

        QVERIFY(launcher.canRelaunch(remembered));
        QCOMPARE(f.perform([&] { return launcher.launchRecent(remembered); }), std::nullopt);
        QCOMPARE(f.set.commands("xcrun").last().arguments,
                 (QStringList{"simctl", "launch", "--terminate-running-process", iPhone16Pro,
                              quillNotes, "-AppleLanguages", "(pt-BR)", "-AppleLocale", "",
                              "-NSAccentuateLocalizedStrings", "YES"}));
        QCOMPARE(launcher.macMode(), false);
        QCOMPARE(launcher.bundleID(), quillNotes);
        QCOMPARE(launcher.apps().size(), 10); // the apps of the relaunched device
        QCOMPARE(launcher.launchOptions(), LaunchOptions(LaunchOption::AccentedStrings));
        // The same launch again moves up rather than repeating.
        QCOMPARE(launcher.recentLaunches()->entries().size(), 2);
        QVERIFY(launcher.recentLaunches()->entries().first().sameLaunch(remembered));
    }

    // A launch whose app is gone is refused before any command runs: its device is no longer
    // listed, or the loaded apps of its device lack it.
    void goneAppsAreNotRelaunched() {
        Fixture f;
        Launcher &launcher = *f.launcher;
        QCOMPARE(f.perform(&Launcher::refresh), std::nullopt);
        launcher.setDeviceID(iPadPro);
        QCOMPARE(f.perform(&Launcher::loadApps), std::nullopt);
        f.set.clearCommands();
        for (const QString &device : {QStringLiteral("0000-GONE"), iPadPro}) {
            const RecentLaunch gone{false, "", device, "com.example.Removed", "", "", "de", "", {}};
            QVERIFY(!launcher.canRelaunch(gone));
            QCOMPARE(f.perform([&] { return launcher.launchRecent(gone); }),
                     QStringLiteral("This app is no longer available."));
        }
        QCOMPARE(f.set.commands(), QList<Command>());
    }

    // What the Recent menu offers: a Mac app only while its path is still an app bundle; a
    // simulator app while its device is listed, unless the apps of that device are loaded
    // (it is the chosen one) and lack it.
    void canRelaunch_data() {
        QTest::addColumn<QString>("chosen"); // with its apps loaded unless "unloaded"
        QTest::addColumn<QString>("target"); // a device, or a Mac path under the temp folder
        QTest::addColumn<QString>("bundleID");
        QTest::addColumn<bool>("offered");
        const QString iPhone16 = QStringLiteral("1C9D2E73-5B4A-4F3E-8D21-7A6B5C4D3E02");
        const auto row = [](const char *name, QString chosen, QString target, QString bundleID,
                            bool offered) {
            QTest::newRow(name) << chosen << target << bundleID << offered;
        };
        row("installed on the chosen device", iPadPro, iPadPro, quillNotes, true);
        row("missing from the chosen device's apps", iPadPro, iPadPro, "com.example.Gone", false);
        row("another device: its apps are not known", iPadPro, iPhone16, "com.example.Gone", true);
        row("chosen device, apps not loaded", "unloaded", iPadPro, "com.example.Gone", true);
        row("device not listed", iPadPro, "0000-GONE", quillNotes, false);
        row("no bundle identifier", iPadPro, iPadPro, "", false);
        row("Mac app", iPadPro, "mac:sample", "", true);
        row("Mac folder that is no app", iPadPro, "mac:Folder.app", "", false);
        row("Mac path that is a file", iPadPro, "mac:File.app", "", false);
        row("Mac path gone", iPadPro, "mac:Gone.app", "", false);
    }
    void canRelaunch() {
        QFETCH(QString, chosen);
        QFETCH(QString, target);
        QFETCH(QString, bundleID);
        Fixture f;
        Launcher &launcher = *f.launcher;
        QCOMPARE(f.perform(&Launcher::refresh), std::nullopt);
        launcher.setDeviceID(iPadPro);
        if (chosen != "unloaded")
            QCOMPARE(f.perform(&Launcher::loadApps), std::nullopt);
        QVERIFY(QDir(f.directory.path()).mkpath("Folder.app/Contents"));
        QFile file(f.directory.filePath("File.app"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        RecentLaunch launch{false, "", target, bundleID, "", "", "de", "", {}};
        const QString name = target.mid(4);
        const QString macPath = name == "sample" ? f.set.macApp() : f.directory.filePath(name);
        if (target.startsWith("mac:"))
            launch = {true, macPath, "", "", "", "", "de", "", {}};
        QTEST(launcher.canRelaunch(launch), "offered");
    }

    // A relaunch that is refused changes nothing: not the device (also not the stored one),
    // not the apps, not the destination; a Mac path that is no app bundle any more is refused
    // as gone, before its languages are looked at.
    void refusedRelaunchChangesNothing_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("app not on its (unloaded) device") << "1C9D2E73-5B4A-4F3E-8D21-7A6B5C4D3E02";
        QTest::newRow("Mac folder that is no app") << "mac:Folder.app";
        QTest::newRow("Mac path that is a file") << "mac:File.app";
    }
    void refusedRelaunchChangesNothing() {
        QFETCH(QString, target);
        Fixture f;
        Launcher &launcher = *f.launcher;
        QCOMPARE(f.perform(&Launcher::refresh), std::nullopt);
        launcher.setDeviceID(iPadPro);
        QCOMPARE(f.perform(&Launcher::loadApps), std::nullopt);
        launcher.setBundleID(quillNotes);
        QVERIFY(QDir(f.directory.path()).mkpath("Folder.app/Contents/Resources/de.lproj"));
        QFile file(f.directory.filePath("File.app"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        RecentLaunch launch{false, "", target, quillNotes, "", "", "de", "de_CH", {}};
        if (target.startsWith("mac:"))
            launch = {true, f.directory.filePath(target.mid(4)), "", "", "", "", "de", "de_CH", {}};
        const QList<InstalledApp> apps = launcher.apps();
        QCOMPARE(f.perform([&] { return launcher.launchRecent(launch); }),
                 QStringLiteral("This app is no longer available."));
        QCOMPARE(launcher.macMode(), false);
        QCOMPARE(launcher.deviceID(), iPadPro);
        QCOMPARE(f.store.value("selectedSimulatorID").toString(), iPadPro);
        QCOMPARE(launcher.apps(), apps);
        QCOMPARE(launcher.bundleID(), quillNotes);
        QCOMPARE(launcher.locale(), "en_US");
    }

    // Relaunching an app that Only My Apps hides shows all apps, so the picker shows the app
    // that is launched; My Apps themselves stay as they are.
    void relaunchOfAHiddenAppShowsIt() {
        Fixture f;
        Launcher &launcher = *f.launcher;
        QCOMPARE(f.perform(&Launcher::refresh), std::nullopt);
        launcher.setDeviceID(iPadPro);
        QCOMPARE(f.perform(&Launcher::loadApps), std::nullopt);
        launcher.setMyAppIDs({"com.example.CafeCreme"});
        launcher.setOnlyMyApps(true);
        const RecentLaunch launch{false, "", iPadPro, quillNotes, "Quill Notes", "", "fr", "", {}};
        f.set.clearCommands();
        QCOMPARE(f.perform([&] { return launcher.launchRecent(launch); }), std::nullopt);
        // The apps of the chosen device are known: they are not listed again.
        for (const Command &command : f.set.commands())
            QVERIFY(!command.arguments.contains("listapps"));
        QCOMPARE(launchedArguments(f, false).mid(0, 2), (QStringList{"-AppleLanguages", "(fr)"}));
        QCOMPARE(launcher.bundleID(), quillNotes);
        QCOMPARE(launcher.onlyMyApps(), false);
        const QList<InstalledApp> visible = launcher.visibleApps();
        QVERIFY(std::any_of(visible.begin(), visible.end(),
                            [](const InstalledApp &app) { return app.id == quillNotes; }));
        QCOMPARE(launcher.myAppIDs(), QSet<QString>{"com.example.CafeCreme"});
    }

    // Launch in Next Language steps through the languages in the order the picker lists them
    // (by name: English, French, German, Japanese, Portuguese), wrapping at the end.
    void nextLanguageFollowsThePicker_data() {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("next");
        QTest::newRow("German, then Japanese") << QString("de") << QString("ja");
        QTest::newRow("Portuguese wraps to English") << QString("pt-BR") << QString("en");
    }
    void nextLanguageFollowsThePicker() {
        QFETCH(QString, current);
        Fixture f;
        Launcher &launcher = *f.launcher;
        f.select("mac:sample");
        QCoro::waitFor(launcher.detectLanguages());
        QCOMPARE(launcher.supportedLanguages(), (QStringList{"de", "en", "fr", "ja", "pt-BR"}));
        launcher.setLanguage(current);
        QCOMPARE(f.perform(&Launcher::launchInNextLanguage), std::nullopt);
        QTEST(launcher.language(), "next");
        QCOMPARE(launchedArguments(f, true).value(1), "(" + launcher.language() + ")");
    }

    // Two launches are the same when target, language, region and options all are; the names
    // shown in the menu do not count.
    void sameLaunch_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("same");
        for (const char *change :
             {"macMode", "deviceID", "bundleID", "language", "locale", "options"})
            QTest::newRow(change) << change << false;
        QTest::newRow("appName") << "appName" << true;
        QTest::newRow("deviceName") << "deviceName" << true;
        QTest::newRow("Mac path of a simulator launch") << "macAppPath" << true;
        QTest::newRow("Mac, nothing") << "Mac:" << true;
        QTest::newRow("Mac, app path") << "Mac:macAppPath" << false;
        QTest::newRow("Mac, device of a Mac launch") << "Mac:deviceID" << true;
    }
    void sameLaunch() {
        QFETCH(QString, change);
        RecentLaunch launch = simulatorLaunch(quillNotes);
        if (change.startsWith("Mac:")) {
            launch.macMode = true;
            launch.macAppPath = "/Applications/Quill.app";
            change = change.mid(4);
        }
        RecentLaunch other = launch;
        if (change == "macMode")
            other.macMode = true;
        else if (change == "options")
            other.options = LaunchOption::BoundedStrings;
        else if (!change.isEmpty())
            *(change == "deviceID"     ? &other.deviceID
              : change == "bundleID"   ? &other.bundleID
              : change == "language"   ? &other.language
              : change == "locale"     ? &other.locale
              : change == "appName"    ? &other.appName
              : change == "deviceName" ? &other.deviceName
                                       : &other.macAppPath) += "x";
        QTEST(launch.sameLaunch(other), "same");
        QTEST(other.sameLaunch(launch), "same");
    }

    void nextLanguage_data() {
        QTest::addColumn<QStringList>("languages");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("next");
        const QStringList three{"de", "en", "pt-BR"};
        const auto row = [](const char *name, QStringList languages, QString current,
                            QString next) { QTest::newRow(name) << languages << current << next; };
        row("moves on", three, "de", "en");
        row("wraps from the last", three, "pt-BR", "de");
        row("unknown: the first", three, "fr", "de");
        row("none", {}, "en", "");
    }

    void nextLanguage() {
        QFETCH(QStringList, languages);
        QFETCH(QString, current);
        QTEST(NextLanguage::after(languages, current), "next");
    }

    // Loading shares the app list out over threads: the slices cover every entry exactly once,
    // in order, whatever the count (a last slice that is shorter included).
    void appListSlices_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("parts");
        for (int count : {0, 1, 63, 64, 127, 128, 129, 130, 1000})
            for (int parts : {1, 2, 3, 8})
                QTest::addRow("%d in %d", count, parts) << count << parts;
    }
    void appListSlices() {
        QFETCH(int, count);
        QFETCH(int, parts);
        const QList<InstalledAppsLoading::Slice> slices =
            InstalledAppsLoading::slices(count, parts);
        QVERIFY(slices.size() <= parts);
        qsizetype next = 0;
        for (const InstalledAppsLoading::Slice &slice : slices) {
            QCOMPARE(slice.from, next);
            QVERIFY(slice.to > slice.from);
            // Shared out evenly: no thread gets more than its part, rounded up.
            QVERIFY(slice.to - slice.from <= (count + parts - 1) / parts);
            next = slice.to;
        }
        QCOMPARE(next, qsizetype(count));
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
        QTest::newRow("unknown language")
            << "xx" << QStringList{} << QStringList{} << QStringList{};
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
    // through an INI file, names with quotes and line breaks included. A damaged entry is
    // skipped, a damaged list reads as empty.
    void recentLaunchesAreRemembered() {
        QTemporaryDir directory;
        QSettings store(directory.filePath("settings.ini"), QSettings::IniFormat);
        RecentLaunches recent(&store);
        for (int i = 0; i < 12; ++i)
            recent.add(simulatorLaunch(QString("app%1").arg(i)));
        recent.add(simulatorLaunch("app5"));
        recent.add(simulatorLaunch("app5", "fr")); // another language is another launch
        RecentLaunch mac{true, "/Apps/Ed \"1\"\n.app", "", "", "Ed \"1\"", "", "ja", "", {}};
        mac.options = LaunchOption::RightToLeftLayout | LaunchOption::BoundedStrings;
        recent.add(mac);

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
        reopened.setValue(
            "recentLaunches",
            reopened.value("recentLaunches").toString().replace(0, 1, R"([{"macMode":"no"},)"));
        QCOMPARE(RecentLaunches(&reopened).entries().size(), 10);
        reopened.setValue("recentLaunches", "{[");
        QVERIFY(RecentLaunches(&reopened).entries().isEmpty());
    }
};

QTEST_GUILESS_MAIN(LaunchOptionsTest)
#include "tst_launch_options.moc"
