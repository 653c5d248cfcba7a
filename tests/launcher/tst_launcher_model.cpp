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

#include <stdexcept>

using namespace std::chrono_literals;

namespace {

// An INI file holding `iniText`, under a name QSettings has never opened (it caches files by
// name), so values come back as the next start of the application reads them.
std::unique_ptr<QSettings> settingsFile(const QByteArray &iniText = {}) {
    static QTemporaryDir directory;
    static int files = 0;
    const QString path = directory.filePath(QStringLiteral("settings-%1.ini").arg(++files));
    if (QFile file(path); file.open(QIODevice::WriteOnly))
        file.write(iniText);
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

const DeveloperToolPaths noTools{"/nonexistent/xcrun", "/nonexistent/open"};

QList<InstalledApp> apps(const QStringList &ids) {
    QList<InstalledApp> result;
    for (const QString &id : ids)
        result << InstalledApp{id, id.toUpper(), QIcon()};
    return result;
}

template <typename... Values> void row(const char *name, const Values &...values) {
    (QTest::newRow(name) << ... << values);
}

} // namespace

class LauncherModelTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Stored values of the wrong type read as absent; each choice is written on every
    // assignment and comes back at the next start, the list sorted (also a list of one).
    void remembersChoices_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QSet<QString>>("myAppIDs");
        QTest::addColumn<QString>("deviceID");
        QTest::addColumn<QStringList>("added");
        const QSet<QString> none;
        row("nothing stored", QByteArray(), none, "", QStringList{"com.only"});
        row("as written",
            QByteArray("[General]\nonlyMyApps=true\nmyAppIDs=com.b, com.a\nselectedSimulatorID=D1"),
            QSet<QString>{"com.a", "com.b"}, "D1", QStringList{"com.zeta", "com.alpha, comma"});
        row("wrong types",
            QByteArray("[General]\nonlyMyApps=1\nmyAppIDs=x\nselectedSimulatorID=a, b"), none, "",
            QStringList{});
    }
    void remembersChoices() {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, added);
        const auto store = settingsFile(ini);
        QStringList expected;
        {
            Launcher launcher(store.get(), noTools);
            QCOMPARE(launcher.onlyMyApps(), ini.contains("=true"));
            QTEST(launcher.myAppIDs(), "myAppIDs");
            QTEST(launcher.deviceID(), "deviceID");
            for (const QString &id : added)
                launcher.setMyApp(id, true);
            expected = launcher.myAppIDs().values();
            launcher.setOnlyMyApps(true);
            launcher.setDeviceID(QStringLiteral("8A4B"));
            for (const char *key : {"onlyMyApps", "selectedSimulatorID", "myAppIDs"})
                store->setValue(key, "stale");
            // Unchanged values are written all the same.
            launcher.setOnlyMyApps(true);
            launcher.setDeviceID(QStringLiteral("8A4B"));
            launcher.setMyApp(QStringLiteral("com.removed"), false);
        }
        store->sync();
        QFile file(store->fileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const auto reopened = settingsFile(file.readAll());
        Launcher launcher(reopened.get(), noTools);
        QVERIFY(launcher.onlyMyApps());
        QCOMPARE(launcher.deviceID(), QStringLiteral("8A4B"));
        QCOMPARE(launcher.myAppIDs(), QSet<QString>(expected.begin(), expected.end()));
        expected.sort();
        QCOMPARE(reopened->value("myAppIDs").toStringList(), expected);
    }

    // A field announces only a changed value; the two lists announce every assignment.
    void announcesChanges_data() {
        QTest::addColumn<QVariant>("other");
        QTest::addColumn<int>("announced"); // of three assignments: same, other, other
        row("onlyMyApps", QVariant(true), 1);
        row("myAppIDs", QVariant::fromValue(QSet<QString>{"com.x"}), 1);
        row("devices", QVariant::fromValue(QList<SimulatorDevice>{{"D", "Dev", "Booted", true}}),
            3);
        row("apps", QVariant::fromValue(apps({"com.x"})), 3);
        row("deviceID", QVariant(QStringLiteral("D")), 1);
        row("bundleID", QVariant(QStringLiteral("B")), 1);
        row("language", QVariant(QStringLiteral("de")), 1);
        row("locale", QVariant(QStringLiteral("de_CH")), 1);
        row("supportedLanguages", QVariant(QStringList{"de"}), 1);
        row("loadingLanguages", QVariant(true), 1);
        row("languageMessage", QVariant(QStringLiteral("m")), 1);
        row("macMode", QVariant(true), 1);
        row("macApp", QVariant(QUrl::fromLocalFile("/Applications/A.app")), 1);
        row("busy", QVariant(true), 1);
        row("status", QVariant(QStringLiteral("s")), 1);
        row("error", QVariant::fromValue(std::optional<QString>(QStringLiteral("e"))), 1);
    }
    void announcesChanges() {
        QFETCH(QVariant, other);
        const auto store = settingsFile();
        Launcher launcher(store.get(), noTools);
        const QMetaProperty property = launcher.metaObject()->property(
            launcher.metaObject()->indexOfProperty(QTest::currentDataTag()));
        QSignalSpy spy(&launcher, property.notifySignal());
        QVERIFY(property.write(&launcher, property.read(&launcher)));
        QVERIFY(property.write(&launcher, other) && property.write(&launcher, other));
        QCOMPARE(property.read(&launcher), other);
        QTEST(int(spy.count()), "announced");
    }

    // The derived values: the visible apps with each list assignment and each change the
    // filter makes to them; the selection key with each change of its text.
    void announcesDerivedValues() {
        const auto store = settingsFile();
        Launcher launcher(store.get(), noTools);
        QSignalSpy visible(&launcher, &Launcher::visibleAppsChanged);
        QSignalSpy key(&launcher, &Launcher::languageSelectionIDChanged);
        launcher.setApps(apps({"com.c", "com.a", "com.b"}));
        launcher.setMyAppIDs({"com.b", "com.c"}); // the filter is off: nothing new shows
        launcher.setOnlyMyApps(true);
        launcher.setMyApp(QStringLiteral("com.x"), true); // not loaded: the same apps show
        QCOMPARE(launcher.visibleApps(), apps({"com.c", "com.b"}));
        QCOMPARE(visible.count(), 2);

        key.clear(); // the filter selected com.c
        launcher.setDeviceID(QStringLiteral("D"));
        launcher.setMacMode(true);
        launcher.setDeviceID(QStringLiteral("E")); // not part of the key in Mac mode
        launcher.setMacApp(QUrl::fromLocalFile("/Applications/Some App.app"));
        QCOMPARE(key.count(), 3);
        QCOMPARE(launcher.languageSelectionID(), QStringLiteral("mac:/Applications/Some App.app"));
    }

    // Every assignment to the filter or to My Apps leaves a visible app selected, or none.
    void keepsAppSelectionVisible_data() {
        QTest::addColumn<bool>("onlyMyApps");
        QTest::addColumn<QStringList>("myApps");
        QTest::addColumn<QString>("added"); // empty: the filter is switched instead
        QTest::addColumn<QString>("expected");
        row("filter on, choice not mine", false, QStringList{"com.b", "com.a"}, "", "com.a");
        row("filter on, nothing loaded is mine", false, QStringList{"com.z"}, "", "");
        row("filter off", true, QStringList{}, "", "com.c");
        row("adding a member again", true, QStringList{"com.a"}, "com.a", "com.a");
    }
    void keepsAppSelectionVisible() {
        QFETCH(bool, onlyMyApps);
        QFETCH(QStringList, myApps);
        QFETCH(QString, added);
        // The starting state comes from the store, so no reconciling runs before the action.
        const auto store = settingsFile();
        store->setValue("onlyMyApps", onlyMyApps);
        StoredValues::writeTextList(*store, "myAppIDs", myApps);
        Launcher launcher(store.get(), noTools);
        launcher.setApps(apps({"com.c", "com.a", "com.b"}));
        launcher.setBundleID(QStringLiteral("typed.id"));
        if (added.isEmpty())
            launcher.setOnlyMyApps(!onlyMyApps);
        else
            launcher.setMyApp(added, true);
        QTEST(launcher.bundleID(), "expected");
    }

    // One operation at a time: one started while busy is dropped, not queued. A failure ends
    // in `error` as its description and stays there through later successes.
    void performsOneOperationAtATime() {
        const auto store = settingsFile();
        Launcher launcher(store.get(), noTools);
        launcher.perform([]() -> QCoro::Task<> {
            co_await QCoro::sleepFor(10ms);
            throw std::runtime_error("disk full");
        });
        QTRY_VERIFY(!launcher.busy());
        QCOMPARE(launcher.error(), std::optional<QString>("disk full"));
        int runs = 0;
        const auto counted = [&runs]() -> QCoro::Task<> {
            co_await QCoro::sleepFor(30ms);
            ++runs;
        };
        for (int i = 0; i < 2; ++i) {
            launcher.perform(counted);
            launcher.perform(counted); // dropped
            QVERIFY(launcher.busy());
            QCOMPARE(runs, i); // started later, from the event loop
            QTRY_VERIFY(!launcher.busy());
        }
        QCOMPARE(runs, 2);
        QCOMPARE(launcher.error(), std::optional<QString>("disk full"));
        QCOMPARE(launcher.status(), QStringLiteral("Choose a simulator or a macOS app."));
    }

    void choosesMacAppAndReadsContainerPaths() {
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

        QCOMPARE(AppContainer::bundlePath(" \t/data/Caf\xc3\xa9 1.app\r\n"),
                 QString::fromUtf8("/data/Café 1.app"));
        const auto refusal = [](const QByteArray &output) {
            try {
                AppContainer::bundlePath(output);
            } catch (const ToolFailure &failure) {
                return failure.message();
            }
            return QString();
        };
        for (const char *unreadable : {" \n\n", "/data/\xff.app\n"})
            QCOMPARE(refusal(unreadable), QStringLiteral("Could not locate the installed app."));
    }
};

QTEST_GUILESS_MAIN(LauncherModelTest)
#include "tst_launcher_model.moc"
