// Launch options, the next language and recent launches, driven against the stand-in developer
// tools: the exact argument vectors the tools logged, the status texts, and what is remembered.
#include "launcher/Launcher.h"
#include "launcher/RecentLaunches.h"
#include "standin/StandinDeviceSet.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using Command = StandinDeviceSet::Command;

namespace {

const QString iPadPro = QString::fromLatin1(StandinDeviceSet::iPadPro);         // booted
const QString iPhone16Pro = QString::fromLatin1(StandinDeviceSet::iPhone16Pro); // shut down
const QString quillNotes = QStringLiteral("com.example.QuillNotes");

struct Fixture {
    // Runs an operation the way the window does and hands back the error it leaves.
    std::optional<QString> perform(std::function<QCoro::Task<>()> operation) {
        launcher->perform(std::move(operation));
        if (!QTest::qWaitFor([this] { return !launcher->busy(); }, 20000))
            return QStringLiteral("(still running)");
        return launcher->error();
    }
    std::optional<QString> launch() {
        return perform([this] { return launcher->launch(); });
    }
    std::unique_ptr<Launcher> makeLauncher() {
        return std::make_unique<Launcher>(&store, DeveloperToolPaths{set.xcrun(), set.open()});
    }
    // The launch command's arguments after the target, as the tool logged them.
    QStringList launchedArguments(bool mac) const {
        const QList<Command> commands = set.commands(mac ? "open" : "xcrun");
        if (commands.isEmpty())
            return {QStringLiteral("(nothing launched)")};
        return commands.last().arguments.mid(mac ? 3 : 5);
    }

    QTemporaryDir directory;
    StandinDeviceSet set;
    QSettings store{directory.filePath("settings.ini"), QSettings::IniFormat};
    std::unique_ptr<Launcher> launcher = makeLauncher();
};

} // namespace

class LaunchOptionsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(Fixture().set.isValid(), "the stand-in's sample device set is missing");
    }

    // The four language arguments first, exactly as without options, then each option's own.
    void optionsFollowTheLanguageArguments_data() {
        QTest::addColumn<bool>("mac");
        QTest::addColumn<LaunchOptions>("options");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("appended");
        QTest::addColumn<QString>("status");
        using O = LaunchOption;
        QTest::newRow("none: four arguments")
            << false << LaunchOptions() << "de_CH" << QStringList() << "Launched in de (de_CH).";
        QTest::newRow("double-length") << false << LaunchOptions(O::DoubleLengthStrings) << "de_CH"
                                       << QStringList{"-NSDoubleLocalizedStrings", "YES"}
                                       << "Launched in de (de_CH) with double-length strings.";
        QTest::newRow("accented, Mac, empty locale")
            << true << LaunchOptions(O::AccentedStrings) << ""
            << QStringList{"-NSAccentuateLocalizedStrings", "YES"}
            << "Launched in de () with accented strings.";
        QTest::newRow("bounded") << true << LaunchOptions(O::BoundedStrings) << "de_CH"
                                 << QStringList{"-NSSurroundLocalizedStrings", "YES"}
                                 << "Launched in de (de_CH) with bounded strings.";
        QTest::newRow("right-to-left, empty locale")
            << false << LaunchOptions(O::RightToLeftLayout) << ""
            << QStringList{"-AppleTextDirection", "YES", "-NSForceRightToLeftWritingDirection",
                           "YES"}
            << "Launched in de () with right-to-left layout.";
        QTest::newRow("non-localized")
            << false << LaunchOptions(O::ShowNonLocalizedStrings) << "de_CH"
            << QStringList{"-NSShowNonLocalizedStrings", "YES"}
            << "Launched in de (de_CH) with non-localized strings shown.";
        QTest::newRow("two, in table order whatever the flags")
            << true << (O::ShowNonLocalizedStrings | O::DoubleLengthStrings) << "fr_CA"
            << QStringList{"-NSDoubleLocalizedStrings", "YES", "-NSShowNonLocalizedStrings", "YES"}
            << "Launched in de (fr_CA) with double-length strings and non-localized strings shown.";
        QTest::newRow("all five")
            << false
            << (O::DoubleLengthStrings | O::AccentedStrings | O::BoundedStrings |
                O::RightToLeftLayout | O::ShowNonLocalizedStrings)
            << "de_CH" << QStringList{"-NSDoubleLocalizedStrings",
                                      "YES",
                                      "-NSAccentuateLocalizedStrings",
                                      "YES",
                                      "-NSSurroundLocalizedStrings",
                                      "YES",
                                      "-AppleTextDirection",
                                      "YES",
                                      "-NSForceRightToLeftWritingDirection",
                                      "YES",
                                      "-NSShowNonLocalizedStrings",
                                      "YES"}
            << "Launched in de (de_CH) with double-length strings, accented strings, bounded "
               "strings, right-to-left layout and non-localized strings shown.";
    }

    void optionsFollowTheLanguageArguments() {
        QFETCH(bool, mac);
        QFETCH(LaunchOptions, options);
        QFETCH(QString, locale);
        QFETCH(QStringList, appended);
        Fixture f;
        Launcher &launcher = *f.launcher;
        launcher.setMacMode(mac);
        launcher.setMacApp(mac ? QUrl::fromLocalFile(f.set.macApp()) : QUrl());
        launcher.setDeviceID(iPadPro);
        launcher.setBundleID(quillNotes);
        launcher.setSupportedLanguages({"de", "en"});
        launcher.setLanguage("de");
        launcher.setLocale(locale);
        launcher.setLaunchOptions(options);

        QCOMPARE(f.launch(), std::nullopt);
        QCOMPARE(f.launchedArguments(mac),
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

    // Each press moves one language on, wrapping, and launches in it at once.
    void nextLanguageCyclesAndLaunches() {
        Fixture f;
        Launcher &launcher = *f.launcher;
        launcher.setDeviceID(iPadPro);
        launcher.setBundleID(quillNotes);
        launcher.setSupportedLanguages({"de", "en", "fr"});
        launcher.setLanguage("en");
        QStringList launched;
        for (int press = 0; press < 3; ++press) {
            QCOMPARE(f.perform([&] { return launcher.launchInNextLanguage(); }), std::nullopt);
            launched << f.launchedArguments(false).value(1);
        }
        QCOMPARE(launched, (QStringList{"(fr)", "(de)", "(en)"}));
        QCOMPARE(launcher.language(), QStringLiteral("en"));

        launcher.setSupportedLanguages({});
        QCOMPARE(f.perform([&] { return launcher.launchInNextLanguage(); }),
                 QStringLiteral("Enter a language code such as en, de or pt-BR."));
    }

    // A recent launch relaunches with its own language, region and options: a simulator app on
    // another, shut-down device is booted, its apps loaded and its languages read first.
    void recentLaunchRelaunches() {
        Fixture f;
        Launcher &launcher = *f.launcher;
        QCOMPARE(f.perform([&] { return launcher.refresh(); }), std::nullopt);
        launcher.setDeviceID(iPhone16Pro);
        QCOMPARE(f.perform([&] { return launcher.loadApps(); }), std::nullopt);
        launcher.setBundleID(quillNotes);
        QCoro::waitFor(launcher.detectLanguages());
        launcher.setLanguage("pt-BR");
        launcher.setLocale("");
        launcher.setLaunchOptions(LaunchOption::AccentedStrings);
        QCOMPARE(f.launch(), std::nullopt);
        const RecentLaunch remembered = launcher.recentLaunches()->entries().value(0);
        QCOMPARE(remembered.title(),
                 QStringLiteral("Quill Notes on iPhone 16 Pro — pt-BR () with accented strings"));

        // Elsewhere now: the Mac app in another language, without options.
        launcher.setMacMode(true);
        launcher.setMacApp(QUrl::fromLocalFile(f.set.macApp()));
        QCoro::waitFor(launcher.detectLanguages());
        launcher.setLaunchOptions({});
        QCOMPARE(f.launch(), std::nullopt);
        QCOMPARE(launcher.recentLaunches()->entries().size(), 2);
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
        QCOMPARE(launcher.launchOptions(), LaunchOptions(LaunchOption::AccentedStrings));
        // The same launch again moves up rather than repeating.
        QCOMPARE(launcher.recentLaunches()->entries().size(), 2);
        QVERIFY(launcher.recentLaunches()->entries().first().sameLaunch(remembered));
    }

    // A launch whose app is gone is refused before any command runs.
    void goneAppsAreNotRelaunched_data() {
        QTest::addColumn<RecentLaunch>("launch");
        RecentLaunch mac{true, "/nonexistent/Gone.app", "", "", "Gone", "", "de", "de_CH", {}};
        RecentLaunch unlisted{false, "",   "0000-GONE", quillNotes, "Quill Notes",
                              "Old", "de", "",          {}};
        RecentLaunch uninstalled{false, "", iPadPro, "com.example.Removed", "Removed", "iPad",
                                 "de",  "", {}};
        QTest::newRow("Mac app missing on disk") << mac;
        QTest::newRow("device not listed") << unlisted;
        QTest::newRow("app not among the loaded apps") << uninstalled;
    }

    void goneAppsAreNotRelaunched() {
        QFETCH(RecentLaunch, launch);
        Fixture f;
        Launcher &launcher = *f.launcher;
        QCOMPARE(f.perform([&] { return launcher.refresh(); }), std::nullopt);
        launcher.setDeviceID(iPadPro);
        QCOMPARE(f.perform([&] { return launcher.loadApps(); }), std::nullopt);
        f.set.clearCommands();
        QVERIFY(!launcher.canRelaunch(launch));
        QCOMPARE(f.perform([&] { return launcher.launchRecent(launch); }),
                 QStringLiteral("This app is no longer available."));
        QCOMPARE(f.set.commands(), QList<Command>());
    }
};

QTEST_GUILESS_MAIN(LaunchOptionsTest)
#include "tst_launch_options.moc"
