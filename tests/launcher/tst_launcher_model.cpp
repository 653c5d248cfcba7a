// The launcher model without developer tools: remembered choices, the announcement rule, the
// app-selection rules, perform, the Mac app chooser and the container-path reader.
#include "launcher/AppContainer.h"
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

// An INI settings file holding `iniText`, under a name QSettings has never opened (it caches
// files by name), so values come back as a fresh process reads them.
std::unique_ptr<QSettings> settingsFile(const QByteArray &iniText = {}) {
    static QTemporaryDir directory;
    static int files = 0;
    const QString path = directory.filePath(QStringLiteral("settings-%1.ini").arg(++files));
    if (QFile file(path); file.open(QIODevice::WriteOnly))
        file.write(iniText);
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

// The store as the application's next start reads it.
std::unique_ptr<QSettings> restarted(QSettings &store) {
    store.sync();
    QFile file(store.fileName());
    return settingsFile(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
}

const DeveloperToolPaths noTools{"/nonexistent/xcrun", "/nonexistent/open"};

QList<InstalledApp> appsWithIDs(const QStringList &ids) {
    QList<InstalledApp> apps;
    for (const QString &id : ids)
        apps << InstalledApp{id, id.toUpper(), QIcon()};
    return apps;
}

// Adds a data row; the values fill the columns in order.
template <typename... Values> void row(const char *name, const Values &...values) {
    (QTest::newRow(name) << ... << values);
}

QCoro::Task<> countAfterPause(int *runs) {
    co_await QCoro::sleepFor(30ms);
    ++*runs;
}

QCoro::Task<> failAfterPause() {
    co_await QCoro::sleepFor(10ms);
    throw std::runtime_error("disk full");
}

} // namespace

class LauncherModelTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsRememberedChoices_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<bool>("onlyMyApps");
        QTest::addColumn<QSet<QString>>("myAppIDs");
        QTest::addColumn<QString>("deviceID");

        const QSet<QString> none;
        row("nothing stored", QByteArray(), false, none, "");
        row("as written",
            QByteArray(
                "[General]\nonlyMyApps=true\nmyAppIDs=com.b, com.a\nselectedSimulatorID=D1\n"),
            true, QSet<QString>{"com.a", "com.b"}, "D1");
        // A value of the wrong type reads as absent.
        row("number for the flag", QByteArray("[General]\nonlyMyApps=1\n"), false, none, "");
        row("plain text for the list", QByteArray("[General]\nmyAppIDs=com.one\n"), false, none,
            "");
        row("list for the device", QByteArray("[General]\nselectedSimulatorID=a, b\n"), false, none,
            "");
    }

    void readsRememberedChoices() {
        QFETCH(QByteArray, ini);
        const auto store = settingsFile(ini);
        Launcher launcher(store.get(), noTools);
        QTEST(launcher.onlyMyApps(), "onlyMyApps");
        QTEST(launcher.myAppIDs(), "myAppIDs");
        QTEST(launcher.deviceID(), "deviceID");
    }

    void remembersChoicesAcrossRestarts_data() {
        QTest::addColumn<QStringList>("added");
        row("none", QStringList{});
        row("one", QStringList{"com.example.only"});
        row("several, the last sorting first",
            QStringList{"com.zeta", "com.beta, with comma", "com.alpha"});
    }

    // The choices are stored on every assignment, changed or not, and survive a restart.
    void remembersChoicesAcrossRestarts() {
        QFETCH(QStringList, added);
        const auto store = settingsFile();
        {
            Launcher launcher(store.get(), noTools);
            launcher.setOnlyMyApps(true);
            launcher.setDeviceID(QStringLiteral("8A4B6C2D"));
            for (const QString &id : added)
                launcher.setMyApp(id, true);
            for (const char *key : {"onlyMyApps", "selectedSimulatorID", "myAppIDs"})
                store->setValue(key, "stale");
            launcher.setOnlyMyApps(true);
            launcher.setDeviceID(QStringLiteral("8A4B6C2D"));
            launcher.setMyApp(QStringLiteral("com.removed"), false);
        }
        QStringList sorted = added;
        sorted.sort();
        QCOMPARE(StoredValues::readTextList(*store, "myAppIDs").value_or(QStringList{"?"}), sorted);

        const auto reopened = restarted(*store);
        Launcher launcher(reopened.get(), noTools);
        QCOMPARE(launcher.onlyMyApps(), true);
        QCOMPARE(launcher.deviceID(), QStringLiteral("8A4B6C2D"));
        QCOMPARE(launcher.myAppIDs(), QSet<QString>(added.begin(), added.end()));
    }

    // A field announces only a changed value; the two lists announce every assignment.
    void announcesChanges_data() {
        QTest::addColumn<QVariant>("other");
        QTest::addColumn<bool>("always");
        const auto row = [](const char *property, const QVariant &other, bool always = false) {
            QTest::newRow(property) << other << always;
        };
        row("onlyMyApps", true);
        row("myAppIDs", QVariant::fromValue(QSet<QString>{"com.x"}));
        row("devices", QVariant::fromValue(QList<SimulatorDevice>{{"D", "Dev", "Booted", true}}),
            true);
        row("apps", QVariant::fromValue(appsWithIDs({"com.x"})), true);
        row("deviceID", QStringLiteral("D"));
        row("bundleID", QStringLiteral("B"));
        row("language", QStringLiteral("de"));
        row("locale", QStringLiteral("de_CH"));
        row("supportedLanguages", QStringList{"de"});
        row("loadingLanguages", true);
        row("languageMessage", QStringLiteral("m"));
        row("macMode", true);
        row("macApp", QUrl::fromLocalFile("/Applications/A.app"));
        row("busy", true);
        row("status", QStringLiteral("s"));
        row("error", QVariant::fromValue(std::optional<QString>(QStringLiteral("e"))));
    }

    void announcesChanges() {
        QFETCH(QVariant, other);
        QFETCH(bool, always);
        const auto store = settingsFile();
        Launcher launcher(store.get(), noTools);
        const QMetaObject *meta = launcher.metaObject();
        const QMetaProperty property =
            meta->property(meta->indexOfProperty(QTest::currentDataTag()));
        QSignalSpy spy(&launcher, property.notifySignal());

        QVERIFY(property.write(&launcher, property.read(&launcher)));
        QVERIFY(property.write(&launcher, other));
        QVERIFY(property.write(&launcher, other));
        QCOMPARE(property.read(&launcher), other);
        QCOMPARE(spy.count(), always ? 3 : 1);
    }

    // The visible apps are announced with every list assignment and when the filter changes
    // them; the selection key when its text changes.
    void announcesDerivedValues() {
        const auto store = settingsFile();
        Launcher launcher(store.get(), noTools);
        QSignalSpy visible(&launcher, &Launcher::visibleAppsChanged);
        QSignalSpy key(&launcher, &Launcher::languageSelectionIDChanged);
        launcher.setApps(appsWithIDs({"com.c", "com.a", "com.b"}));
        launcher.setMyAppIDs({"com.b", "com.c"}); // shows nothing new while the filter is off
        launcher.setOnlyMyApps(true);
        launcher.setMyApp(QStringLiteral("com.x"), true); // not loaded: same visible apps
        QCOMPARE(launcher.visibleApps(), appsWithIDs({"com.c", "com.b"}));
        QCOMPARE(visible.count(), 2);

        key.clear(); // the filter selected com.c
        launcher.setDeviceID(QStringLiteral("D"));
        launcher.setMacMode(true);
        launcher.setDeviceID(QStringLiteral("E")); // not part of the key in Mac mode
        launcher.setMacApp(QUrl::fromLocalFile("/Applications/Some App.app"));
        QCOMPARE(key.count(), 3);
    }

    // Every assignment to the filter or the My Apps set puts a visible app in the selection.
    void keepsAppSelectionVisible_data() {
        QTest::addColumn<bool>("onlyMyApps");
        QTest::addColumn<QStringList>("myApps");
        QTest::addColumn<QString>("added"); // empty: the filter is switched instead
        QTest::addColumn<QString>("expected");

        row("filter on, choice not mine: first visible", false, QStringList{"com.b", "com.a"}, "",
            "com.a");
        row("filter on, nothing loaded is mine", false, QStringList{"com.z"}, "", "");
        row("filter off", true, QStringList{}, "", "com.c");
        row("adding a member again", true, QStringList{"com.a"}, "com.a", "com.a");
    }

    void keepsAppSelectionVisible() {
        QFETCH(bool, onlyMyApps);
        QFETCH(QStringList, myApps);
        QFETCH(QString, added);

        // The starting state comes from the store, so that no reconciling runs before the action.
        const auto store = settingsFile();
        store->setValue("onlyMyApps", onlyMyApps);
        StoredValues::writeTextList(*store, "myAppIDs", myApps);
        Launcher launcher(store.get(), noTools);
        launcher.setApps(appsWithIDs({"com.c", "com.a", "com.b"}));
        launcher.setBundleID(QStringLiteral("typed.id"));

        if (added.isEmpty())
            launcher.setOnlyMyApps(!onlyMyApps);
        else
            launcher.setMyApp(added, true);
        QTEST(launcher.bundleID(), "expected");
    }

    // One operation at a time: one started while busy is dropped, not queued. A failure ends in
    // `error` as its user-facing description and stays there through later successes.
    void performsOneOperationAtATime() {
        const auto store = settingsFile();
        Launcher launcher(store.get(), noTools);
        launcher.perform(failAfterPause);
        QTRY_VERIFY(!launcher.busy());
        QCOMPARE(launcher.error(), std::optional<QString>("disk full"));
        QCOMPARE(launcher.status(), QStringLiteral("Choose a simulator or a macOS app."));

        int runs = 0;
        for (int i = 0; i < 2; ++i) {
            launcher.perform([&runs] { return countAfterPause(&runs); });
            launcher.perform([&runs] { return countAfterPause(&runs); }); // dropped
            QVERIFY(launcher.busy());
            QCOMPARE(runs, i); // started later, from the event loop
            QTRY_VERIFY(!launcher.busy());
        }
        QCOMPARE(runs, 2);
        QCOMPARE(launcher.error(), std::optional<QString>("disk full"));
    }

    void choosesMacApp() {
        const auto store = settingsFile();
        Launcher launcher(store.get(), noTools);
        const QString app = QStringLiteral("/Applications/Text Edit (copy).app");
        QStringList startedIn;
        launcher.setMacAppChooser([&](const QString &folder) {
            startedIn << folder;
            return startedIn.size() == 1 ? std::optional<QString>(app) : std::nullopt;
        });
        launcher.chooseMacApp();
        launcher.chooseMacApp(); // cancelled
        QCOMPARE(startedIn, QStringList(2, QStringLiteral("/Applications")));
        QCOMPARE(launcher.macApp(), QUrl::fromLocalFile(app));
    }

    void readsContainerPaths_data() {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QString>("path"); // empty: "Could not locate the installed app."
        row("white space around", QByteArray(" \t/data/Caf\xc3\xa9 1.app\r\n"),
            QString::fromUtf8("/data/Café 1.app"));
        row("only white space", QByteArray(" \n\n"), QString());
        row("not UTF-8", QByteArray("/data/\xff.app\n"), QString());
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
