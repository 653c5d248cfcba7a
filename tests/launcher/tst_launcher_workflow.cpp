// The launcher's operations against the stand-in developer tools through the real command
// runner: the command lines as the tools logged them, statuses, the stored device, language
// detection and the error texts of failing tools.
#include "LauncherFixture.h"

#include <QFile>
#include <QSemaphore>
#include <QThreadPool>
#include <QTimer>

using Command = StandinDeviceSet::Command;
using Operation = QCoro::Task<> (Launcher::*)();
Q_DECLARE_METATYPE(Operation)

namespace {

const QString iPhone16Pro = StandinDeviceSet::iPhone16Pro; // shut down
const QString iPadPro = StandinDeviceSet::iPadPro;         // booted
const QString unavailable = StandinDeviceSet::iPhone14Unavailable;
const QString zoesIPhone = QStringLiteral("4C6E8A0B-2D4F-4A6C-8E0A-1B3C5D7E9F08"); // listed first
const QString legacyIPhone = QStringLiteral("D2C4E6F8-0A1B-4C3D-8E5F-6A7B8C9D0E05");
const QString quillNotes = QStringLiteral("com.example.QuillNotes");
const QString cafeCreme = QStringLiteral("com.example.CafeCreme");

Command xcrun(const QStringList &arguments) {
    return {"xcrun", QStringList{"simctl"} + arguments};
}

// The commands boot() issues, with or without "boot" itself.
QList<Command> booting(const QString &udid, bool boots) {
    QList<Command> commands{xcrun({"list", "devices", "--json"})};
    if (boots)
        commands << xcrun({"boot", udid});
    return commands << xcrun({"bootstatus", udid, "-b"})
                    << Command{"open", {"-a", "Simulator", "--args", "-CurrentDeviceUDID", udid}};
}

QString sim(const QString &device, const QString &bundle = {}) {
    return "sim:" + device + ":" + bundle;
}

template <typename... Values> void row(const char *name, const Values &...values) {
    (QTest::newRow(name) << ... << values);
}

using Fixture = LauncherFixture;

} // namespace

class LauncherWorkflowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Refresh keeps a listed device or takes the first one and forgets the apps; loading apps
    // boots only a device that is not running and keeps a visible app selected.
    void refreshAndLoadApps_data() {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QStringList>("myApps"); // only My Apps unless empty
        QTest::addColumn<QString>("expectedApp");
        QTest::addColumn<QString>("status");
        const QString chooseApps = QStringLiteral("Choose a simulator, then load its apps.");
        row("refresh, device listed", &Launcher::refresh, iPadPro, QStringList{}, "", chooseApps);
        row("refresh, device gone", &Launcher::refresh, unavailable, QStringList{}, "", chooseApps);
        row("load, choice kept", &Launcher::loadApps, iPadPro, QStringList{}, quillNotes,
            "Loaded 6 installed apps.");
        row("load, only My Apps", &Launcher::loadApps, iPadPro,
            QStringList{cafeCreme, "com.example.Gone"}, cafeCreme, "Loaded 6 installed apps.");
    }
    void refreshAndLoadApps() {
        QFETCH(Operation, operation);
        QFETCH(QString, device);
        QFETCH(QStringList, myApps);
        Fixture f;
        f.launcher->setOnlyMyApps(!myApps.isEmpty());
        f.launcher->setMyAppIDs(QSet<QString>(myApps.begin(), myApps.end()));
        f.launcher->setApps({InstalledApp{quillNotes, "Quill Notes", QIcon()}});
        f.select(sim(device, quillNotes));

        QCOMPARE(f.perform(operation), std::nullopt);
        const bool refresh = operation == &Launcher::refresh;
        QCOMPARE(f.set.commands(), refresh
                                       ? QList{xcrun({"list", "devices", "available", "--json"})}
                                       : booting(iPadPro, false) << xcrun({"listapps", iPadPro}));
        const QString kept = device == unavailable ? zoesIPhone : device;
        QCOMPARE(f.store.value("selectedSimulatorID").toString(), kept);
        QCOMPARE(f.launcher->devices().size(), refresh ? 7 : 0);
        QCOMPARE(f.launcher->apps().size(), refresh ? 0 : 6);
        QVERIFY(refresh || !f.launcher->apps().first().icon.isNull());
        QTEST(f.launcher->bundleID(), "expectedApp");
        QTEST(f.launcher->status(), "status");
    }

    void refreshWithoutDevicesForgetsTheDevice() {
        Fixture f;
        const QString script = f.directory.filePath("xcrun");
        QFile file(script);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\necho '{\"devices\":{\"com.apple.x\":[]}}'\n");
        file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        file.close();
        f.launcher = std::make_unique<Launcher>(&f.store, DeveloperToolPaths{script, {}});
        f.launcher->setDeviceID(iPadPro);
        QCOMPARE(f.perform(&Launcher::refresh), std::nullopt);
        QCOMPARE(f.store.value("selectedSimulatorID"), QVariant(QString()));
        QCOMPARE(f.launcher->status(),
                 "No available simulators. Install a runtime in Xcode Settings.");
    }

    // Failures reach `error` as the user's text; the failing step changes nothing. Launching
    // checks its input in a fixed order, each check before any command it guards.
    void failures_data() {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QString>("language"); // "de", "en" and the malformed "de CH" are found
        QTest::addColumn<QString>("hook");
        QTest::addColumn<QString>("error"); // how the text begins
        QTest::addColumn<int>("commands");
        const Operation refresh = &Launcher::refresh, load = &Launcher::loadApps,
                        launch = &Launcher::launch;
        const QString enterCode = QStringLiteral("Enter a language code such as en, de or pt-BR.");
        // The tool's own message, passed on as it is.
        const QString toolError =
            QStringLiteral("An error was encountered processing the command (domain=");
        row("refresh: listing fails", refresh, sim(iPadPro), "de", "FAIL_LIST=list: broken\n",
            "list: broken\n", 1);
        row("load: unavailable device", load, sim(unavailable), "de", "",
            toolError + "com.apple.CoreSimulator.SimError, code=403)", 2);
        row("load: bootstatus fails", load, sim(iPhone16Pro), "de", "FAIL_BOOTSTATUS=timed out",
            "timed out", 3);
        row("load: Simulator app fails", load, sim(iPadPro), "de", "FAIL_OPEN=No Simulator",
            "No Simulator", 3);
        row("launch: malformed code", launch, sim(iPadPro, quillNotes), "de CH", "", enterCode, 0);
        row("launch: language before Mac app", launch, "mac:", "fr", "", enterCode, 0);
        row("launch: no Mac app", launch, "mac:", "de", "", "Choose a macOS app first.", 0);
        row("launch: Mac app missing", launch, "mac:/nonexistent/Gone.app", "de", "",
            "The file /nonexistent/Gone.app does not exist.\n", 1);
        row("launch: bundle before booting", launch, sim(""), "de", "",
            "Choose an installed app or enter its bundle ID.", 0);
        row("launch: no simulator", launch, sim("", quillNotes), "de", "",
            "Choose a simulator first.", 0);
        row("launch: app not installed", launch, sim(iPadPro, "com.example.Missing"), "de", "",
            toolError + "FBSOpenApplicationServiceErrorDomain, code=4)", 4);
    }
    void failures() {
        QFETCH(Operation, operation);
        QFETCH(QString, selection);
        QFETCH(QString, language);
        QFETCH(QString, hook);
        QFETCH(QString, error);
        Fixture f;
        const InstalledApp kept{"com.example.Kept", "Kept", QIcon()};
        f.launcher->setApps({kept});
        f.select(selection);
        f.launcher->setSupportedLanguages({"de", "en", "de CH"});
        f.launcher->setLanguage(language);
        f.launcher->setStatus(QStringLiteral("before"));
        f.setHook(hook);
        const std::optional<QString> failure = f.perform(operation);
        QVERIFY2(failure.value_or("").startsWith(error), qPrintable(failure.value_or("(none)")));
        QTEST(int(f.set.commands().size()), "commands");
        QVERIFY(f.launcher->devices().isEmpty());
        QCOMPARE(f.launcher->apps(), QList<InstalledApp>{kept});
        QCOMPARE(f.launcher->languageSelectionID(), selection);
        QCOMPARE(f.launcher->status(), QStringLiteral("before"));
    }

    // The arguments reach the app exactly, and a simulator launch names the app, device and
    // region chosen when it started, whatever changes while the simulator boots; the status
    // names the region as it is at the end.
    void launchPassesArgumentsExactly_data() {
        QTest::addColumn<bool>("macMode");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("changedWhileBooting");
        const QString odd = QStringLiteral(R"(de CH "x" (y) $HOME *;)");
        row("simulator, odd locale", false, odd, false);
        row("simulator, choice changed while booting", false, "de_CH", true);
        row("Mac, odd locale", true, odd, false);
    }
    void launchPassesArgumentsExactly() {
        QFETCH(bool, macMode);
        QFETCH(QString, locale);
        QFETCH(bool, changedWhileBooting);
        Fixture f;
        Launcher &launcher = *f.launcher;
        launcher.setApps({{quillNotes, "Quill Notes", {}}, {cafeCreme, "Café Crème", {}}});
        launcher.setMyAppIDs({quillNotes, cafeCreme});
        launcher.setOnlyMyApps(true);
        f.select(macMode ? "mac:sample" : sim(iPhone16Pro, quillNotes));
        launcher.setSupportedLanguages({"de", "en"});
        launcher.setLanguage(QStringLiteral(" de\n"));
        launcher.setLocale(locale);
        QTimer whileBooting; // once "bootstatus" has started: the user changes everything
        connect(&whileBooting, &QTimer::timeout, this, [&] {
            if (f.set.commands().size() < 3)
                return;
            whileBooting.stop();
            launcher.setMyApp(quillNotes, false); // moves the choice to Café Crème
            launcher.setDeviceID(iPadPro);
            launcher.setLocale(QStringLiteral("fr_FR"));
        });
        if (changedWhileBooting) {
            f.setHook("DELAY_MS_BOOTSTATUS=1000");
            whileBooting.start(20);
        }

        QCOMPARE(f.perform(&Launcher::launch), std::nullopt);
        const QStringList arguments{"-AppleLanguages", "(de)", "-AppleLocale", locale};
        const QList<Command> expected =
            macMode
                ? QList<Command>{{"open", QStringList{"-n", f.set.macApp(), "--args"} + arguments}}
                : booting(iPhone16Pro, true)
                      << xcrun(QStringList{"launch", "--terminate-running-process", iPhone16Pro,
                                           quillNotes} +
                               arguments);
        QCOMPARE(f.set.commands(), expected);
        QCOMPARE(launcher.status(), "Launched in de (" + launcher.locale() + ").");
        QCOMPARE(launcher.bundleID(), changedWhileBooting ? cafeCreme : macMode ? "" : quillNotes);
    }

    void detectsLanguages_data() {
        QTest::addColumn<QString>("selection"); // a simulator other than the iPad is booted first
        QTest::addColumn<QString>("failure");   // of the container lookup
        QTest::addColumn<QStringList>("languages");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("message");
        const QString detected = QStringLiteral("Languages detected from the selected app.");
        row("Mac app", "mac:sample", "", QStringList{"de", "en", "fr", "ja", "pt-BR"}, "en",
            detected);
        row("simulator app", sim(iPadPro, quillNotes), "",
            QStringList{"de", "en", "es", "fr", "pt-BR", "zh-Hans"}, "en", detected);
        row("no English: the first", sim(legacyIPhone, "com.example.LegacyReader"), "",
            QStringList{"English", "de", "fr"}, "English", detected);
        row("no languages", sim(iPhone16Pro, "com.example.PlainTool"), "", QStringList{}, "",
            "This app declares no supported languages.");
        row("no app chosen", sim(iPadPro), "", QStringList{}, "",
            "Select an app to detect its languages.");
        row("tool fails", sim(iPadPro, quillNotes), "No such file", QStringList{}, "",
            "Could not detect app languages: No such file");
    }
    void detectsLanguages() {
        QFETCH(QString, selection);
        QFETCH(QString, failure);
        Fixture f;
        Launcher &launcher = *f.launcher;
        f.select(selection);
        const bool looksUp = !launcher.macMode() && !launcher.bundleID().isEmpty();
        if (looksUp && launcher.deviceID() != iPadPro) {
            QCOMPARE(f.perform(&Launcher::boot), std::nullopt);
            f.set.clearCommands();
        }
        f.setHook(failure.isEmpty() ? QString() : "FAIL_GET_APP_CONTAINER=" + failure);
        QCoro::waitFor(launcher.detectLanguages());
        QTEST(launcher.supportedLanguages(), "languages");
        QTEST(launcher.language(), "language");
        QTEST(launcher.languageMessage(), "message");
        QVERIFY(!launcher.loadingLanguages());
        const Command lookup =
            xcrun({"get_app_container", launcher.deviceID(), launcher.bundleID(), "app"});
        QCOMPARE(f.set.commands(), looksUp ? QList{lookup} : QList<Command>());
    }

    // A slow detection superseded by a new selection neither writes its result nor ends the
    // newer run's loading state, not even when the selection comes back to its app.
    void supersededDetectionStaysSilent() {
        Fixture f;
        Launcher &launcher = *f.launcher;
        f.select(sim(iPadPro, quillNotes));
        f.setHook("DELAY_MS_GET_APP_CONTAINER=700");
        QCoro::Task<> firstRun = launcher.detectLanguages();
        QTRY_COMPARE(f.set.commands().size(), 1);     // the slow command has started
        f.setHook("DELAY_MS_GET_APP_CONTAINER=2500"); // the later ones are slower
        launcher.setBundleID(cafeCreme);
        QCoro::Task<> secondRun = launcher.detectLanguages();
        QTRY_COMPARE(f.set.commands().size(), 2);
        launcher.setBundleID(quillNotes);
        QCoro::Task<> thirdRun = launcher.detectLanguages();
        for (QCoro::Task<> *superseded : {&firstRun, &secondRun}) {
            QCoro::waitFor(std::move(*superseded));
            QVERIFY(launcher.loadingLanguages() && launcher.supportedLanguages().isEmpty());
        }
        QCoro::waitFor(std::move(thirdRun));
        QVERIFY(!launcher.loadingLanguages());
        QCOMPARE(launcher.supportedLanguages(),
                 (QStringList{"de", "en", "es", "fr", "pt-BR", "zh-Hans"}));
    }

    // Stop ends the running tool and the process it started, and the operation with the status
    // "Stopped." and no error; nothing of its result is applied, and the next one runs.
    void stopEndsTheOperation_data() {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QString>("hanging");
        row("load apps, bootstatus hangs", &Launcher::loadApps, "BOOTSTATUS");
        row("load apps, listapps hangs", &Launcher::loadApps, "LISTAPPS");
        row("launch, launch hangs", &Launcher::launch, "LAUNCH");
    }
    void stopEndsTheOperation() {
        QFETCH(Operation, operation);
        QFETCH(QString, hanging);
        Fixture f;
        Launcher &launcher = *f.launcher;
        f.select(sim(iPadPro, quillNotes));
        launcher.setSupportedLanguages({"de"});
        launcher.setLanguage("de");
        launcher.setStatus("before");
        launcher.stop(); // nothing runs: nothing to stop
        const QString pidFile = f.directory.filePath("pids");
        f.setHook("HANG_" + hanging + "=" + pidFile);
        launcher.perform([&] { return (launcher.*operation)(); });
        QTRY_VERIFY_WITH_TIMEOUT(!Fixture::hangingProcesses(pidFile).isEmpty(), 10000);
        launcher.stop();
        QTRY_VERIFY_WITH_TIMEOUT(!launcher.busy(), 5000);
        QCOMPARE(launcher.error(), std::nullopt);
        QCOMPARE(launcher.status(), "Stopped.");
        QVERIFY(launcher.apps().isEmpty());
        for (qint64 pid : Fixture::hangingProcesses(pidFile))
            QTRY_VERIFY(Fixture::hasEnded(pid));

        qunsetenv(("QUILLMARCH_STANDIN_HANG_" + hanging).toLatin1());
        QCOMPARE(f.perform(operation), std::nullopt);
        QVERIFY(launcher.status() != "Stopped.");
    }

    // A tool that never answers is ended at its deadline (booting has a longer one), and the
    // error names the command and what to try, or asks for the first launch of Xcode's tools
    // when the tool's own output did.
    void deadlineEndsAHangingTool_data() {
        QTest::addColumn<QString>("hanging");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("error");
        const QString tryAgain = QStringLiteral("Quit Simulator and try again.");
        row("bootstatus", "BOOTSTATUS", "",
            "xcrun simctl bootstatus did not finish within 3 seconds. " + tryAgain);
        row("listapps", "LISTAPPS", "",
            "xcrun simctl listapps did not finish within 2 seconds. " + tryAgain);
        row("first launch asked for", "LIST",
            "A required plugin failed to load. Please ensure system content is up-to-date — "
            "try running 'xcodebuild -runFirstLaunch'.",
            "xcrun simctl list did not finish within 2 seconds. Xcode’s command-line tools have "
            "not finished their first launch: run “sudo xcodebuild -runFirstLaunch” once in "
            "Terminal, then try again.");
    }
    void deadlineEndsAHangingTool() {
        QFETCH(QString, hanging);
        QFETCH(QString, output);
        Fixture f;
        f.launcher->setCommandDeadlines({std::chrono::seconds(3), std::chrono::seconds(2)});
        f.select(sim(iPadPro));
        const QString pidFile = f.directory.filePath("pids");
        f.setHook("HANG_" + hanging + "=" + pidFile);
        f.setHook("HANG_OUTPUT=" + output);
        QTEST(f.perform(&Launcher::loadApps).value_or("(no error)"), "error");
        const QList<qint64> pids = Fixture::hangingProcesses(pidFile);
        QCOMPARE(pids.size(), 2);
        for (qint64 pid : pids)
            QTRY_VERIFY(Fixture::hasEnded(pid));
    }

    // The launcher destroyed while a relaunch reads the apps of its device (held up by a busy
    // thread pool): nothing runs or is stored after that, and nothing touches the launcher.
    void closedDuringARelaunch() {
        Fixture f;
        QCOMPARE(f.perform(&Launcher::refresh), std::nullopt);
        const QString chosen = f.launcher->deviceID();
        QVERIFY(chosen != iPadPro);
        const RecentLaunch launch{false,  "",   iPadPro, quillNotes, "Quill Notes",
                                  "iPad", "de", "de_CH", {}};
        QThreadPool *pool = QThreadPool::globalInstance();
        QSemaphore held;
        for (int i = 0; i < pool->maxThreadCount(); ++i)
            pool->start([&held] { held.acquire(); });
        f.launcher->perform([&f, launch] { return f.launcher->launchRecent(launch); });
        QTRY_VERIFY(f.set.commands().contains(xcrun({"listapps", iPadPro})));
        QTest::qWait(300); // the list is read, and waits for a pool thread
        f.launcher.reset();
        held.release(pool->maxThreadCount());
        QVERIFY(pool->waitForDone(10000));
        QTest::qWait(500); // where the relaunch would go on
        QCOMPARE(f.set.commands().last(), xcrun({"listapps", iPadPro}));
        QCOMPARE(f.store.value("selectedSimulatorID").toString(), chosen);
    }

    // A launcher closed while its tools run is left alone when they finish: the detection
    // ends, and the refresh never applies its device list (it would store another device).
    void closedWhileToolsRun() {
        Fixture f;
        f.setHook("DELAY_MS_GET_APP_CONTAINER=300");
        f.setHook("DELAY_MS_LIST=300");
        f.select(sim(unavailable, quillNotes));
        QCoro::Task<> detection = f.launcher->detectLanguages();
        f.launcher->perform([launcher = f.launcher.get()] { return launcher->refresh(); });
        QTRY_COMPARE(f.set.commands().size(), 2);
        f.launcher.reset();
        QVERIFY(QTest::qWaitFor([&] { return detection.isReady(); }, 5000));
        QTest::qWait(600); // the listing ends too
        QCOMPARE(f.store.value("selectedSimulatorID").toString(), unavailable);
    }
};

QTEST_GUILESS_MAIN(LauncherWorkflowTest)
#include "tst_launcher_workflow.moc"
