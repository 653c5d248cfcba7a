// The stand-in developer tools, run as real child processes against a private copy of the
// sample device set, and read back with the application's own report decoders.
#include "gallery/ScreenComparison.h"
#include "standin/StandinDeviceSet.h"
#include "tools/DeviceList.h"
#include "tools/InstalledApps.h"
#include "tools/PropertyList.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Outcome {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Outcome run(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

const QString iPhone = QString::fromLatin1(StandinDeviceSet::iPhone16Pro);
const QString iPad = QString::fromLatin1(StandinDeviceSet::iPadPro);

QByteArray simulatorError(int code, const char *message) {
    return "An error was encountered processing the command "
           "(domain=com.apple.CoreSimulator.SimError, code=" +
           QByteArray::number(code) + "):\n" + message + "\n";
}

} // namespace

class StandinTest : public QObject {
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void reportsDecodeWithTheApplicationsReaders();
    void screenshots_data();
    void screenshots();
};

void StandinTest::answers_data() {
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");

    const QString xcrun = QStringLiteral("xcrun");
    const QString open = QStringLiteral("open");
    const QByteArray none;
    QTest::newRow("boot booted") << xcrun << QStringList{"simctl", "boot", iPad} << 149 << none
                                 << simulatorError(
                                        405, "Unable to boot device in current state: Booted");
    QTest::newRow("boot unknown") << xcrun << QStringList{"simctl", "boot", "NOPE"} << 148 << none
                                  << QByteArray("Invalid device: NOPE\n");
    QTest::newRow("boot unavailable")
        << xcrun << QStringList{"simctl", "boot", StandinDeviceSet::iPhone14Unavailable} << 147
        << none
        << simulatorError(403,
                          "Unable to boot device because we cannot determine the runtime bundle.");
    QTest::newRow("listapps shut down")
        << xcrun << QStringList{"simctl", "listapps", iPhone} << 149 << none
        << simulatorError(405, "Unable to lookup in current state: Shutdown");
    QTest::newRow("container missing")
        << xcrun
        << QStringList{"simctl", "get_app_container", iPad, "com.example.PartyPlanner", "app"} << 2
        << none
        << QByteArray("An error was encountered processing the command (domain=NSPOSIXErrorDomain, "
                      "code=2):\nNo such file or directory\n");
    QTest::newRow("bootstatus booted")
        << xcrun << QStringList{"simctl", "bootstatus", iPad, "-b"} << 0
        << ("Monitoring boot status for iPad Pro 13-inch (M4) (" + iPad.toLatin1() +
            ").\nDevice already booted, nothing to do.\n")
        << none;
    QTest::newRow("launch") << xcrun
                            << QStringList{"simctl",
                                           "launch",
                                           "--terminate-running-process",
                                           iPad,
                                           "com.example.QuillNotes",
                                           "-AppleLanguages",
                                           "(pt-BR)",
                                           "-AppleLocale",
                                           ""}
                            << 0 << QByteArray("com.example.QuillNotes: 41207\n") << none;
    // MAC_APP: the sample Mac application of the row's device set.
    QTest::newRow("open mac app, arguments kept exactly")
        << open << QStringList{"-n",   "MAC_APP",    "--args", "-AppleLanguages",
                               "(de)", "a \"b\" $c", "",       QString::fromUtf8("\u00fc\n\\")}
        << 0 << none << none;
    QTest::newRow("appearance") << xcrun << QStringList{"simctl", "ui", iPad, "appearance"} << 0
                                << QByteArray("light\n") << none;
    QTest::newRow("appearance, shut down")
        << xcrun << QStringList{"simctl", "ui", iPhone, "appearance", "dark"} << 149 << none
        << simulatorError(405, "Unable to lookup in current state: Shutdown");
    QTest::newRow("status bar list")
        << xcrun << QStringList{"simctl", "status_bar", iPad, "list"} << 0
        << QByteArray("Current Status Bar Overrides:\n=============================\n") << none;
    QTest::newRow("status bar out of range")
        << xcrun << QStringList{"simctl", "status_bar", iPad, "override", "--wifiBars", "9"} << 64
        << none << QByteArray("Invalid value for --wifiBars: 9 (0-3)\n");
    QTest::newRow("screenshot") << xcrun << QStringList{"simctl",     "io",         iPad,
                                                        "screenshot", "--type=png", "SHOT"}
                                << 0 << none << QByteArray("Wrote screenshot to: SHOT\n");
    QTest::newRow("screenshot, unknown device")
        << xcrun << QStringList{"simctl", "io", "NOPE", "screenshot", "SHOT"} << 148 << none
        << QByteArray("Invalid device: NOPE\n");
    QTest::newRow("terminate, nothing running")
        << xcrun << QStringList{"simctl", "terminate", iPad, "com.example.QuillNotes"} << 3 << none
        << simulatorError(3, "The request to terminate \"com.example.QuillNotes\" failed. found "
                             "nothing to terminate");
    QTest::newRow("open missing app")
        << open << QStringList{"-n", "/nonexistent/Foo.app", "--args", "-x"} << 1 << none
        << QByteArray("The file /nonexistent/Foo.app does not exist.\n");
}

void StandinTest::answers() {
    QFETCH(QString, tool);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    const StandinDeviceSet set;
    QVERIFY(set.isValid());
    arguments.replaceInStrings(QStringLiteral("MAC_APP"), set.macApp());
    const QString shot = set.path() + QStringLiteral("/shot.png");
    arguments.replaceInStrings(QStringLiteral("SHOT"), shot);
    err.replace("SHOT", shot.toUtf8());

    const Outcome outcome =
        run(tool == QLatin1String("open") ? set.open() : set.xcrun(), arguments);
    QCOMPARE(outcome.status, status);
    QCOMPARE(outcome.out, out);
    QCOMPARE(outcome.err, err);
    const QList<StandinDeviceSet::Command> expected{{tool, arguments}};
    QCOMPARE(set.commands(), expected);
}

void StandinTest::reportsDecodeWithTheApplicationsReaders() {
    const StandinDeviceSet set;
    const Outcome devices = run(set.xcrun(), {"simctl", "list", "devices", "--json"});
    const DeviceList list = DeviceList::decode(devices.out);
    QCOMPARE(list.flattened().size(), 8);
    QCOMPARE(list.device(iPad)->state, QStringLiteral("Booted"));

    QCOMPARE(run(set.xcrun(), {"simctl", "boot", iPhone}).status, 0);
    const Outcome report = run(set.xcrun(), {"simctl", "listapps", iPhone});
    QCOMPARE(report.status, 0);
    const QVariantMap apps = PropertyList::read(report.out).toMap();
    QCOMPARE(apps.size(), 10);
    QStringList names;
    for (const InstalledApp &app :
         InstalledApps::decode(report.out, [](const QVariantMap &) { return QIcon(); }))
        names << app.name;
    QCOMPARE(names,
             (QStringList{QString::fromUtf8("Caf\u00e9 Cr\u00e8me"), "Legacy Reader", "Maps",
                          QString::fromUtf8("Party Planner \U0001F389"), "Photos", "Plain Tool",
                          "Quill Notes", "Safari", "Settings", QString::fromUtf8("\u5929\u6c14")}));

    const Outcome container =
        run(set.xcrun(), {"simctl", "get_app_container", iPhone, "com.apple.Maps", "app"});
    QCOMPARE(container.status, 0);
    QCOMPARE(container.out,
             apps.value("com.apple.Maps").toMap().value("Path").toString().toUtf8() + "\n");
}

void StandinTest::screenshots_data() {
    // Two screenshots of Quill Notes on the iPad, each taken after its own set of commands
    // (LAUNCH stands for launching it with the arguments that follow, up to the next ";").
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("second");
    QTest::addColumn<QString>("expected"); // "same", "different", "same but the status bar"

    const QStringList en{"LAUNCH", "-AppleLanguages", "(en)", "-AppleLocale", "en_US"};
    const auto launched = [&](const QString &language, const QStringList &more = {}) {
        return QStringList{"LAUNCH", "-AppleLanguages", "(" + language + ")", "-AppleLocale",
                           "xx_XX"} +
               more;
    };
    QTest::newRow("untranslated language falls back") << en << launched("es") << "same";
    QTest::newRow("regional variant uses its language")
        << launched("de") << launched("de-AT") << "same";
    QTest::newRow("translated language") << en << launched("fr") << "different";
    QTest::newRow("right-to-left language mirrors") << en << launched("ar") << "different";
    QTest::newRow("right-to-left option mirrors")
        << en << launched("en", {"-AppleTextDirection", "YES"}) << "different";
    QTest::newRow("accented strings")
        << en << launched("en", {"-NSAccentuateLocalizedStrings", "YES"}) << "different";
    QTest::newRow("non-localized strings of a full translation")
        << launched("de") << launched("de", {"-NSShowNonLocalizedStrings", "YES"}) << "same";
    QTest::newRow("non-localized strings of a partial translation")
        << launched("fr") << launched("fr", {"-NSShowNonLocalizedStrings", "YES"}) << "different";
    QTest::newRow("dark appearance")
        << en << (QStringList{"simctl", "ui", iPad, "appearance", "dark", ";"} + en) << "different";
    QTest::newRow("status bar override")
        << en
        << (QStringList{"simctl", "status_bar", iPad, "override", "--time", "9:41",
                        "--batteryLevel", "5", ";"} +
            en)
        << "same but the status bar";
    QTest::newRow("deep link") << en
                               << (en + QStringList{";", "simctl", "openurl", iPad,
                                                    "quillnotes://settings"})
                               << "different";
    QTest::newRow("terminated shows the home screen")
        << en << (en + QStringList{";", "simctl", "terminate", iPad, "com.example.QuillNotes"})
        << "different";
}

void StandinTest::screenshots() {
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    QFETCH(QString, expected);
    qputenv("QUILLMARCH_STANDIN_SCREEN_SCALE", "0.5");
    qputenv("QUILLMARCH_STANDIN_LAUNCH_SCREEN_MS", "0");
    qputenv("QUILLMARCH_STANDIN_APPEARING_MS", "0");
    QTemporaryDir folder;
    const auto take = [&](const QStringList &commands, const QString &name) {
        const StandinDeviceSet set;
        QStringList command;
        for (const QString &word : commands + QStringList{";"}) {
            if (word != QLatin1String(";")) {
                command << word;
                continue;
            }
            if (command.value(0) == QLatin1String("LAUNCH"))
                command = QStringList{"simctl", "launch", iPad, "com.example.QuillNotes"} +
                          command.mid(1);
            const Outcome outcome = run(set.xcrun(), command);
            if (outcome.status != 0)
                qWarning("%s", outcome.err.constData());
            command.clear();
        }
        const QString file = folder.filePath(name);
        run(set.xcrun(), {"simctl", "io", iPad, "screenshot", "--type=png", file});
        return QImage(file);
    };
    const QImage one = take(first, QStringLiteral("first.png"));
    const QImage two = take(second, QStringLiteral("second.png"));
    QCOMPARE(one.size(), QSize(516, 688)); // 1032 × 1376 points at half a pixel each
    const bool sameBelowStatusBar = ScreenComparison::sameScreen(one, two);
    const bool identical = one == two;
    const QString actual = identical            ? QStringLiteral("same")
                           : sameBelowStatusBar ? QStringLiteral("same but the status bar")
                                                : QStringLiteral("different");
    if (expected == QLatin1String("same") && actual == QLatin1String("same but the status bar"))
        return; // the live clock may have ticked between the two
    QCOMPARE(actual, expected);
}

QTEST_GUILESS_MAIN(StandinTest)
#include "tst_standin.moc"
