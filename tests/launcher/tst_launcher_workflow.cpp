// The launcher's operations against the stand-in developer tools through the real command
// runner: the command lines as the tools logged them, statuses, the stored device, language
// detection and the error texts of failing tools.
#include "LauncherFixture.h"

#include <QFile>
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
        CancellationSource first, second;
        QCoro::Task<> firstRun = launcher.detectLanguages(first.token());
        QTRY_COMPARE(f.set.commands().size(), 1);     // the slow command has started
        f.setHook("DELAY_MS_GET_APP_CONTAINER=2500"); // the later ones are slower
        first.cancel();
        launcher.setBundleID(cafeCreme);
        QCoro::Task<> secondRun = launcher.detectLanguages(second.token());
        QTRY_COMPARE(f.set.commands().size(), 2);
        second.cancel();
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
