// The stand-in developer tools, run as real child processes against a private copy of the
// sample device set, and read back with the application's own report decoders.
#include "standin/StandinDeviceSet.h"
#include "tools/DeviceList.h"
#include "tools/InstalledApps.h"
#include "tools/PropertyList.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QImageReader>
#include <QProcess>
#include <QTest>

#include <memory>

namespace {

struct Outcome {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Outcome run(const QString &program, const QStringList &arguments,
            const QStringList &environment = QStringList()) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &entry : environment)
        env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(env);
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

QMap<QString, QByteArray> treeDigest(const QString &root) {
    QMap<QString, QByteArray> digest;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        file.open(QIODevice::ReadOnly);
        digest.insert(it.filePath().mid(root.size()),
                      QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256));
    }
    return digest;
}

} // namespace

class StandinTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void answers_data();
    void answers();
    void deviceReportDecodes();
    void bootingChangesStateAndAppsBecomeReadable();
    void hooksDelayAndFail();
    void concurrentInvocationsLogWholeLines();
    void sampleBundles();
    void generatorIsDeterministic();

private:
    // Shared by the rows of answers(), none of which changes a device.
    std::unique_ptr<StandinDeviceSet> m_set;
};

void StandinTest::initTestCase() {
    m_set = std::make_unique<StandinDeviceSet>();
    QVERIFY(m_set->isValid());
}

void StandinTest::answers_data() {
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");

    const QString xcrun = QStringLiteral("xcrun");
    const QString open = QStringLiteral("open");
    QTest::newRow("boot booted") << xcrun << QStringList{"simctl", "boot", iPad} << 149
                                 << QByteArray()
                                 << simulatorError(
                                        405, "Unable to boot device in current state: Booted");
    QTest::newRow("boot unknown") << xcrun << QStringList{"simctl", "boot", "NOPE"} << 148
                                  << QByteArray() << QByteArray("Invalid device: NOPE\n");
    QTest::newRow("boot unavailable")
        << xcrun << QStringList{"simctl", "boot", StandinDeviceSet::iPhone14Unavailable} << 147
        << QByteArray()
        << simulatorError(403,
                          "Unable to boot device because we cannot determine the runtime bundle.");
    QTest::newRow("listapps shut down")
        << xcrun << QStringList{"simctl", "listapps", iPhone} << 149 << QByteArray()
        << simulatorError(405, "Unable to lookup in current state: Shutdown");
    QTest::newRow("container missing")
        << xcrun
        << QStringList{"simctl", "get_app_container", iPad, "com.example.PartyPlanner", "app"} << 2
        << QByteArray()
        << QByteArray("An error was encountered processing the command (domain=NSPOSIXErrorDomain, "
                      "code=2):\nNo such file or directory\n");
    QTest::newRow("bootstatus booted")
        << xcrun << QStringList{"simctl", "bootstatus", iPad, "-b"} << 0
        << ("Monitoring boot status for iPad Pro 13-inch (M4) (" + iPad.toLatin1() +
            ").\nDevice already booted, nothing to do.\n")
        << QByteArray();
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
                            << 0 << QByteArray("com.example.QuillNotes: 41207\n") << QByteArray();
    QTest::newRow("unknown subcommand")
        << xcrun << QStringList{"simctl", "erase", iPad} << 64 << QByteArray()
        << QByteArray("usage: simctl <subcommand> ...\nSubcommands answered by this "
                      "stand-in: list, boot, bootstatus, listapps, "
                      "get_app_container, launch, shutdown\n");
    QTest::newRow("shutdown shut down")
        << xcrun << QStringList{"simctl", "shutdown", iPhone} << 149 << QByteArray()
        << simulatorError(405, "Unable to shutdown device in current state: Shutdown");
    QTest::newRow("open simulator")
        << open << QStringList{"-a", "Simulator", "--args", "-CurrentDeviceUDID", iPhone} << 0
        << QByteArray() << QByteArray();
    QTest::newRow("open mac app, arguments kept exactly")
        << open << QStringList{"-n",   m_set->macApp(), "--args", "-AppleLanguages",
                               "(de)", "a \"b\" $c",    "",       QString::fromUtf8("\u00fc\n\\")}
        << 0 << QByteArray() << QByteArray();
    QTest::newRow("open missing app")
        << open << QStringList{"-n", "/nonexistent/Foo.app", "--args", "-x"} << 1 << QByteArray()
        << QByteArray("The file /nonexistent/Foo.app does not exist.\n");
    QTest::newRow("open unknown option") << open << QStringList{"-z", "/tmp"} << 1 << QByteArray()
                                         << QByteArray("open: unrecognized option `-z'\n");
}

void StandinTest::answers() {
    QFETCH(QString, tool);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    const StandinDeviceSet &set = *m_set;
    set.clearCommands();

    const Outcome outcome =
        run(tool == QLatin1String("open") ? set.open() : set.xcrun(), arguments);
    QCOMPARE(outcome.status, status);
    QCOMPARE(outcome.out, out);
    if (QTest::currentDataTag() == QByteArray("open unknown option"))
        QVERIFY(outcome.err.startsWith(err)); // followed by the usage text
    else
        QCOMPARE(outcome.err, err);
    const QList<StandinDeviceSet::Command> expected{{tool, arguments}};
    QCOMPARE(set.commands(), expected);
}

void StandinTest::deviceReportDecodes() {
    StandinDeviceSet set;
    const Outcome all = run(set.xcrun(), {"simctl", "list", "devices", "--json"});
    QCOMPARE(all.status, 0);
    QVERIFY(all.out.startsWith("{\n  \"devices\" : {\n    \"com.apple.CoreSimulator.SimRuntime."));
    QVERIFY(all.out.contains("\"dataPath\" : \"\\/"));

    const DeviceList list = DeviceList::decode(all.out);
    QCOMPARE(list.flattened().size(), 8);
    QVERIFY(!list.device(QString::fromLatin1(StandinDeviceSet::iPhone14Unavailable))->isAvailable);
    QCOMPARE(list.device(iPad)->state, QStringLiteral("Booted"));
    QStringList names;
    for (const SimulatorDevice &device : list.availableDevices())
        names << device.name;
    QCOMPARE(names, (QStringList{QString::fromUtf8("Zo\u00eb\u2019s iPhone"),
                                 "iPad Air (5th generation)", "iPad Pro 13-inch (M4)", "iPhone 15",
                                 "iPhone 15", "iPhone 16", "iPhone 16 Pro"}));

    const Outcome available =
        run(set.xcrun(), {"simctl", "list", "devices", "available", "--json"});
    QCOMPARE(available.status, 0);
    const DeviceList availableList = DeviceList::decode(available.out);
    QCOMPARE(availableList.flattened().size(), 7);
    QCOMPARE(availableList.devices.size(), 3); // a runtime without usable devices stays, empty
    QVERIFY(available.out.contains("\"com.apple.CoreSimulator.SimRuntime.iOS-16-4\" : [\n\n    ]"));
}

void StandinTest::bootingChangesStateAndAppsBecomeReadable() {
    StandinDeviceSet set;
    QCOMPARE(run(set.xcrun(), {"simctl", "boot", iPhone}).status, 0);
    const QJsonObject booted = set.device(iPhone);
    QCOMPARE(booted.value("state").toString(), QStringLiteral("Booted"));
    QVERIFY(booted.value("lastBootedAt").toString() != QStringLiteral("2024-11-20T09:12:44Z"));

    const Outcome status = run(set.xcrun(), {"simctl", "bootstatus", iPhone, "-b"});
    QCOMPARE(status.status, 0);
    QVERIFY(status.out.startsWith("Monitoring boot status for iPhone 16 Pro (" + iPhone.toLatin1() +
                                  ").\n"));
    QVERIFY(!status.out.contains("nothing to do"));
    QVERIFY(run(set.xcrun(), {"simctl", "bootstatus", iPhone, "-b"})
                .out.endsWith("Device already booted, nothing to do.\n"));

    const Outcome report = run(set.xcrun(), {"simctl", "listapps", iPhone});
    QCOMPARE(report.status, 0);
    QVERIFY(report.out.contains("CFBundleDisplayName = \"\\U5929\\U6c14\";"));
    QVERIFY(report.out.contains("CFBundleDisplayName = \"Party Planner \\Ud83c\\Udf89\";"));
    const QVariantMap apps = PropertyList::read(report.out).toMap();
    QCOMPARE(apps.size(), 10);
    const QVariantMap notes = apps.value("com.example.QuillNotes").toMap();
    QCOMPARE(notes.value("ApplicationType").toString(), QStringLiteral("User"));
    QVERIFY(QFileInfo(notes.value("Path").toString() + "/Info.plist").isFile());
    QCOMPARE(QUrl(notes.value("Bundle").toString()).toLocalFile(),
             notes.value("Path").toString() + "/");
    QVERIFY(QFileInfo(QUrl(notes.value("DataContainer").toString()).toLocalFile()).isDir());

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
    QVERIFY(container.out.contains("/iOS 18.1.simruntime/"));

    QCOMPARE(run(set.xcrun(), {"simctl", "shutdown", iPhone}).status, 0);
    QCOMPARE(set.device(iPhone).value("state").toString(), QStringLiteral("Shutdown"));
    QCOMPARE(run(set.xcrun(), {"simctl", "listapps", iPhone}).status, 149);
}

void StandinTest::hooksDelayAndFail() {
    StandinDeviceSet set;
    QElapsedTimer timer;
    timer.start();
    const Outcome slow =
        run(set.xcrun(), {"simctl", "get_app_container", iPad, "com.apple.Maps", "app"},
            {"QUILLMARCH_STANDIN_DELAY_MS_GET_APP_CONTAINER=400"});
    QVERIFY(timer.elapsed() >= 400);
    QCOMPARE(slow.status, 0);

    const Outcome failed =
        run(set.xcrun(), {"simctl", "boot", iPhone}, {"QUILLMARCH_STANDIN_FAIL_BOOT=no runtime"});
    QCOMPARE(failed.status, 1);
    QCOMPARE(failed.err, QByteArray("no runtime"));
    QCOMPARE(set.device(iPhone).value("state").toString(), QStringLiteral("Shutdown"));

    const Outcome open = run(set.open(), {"-a", "Simulator"}, {"QUILLMARCH_STANDIN_FAIL_OPEN="});
    QCOMPARE(open.status, 1);
    QCOMPARE(open.err, QByteArray());
    QCOMPARE(set.commands().size(), 3); // failing commands are logged too
}

void StandinTest::concurrentInvocationsLogWholeLines() {
    StandinDeviceSet set;
    const QString longArgument(3000, QLatin1Char('x'));
    QList<QProcess *> processes;
    for (int i = 0; i < 24; ++i) {
        auto *process = new QProcess(this);
        process->start(
            i % 2 ? set.open() : set.xcrun(),
            i % 2 ? QStringList{"-a", "Simulator", "--args", QString::number(i), longArgument}
                  : QStringList{"simctl", "launch", iPad, "com.apple.Maps", QString::number(i),
                                longArgument});
        processes << process;
    }
    QSet<QByteArray> processIdentifiers;
    for (QProcess *process : processes) {
        QVERIFY(process->waitForFinished(30000));
        QCOMPARE(process->exitCode(), 0);
        const QByteArray out = process->readAllStandardOutput();
        if (!out.isEmpty())
            processIdentifiers.insert(out);
    }
    // Launches take distinct process identifiers even when they run at the same time.
    QCOMPARE(processIdentifiers.size(), 12);
    const QList<StandinDeviceSet::Command> commands = set.commands();
    QCOMPARE(commands.size(), 24);
    QSet<QString> seen;
    for (const StandinDeviceSet::Command &command : commands) {
        QCOMPARE(command.arguments.last(), longArgument);
        seen.insert(command.arguments.at(command.arguments.size() - 2));
    }
    QCOMPARE(seen.size(), 24);
}

void StandinTest::sampleBundles() {
    StandinDeviceSet set;
    QCOMPARE(run(set.xcrun(), {"simctl", "boot", iPhone}).status, 0);
    const QVariantMap apps =
        PropertyList::read(run(set.xcrun(), {"simctl", "listapps", iPhone}).out).toMap();
    const auto bundle = [&apps](const char *id) {
        return apps.value(QLatin1String(id)).toMap().value("Path").toString();
    };
    const auto infoBytes = [](const QString &path) {
        QFile file(path + "/Info.plist");
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    };
    QVERIFY(infoBytes(bundle("com.apple.Maps")).startsWith("bplist00"));
    QVERIFY(infoBytes(bundle("com.example.QuillNotes")).startsWith("<?xml"));
    QCOMPARE(QImageReader(bundle("com.example.QuillNotes") + "/AppIcon60x60@3x.png").size(),
             QSize(180, 180));
    QCOMPARE(QImageReader(bundle("com.apple.Maps") + "/AppIcon76x76@2x~ipad.png").size(),
             QSize(152, 152));
    QVERIFY(QFileInfo(bundle("com.example.LegacyReader") + "/English.lproj").isDir());
    QCOMPARE(QDir(bundle("com.example.PlainTool")).entryList({"*.png"}), QStringList());

    const QString mac = set.macApp();
    QVERIFY(QFileInfo(mac + "/Contents/MacOS/Sample Mac Editor").isExecutable());
    QVERIFY(infoBytes(mac + "/Contents").startsWith("<?xml"));
    QVERIFY(!QImageReader(mac + "/Contents/Resources/AppIcon.icns").read().isNull());
    QCOMPARE(run(set.open(), {"-n", mac, "--args", "-AppleLanguages", "(de)"}).status, 0);
}

void StandinTest::generatorIsDeterministic() {
    QTemporaryDir first;
    QTemporaryDir second;
    QCOMPARE(run(QStringLiteral(STANDIN_GENERATOR), {first.path() + "/set"}).status, 0);
    QCOMPARE(run(QStringLiteral(STANDIN_GENERATOR), {second.path() + "/set"}).status, 0);
    const auto digest = treeDigest(first.path() + "/set");
    QVERIFY(digest.size() > 200);
    QCOMPARE(digest, treeDigest(second.path() + "/set"));
    QCOMPARE(digest, treeDigest(QStringLiteral(QUILLMARCH_STANDIN_DIR) + "/device-set.pristine"));
}

QTEST_GUILESS_MAIN(StandinTest)
#include "tst_standin.moc"
