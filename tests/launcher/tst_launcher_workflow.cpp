// The launcher's operations driven against the stand-in developer tools through the real
// command runner: the command lines as the tools logged them, the status texts, the stored
// device, language detection (including a superseded run) and the error texts of failing tools.
#include "launcher/Launcher.h"
#include "standin/StandinDeviceSet.h"
#include "tools/Error.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <QCoroTask>

using Command = StandinDeviceSet::Command;
using Operation = QCoro::Task<> (Launcher::*)();
Q_DECLARE_METATYPE(Operation)

namespace {

const QString iPhone16Pro = QString::fromLatin1(StandinDeviceSet::iPhone16Pro); // shut down
const QString iPadPro = QString::fromLatin1(StandinDeviceSet::iPadPro);         // booted
const QString iPhone14Unavailable = QString::fromLatin1(StandinDeviceSet::iPhone14Unavailable);
const QString iPhone15Legacy = QStringLiteral("D2C4E6F8-0A1B-4C3D-8E5F-6A7B8C9D0E05");
const QString zoesIPhone = QStringLiteral("4C6E8A0B-2D4F-4A6C-8E0A-1B3C5D7E9F08");
const QString quillNotes = QStringLiteral("com.example.QuillNotes");

const auto xcrun = [](const QStringList &arguments) { return Command{"xcrun", arguments}; };
const auto open = [](const QStringList &arguments) { return Command{"open", arguments}; };

// The commands boot() issues for a device, with or without the "boot" command itself.
QList<Command> bootCommands(const QString &udid, bool booting) {
    QList<Command> commands{xcrun({"simctl", "list", "devices", "--json"})};
    if (booting)
        commands << xcrun({"simctl", "boot", udid});
    return commands << xcrun({"simctl", "bootstatus", udid, "-b"})
                    << open({"-a", "Simulator", "--args", "-CurrentDeviceUDID", udid});
}

// A private device set, a settings file and a launcher using the stand-in tools; the stand-in's
// test hooks set through it are removed with it.
struct Fixture {
    ~Fixture() {
        for (const QByteArray &name : hooks)
            qunsetenv(name.constData());
    }

    // Runs an operation the way the window does and hands back the error it leaves.
    std::optional<QString> perform(Operation operation) {
        launcher->perform([this, operation] { return (launcher.get()->*operation)(); });
        if (!QTest::qWaitFor([this] { return !launcher->busy(); }))
            return QStringLiteral("(still running)");
        return launcher->error();
    }

    // "DELAY_MS_LIST=400" sets QUILLMARCH_STANDIN_DELAY_MS_LIST; an empty hook sets nothing.
    void setHook(const QString &hook) {
        const QByteArray name = "QUILLMARCH_STANDIN_" + hook.section('=', 0, 0).toLatin1();
        if (!hook.isEmpty() && qputenv(name.constData(), hook.section('=', 1).toUtf8()))
            hooks << name;
    }

    // Selects a target as its language selection key spells it: "sim:<device>:<bundle>" or
    // "mac:<path>" ("mac:" for none, "mac:sample" for the sample set's Mac app).
    void select(const QString &key) {
        const QString path = key.section(':', 1) == "sample" ? set.macApp() : key.section(':', 1);
        launcher->setMacMode(key.startsWith("mac:"));
        launcher->setMacApp(!launcher->macMode() || path.isEmpty() ? QUrl()
                                                                   : QUrl::fromLocalFile(path));
        launcher->setDeviceID(launcher->macMode() ? QString() : key.section(':', 1, 1));
        launcher->setBundleID(launcher->macMode() ? QString() : key.section(':', 2));
    }

    QTemporaryDir directory;
    StandinDeviceSet set;
    std::unique_ptr<QSettings> store =
        std::make_unique<QSettings>(directory.filePath("settings.ini"), QSettings::IniFormat);
    std::unique_ptr<Launcher> launcher =
        std::make_unique<Launcher>(store.get(), DeveloperToolPaths{STANDIN_XCRUN, STANDIN_OPEN});
    QList<QByteArray> hooks;
};

// Adds a data row; the values fill the columns in order.
template <typename... Values> void row(const char *name, const Values &...values) {
    (QTest::newRow(name) << ... << values);
}

QString sim(const QString &device, const QString &bundle = QString()) {
    return "sim:" + device + ":" + bundle;
}

} // namespace

class LauncherWorkflowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(Fixture().set.isValid(), "the stand-in's sample device set is missing");
    }

    void refreshListsAvailableDevices_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("expected");
        row("chosen device still listed", iPadPro, iPadPro);
        row("chosen device no longer available", iPhone14Unavailable, zoesIPhone);
    }

    void refreshListsAvailableDevices() {
        QFETCH(QString, chosen);
        QFETCH(QString, expected);
        Fixture f;
        Launcher &launcher = *f.launcher;
        launcher.setDeviceID(chosen);
        launcher.setApps({InstalledApp{quillNotes, "Quill Notes", QIcon()}});
        launcher.setBundleID(quillNotes);

        QCOMPARE(f.perform(&Launcher::refresh), std::nullopt);
        QCOMPARE(f.set.commands(),
                 QList<Command>{xcrun({"simctl", "list", "devices", "available", "--json"})});
        QCOMPARE(launcher.devices().size(), 7); // all but the unavailable device
        QCOMPARE(launcher.deviceID(), expected);
        QCOMPARE(f.store->value("selectedSimulatorID").toString(), expected);
        QVERIFY(launcher.apps().isEmpty());
        QCOMPARE(launcher.bundleID(), QString());
        QCOMPARE(launcher.status(), QStringLiteral("Choose a simulator, then load its apps."));
    }

    void refreshWithoutDevicesForgetsTheDevice() {
        Fixture f;
        f.launcher->setDeviceID(iPadPro);
        const QString script = f.directory.filePath(QStringLiteral("xcrun-script"));
        QFile file(script);
        QVERIFY(file.open(QIODevice::WriteOnly) &&
                file.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
        file.write("#!/bin/sh\necho '{\"devices\":{\"com.apple.x\":[]}}'\n");
        file.close();
        f.launcher =
            std::make_unique<Launcher>(f.store.get(), DeveloperToolPaths{script, STANDIN_OPEN});
        QCOMPARE(f.perform(&Launcher::refresh), std::nullopt);
        QCOMPARE(f.launcher->deviceID(), QString());
        QCOMPARE(f.store->value("selectedSimulatorID"), QVariant(QString()));
        QCOMPARE(f.launcher->status(),
                 QStringLiteral("No available simulators. Install a runtime in Xcode Settings."));
    }

    // Booting a running device skips "boot"; the loaded apps keep a visible app selected.
    void loadAppsListsAndSelects_data() {
        QTest::addColumn<QStringList>("myApps"); // only My Apps unless empty
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("expected");
        row("a listed choice stays", QStringList{}, quillNotes, quillNotes);
        row("only My Apps", QStringList{"com.example.CafeCreme", "com.example.Gone"},
            "com.apple.Maps", "com.example.CafeCreme");
    }

    void loadAppsListsAndSelects() {
        QFETCH(QStringList, myApps);
        QFETCH(QString, chosen);
        Fixture f;
        Launcher &launcher = *f.launcher;
        launcher.setOnlyMyApps(!myApps.isEmpty());
        launcher.setMyAppIDs(QSet<QString>(myApps.begin(), myApps.end()));
        f.select(sim(iPadPro, chosen));

        QCOMPARE(f.perform(&Launcher::loadApps), std::nullopt);
        QCOMPARE(f.set.commands(), bootCommands(iPadPro, false)
                                       << xcrun({"simctl", "listapps", iPadPro}));
        QCOMPARE(launcher.status(), QStringLiteral("Loaded 6 installed apps."));
        QTEST(launcher.bundleID(), "expected");
        QVERIFY(!launcher.apps().first().icon.isNull());
    }

    // Failures reach `error` through perform as the user-facing text; the failing step changes
    // nothing, earlier steps keep their effect. Launching checks its input in a fixed order, each
    // check before any command it guards.
    void failures_data() {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QString>("language"); // "de", "en" and the malformed "de CH" are detected
        QTest::addColumn<QString>("hook");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("commands");

        const Operation refresh = &Launcher::refresh, load = &Launcher::loadApps,
                        launch = &Launcher::launch;
        const QString enterCode = QStringLiteral("Enter a language code such as en, de or pt-BR.");
        row("refresh: listing fails", refresh, sim(iPadPro), "de", "FAIL_LIST=list: broken pipe\n",
            "list: broken pipe\n", 1);
        row("load: unavailable device", load, sim(iPhone14Unavailable), "de", "",
            "An error was encountered processing the command (domain=com.apple.CoreSimulator."
            "SimError, code=403):\nUnable to boot device because we cannot determine the runtime "
            "bundle.\n",
            2);
        row("load: bootstatus fails", load, sim(iPhone16Pro), "de", "FAIL_BOOTSTATUS=timed out",
            "timed out", 3);
        row("load: Simulator app fails", load, sim(iPadPro), "de",
            "FAIL_OPEN=Unable to find application named 'Simulator'",
            "Unable to find application named 'Simulator'", 3);
        row("launch: malformed code", launch, sim(iPadPro, quillNotes), "de CH", "", enterCode, 0);
        row("launch: language checked before the Mac app", launch, "mac:", "fr", "", enterCode, 0);
        row("launch: no Mac app", launch, "mac:", "de", "", "Choose a macOS app first.", 0);
        row("launch: Mac app missing on disk", launch, "mac:/nonexistent/Gone.app", "de", "",
            "The file /nonexistent/Gone.app does not exist.\n", 1);
        row("launch: bundle identifier checked before booting", launch, sim(""), "de", "",
            "Choose an installed app or enter its bundle ID.", 0);
        row("launch: no simulator", launch, sim("", quillNotes), "de", "",
            "Choose a simulator first.", 0);
        row("launch: app not installed", launch, sim(iPadPro, "com.example.Missing"), "de", "",
            "An error was encountered processing the command (domain=FBSOpenApplicationService"
            "ErrorDomain, code=4):\nThe request to open \"com.example.Missing\" failed.\n",
            4);
    }

    void failures() {
        QFETCH(Operation, operation);
        QFETCH(QString, selection);
        QFETCH(QString, language);
        QFETCH(QString, hook);
        QFETCH(QString, error);
        Fixture f;
        Launcher &launcher = *f.launcher;
        const InstalledApp kept{"com.example.Kept", "Kept", QIcon()};
        launcher.setApps({kept});
        f.select(selection);
        launcher.setSupportedLanguages({"de", "en", "de CH"});
        launcher.setLanguage(language);
        launcher.setStatus(QStringLiteral("before"));

        f.setHook(hook);
        const std::optional<QString> failure = f.perform(operation);
        QVERIFY2(failure.value_or("").startsWith(error), qPrintable(failure.value_or("(none)")));
        QTEST(int(f.set.commands().size()), "commands");
        QVERIFY(launcher.devices().isEmpty());
        QCOMPARE(launcher.apps(), QList<InstalledApp>{kept});
        QCOMPARE(launcher.languageSelectionID(), selection);
        QCOMPARE(launcher.status(), QStringLiteral("before"));
    }

    void launchPassesArgumentsExactly_data() {
        QTest::addColumn<bool>("macMode");
        QTest::addColumn<QString>("locale");
        const QString odd = QStringLiteral(R"(de CH "x" (y) $HOME *;)");
        row("simulator", false, "de_CH");
        row("simulator, odd locale", false, odd);
        row("Mac, empty locale", true, "");
        row("Mac, odd locale", true, odd);
    }

    void launchPassesArgumentsExactly() {
        QFETCH(bool, macMode);
        QFETCH(QString, locale);
        Fixture f;
        Launcher &launcher = *f.launcher;
        f.select(macMode ? "mac:sample" : sim(iPhone16Pro, quillNotes));
        launcher.setSupportedLanguages({"de", "en"});
        launcher.setLanguage(QStringLiteral(" de\n"));
        launcher.setLocale(locale);

        QCOMPARE(f.perform(&Launcher::launch), std::nullopt);
        const QStringList arguments{"-AppleLanguages", "(de)", "-AppleLocale", locale};
        QCOMPARE(f.set.commands(),
                 macMode
                     ? QList<Command>{open(QStringList{"-n", f.set.macApp(), "--args"} + arguments)}
                     : bootCommands(iPhone16Pro, true)
                           << xcrun(QStringList{"simctl", "launch", "--terminate-running-process",
                                                iPhone16Pro, quillNotes} +
                                    arguments));
        QCOMPARE(launcher.status(), "Launched in de (" + locale + ").");
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
        row("no English: the first language", sim(iPhone15Legacy, "com.example.LegacyReader"), "",
            QStringList{"English", "de", "fr"}, "English", detected);
        row("no languages", sim(iPhone16Pro, "com.example.PlainTool"), "", QStringList{}, "",
            "This app declares no supported languages.");
        row("no app chosen", sim(iPadPro), "", QStringList{}, "",
            "Select an app to detect its languages.");
        row("tool fails", sim(iPadPro, quillNotes), "No such file or directory", QStringList{}, "",
            "Could not detect app languages: No such file or directory");
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
        QCOMPARE(launcher.loadingLanguages(), false);
        const QList<Command> lookup{xcrun(
            {"simctl", "get_app_container", launcher.deviceID(), launcher.bundleID(), "app"})};
        QCOMPARE(f.set.commands(), looksUp ? lookup : QList<Command>());
    }

    // A slow detection superseded by a new selection neither writes its result nor ends the
    // newer run's loading state, not even when the selection comes back to its app.
    void supersededDetectionStaysSilent() {
        Fixture f;
        Launcher &launcher = *f.launcher;
        f.select(sim(iPadPro, quillNotes));
        CancellationSource first;
        f.setHook("DELAY_MS_GET_APP_CONTAINER=700");
        QCoro::Task<> firstRun = launcher.detectLanguages(first.token());
        QTRY_COMPARE(f.set.commands().size(), 1); // the slow command has started
        QVERIFY(launcher.loadingLanguages());

        // The window cancels the old run and starts one for the new key; those are slower.
        f.setHook("DELAY_MS_GET_APP_CONTAINER=2500");
        first.cancel();
        launcher.setBundleID(QStringLiteral("com.example.CafeCreme"));
        CancellationSource second;
        QCoro::Task<> secondRun = launcher.detectLanguages(second.token());
        QTRY_COMPARE(f.set.commands().size(), 2);
        second.cancel();
        launcher.setBundleID(quillNotes); // back to the first app
        QCoro::Task<> thirdRun = launcher.detectLanguages(CancellationSource().token());
        QTRY_COMPARE(f.set.commands().size(), 3);

        for (QCoro::Task<> *superseded : {&firstRun, &secondRun}) {
            QCoro::waitFor(std::move(*superseded));
            QVERIFY(launcher.loadingLanguages());
            QVERIFY(launcher.supportedLanguages().isEmpty());
        }
        QCoro::waitFor(std::move(thirdRun));
        QCOMPARE(launcher.loadingLanguages(), false);
        QCOMPARE(launcher.supportedLanguages(),
                 (QStringList{"de", "en", "es", "fr", "pt-BR", "zh-Hans"}));
        QCOMPARE(launcher.language(), QStringLiteral("en"));
    }

    // A launcher closed while its tools run is left alone when they finish.
    void closedWhileToolsRun() {
        Fixture f;
        f.setHook("DELAY_MS_GET_APP_CONTAINER=400");
        f.setHook("DELAY_MS_LIST=400");
        f.select(sim(iPadPro, quillNotes));
        QCoro::Task<> detection = f.launcher->detectLanguages();
        f.launcher->perform([launcher = f.launcher.get()] { return launcher->refresh(); });
        QTRY_COMPARE(f.set.commands().size(), 2);
        f.launcher.reset();
        QCoro::waitFor(std::move(detection));
        QTest::qWait(600); // the refresh's command ends too; nothing may touch the launcher
    }
};

QTEST_GUILESS_MAIN(LauncherWorkflowTest)
#include "tst_launcher_workflow.moc"
