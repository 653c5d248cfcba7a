// The launcher model without developer tools: initial values, remembered choices, the
// announcement rule, the app-selection rules, perform, and the small pure helpers.
#include "launcher/AppContainer.h"
#include "launcher/LaunchArguments.h"
#include "launcher/Launcher.h"
#include "launcher/StoredValues.h"
#include "tools/Error.h"

#include <QCoroTimer>
#include <QFile>
#include <QMetaProperty>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <stdexcept>

using namespace std::chrono_literals;

namespace {

// An INI settings file in a temporary folder. `restarted()` opens a copy under a new name,
// which QSettings has never cached, so values come back as a fresh process reads them.
class SettingsFile {
public:
    SettingsFile()
        : m_store(std::make_unique<QSettings>(path(0), QSettings::IniFormat)) {}

    explicit SettingsFile(const QByteArray &iniText) {
        QFile file(path(0));
        if (file.open(QIODevice::WriteOnly))
            file.write(iniText);
        file.close();
        m_store = std::make_unique<QSettings>(path(0), QSettings::IniFormat);
    }

    QSettings *store() { return m_store.get(); }

    QSettings *restarted() {
        m_store->sync();
        ++m_generation;
        QFile::copy(path(m_generation - 1), path(m_generation));
        m_store = std::make_unique<QSettings>(path(m_generation), QSettings::IniFormat);
        return m_store.get();
    }

private:
    QString path(int generation) const {
        return m_dir.filePath(QStringLiteral("settings-%1.ini").arg(generation));
    }

    QTemporaryDir m_dir;
    int m_generation = 0;
    std::unique_ptr<QSettings> m_store;
};

DeveloperToolPaths absentTools() {
    return {QStringLiteral("/nonexistent/xcrun"), QStringLiteral("/nonexistent/open")};
}

QList<InstalledApp> appsWithIDs(const QStringList &ids) {
    QList<InstalledApp> apps;
    for (const QString &id : ids)
        apps << InstalledApp{id, id.toUpper(), QIcon()};
    return apps;
}

QStringList sortedIDs(const QSet<QString> &ids) {
    QStringList list(ids.begin(), ids.end());
    list.sort();
    return list;
}

QCoro::Task<> countAfterPause(int *runs) {
    co_await QCoro::sleepFor(30ms);
    ++*runs;
}

QCoro::Task<> failAfterPause(QString message) {
    co_await QCoro::sleepFor(10ms);
    throw ToolFailure(message);
}

QCoro::Task<> failWithStandardException() {
    throw std::runtime_error("disk full");
    co_return;
}

} // namespace

class LauncherModelTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startsWithInitialValues() {
        SettingsFile file;
        Launcher launcher(file.store(), absentTools());
        QCOMPARE(launcher.onlyMyApps(), false);
        QCOMPARE(launcher.myAppIDs(), QSet<QString>());
        QVERIFY(launcher.devices().isEmpty());
        QVERIFY(launcher.apps().isEmpty());
        QCOMPARE(launcher.deviceID(), QString());
        QCOMPARE(launcher.bundleID(), QString());
        QCOMPARE(launcher.language(), QStringLiteral("en"));
        QCOMPARE(launcher.locale(), QStringLiteral("en_US"));
        QVERIFY(launcher.supportedLanguages().isEmpty());
        QCOMPARE(launcher.loadingLanguages(), false);
        QCOMPARE(launcher.languageMessage(),
                 QStringLiteral("Select an app to detect its languages."));
        QCOMPARE(launcher.macMode(), false);
        QVERIFY(launcher.macApp().isEmpty());
        QCOMPARE(launcher.busy(), false);
        QCOMPARE(launcher.status(), QStringLiteral("Choose a simulator or a macOS app."));
        QCOMPARE(launcher.error(), std::nullopt);
        QCOMPARE(launcher.languageSelectionID(), QStringLiteral("sim::"));
        // Creating the launcher writes nothing.
        QVERIFY(file.store()->allKeys().isEmpty());

        // The properties are declared in the model's field order.
        const QStringList expectedOrder{"onlyMyApps",
                                        "myAppIDs",
                                        "devices",
                                        "apps",
                                        "deviceID",
                                        "bundleID",
                                        "language",
                                        "locale",
                                        "supportedLanguages",
                                        "loadingLanguages",
                                        "languageMessage",
                                        "macMode",
                                        "macApp",
                                        "busy",
                                        "status",
                                        "error",
                                        "visibleApps",
                                        "languageSelectionID"};
        const QMetaObject &meta = Launcher::staticMetaObject;
        QStringList order;
        for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i)
            order << QString::fromLatin1(meta.property(i).name());
        QCOMPARE(order, expectedOrder);
    }

    void readsRememberedChoices_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<bool>("onlyMyApps");
        QTest::addColumn<QStringList>("myAppIDs");
        QTest::addColumn<QString>("deviceID");

        QTest::newRow("as written")
            << QByteArray("[General]\nonlyMyApps=true\nmyAppIDs=com.b, com.a\n"
                          "selectedSimulatorID=6F0F3A61\n")
            << true << QStringList{"com.a", "com.b"} << "6F0F3A61";
        QTest::newRow("false and one identifier")
            << QByteArray("[General]\nonlyMyApps=false\nmyAppIDs=@Variant(\\0\\0\\0\\t\\0\\0\\0"
                          "\\x1\\0\\0\\0\\n\\0\\0\\0\\x6\\0o\\0n\\0\\x65)\n")
            << false << QStringList{"one"} << "";
        QTest::newRow("number for the flag")
            << QByteArray("[General]\nonlyMyApps=1\n") << false << QStringList{} << "";
        QTest::newRow("plain text for the list")
            << QByteArray("[General]\nmyAppIDs=com.example.one\n") << false << QStringList{} << "";
        QTest::newRow("list for the device")
            << QByteArray("[General]\nselectedSimulatorID=a, b\n") << false << QStringList{} << "";
        QTest::newRow("list with a number")
            << QByteArray("[General]\nmyAppIDs=@Variant(\\0\\0\\0\\t\\0\\0\\0\\x1\\0\\0\\0\\x2"
                          "\\0\\0\\0\\0\\x5)\n")
            << false << QStringList{} << "";
    }

    void readsRememberedChoices() {
        QFETCH(QByteArray, ini);
        SettingsFile file(ini);
        Launcher launcher(file.store(), absentTools());
        QTEST(launcher.onlyMyApps(), "onlyMyApps");
        QTEST(sortedIDs(launcher.myAppIDs()), "myAppIDs");
        QTEST(launcher.deviceID(), "deviceID");
    }

    void remembersChoicesAcrossRestarts_data() {
        QTest::addColumn<QStringList>("added");
        QTest::newRow("none") << QStringList{};
        QTest::newRow("one") << QStringList{"com.example.only"};
        QTest::newRow("several, the last sorting first")
            << QStringList{"com.zeta", "com.beta, with comma", "com.alpha"};
    }

    void remembersChoicesAcrossRestarts() {
        QFETCH(QStringList, added);
        SettingsFile file;
        {
            Launcher launcher(file.store(), absentTools());
            launcher.setOnlyMyApps(true);
            launcher.setDeviceID(QStringLiteral("8A4B6C2D"));
            for (const QString &id : added)
                launcher.setMyApp(id, true);
            launcher.setMyApp(QStringLiteral("com.removed"), false);
        }
        QStringList sorted = added;
        sorted.sort();
        QCOMPARE(StoredValues::readTextList(*file.store(), "myAppIDs").value_or(QStringList{"?"}),
                 sorted);

        Launcher restarted(file.restarted(), absentTools());
        QCOMPARE(restarted.onlyMyApps(), true);
        QCOMPARE(restarted.deviceID(), QStringLiteral("8A4B6C2D"));
        QCOMPARE(sortedIDs(restarted.myAppIDs()), sorted);
    }

    // Every field but the two lists announces only a changed value.
    void announcesOnlyChanges_data() {
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<QVariant>("other");
        QTest::newRow("onlyMyApps") << QByteArray("onlyMyApps") << QVariant(true);
        QTest::newRow("myAppIDs") << QByteArray("myAppIDs")
                                  << QVariant::fromValue(QSet<QString>{"com.x"});
        QTest::newRow("deviceID") << QByteArray("deviceID") << QVariant(QStringLiteral("D"));
        QTest::newRow("bundleID") << QByteArray("bundleID") << QVariant(QStringLiteral("B"));
        QTest::newRow("language") << QByteArray("language") << QVariant(QStringLiteral("de"));
        QTest::newRow("locale") << QByteArray("locale") << QVariant(QStringLiteral("de_CH"));
        QTest::newRow("supportedLanguages")
            << QByteArray("supportedLanguages") << QVariant(QStringList{"de"});
        QTest::newRow("loadingLanguages") << QByteArray("loadingLanguages") << QVariant(true);
        QTest::newRow("languageMessage")
            << QByteArray("languageMessage") << QVariant(QStringLiteral("m"));
        QTest::newRow("macMode") << QByteArray("macMode") << QVariant(true);
        QTest::newRow("macApp") << QByteArray("macApp")
                                << QVariant(QUrl::fromLocalFile("/Applications/A.app"));
        QTest::newRow("busy") << QByteArray("busy") << QVariant(true);
        QTest::newRow("status") << QByteArray("status") << QVariant(QStringLiteral("s"));
        QTest::newRow("error") << QByteArray("error")
                               << QVariant::fromValue(std::optional<QString>(QStringLiteral("e")));
    }

    void announcesOnlyChanges() {
        QFETCH(QByteArray, property);
        QFETCH(QVariant, other);
        SettingsFile file;
        Launcher launcher(file.store(), absentTools());
        const QMetaProperty meta =
            launcher.metaObject()->property(launcher.metaObject()->indexOfProperty(property));
        QSignalSpy spy(&launcher, meta.notifySignal());

        QVERIFY(meta.write(&launcher, meta.read(&launcher)));
        QCOMPARE(spy.count(), 0);
        QVERIFY(meta.write(&launcher, other));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(meta.read(&launcher), other);
        QVERIFY(meta.write(&launcher, other));
        QCOMPARE(spy.count(), 1);
    }

    void announcesEveryListAssignment() {
        SettingsFile file;
        Launcher launcher(file.store(), absentTools());
        QSignalSpy devices(&launcher, &Launcher::devicesChanged);
        QSignalSpy apps(&launcher, &Launcher::appsChanged);
        QSignalSpy visible(&launcher, &Launcher::visibleAppsChanged);
        launcher.setDevices({});
        launcher.setDevices({});
        launcher.setApps({});
        launcher.setApps({});
        QCOMPARE(devices.count(), 2);
        QCOMPARE(apps.count(), 2);
        QCOMPARE(visible.count(), 2);
    }

    void storesOnEveryAssignment() {
        SettingsFile file;
        Launcher launcher(file.store(), absentTools());
        QSettings &store = *file.store();
        QSignalSpy device(&launcher, &Launcher::deviceIDChanged);
        QSignalSpy myApps(&launcher, &Launcher::myAppIDsChanged);

        store.setValue("selectedSimulatorID", "stale");
        store.setValue("onlyMyApps", true);
        store.setValue("myAppIDs", "stale");
        launcher.setDeviceID(QString());
        launcher.setOnlyMyApps(false);
        launcher.setMyApp(QStringLiteral("com.a"), false); // was not a member
        QCOMPARE(store.value("selectedSimulatorID"), QVariant(QString()));
        QCOMPARE(store.value("onlyMyApps"), QVariant(false));
        QCOMPARE(StoredValues::readTextList(store, "myAppIDs"), QStringList());
        QCOMPARE(device.count(), 0);
        QCOMPARE(myApps.count(), 0);
    }

    void derivesVisibleAppsAndSelectionKey() {
        SettingsFile file;
        Launcher launcher(file.store(), absentTools());
        QSignalSpy visible(&launcher, &Launcher::visibleAppsChanged);
        QSignalSpy key(&launcher, &Launcher::languageSelectionIDChanged);

        launcher.setApps(appsWithIDs({"com.c", "com.a", "com.b"}));
        launcher.setMyAppIDs({"com.b", "com.c"});
        QCOMPARE(visible.count(), 1); // the list assignment; My Apps alone shows nothing new
        launcher.setOnlyMyApps(true);
        QCOMPARE(visible.count(), 2);
        QCOMPARE(launcher.visibleApps(), appsWithIDs({"com.c", "com.b"}));
        launcher.setMyApp(QStringLiteral("com.x"), true); // not loaded: same visible apps
        QCOMPARE(visible.count(), 2);

        key.clear();
        launcher.setDeviceID(QStringLiteral("D"));
        launcher.setBundleID(QStringLiteral("com.b"));
        launcher.setLanguage(QStringLiteral("fr"));
        QCOMPARE(launcher.languageSelectionID(), QStringLiteral("sim:D:com.b"));
        QCOMPARE(key.count(), 2);
        launcher.setMacMode(true);
        QCOMPARE(launcher.languageSelectionID(), QStringLiteral("mac:"));
        launcher.setDeviceID(QStringLiteral("E")); // not part of the key in Mac mode
        launcher.setMacApp(QUrl::fromLocalFile("/Applications/Some App.app"));
        QCOMPARE(launcher.languageSelectionID(), QStringLiteral("mac:/Applications/Some App.app"));
        QCOMPARE(key.count(), 4);
    }

    void keepsAppSelectionVisible_data() {
        QTest::addColumn<QStringList>("apps");
        QTest::addColumn<bool>("onlyMyApps");
        QTest::addColumn<QStringList>("myApps");
        QTest::addColumn<QString>("bundleID");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("expected");

        const QStringList three{"com.c", "com.a", "com.b"};
        QTest::newRow("filter on, choice not mine: first visible")
            << three << false << QStringList{"com.b", "com.a"} << "com.c"
            << "onlyMyApps on"
            << "com.a";
        QTest::newRow("filter on, nothing loaded is mine: empty")
            << three << false << QStringList{"com.z"} << "com.c"
            << "onlyMyApps on"
            << "";
        QTest::newRow("filter off without apps clears a typed id")
            << QStringList{} << true << QStringList{} << "typed.id"
            << "onlyMyApps off"
            << "";
        QTest::newRow("My Apps change replaces a typed id")
            << three << false << QStringList{} << "typed.id"
            << "add com.z"
            << "com.c";
        QTest::newRow("My Apps change empties a typed id when nothing is visible")
            << three << true << QStringList{} << "typed.id"
            << "add com.z"
            << "";
        QTest::newRow("adding a member again still reconciles")
            << three << true << QStringList{"com.a"} << "typed.id"
            << "add com.a"
            << "com.a";
    }

    void keepsAppSelectionVisible() {
        QFETCH(QStringList, apps);
        QFETCH(bool, onlyMyApps);
        QFETCH(QStringList, myApps);
        QFETCH(QString, bundleID);
        QFETCH(QString, action);

        // The starting state comes from the store, so that no reconciling runs before the action.
        SettingsFile file;
        file.store()->setValue("onlyMyApps", onlyMyApps);
        StoredValues::writeTextList(*file.store(), "myAppIDs", myApps);
        Launcher launcher(file.store(), absentTools());
        launcher.setApps(appsWithIDs(apps));
        launcher.setBundleID(bundleID);

        QSignalSpy myAppsSpy(&launcher, &Launcher::myAppIDsChanged);
        const QStringList words = action.split(' ');
        if (words[0] == "onlyMyApps")
            launcher.setOnlyMyApps(words[1] == "on");
        else
            launcher.setMyApp(words[1], words[0] == "add");
        QTEST(launcher.bundleID(), "expected");
        QCOMPARE(myAppsSpy.count(),
                 QSet<QString>(myApps.begin(), myApps.end()) == launcher.myAppIDs() ? 0 : 1);
    }

    void performRunsOneOperationAtATime() {
        SettingsFile file;
        Launcher launcher(file.store(), absentTools());
        QSignalSpy busy(&launcher, &Launcher::busyChanged);
        int first = 0;
        int second = 0;
        launcher.perform([&first] { return countAfterPause(&first); });
        QVERIFY(launcher.busy());
        QCOMPARE(first, 0); // started later, from the event loop
        launcher.perform([&second] { return countAfterPause(&second); });
        QTRY_VERIFY(!launcher.busy());
        QCOMPARE(first, 1);
        QCOMPARE(second, 0);
        QCOMPARE(busy.count(), 2);
        QCOMPARE(launcher.error(), std::nullopt);

        launcher.perform([&second] { return countAfterPause(&second); });
        QTRY_VERIFY(!launcher.busy());
        QCOMPARE(second, 1); // nothing was queued in the meantime
    }

    void performReportsFailures() {
        SettingsFile file;
        Launcher launcher(file.store(), absentTools());
        launcher.perform(
            [] { return failAfterPause(QStringLiteral("Choose a simulator first.")); });
        QTRY_VERIFY(!launcher.busy());
        QCOMPARE(launcher.error(), std::optional<QString>("Choose a simulator first."));
        QCOMPARE(launcher.status(), QStringLiteral("Choose a simulator or a macOS app."));

        int runs = 0;
        launcher.perform([&runs] { return countAfterPause(&runs); });
        QTRY_VERIFY(!launcher.busy());
        QCOMPARE(runs, 1);
        // A successful operation leaves the previous error until the user dismisses it.
        QCOMPARE(launcher.error(), std::optional<QString>("Choose a simulator first."));

        launcher.perform(failWithStandardException);
        QTRY_VERIFY(!launcher.busy());
        QCOMPARE(launcher.error(), std::optional<QString>("disk full"));
    }

    void choosesMacApp() {
        SettingsFile file;
        Launcher launcher(file.store(), absentTools());
        launcher.chooseMacApp(); // no chooser: nothing happens
        QVERIFY(launcher.macApp().isEmpty());

        QString startedIn;
        std::optional<QString> answer = QStringLiteral("/Applications/Text Edit (copy).app");
        launcher.setMacAppChooser([&](const QString &folder) {
            startedIn = folder;
            return answer;
        });
        launcher.chooseMacApp();
        QCOMPARE(startedIn, QStringLiteral("/Applications"));
        QCOMPARE(launcher.macApp(), QUrl::fromLocalFile("/Applications/Text Edit (copy).app"));

        answer.reset(); // cancelled
        launcher.chooseMacApp();
        QCOMPARE(launcher.macApp(), QUrl::fromLocalFile("/Applications/Text Edit (copy).app"));
    }

    void validatesLanguageCodes_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("supported");
        QTest::addColumn<QString>("code"); // empty: refused

        QTest::newRow("plain") << "de" << QStringList{"de", "en"} << "de";
        QTest::newRow("surrounded by white space") << " de\n" << QStringList{"de"} << "de";
        QTest::newRow("non-Latin letters") << "日本語" << QStringList{"日本語"} << "日本語";
        QTest::newRow("different case") << "DE" << QStringList{"de"} << "";
        QTest::newRow("whole codes only") << "en" << QStringList{"en-GB", "en-US"} << "";
        QTest::newRow("empty") << "" << QStringList{""} << "";
        QTest::newRow("period") << "de.x" << QStringList{"de.x"} << "";
        QTest::newRow("inner blank") << "de CH" << QStringList{"de CH"} << "";
    }

    void validatesLanguageCodes() {
        QFETCH(QString, language);
        QFETCH(QStringList, supported);
        QFETCH(QString, code);
        QString result;
        try {
            result = LaunchArguments::validatedLanguageCode(language, supported);
        } catch (const ToolFailure &failure) {
            QCOMPARE(failure.message(),
                     QStringLiteral("Enter a language code such as en, de or pt-BR."));
        }
        QCOMPARE(result, code);
    }

    void readsContainerPaths_data() {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QString>("path"); // empty: "Could not locate the installed app."
        QTest::newRow("line break") << QByteArray("/data/App One.app\n") << "/data/App One.app";
        QTest::newRow("white space around")
            << QByteArray(" \t/data/Caf\xc3\xa9.app\r\n") << QString::fromUtf8("/data/Café.app");
        QTest::newRow("nothing") << QByteArray() << QString();
        QTest::newRow("only white space") << QByteArray(" \n\n") << QString();
        QTest::newRow("not UTF-8") << QByteArray("/data/\xff.app\n") << QString();
        QTest::newRow("cut-off sequence") << QByteArray("/data/a.app\xc3") << QString();
    }

    void readsContainerPaths() {
        QFETCH(QByteArray, output);
        QString path;
        try {
            path = AppContainer::bundlePath(output);
        } catch (const ToolFailure &failure) {
            QCOMPARE(failure.message(), QStringLiteral("Could not locate the installed app."));
        }
        QTEST(path, "path");
    }
};

QTEST_GUILESS_MAIN(LauncherModelTest)
#include "tst_launcher_model.moc"
