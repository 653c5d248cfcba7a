// quillmarch-cli end to end: the built program as a child process, the stand-in developer tools
// on a private copy of the sample device set, real files.
#include "StandinDeviceSet.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

namespace {

const QString quillNotes = QStringLiteral("com.example.QuillNotes");
const QString iPadPro = QString::fromLatin1(StandinDeviceSet::iPadPro);
const QString iPhone16Pro = QString::fromLatin1(StandinDeviceSet::iPhone16Pro);

struct Outcome {
    int status = -1;
    QString out;
    QString err;

    QJsonDocument json() const { return QJsonDocument::fromJson(out.toUtf8()); }
};

// "NAME=value" pairs.
using Environment = QStringList;

} // namespace

class CliTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<StandinDeviceSet> m_set;
    std::unique_ptr<QTemporaryDir> m_scratch;

    QProcessEnvironment environment(const Environment &extra) const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QUILLMARCH_XCRUN"), m_set->xcrun());
        environment.insert(QStringLiteral("QUILLMARCH_OPEN"), m_set->open());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_scratch->filePath("config"));
        // Short launch screens keep the galleries quick; a test may ask for longer ones.
        environment.insert(QStringLiteral("QUILLMARCH_STANDIN_LAUNCH_SCREEN_MS"),
                           QStringLiteral("200"));
        environment.insert(QStringLiteral("QUILLMARCH_STANDIN_APPEARING_MS"),
                           QStringLiteral("100"));
        for (const QString &pair : extra)
            environment.insert(pair.section(QLatin1Char('='), 0, 0),
                               pair.section(QLatin1Char('='), 1));
        return environment;
    }

    void start(QProcess &process, const QStringList &arguments, const Environment &extra = {}) {
        process.setProcessEnvironment(environment(extra));
        process.start(QStringLiteral(QUILLMARCH_CLI), arguments);
        QVERIFY(process.waitForStarted());
    }

    Outcome cli(const QStringList &arguments, const Environment &extra = {}) {
        QProcess process;
        start(process, arguments, extra);
        Outcome outcome;
        if (!process.waitForFinished(120000))
            return outcome;
        outcome.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        outcome.out = QString::fromUtf8(process.readAllStandardOutput());
        outcome.err = QString::fromUtf8(process.readAllStandardError());
        return outcome;
    }

    // The stand-in's own answer, for looking at a device from outside.
    QString standin(const QStringList &arguments, const Environment &extra = {}) const {
        QProcess process;
        process.setProcessEnvironment(environment(extra));
        process.start(m_set->xcrun(), arguments);
        process.waitForFinished(30000);
        return QString::fromUtf8(process.readAll()).trimmed();
    }

    // How the device looks: its appearance and its status bar overrides.
    QString look(const QString &udid) const {
        QStringList appearance{QStringLiteral("simctl"), QStringLiteral("ui"), udid,
                               QStringLiteral("appearance")};
        QStringList statusBar{QStringLiteral("simctl"), QStringLiteral("status_bar"), udid,
                              QStringLiteral("list")};
        return standin(appearance) + QLatin1Char('|') + standin(statusBar);
    }

    bool anyCommand(const QString &subcommand) const {
        for (const StandinDeviceSet::Command &command : m_set->commands()) {
            if (command.arguments.value(1) == subcommand)
                return true;
        }
        return false;
    }

    // Processes still running with this test's device set: tools the program left behind.
    int standinProcesses() const {
        const QByteArray marker =
            "QUILLMARCH_STANDIN_DEVICE_SET=" + QFile::encodeName(m_set->path());
        int count = 0;
        for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            if (entry.toInt() <= 0 || entry.toLongLong() == QCoreApplication::applicationPid())
                continue;
            QFile environ(QStringLiteral("/proc/%1/environ").arg(entry));
            if (environ.open(QIODevice::ReadOnly) && environ.readAll().split('\0').contains(marker))
                ++count;
        }
        return count;
    }

    QString galleryFolder() const { return m_scratch->filePath(QStringLiteral("gallery")); }

    // Someone else's file in the output folder.
    void putNotesInGalleryFolder() {
        QVERIFY(QDir().mkpath(galleryFolder()));
        QFile notes(galleryFolder() + QStringLiteral("/notes.txt"));
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("mine") == 4);
    }

    QStringList galleryArguments(const QStringList &more,
                                 const QString &settle = QStringLiteral("0.3")) const {
        QStringList arguments{QStringLiteral("gallery"),
                              QStringLiteral("--device"),
                              iPadPro,
                              QStringLiteral("--app"),
                              quillNotes,
                              QStringLiteral("--out"),
                              galleryFolder(),
                              QStringLiteral("--settle"),
                              settle};
        return arguments + more;
    }

    static QJsonObject shot(const QJsonObject &gallery, const QString &language) {
        for (const QJsonValue &value : gallery.value(QLatin1String("shots")).toArray()) {
            if (value.toObject().value(QLatin1String("language")).toString() == language)
                return value.toObject();
        }
        return {};
    }

private Q_SLOTS:
    void init() {
        m_set.reset(); // the old set restores the environment before the new one changes it
        m_set = std::make_unique<StandinDeviceSet>();
        m_scratch = std::make_unique<QTemporaryDir>();
        QVERIFY(m_set->isValid());
        QVERIFY(m_scratch->isValid());
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        const QStringList gallery{
            QStringLiteral("gallery"),         QStringLiteral("--device"), QStringLiteral("x"),
            QStringLiteral("--app"),           QStringLiteral("y"),        QStringLiteral("--out"),
            QStringLiteral("/nonexistent/out")};
        QTest::newRow("no command") << QStringList() << "Name a command.";
        QTest::newRow("unknown command")
            << QStringList{"frobnicate"} << "Unknown command “frobnicate”.";
        QTest::newRow("misspelt option")
            << QStringList{"apps", "--devcie", "x"} << "Did you mean --device?";
        QTest::newRow("single dash") << QStringList{"devices", "-j"} << "Unknown option “-j”";
        QTest::newRow("value missing at the end")
            << QStringList{"apps", "--device"} << "The option --device needs a value (DEVICE).";
        QTest::newRow("value missing before an option")
            << QStringList{"launch", "--mac-app", "--language", "de"}
            << "The option --mac-app needs a value";
        QTest::newRow("empty value")
            << QStringList{"apps", "--device="} << "The option --device needs a value";
        QTest::newRow("flag with a value")
            << QStringList{"devices", "--json=yes"} << "The option --json takes no value.";
        QTest::newRow("option twice")
            << QStringList{"launch", "--mac-app", "/a", "--language", "de", "--language", "fr"}
            << "The option --language may be given only once.";
        QTest::newRow("stray argument")
            << QStringList{"devices", "extra"} << "Unexpected argument “extra”.";
        QTest::newRow("no app") << QStringList{"languages"} << "No app given.";
        QTest::newRow("two apps") << QStringList{"check", "--mac-app", "/a", "/b"}
                                  << "More than one app given.";
        QTest::newRow("app without device")
            << QStringList{"languages", "--app", "com.x"} << "--app needs --device";
        QTest::newRow("apps without device") << QStringList{"apps"} << "--device";
        QTest::newRow("launch without language")
            << QStringList{"launch", "--mac-app", "/a"} << "Give the language with --language.";
        QTest::newRow("unknown launch option")
            << QStringList{"launch", "--mac-app", "/a", "--language", "de", "--option", "sideways"}
            << "Unknown launch option “sideways”.";
        QTest::newRow("gallery without a folder")
            << QStringList{"gallery", "--device", "x", "--app", "y"}
            << "The option --out is required.";
        QTest::newRow("appearance") << gallery + QStringList{"--appearance", "sepia"}
                                    << "The option --appearance takes light or dark";
        QTest::newRow("settle time") << gallery + QStringList{"--settle", "soon"}
                                     << "The option --settle needs a number of seconds";
        QTest::newRow("negative time-out") << gallery + QStringList{"--settle-timeout", "-3"}
                                           << "The option --settle-timeout needs a number";
        QTest::newRow("time-out below settle time")
            << gallery + QStringList{"--settle", "5", "--settle-timeout", "2"}
            << "The settle time-out is shorter than the settle time.";
        QTest::newRow("deep link") << gallery + QStringList{"--url", "not a link"}
                                   << "The option --url needs a URL with a scheme";
    }

    // Wrong usage ends with status 2, the message and a hint, before any tool runs.
    void usageErrors() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Outcome outcome = cli(arguments);
        QCOMPARE(outcome.status, 2);
        QVERIFY2(outcome.err.startsWith(QStringLiteral("quillmarch-cli: ")),
                 qPrintable(outcome.err));
        QVERIFY2(outcome.err.contains(message), qPrintable(outcome.err));
        QVERIFY2(outcome.err.contains(QStringLiteral("--help")), qPrintable(outcome.err));
        QVERIFY(outcome.out.isEmpty());
        QVERIFY(m_set->commands().isEmpty());
    }

    void help_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("usage");
        QTest::newRow("program") << QStringList{"--help"} << "Usage: quillmarch-cli <command>";
        QTest::newRow("help command")
            << QStringList{"help", "gallery"} << "Usage: quillmarch-cli gallery --device DEVICE";
        QTest::newRow("subcommand") << QStringList{"check", "-h"} << "Usage: quillmarch-cli check";
        // --help wins over mistakes elsewhere on the line.
        QTest::newRow("among errors")
            << QStringList{"launch", "--bogus", "--help"} << "Usage: quillmarch-cli launch";
    }

    void help() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, usage);
        const Outcome outcome = cli(arguments);
        QCOMPARE(outcome.status, 0);
        QVERIFY2(outcome.out.startsWith(usage), qPrintable(outcome.out));
        QVERIFY(outcome.err.isEmpty());
        for (const QString &line : outcome.out.split(QLatin1Char('\n')))
            QVERIFY2(line.size() <= 80, qPrintable(line));
    }

    // Every available device in the picker's order, with its runtime and state.
    void devices() {
        const Outcome json = cli({QStringLiteral("devices"), QStringLiteral("--json")});
        QCOMPARE(json.status, 0);
        const QJsonArray list = json.json().array();
        QStringList names;
        for (const QJsonValue &value : list) {
            const QJsonObject device = value.toObject();
            QCOMPARE(device.keys(), (QStringList{"name", "runtime", "state", "udid"}));
            names << device.value(QLatin1String("name")).toString();
            if (device.value(QLatin1String("udid")).toString() == iPadPro) {
                QCOMPARE(device.value(QLatin1String("state")).toString(), QStringLiteral("Booted"));
                QCOMPARE(device.value(QLatin1String("runtime")).toString(),
                         QStringLiteral("com.apple.CoreSimulator.SimRuntime.iOS-18-1"));
            }
        }
        QCOMPARE(names,
                 (QStringList{"Zoë’s iPhone", "iPad Air (5th generation)", "iPad Pro 13-inch (M4)",
                              "iPhone 15", "iPhone 15", "iPhone 16", "iPhone 16 Pro"}));

        const Outcome text = cli({QStringLiteral("devices")});
        QCOMPARE(text.status, 0);
        const QStringList lines = text.out.trimmed().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 7);
        QVERIFY(lines.at(2).startsWith(iPadPro));
        QVERIFY(lines.at(2).contains(QStringLiteral("iOS 18.1")));
    }

    void deviceNames_data() {
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("booted");
        QTest::newRow("exact name")
            << "iPhone 16 Pro" << 0 << QStringList{"Booting iPhone 16 Pro"} << true;
        QTest::newRow("udid") << iPhone16Pro << 0 << QStringList() << true;
        QTest::newRow("shared name")
            << "iPhone 15" << 2
            << QStringList{"Several simulator devices are named “iPhone 15”",
                           "3E5F7A9B-6C8D-4E0F-A1B2-C3D4E5F60704",
                           "D2C4E6F8-0A1B-4C3D-8E5F-6A7B8C9D0E05"}
            << false;
        QTest::newRow("names are exact")
            << "iphone 16 pro" << 2 << QStringList{"No simulator device has the UDID or name"}
            << false;
        QTest::newRow("unavailable device")
            << QString::fromLatin1(StandinDeviceSet::iPhone14Unavailable) << 2
            << QStringList{"quillmarch-cli: An error was encountered",
                           "cannot determine the runtime bundle."}
            << false;
    }

    // Devices by UDID or exact name; apps boots the device when it is not booted.
    void deviceNames() {
        QFETCH(QString, device);
        QFETCH(int, status);
        QFETCH(QStringList, messages);
        QFETCH(bool, booted);
        const Outcome outcome = cli({QStringLiteral("apps"), QStringLiteral("--device"), device});
        QCOMPARE(outcome.status, status);
        for (const QString &message : messages)
            QVERIFY2(outcome.err.contains(message), qPrintable(outcome.err));
        QCOMPARE(m_set->device(iPhone16Pro).value(QLatin1String("state")).toString() ==
                     QLatin1String("Booted"),
                 booted);
        if (booted)
            QVERIFY(outcome.out.contains(quillNotes + QLatin1Char('\t') +
                                         QStringLiteral("Quill Notes")));
        else
            QVERIFY(outcome.out.isEmpty());
    }

    void apps() {
        const Outcome all = cli({QStringLiteral("apps"), QStringLiteral("--device"), iPadPro,
                                 QStringLiteral("--json")});
        QCOMPARE(all.status, 0);
        QStringList names;
        for (const QJsonValue &value : all.json().array()) {
            const QJsonObject app = value.toObject();
            names << app.value(QLatin1String("name")).toString();
            const QString bundle = app.value(QLatin1String("bundlePath")).toString();
            QVERIFY2(QFileInfo(bundle + QStringLiteral("/Info.plist")).isFile(),
                     qPrintable(bundle));
        }
        QCOMPARE(names, (QStringList{"Café Crème", "Maps", "Photos", "Quill Notes", "Safari",
                                     "Settings"}));

        // My Apps as the app keeps them.
        QSettings store(m_scratch->filePath("config/Quillmarch/Quillmarch.conf"),
                        QSettings::IniFormat);
        store.setValue(QStringLiteral("myAppIDs"),
                       QStringList{quillNotes, QStringLiteral("com.apple.Maps"),
                                   QStringLiteral("com.example.NotOnThisDevice")});
        store.sync();
        const Outcome mine = cli({QStringLiteral("apps"), QStringLiteral("--device"), iPadPro,
                                  QStringLiteral("--only-my-apps")});
        QCOMPARE(mine.status, 0);
        QCOMPARE(mine.out, QStringLiteral("com.apple.Maps\tMaps\n") + quillNotes +
                               QStringLiteral("\tQuill Notes\n"));
    }

    void languages_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("languages");
        QTest::addColumn<QString>("message");
        QTest::newRow("simulator app")
            << QStringList{"--device", iPadPro, "--app", quillNotes} << 0
            << QStringList{"de", "en", "es", "fr", "pt-BR", "zh-Hans"} << QString();
        QTest::newRow("mac app") << QStringList{"--mac-app", "MAC_APP"} << 0
                                 << QStringList{"de", "en", "fr", "ja", "pt-BR"} << QString();
        QTest::newRow("not installed")
            << QStringList{"--device", iPadPro, "--app", "com.example.Nope"} << 2 << QStringList()
            << "No such file or directory";
        // Only apps, launch and gallery boot a device.
        QTest::newRow("device not booted")
            << QStringList{"--device", "iPhone 16", "--app", "com.apple.Maps"} << 2 << QStringList()
            << "Unable to lookup in current state: Shutdown";
        QTest::newRow("not a bundle") << QStringList{"--mac-app", "/nonexistent/Nothing.app"} << 2
                                      << QStringList() << "isn’t in the correct format";
    }

    void languages() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QStringList, languages);
        QFETCH(QString, message);
        arguments.replaceInStrings(QStringLiteral("MAC_APP"), m_set->macApp());
        const Outcome outcome = cli(QStringList{"languages", "--json"} + arguments);
        QCOMPARE(outcome.status, status);
        QVERIFY2(outcome.err.contains(message), qPrintable(outcome.err));
        if (status != 0)
            return;
        const QJsonObject document = outcome.json().object();
        QCOMPARE(document.value(QLatin1String("languages")).toVariant().toStringList(), languages);
        QVERIFY(QFileInfo(document.value(QLatin1String("bundlePath")).toString()).isDir());
    }

    void launch_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Environment>("environment");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output");
        // The launch command issued (the tool and its arguments); empty: none.
        QTest::addColumn<QStringList>("command");
        const QStringList sim{"--device", "iPhone 16 Pro", "--app", quillNotes};
        const auto simLaunch = [](const QString &language, const QString &region) {
            return QStringList{
                "xcrun",        "simctl",   "launch",          "--terminate-running-process",
                iPhone16Pro,    quillNotes, "-AppleLanguages", "(" + language + ")",
                "-AppleLocale", region};
        };
        QTest::newRow("likely region")
            << sim + QStringList{"--language", "pt-BR"} << Environment() << 0
            << "Launched in pt-BR (pt_BR)." << simLaunch("pt-BR", "pt_BR");
        QTest::newRow("region and option")
            << sim +
                   QStringList{"--language", "de", "--region", "de_CH", "--option", "right-to-left"}
            << Environment() << 0 << "Launched in de (de_CH) with right-to-left layout."
            << simLaunch("de", "de_CH") + QStringList{"-AppleTextDirection", "YES",
                                                      "-NSForceRightToLeftWritingDirection", "YES"};
        QTest::newRow("mac app")
            << QStringList{"--mac-app", "MAC_APP", "--language", "ja"} << Environment() << 0
            << "Launched in ja (ja_JP)."
            << QStringList{"open", "-n",           "MAC_APP", "--args", "-AppleLanguages",
                           "(ja)", "-AppleLocale", "ja_JP"};
        QTest::newRow("language the app lacks")
            << sim + QStringList{"--language", "it"} << Environment() << 2
            << "quillmarch-cli: Enter a language code such as en, de or pt-BR.\n“it” is not "
               "one of the app's languages: de, en, es, fr, pt-BR, zh-Hans."
            << QStringList();
        QTest::newRow("tool refuses")
            << sim + QStringList{"--language", "fr"}
            << Environment{"QUILLMARCH_STANDIN_FAIL_LAUNCH=The request was denied.\n"} << 2
            << "quillmarch-cli: The request was denied.\n"
            << simLaunch("fr", "fr_FR");
    }

    void launch() {
        QFETCH(QStringList, arguments);
        QFETCH(Environment, environment);
        QFETCH(int, status);
        QFETCH(QString, output);
        QFETCH(QStringList, command);
        arguments.replaceInStrings(QStringLiteral("MAC_APP"), m_set->macApp());
        command.replaceInStrings(QStringLiteral("MAC_APP"), m_set->macApp());
        const Outcome outcome = cli(QStringList{"launch"} + arguments, environment);
        QCOMPARE(outcome.status, status);
        QVERIFY2((status == 0 ? outcome.out : outcome.err).contains(output),
                 qPrintable(outcome.out + outcome.err));
        const QList<StandinDeviceSet::Command> commands = m_set->commands();
        const bool launched = !commands.isEmpty() &&
                              commands.last().arguments.contains(QStringLiteral("-AppleLanguages"));
        QCOMPARE(launched, !command.isEmpty());
        if (launched)
            QCOMPARE(QStringList{commands.last().tool} + commands.last().arguments, command);
    }

    void check_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("problems");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("missing");
        QTest::addColumn<QStringList>("unreadable");
        QTest::addColumn<QString>("removed"); // a file of the Mac app deleted first
        QTest::addColumn<QStringList>("missingTables");
        QTest::newRow("simulator app")
            << QStringList{"--device", iPadPro, "--app", quillNotes} << 1 << 3 << "fr"
            << "Localizable" << 3 << QStringList() << QString() << QStringList();
        // The table cannot be read at all: every key of the table it is compared with counts as
        // missing, and the comparison is incomplete.
        QTest::newRow("unreadable table")
            << QStringList{"--device", iPadPro, "--app", "com.example.CafeCreme"} << 1 << -1 << "en"
            << "Localizable" << 6 << QStringList{"Localizable.strings"} << QString()
            << QStringList();
        QTest::newRow("mac app path")
            << QStringList{"MAC_APP"} << 1 << -1 << "ja"
            << "Localizable" << 5 << QStringList() << QString() << QStringList();
        QTest::newRow("missing table")
            << QStringList{"MAC_APP"} << 1 << -1 << "fr"
            << "Localizable" << 0 << QStringList() << "Contents/Resources/fr.lproj/MainMenu.strings"
            << QStringList{"MainMenu"};
        QTest::newRow("not a bundle")
            << QStringList{"--mac-app", "/nonexistent/Nothing.app"} << 2 << -1 << QString()
            << QString() << 0 << QStringList() << QString() << QStringList();
        QTest::newRow("a folder that is no app")
            << QStringList{"MAC_APP/Contents/Resources"} << 2 << -1 << QString() << QString() << 0
            << QStringList() << QString() << QStringList();
    }

    void check() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(int, problems);
        QFETCH(QString, language);
        QFETCH(QString, table);
        QFETCH(int, missing);
        QFETCH(QStringList, unreadable);
        QFETCH(QString, removed);
        QFETCH(QStringList, missingTables);
        if (!removed.isEmpty())
            QVERIFY(QFile::remove(m_set->macApp() + QLatin1Char('/') + removed));
        arguments.replaceInStrings(QStringLiteral("MAC_APP"), m_set->macApp());
        const Outcome outcome = cli(QStringList{"check", "--json"} + arguments);
        QCOMPARE(outcome.status, status);
        if (status == 2) {
            QVERIFY(outcome.out.isEmpty());
            QVERIFY(outcome.err.startsWith(QStringLiteral("quillmarch-cli: ")));
            return;
        }
        const QJsonObject report = outcome.json().object();
        const int count = report.value(QLatin1String("problemCount")).toInt(-1);
        if (problems >= 0)
            QCOMPARE(count, problems);
        QVERIFY(
            report.value(QLatin1String("summary")).toString().startsWith(QString::number(count)));
        bool found = false;
        for (const QJsonValue &entry : report.value(QLatin1String("languages")).toArray()) {
            if (entry.toObject().value(QLatin1String("code")).toString() != language)
                continue;
            QCOMPARE(
                entry.toObject().value(QLatin1String("missingTables")).toVariant().toStringList(),
                missingTables);
            for (const QJsonValue &row :
                 entry.toObject().value(QLatin1String("tables")).toArray()) {
                const QJsonObject object = row.toObject();
                if (object.value(QLatin1String("name")).toString() != table)
                    continue;
                found = true;
                QCOMPARE(object.value(QLatin1String("missing")).toArray().size(), missing);
                if (language != report.value(QLatin1String("developmentLanguage")).toString())
                    QVERIFY(report.value(QLatin1String("referenceFolders"))
                                .toVariant()
                                .toStringList()
                                .contains(object.value(QLatin1String("comparedWith")).toString()));
                QCOMPARE(object.value(QLatin1String("unreadableFiles")).toVariant().toStringList(),
                         unreadable);
            }
        }
        QVERIFY(found);

        // The text form says the same.
        const Outcome text = cli(QStringList{"check"} + arguments);
        QCOMPARE(text.status, status);
        QVERIFY(text.out.contains(report.value(QLatin1String("summary")).toString()));
    }

    void toolPathFromEnvironment() {
        const Outcome outcome = cli({QStringLiteral("devices")},
                                    {QStringLiteral("QUILLMARCH_XCRUN=/nonexistent/xcrun")});
        QCOMPARE(outcome.status, 2);
        QCOMPARE(outcome.err,
                 QStringLiteral("quillmarch-cli: The file “/nonexistent/xcrun” doesn’t exist.\n"));
    }

    // Every shot in the order given, the files beside the document, and the device as it was.
    void gallery() {
        const QString before = look(iPadPro);
        putNotesInGalleryFolder();

        const Outcome outcome =
            cli(galleryArguments({"--languages", "fr,de", "--appearance", "dark", "--option",
                                  "accented", "--force", "--json"}));
        QCOMPARE(outcome.status, 0);
        const QJsonObject document = outcome.json().object();
        QCOMPARE(document.value(QLatin1String("app")).toString(), quillNotes);
        QCOMPARE(document.value(QLatin1String("device")).toObject().value(QLatin1String("udid")),
                 QJsonValue(iPadPro));
        QCOMPARE(document.value(QLatin1String("options")).toVariant().toStringList(),
                 QStringList{"accented"});
        QStringList order;
        for (const QJsonValue &value : document.value(QLatin1String("shots")).toArray())
            order << value.toObject().value(QLatin1String("language")).toString();
        QCOMPARE(order, (QStringList{"fr", "de"}));
        for (const QString &language : order) {
            const QJsonObject taken = shot(document, language);
            QVERIFY(taken.value(QLatin1String("settled")).toBool());
            QVERIFY(taken.value(QLatin1String("error")).isNull());
            QCOMPARE(taken.value(QLatin1String("region")).toString(),
                     language == QLatin1String("fr") ? QStringLiteral("fr_FR")
                                                     : QStringLiteral("de_DE"));
            const QImage image(
                QDir(galleryFolder()).filePath(taken.value(QLatin1String("file")).toString()));
            QVERIFY(!image.isNull());
        }
        QVERIFY(QFileInfo::exists(galleryFolder() + QStringLiteral("/index.html")));
        QVERIFY(QFileInfo::exists(galleryFolder() + QStringLiteral("/gallery.json")));
        QVERIFY(QFileInfo::exists(galleryFolder() + QStringLiteral("/notes.txt")));
        QCOMPARE(look(iPadPro), before);
        // One progress line per language.
        QCOMPARE(outcome.err.count(QStringLiteral("settled after")), 2);
    }

    void galleryRefuses_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("folderWithContent");
        QTest::addColumn<QString>("message");
        QTest::newRow("folder with content") << QStringList() << true << "--force";
        QTest::newRow("language the app lacks")
            << QStringList{"--languages", "de,xx"} << false
            << "“xx” is not one of the app's languages: de, en, es, fr, pt-BR, zh-Hans.";
        QTest::newRow("no language") << QStringList{"--languages", " , "} << false
                                     << "The option --languages names no language.";
        QTest::newRow("same device twice")
            << QStringList{"--device", "iPad Pro 13-inch (M4)"} << false << "is given twice.";
    }

    // Refused before anything is launched or changed on the device, and nothing is written.
    void galleryRefuses() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, folderWithContent);
        QFETCH(QString, message);
        if (folderWithContent)
            putNotesInGalleryFolder();
        const Outcome outcome = cli(galleryArguments(arguments));
        QCOMPARE(outcome.status, 2);
        QVERIFY2(outcome.err.contains(message), qPrintable(outcome.err));
        QVERIFY(!anyCommand(QStringLiteral("launch")) && !anyCommand(QStringLiteral("status_bar")));
        QCOMPARE(QDir(galleryFolder()).entryList(QDir::Files),
                 folderWithContent ? QStringList{"notes.txt"} : QStringList());
    }

    // One language's launch is refused; the others are taken, and the status says so.
    void galleryLanguageFails() {
        const Outcome outcome = cli(galleryArguments({"--languages", "de,fr,pt-BR", "--json"}),
                                    {"QUILLMARCH_STANDIN_FAIL_LAUNCH=The request to open failed.\n",
                                     "QUILLMARCH_STANDIN_FAIL_LAUNCH_ONLY_WITH=(fr)"});
        QCOMPARE(outcome.status, 1);
        const QJsonObject document = outcome.json().object();
        QCOMPARE(shot(document, "fr").value(QLatin1String("error")).toString().trimmed(),
                 QStringLiteral("The request to open failed."));
        QVERIFY(!QFileInfo::exists(galleryFolder() + QStringLiteral("/fr.png")));
        for (const char *language : {"de", "pt-BR"}) {
            QVERIFY(shot(document, QString::fromLatin1(language))
                        .value(QLatin1String("settled"))
                        .toBool());
            QVERIFY(QFileInfo::exists(
                galleryFolder() + QStringLiteral("/%1.png").arg(QString::fromLatin1(language))));
        }
        QVERIFY(outcome.err.contains(
            QStringLiteral("fr (fr_FR): failed: The request to open failed.")));
    }

    // The launch screen is static for a while (0.8 s, then the app's screen comes in): the
    // settled screen is the app's, after a settle period that outlasts the launch screen.
    void gallerySettlesAfterLaunchScreen() {
        const Environment usualLaunch{"QUILLMARCH_STANDIN_LAUNCH_SCREEN_MS=800",
                                      "QUILLMARCH_STANDIN_APPEARING_MS=400"};
        const Outcome outcome = cli(
            galleryArguments({"--languages", "de", "--json"}, QStringLiteral("1.0")), usualLaunch);
        QCOMPARE(outcome.status, 0);
        const QJsonObject taken = shot(outcome.json().object(), "de");
        QVERIFY(taken.value(QLatin1String("settled")).toBool());
        QVERIFY2(taken.value(QLatin1String("seconds")).toDouble() >= 1.8,
                 qPrintable(QString::number(taken.value(QLatin1String("seconds")).toDouble())));

        // The launch screen of the same launch, below the status bar; held for as long as the
        // capture takes to start on a busy machine.
        const Environment heldLaunchScreen{"QUILLMARCH_STANDIN_LAUNCH_SCREEN_MS=600000"};
        QStringList relaunch{"simctl", "launch",       "--terminate-running-process",
                             iPadPro,  quillNotes,     "-AppleLanguages",
                             "(de)",   "-AppleLocale", "de_DE"};
        standin(relaunch, heldLaunchScreen);
        const QString launchFile = m_scratch->filePath(QStringLiteral("launch.png"));
        QStringList capture{"simctl", "io", iPadPro, "screenshot", "--type=png", launchFile};
        standin(capture, heldLaunchScreen);
        const QImage launchScreen(launchFile);
        const QImage saved(galleryFolder() + QStringLiteral("/de.png"));
        QCOMPARE(saved.size(), launchScreen.size());
        const QRect body(0, saved.height() / 10, saved.width(), saved.height() * 8 / 10);
        QVERIFY(saved.copy(body) != launchScreen.copy(body));
    }

    // Several devices at once: one folder and one document per device.
    void galleryOnTwoDevices() {
        const Outcome outcome =
            cli(galleryArguments({"--device", "iPhone 16 Pro", "--languages", "fr", "--json"}));
        QCOMPARE(outcome.status, 0);
        const QJsonArray documents = outcome.json().array();
        QCOMPARE(documents.size(), 2);
        QStringList devices;
        for (const QJsonValue &document : documents) {
            const QJsonObject device =
                document.toObject().value(QLatin1String("device")).toObject();
            devices << device.value(QLatin1String("udid")).toString();
            QVERIFY(shot(document.toObject(), "fr").value(QLatin1String("settled")).toBool());
        }
        QCOMPARE(devices, (QStringList{iPadPro, iPhone16Pro}));
        QCOMPARE(QDir(galleryFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 2);
        QVERIFY(QFileInfo::exists(galleryFolder() + QStringLiteral("/index.html")));
    }

    void interrupted_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("launch") << QStringList{"launch",   "--device",   iPadPro, "--app",
                                               quillNotes, "--language", "de"};
        QTest::newRow("gallery") << galleryArguments({"--appearance", "dark"});
    }

    // Ctrl+C while a launch hangs: the tool is stopped at once, the device gets its status bar
    // and appearance back, and the program ends with 130 without writing anything.
    void interrupted() {
        QFETCH(QStringList, arguments);
        const QString before = look(iPadPro);
        QProcess process;
        start(process, arguments, {"QUILLMARCH_STANDIN_DELAY_MS_LAUNCH=30000"});
        QTRY_VERIFY_WITH_TIMEOUT(anyCommand(QStringLiteral("launch")), 20000);
        QTest::qWait(300); // the hanging launch is running
        if (arguments.first() == QLatin1String("gallery"))
            QVERIFY(look(iPadPro) != before);

        QElapsedTimer clock;
        clock.start();
        QCOMPARE(::kill(pid_t(process.processId()), SIGINT), 0);
        QVERIFY(process.waitForFinished(20000));
        QVERIFY2(clock.elapsed() < 10000, "the hanging launch was not stopped");
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 130);
        QCOMPARE(look(iPadPro), before);
        QTRY_COMPARE_WITH_TIMEOUT(standinProcesses(), 0, 2000);
        QVERIFY(process.readAllStandardOutput().isEmpty());
        QVERIFY(!QFileInfo::exists(galleryFolder()));
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
