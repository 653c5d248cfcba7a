// The stand-in developer tools, run as real child processes against a private copy of the
// sample device set, and read back with the application's own report decoders.
#include "standin/StandinDeviceSet.h"
#include "tools/DeviceList.h"
#include "tools/InstalledApps.h"
#include "tools/PropertyList.h"

#include <QProcess>
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

QTEST_GUILESS_MAIN(StandinTest)
#include "tst_standin.moc"
