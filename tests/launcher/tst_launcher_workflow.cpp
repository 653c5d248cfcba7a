// The launcher's operations driven against the stand-in developer tools through the real
// command runner: the command lines as the tools logged them, the status texts, the stored
// device, language detection (including a superseded run) and the error texts of failing tools.
#include "launcher/Launcher.h"
#include "standin/StandinDeviceSet.h"
#include "tools/Error.h"

#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <QCoroTask>

using Command = StandinDeviceSet::Command;

namespace {

const QString iPhone16Pro = QString::fromLatin1(StandinDeviceSet::iPhone16Pro);
const QString iPadPro = QString::fromLatin1(StandinDeviceSet::iPadPro);
const QString iPhone14Unavailable = QString::fromLatin1(StandinDeviceSet::iPhone14Unavailable);
const QString iPhone15Legacy = QStringLiteral("D2C4E6F8-0A1B-4C3D-8E5F-6A7B8C9D0E05");
const QString zoesIPhone = QStringLiteral("4C6E8A0B-2D4F-4A6C-8E0A-1B3C5D7E9F08");

Command xcrun(const QStringList &arguments) {
    return {QStringLiteral("xcrun"), arguments};
}
Command open(const QStringList &arguments) {
    return {QStringLiteral("open"), arguments};
}

// The commands boot() issues for a device, with or without the "boot" command itself.
QList<Command> bootCommands(const QString &udid, bool booting) {
    QList<Command> commands{xcrun({"simctl", "list", "devices", "--json"})};
    if (booting)
        commands << xcrun({"simctl", "boot", udid});
    commands << xcrun({"simctl", "bootstatus", udid, "-b"})
             << open({"-a", "Simulator", "--args", "-CurrentDeviceUDID", udid});
    return commands;
}

// Sets an environment variable for the stand-in tools started while it lives.
class ScopedEnvironment {
public:
    ScopedEnvironment(const QByteArray &name, const QByteArray &value)
        : m_name(name) {
        if (!name.isEmpty())
            qputenv(name.constData(), value);
    }
    ~ScopedEnvironment() {
        if (!m_name.isEmpty())
            qunsetenv(m_name.constData());
    }

private:
    QByteArray m_name;
};

// Awaits an operation and hands back its failure's user-facing description, if any.
// (QCoro::waitFor never returns when the awaited task throws.)
QCoro::Task<std::optional<QString>> failureOf(QCoro::Task<> operation) {
    try {
        co_await operation;
    } catch (...) {
        co_return userFacingDescription(std::current_exception());
    }
    co_return std::nullopt;
}

std::optional<QString> run(QCoro::Task<> operation) {
    return QCoro::waitFor(failureOf(std::move(operation)));
}

// A private device set, a settings file and a launcher using the stand-in tools.
struct Fixture {
    explicit Fixture(const QByteArray &settings = QByteArray()) {
        const QString path = directory.filePath(QStringLiteral("settings.ini"));
        if (!settings.isEmpty()) {
            QFile file(path);
            if (file.open(QIODevice::WriteOnly))
                file.write(settings);
        }
        store = std::make_unique<QSettings>(path, QSettings::IniFormat);
        launcher = std::make_unique<Launcher>(store.get(),
                                              DeveloperToolPaths{STANDIN_XCRUN, STANDIN_OPEN});
    }

    // A tool of our own: a shell script that prints `output` and exits with `status`.
    DeveloperToolPaths scriptedXcrun(const QByteArray &output, int status = 0) {
        const QString path = directory.filePath(QStringLiteral("xcrun-script"));
        QFile script(path);
        if (script.open(QIODevice::WriteOnly)) {
            script.write("#!/bin/sh\nprintf '%s' '" + output + "'\nexit " +
                         QByteArray::number(status) + "\n");
            script.setPermissions(script.permissions() | QFile::ExeOwner);
        }
        return {path, QStringLiteral(STANDIN_OPEN)};
    }

    QTemporaryDir directory;
    StandinDeviceSet set;
    std::unique_ptr<QSettings> store;
    std::unique_ptr<Launcher> launcher;
};

QStringList ids(const QList<InstalledApp> &apps) {
    QStringList result;
    for (const InstalledApp &app : apps)
        result << app.id;
    return result;
}

} // namespace

class LauncherWorkflowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        Fixture fixture;
        QVERIFY2(fixture.set.isValid(), "the stand-in's sample device set is missing");
    }

    void refreshListsAvailableDevices_data() {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("expected");
        QTest::newRow("remembered device still listed")
            << QByteArray("[General]\nselectedSimulatorID=" + iPadPro.toLatin1() + "\n") << iPadPro;
        QTest::newRow("remembered device no longer available")
            << QByteArray("[General]\nselectedSimulatorID=" + iPhone14Unavailable.toLatin1() + "\n")
            << zoesIPhone;
        QTest::newRow("nothing remembered") << QByteArray() << zoesIPhone;
    }

    void refreshListsAvailableDevices() {
        QFETCH(QByteArray, settings);
        QFETCH(QString, expected);
        Fixture f(settings);
        Launcher &launcher = *f.launcher;
        launcher.setApps({InstalledApp{"com.example.Old", "Old", QIcon()}});
        launcher.setBundleID(QStringLiteral("com.example.Old"));
        QSignalSpy apps(&launcher, &Launcher::appsChanged);

        QCOMPARE(run(launcher.refresh()), std::nullopt);
        QCOMPARE(f.set.commands(),
                 QList<Command>{xcrun({"simctl", "list", "devices", "available", "--json"})});
        QStringList names;
        for (const SimulatorDevice &device : launcher.devices())
            names << device.name;
        QCOMPARE(names, (QStringList{QString::fromUtf8("Zoë’s iPhone"), "iPad Air (5th generation)",
                                     "iPad Pro 13-inch (M4)", "iPhone 15", "iPhone 15", "iPhone 16",
                                     "iPhone 16 Pro"}));
        QCOMPARE(launcher.deviceID(), expected);
        QCOMPARE(f.store->value("selectedSimulatorID").toString(), expected);
        QVERIFY(launcher.apps().isEmpty());
        QCOMPARE(apps.count(), 1);
        QCOMPARE(launcher.bundleID(), QString());
        QCOMPARE(launcher.status(), QStringLiteral("Choose a simulator, then load its apps."));
    }

    void refreshWithoutDevicesForgetsTheDevice() {
        Fixture f("[General]\nselectedSimulatorID=" + iPadPro.toLatin1() + "\n");
        Launcher launcher(f.store.get(), f.scriptedXcrun(R"({"devices":{"com.apple.x":[]}})"));
        QCOMPARE(run(launcher.refresh()), std::nullopt);
        QVERIFY(launcher.devices().isEmpty());
        QCOMPARE(launcher.deviceID(), QString());
        QCOMPARE(f.store->value("selectedSimulatorID"), QVariant(QString()));
        QCOMPARE(launcher.status(),
                 QStringLiteral("No available simulators. Install a runtime in Xcode Settings."));
    }

    void loadAppsBootsAndLists_data() {
        QTest::addColumn<QString>("device");
        QTest::addColumn<bool>("onlyMyApps");
        QTest::addColumn<QStringList>("myApps");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("booting");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("expected"); // "first": the first app by name

        QTest::newRow("shut-down device")
            << iPhone16Pro << false << QStringList{} << QString() << true << 10 << "first";
        QTest::newRow("booted device keeps a listed choice")
            << iPadPro << false << QStringList{} << "com.example.QuillNotes" << false << 6
            << "com.example.QuillNotes";
        QTest::newRow("only My Apps, one loaded")
            << iPadPro << true << QStringList{"com.example.CafeCreme", "com.example.Gone"}
            << "com.apple.Maps" << false << 6 << "com.example.CafeCreme";
        QTest::newRow("only My Apps, none loaded")
            << iPadPro << true << QStringList{"com.example.Gone"} << QString() << false << 6
            << QString();
    }

    void loadAppsBootsAndLists() {
        QFETCH(QString, device);
        QFETCH(bool, onlyMyApps);
        QFETCH(QStringList, myApps);
        QFETCH(QString, chosen);
        QFETCH(bool, booting);
        QFETCH(int, count);
        QFETCH(QString, expected);
        Fixture f;
        Launcher &launcher = *f.launcher;
        launcher.setDeviceID(device);
        launcher.setOnlyMyApps(onlyMyApps);
        launcher.setMyAppIDs(QSet<QString>(myApps.begin(), myApps.end()));
        launcher.setBundleID(chosen);

        QCOMPARE(run(launcher.loadApps()), std::nullopt);
        QCOMPARE(f.set.commands(), bootCommands(device, booting)
                                       << xcrun({"simctl", "listapps", device}));
        QCOMPARE(f.set.device(device).value("state").toString(), QStringLiteral("Booted"));
        QCOMPARE(launcher.apps().size(), count);
        QCOMPARE(launcher.status(), QStringLiteral("Loaded %1 installed apps.").arg(count));
        if (expected == "first")
            expected = launcher.apps().first().id;
        QCOMPARE(launcher.bundleID(), expected);
        QVERIFY(!launcher.apps().first().icon.isNull());
    }

    // Failures reach `error` through perform as the user-facing text; the failing step
    // changes nothing, earlier steps keep their effect.
    void operationFailures_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QByteArray>("hook");
        QTest::addColumn<QByteArray>("hookValue");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("commands");

        QTest::newRow("refresh: listing fails")
            << "refresh" << iPadPro << QByteArray("QUILLMARCH_STANDIN_FAIL_LIST")
            << QByteArray("list: broken pipe\n") << "list: broken pipe\n"
            << 1;
        QTest::newRow("load: no device chosen") << "loadApps" << QString() << QByteArray()
                                                << QByteArray() << "Choose a simulator first." << 0;
        QTest::newRow("load: unavailable device")
            << "loadApps" << iPhone14Unavailable << QByteArray() << QByteArray()
            << "An error was encountered processing the command "
               "(domain=com.apple.CoreSimulator.SimError, code=403):\nUnable to boot device "
               "because we cannot determine the runtime bundle.\n"
            << 2;
        QTest::newRow("load: unknown device")
            << "loadApps"
            << "NOT-A-DEVICE" << QByteArray() << QByteArray() << "Invalid device: NOT-A-DEVICE\n"
            << 2;
        QTest::newRow("load: bootstatus fails")
            << "loadApps" << iPhone16Pro << QByteArray("QUILLMARCH_STANDIN_FAIL_BOOTSTATUS")
            << QByteArray("timed out") << "timed out" << 3;
        QTest::newRow("load: Simulator app fails")
            << "loadApps" << iPadPro << QByteArray("QUILLMARCH_STANDIN_FAIL_OPEN")
            << QByteArray("Unable to find application named 'Simulator'")
            << "Unable to find application named 'Simulator'" << 3;
    }

    void operationFailures() {
        QFETCH(QString, operation);
        QFETCH(QString, device);
        QFETCH(QByteArray, hook);
        QFETCH(QByteArray, hookValue);
        QFETCH(int, commands);
        Fixture f;
        Launcher &launcher = *f.launcher;
        launcher.setDeviceID(device);
        const InstalledApp kept{"com.example.Kept", "Kept", QIcon()};
        launcher.setApps({kept});
        launcher.setBundleID(kept.id);
        launcher.setStatus(QStringLiteral("before"));

        const ScopedEnvironment environment(hook, hookValue);
        if (operation == "refresh")
            launcher.perform([&launcher] { return launcher.refresh(); });
        else
            launcher.perform([&launcher] { return launcher.loadApps(); });
        QTRY_VERIFY(!launcher.busy());
        QTEST(launcher.error().value_or("(none)"), "error");
        QCOMPARE(f.set.commands().size(), commands);
        QVERIFY(launcher.devices().isEmpty());
        QCOMPARE(launcher.deviceID(), device);
        QCOMPARE(ids(launcher.apps()), QStringList{kept.id});
        QCOMPARE(launcher.bundleID(), kept.id);
        QCOMPARE(launcher.status(), QStringLiteral("before"));
    }

    void launchPassesArgumentsExactly_data() {
        QTest::addColumn<bool>("macMode");
        QTest::addColumn<QString>("locale");
        QTest::newRow("simulator") << false << "de_CH";
        QTest::newRow("simulator, empty locale") << false << "";
        QTest::newRow("simulator, odd locale") << false << R"(de CH "x" (y) $HOME *;)";
        QTest::newRow("Mac") << true << "de_CH";
        QTest::newRow("Mac, empty locale") << true << "";
    }

    void launchPassesArgumentsExactly() {
        QFETCH(bool, macMode);
        QFETCH(QString, locale);
        Fixture f;
        Launcher &launcher = *f.launcher;
        launcher.setMacMode(macMode);
        launcher.setMacApp(QUrl::fromLocalFile(f.set.macApp()));
        launcher.setDeviceID(iPhone16Pro);
        launcher.setBundleID(QStringLiteral("com.example.QuillNotes"));
        launcher.setSupportedLanguages({"de", "en"});
        launcher.setLanguage(QStringLiteral(" de\n"));
        launcher.setLocale(locale);

        QCOMPARE(run(launcher.launch()), std::nullopt);
        const QStringList launchArguments{"-AppleLanguages", "(de)", "-AppleLocale", locale};
        if (macMode) {
            QCOMPARE(f.set.commands(),
                     QList<Command>{
                         open(QStringList{"-n", f.set.macApp(), "--args"} + launchArguments)});
        } else {
            QCOMPARE(f.set.commands(),
                     bootCommands(iPhone16Pro, true)
                         << xcrun(QStringList{"simctl", "launch", "--terminate-running-process",
                                              iPhone16Pro, "com.example.QuillNotes"} +
                                  launchArguments));
        }
        QCOMPARE(launcher.status(), "Launched in de (" + locale + ").");
    }

    void launchRefuses_data() {
        QTest::addColumn<bool>("macMode");
        QTest::addColumn<QString>("macApp");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("bundle");
        QTest::addColumn<QStringList>("supported");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("commands");

        const QString enterCode = QStringLiteral("Enter a language code such as en, de or pt-BR.");
        QTest::newRow("no detected languages") << false << "" << iPadPro << "com.example.QuillNotes"
                                               << QStringList{} << "en" << enterCode << 0;
        QTest::newRow("language checked before the Mac app")
            << true << "" << iPadPro << "" << QStringList{"de"} << "fr" << enterCode << 0;
        QTest::newRow("no Mac app") << true << "" << iPadPro << "" << QStringList{"de"} << "de"
                                    << "Choose a macOS app first." << 0;
        QTest::newRow("Mac app missing on disk")
            << true << "/nonexistent/Gone.app" << iPadPro << "" << QStringList{"de"} << "de"
            << "The file /nonexistent/Gone.app does not exist.\n"
            << 1;
        QTest::newRow("no bundle identifier, checked before booting")
            << false << "" << QString() << "" << QStringList{"de"} << "de"
            << "Choose an installed app or enter its bundle ID." << 0;
        QTest::newRow("no simulator")
            << false << "" << QString() << "com.example.QuillNotes" << QStringList{"de"} << "de"
            << "Choose a simulator first." << 0;
        QTest::newRow("app not installed")
            << false << "" << iPadPro << "com.example.Missing" << QStringList{"de"} << "de"
            << "An error was encountered processing the command "
               "(domain=FBSOpenApplicationServiceErrorDomain, code=4):\n"
            << 4;
    }

    void launchRefuses() {
        QFETCH(bool, macMode);
        QFETCH(QString, macApp);
        QFETCH(QString, device);
        QFETCH(QString, bundle);
        QFETCH(QStringList, supported);
        QFETCH(QString, language);
        QFETCH(QString, error);
        Fixture f;
        Launcher &launcher = *f.launcher;
        launcher.setMacMode(macMode);
        if (!macApp.isEmpty())
            launcher.setMacApp(QUrl::fromLocalFile(macApp));
        launcher.setDeviceID(device);
        launcher.setBundleID(bundle);
        launcher.setSupportedLanguages(supported);
        launcher.setLanguage(language);
        launcher.setStatus(QStringLiteral("before"));

        const std::optional<QString> failure = run(launcher.launch());
        QVERIFY(failure.has_value());
        QVERIFY2(failure->startsWith(error), qPrintable(*failure));
        QTEST(int(f.set.commands().size()), "commands");
        QCOMPARE(launcher.status(), QStringLiteral("before"));
    }

    void detectsLanguages_data() {
        QTest::addColumn<bool>("macMode");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("bundle");
        QTest::addColumn<bool>("bootFirst"); // only the iPad is running in the sample set
        QTest::addColumn<QByteArray>("hook");
        QTest::addColumn<QByteArray>("hookValue");
        QTest::addColumn<QStringList>("languages");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("commands");

        const QString detected = QStringLiteral("Languages detected from the selected app.");
        const QByteArray none;
        QTest::newRow("Mac app") << true << QString() << QString() << false << none << none
                                 << QStringList{"de", "en", "fr", "ja", "pt-BR"} << "en" << detected
                                 << 0;
        QTest::newRow("simulator app")
            << false << iPadPro << "com.example.QuillNotes" << false << none << none
            << QStringList{"de", "en", "es", "fr", "pt-BR", "zh-Hans"} << "en" << detected << 1;
        QTest::newRow("no English: the first language")
            << false << iPhone15Legacy << "com.example.LegacyReader" << true << none << none
            << QStringList{"English", "de", "fr"} << "English" << detected << 1;
        QTest::newRow("no languages") << false << iPhone16Pro << "com.example.PlainTool" << true
                                      << none << none << QStringList{} << ""
                                      << "This app declares no supported languages." << 1;
        QTest::newRow("no app chosen")
            << false << iPadPro << "" << false << none << none << QStringList{} << ""
            << "Select an app to detect its languages." << 0;
        QTest::newRow("tool fails")
            << false << iPadPro << "com.example.QuillNotes" << false
            << QByteArray("QUILLMARCH_STANDIN_FAIL_GET_APP_CONTAINER")
            << QByteArray("No such file or directory") << QStringList{} << ""
            << "Could not detect app languages: No such file or directory" << 1;
    }

    void detectsLanguages() {
        QFETCH(bool, macMode);
        QFETCH(QString, device);
        QFETCH(QString, bundle);
        QFETCH(bool, bootFirst);
        QFETCH(QByteArray, hook);
        QFETCH(QByteArray, hookValue);
        QFETCH(QStringList, languages);
        Fixture f;
        Launcher &launcher = *f.launcher;
        launcher.setMacMode(macMode);
        launcher.setMacApp(QUrl::fromLocalFile(f.set.macApp()));
        launcher.setDeviceID(device);
        launcher.setBundleID(bundle);
        launcher.setLocale(QStringLiteral("de_CH"));
        if (bootFirst) {
            QCOMPARE(run(launcher.boot()), std::nullopt);
            f.set.clearCommands();
        }

        const ScopedEnvironment environment(hook, hookValue);
        QSignalSpy loading(&launcher, &Launcher::loadingLanguagesChanged);
        QCoro::waitFor(launcher.detectLanguages());
        QCOMPARE(launcher.supportedLanguages(), languages);
        QTEST(launcher.language(), "language");
        QTEST(launcher.languageMessage(), "message");
        QCOMPARE(launcher.loadingLanguages(), false);
        QCOMPARE(loading.count(), bundle.isEmpty() && !macMode ? 0 : 2);
        QCOMPARE(launcher.locale(), QStringLiteral("de_CH"));
        QTEST(int(f.set.commands().size()), "commands");
        if (!macMode && !bundle.isEmpty())
            QCOMPARE(f.set.commands().first(),
                     xcrun({"simctl", "get_app_container", device, bundle, "app"}));
    }

    // A slow detection superseded by a new selection neither writes its result nor ends the
    // newer run's loading state; a cancelled run on the same key does not either.
    void supersededDetectionStaysSilent_data() {
        QTest::addColumn<bool>("returnToFirstApp");
        QTest::newRow("another app") << false;
        QTest::newRow("away and back to the same app") << true;
    }

    void supersededDetectionStaysSilent() {
        QFETCH(bool, returnToFirstApp);
        Fixture f;
        Launcher &launcher = *f.launcher;
        launcher.setDeviceID(iPadPro);
        launcher.setBundleID(QStringLiteral("com.example.QuillNotes"));

        CancellationSource first;
        std::optional<ScopedEnvironment> delay;
        delay.emplace("QUILLMARCH_STANDIN_DELAY_MS_GET_APP_CONTAINER", "700");
        QCoro::Task<> firstRun = launcher.detectLanguages(first.token());
        QTRY_COMPARE(f.set.commands().size(), 1); // the slow command has started
        QVERIFY(launcher.loadingLanguages());

        // The window cancels the old run and starts one for the new key; that one is slower.
        delay.emplace("QUILLMARCH_STANDIN_DELAY_MS_GET_APP_CONTAINER", "2500");
        first.cancel();
        launcher.setBundleID(QStringLiteral("com.example.CafeCreme"));
        CancellationSource second;
        QCoro::Task<> secondRun = launcher.detectLanguages(second.token());
        QCoro::Task<> thirdRun;
        if (returnToFirstApp) {
            QTRY_COMPARE(f.set.commands().size(), 2);
            second.cancel();
            launcher.setBundleID(QStringLiteral("com.example.QuillNotes"));
            thirdRun = launcher.detectLanguages(CancellationSource().token());
        }
        QTRY_COMPARE(f.set.commands().size(), returnToFirstApp ? 3 : 2);
        delay.reset();

        QCoro::waitFor(std::move(firstRun));
        QVERIFY(launcher.loadingLanguages());
        QVERIFY(launcher.supportedLanguages().isEmpty());
        QCOMPARE(launcher.language(), QString());
        QCOMPARE(launcher.languageMessage(),
                 QStringLiteral("Select an app to detect its languages."));

        QCoro::waitFor(std::move(secondRun));
        if (returnToFirstApp) {
            QVERIFY(launcher.loadingLanguages());
            QVERIFY(launcher.supportedLanguages().isEmpty());
            QCoro::waitFor(std::move(thirdRun));
        }
        QCOMPARE(launcher.loadingLanguages(), false);
        const QStringList quillNotes{"de", "en", "es", "fr", "pt-BR", "zh-Hans"};
        const QStringList cafeCreme{"en", "fr", "fr-CA"};
        QCOMPARE(launcher.supportedLanguages(), returnToFirstApp ? quillNotes : cafeCreme);
        QCOMPARE(launcher.language(), QStringLiteral("en"));
    }

    // A launcher closed while its tools run is left alone when they finish.
    void closedWhileToolsRun() {
        Fixture f;
        const ScopedEnvironment delay("QUILLMARCH_STANDIN_DELAY_MS_GET_APP_CONTAINER", "400");
        const ScopedEnvironment listDelay("QUILLMARCH_STANDIN_DELAY_MS_LIST", "400");
        f.launcher->setDeviceID(iPadPro);
        f.launcher->setBundleID(QStringLiteral("com.example.QuillNotes"));
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
