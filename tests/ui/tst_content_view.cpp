#include "UiTestFixture.h"
#include "ui/ContentView.h"
#include "ui/InstalledAppPicker.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class ContentViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startUpRunsOneRefresh() {
        UiTestFixture fixture;
        QVERIFY(fixture.deviceSet.isValid());
        auto launcher = fixture.makeLauncher();
        auto statistics = fixture.makeStatistics();
        QSignalSpy devices(launcher.get(), &Launcher::devicesChanged);
        ContentView view(launcher.get(), statistics.get());
        view.show();
        QTRY_COMPARE(launcher->status(), QStringLiteral("Choose a simulator, then load its apps."));
        QTRY_VERIFY(!launcher->busy());
        QTest::qWait(100);
        QCOMPARE(devices.count(), 1);
        QStringList listing;
        listing << "simctl"
                << "list"
                << "devices"
                << "available"
                << "--json";
        int refreshes = 0;
        for (const auto &command : fixture.deviceSet.commands(QStringLiteral("xcrun")))
            refreshes += command.arguments == listing;
        QCOMPARE(refreshes, 1);
        // "Choose a simulator" and the seven available devices, the first one chosen.
        auto *simulator = view.findChild<QComboBox *>(QStringLiteral("simulator"));
        QCOMPARE(simulator->count(), 8);
        QCOMPARE(simulator->itemText(0), QStringLiteral("Choose a simulator"));
        QCOMPARE(simulator->currentData().toString(), launcher->deviceID());
        QVERIFY(simulator->currentText().endsWith(QStringLiteral(" · ") +
                                                  launcher->deviceID().left(8)));
    }

    void switchingTheSimulatorClearsTheApp() {
        UiTestFixture fixture;
        auto launcher = fixture.makeLauncher();
        auto statistics = fixture.makeStatistics();
        ContentView view(launcher.get(), statistics.get());
        view.show();
        QTRY_COMPARE(launcher->devices().size(), 7);
        QTRY_VERIFY(!launcher->busy());
        launcher->setDeviceID(QString::fromLatin1(StandinDeviceSet::iPadPro));
        launcher->perform([l = launcher.get()] { return l->loadApps(); });
        QTRY_VERIFY(!launcher->apps().isEmpty());
        QTRY_VERIFY(!launcher->busy());
        QVERIFY(!launcher->bundleID().isEmpty());
        auto *picker = view.findChild<InstalledAppPicker *>(QStringLiteral("appPicker"));
        QVERIFY(picker->isEnabled());

        // The user picks the next simulator in the list.
        auto *simulator = view.findChild<QComboBox *>(QStringLiteral("simulator"));
        simulator->setFocus();
        QTest::keyClick(simulator, Qt::Key_Down);
        QVERIFY(launcher->deviceID() != QString::fromLatin1(StandinDeviceSet::iPadPro));
        QVERIFY(launcher->apps().isEmpty());
        QVERIFY(launcher->bundleID().isEmpty());
        QCOMPARE(picker->text(), QStringLiteral("No apps available"));

        // "Choose a simulator" empties the device and disables booting.
        QTest::keyClick(simulator, Qt::Key_Home);
        QVERIFY(launcher->deviceID().isEmpty());
        QVERIFY(!view.findChild<QPushButton *>(QStringLiteral("bootAndLoadApps"))->isEnabled());
    }

    // Each new selection restarts detection; only the last selection's languages show. Then
    // every control is reachable with Tab, and Return in the region field launches nothing.
    void detectionFollowsTheSelectionAndKeyboardReachesEverything() {
        UiTestFixture fixture;
        auto launcher = fixture.makeLauncher();
        auto statistics = fixture.makeStatistics();
        statistics->setConsent(true);
        launcher->setDeviceID(QString::fromLatin1(StandinDeviceSet::iPadPro));
        ContentView view(launcher.get(), statistics.get());
        view.show();
        QTRY_VERIFY(!launcher->devices().isEmpty() && !launcher->busy());
        launcher->perform([l = launcher.get()] { return l->loadApps(); });
        QTRY_VERIFY(!launcher->apps().isEmpty() && !launcher->busy());

        qputenv("QUILLMARCH_STANDIN_DELAY_MS_GET_APP_CONTAINER", "400");
        QList<QStringList> shown;
        connect(launcher.get(), &Launcher::supportedLanguagesChanged, this,
                [&] { shown << launcher->supportedLanguages(); });
        launcher->setBundleID(QStringLiteral("com.example.QuillNotes"));
        launcher->setBundleID(QStringLiteral("com.example.CafeCreme"));
        const QStringList cafe{"en", "fr", "fr-CA"};
        QTRY_COMPARE(launcher->supportedLanguages(), cafe);
        QTRY_VERIFY(!launcher->loadingLanguages());
        QTest::qWait(600); // the superseded run has ended by now
        qunsetenv("QUILLMARCH_STANDIN_DELAY_MS_GET_APP_CONTAINER");
        QCOMPARE(launcher->supportedLanguages(), cafe);
        for (const QStringList &languages : std::as_const(shown))
            QVERIFY(languages.isEmpty() || languages == cafe);
        QCOMPARE(launcher->language(), QStringLiteral("en"));

        QStringList reached;
        QWidget *widget = &view;
        do {
            widget = widget->nextInFocusChain();
            if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(&view) &&
                widget->isEnabled())
                reached << (widget->objectName().isEmpty() ? widget->property("text").toString()
                                                           : widget->objectName());
        } while (widget != &view);
        for (const char *name : {"iOS / iPadOS Simulator", "macOS", "simulator",
                                 "refreshSimulators", "bootAndLoadApps", "onlyMyApps", "appPicker",
                                 "manageMyApps", "languagePicker", "region", "launchApp"})
            QVERIFY2(reached.contains(QLatin1String(name)), name);

        auto *region = view.findChild<QLineEdit *>(QStringLiteral("region"));
        region->setFocus();
        QTest::keyClicks(region, QStringLiteral("_x"));
        QTest::keyClick(region, Qt::Key_Return);
        QTest::qWait(100);
        QCOMPARE(launcher->locale(), QStringLiteral("en_US_x"));
        QCOMPARE(statistics->actionCount(), 0);
        QVERIFY(!launcher->busy());
        for (const auto &command : fixture.deviceSet.commands(QStringLiteral("xcrun")))
            QVERIFY(!command.arguments.contains(QStringLiteral("launch")));
    }

    void launchButtonDisabling_data() {
        QTest::addColumn<bool>("macMode");
        QTest::addColumn<QString>("deviceID");
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<bool>("loadingLanguages");
        QTest::addColumn<bool>("enabled");
        const QString device = QString::fromLatin1(StandinDeviceSet::iPadPro);
        QTest::newRow("ready") << false << device << "de" << false << false << true;
        QTest::newRow("busy") << false << device << "de" << true << false << false;
        QTest::newRow("reading languages") << false << device << "de" << false << true << false;
        QTest::newRow("no language") << false << device << "" << false << false << false;
        QTest::newRow("no simulator") << false << ""
                                      << "de" << false << false << false;
        QTest::newRow("mac mode needs no device, nor an app") << true << ""
                                                              << "de" << false << false << true;
        QTest::newRow("mac mode, busy") << true << ""
                                        << "de" << true << false << false;
    }
    void launchButtonDisabling() {
        QFETCH(bool, macMode);
        QFETCH(QString, deviceID);
        QFETCH(QString, language);
        QFETCH(bool, busy);
        QFETCH(bool, loadingLanguages);
        UiTestFixture fixture;
        auto launcher = fixture.makeLauncher();
        auto statistics = fixture.makeStatistics();
        ContentView view(launcher.get(), statistics.get()); // not shown: no operation starts
        launcher->setMacMode(macMode);
        launcher->setDeviceID(deviceID);
        launcher->setLanguage(language);
        launcher->setBusy(busy);
        launcher->setLoadingLanguages(loadingLanguages);
        QTEST(view.findChild<QPushButton *>(QStringLiteral("launchApp"))->isEnabled(), "enabled");
        // While busy the whole form is disabled and the progress indicator shows.
        QCOMPARE(view.findChild<QWidget *>(QStringLiteral("form"))->isEnabled(), !busy);
        QCOMPARE(view.findChild<QWidget *>(QStringLiteral("busyIndicator"))->isVisibleTo(&view),
                 busy);
    }

    void myAppsCaptionShowsOnlyWhenNoneOfMyAppsIsLoaded_data() {
        QTest::addColumn<bool>("onlyMyApps");
        QTest::addColumn<bool>("appsLoaded");
        QTest::addColumn<QString>("myApp");
        QTest::addColumn<bool>("shown");
        QTest::newRow("all apps, none loaded") << false << false << QString() << false;
        QTest::newRow("only mine, none loaded") << true << false << QString() << true;
        QTest::newRow("only mine, not among the loaded") << true << true << "com.other" << true;
        QTest::newRow("only mine, one loaded") << true << true << "com.apple.mobilesafari" << false;
    }
    void myAppsCaptionShowsOnlyWhenNoneOfMyAppsIsLoaded() {
        QFETCH(bool, onlyMyApps);
        QFETCH(bool, appsLoaded);
        QFETCH(QString, myApp);
        UiTestFixture fixture;
        auto launcher = fixture.makeLauncher();
        auto statistics = fixture.makeStatistics();
        ContentView view(launcher.get(), statistics.get());
        if (appsLoaded)
            launcher->setApps({InstalledApp{
                QStringLiteral("com.apple.mobilesafari"), QStringLiteral("Safari"), {}}});
        if (!myApp.isEmpty())
            launcher->setMyApp(myApp, true);
        launcher->setOnlyMyApps(onlyMyApps);
        QTEST(view.findChild<QWidget *>(QStringLiteral("noMyAppsCaption"))->isVisibleTo(&view),
              "shown");
    }

    void launchRecordsOneActionBeforeLaunching() {
        UiTestFixture fixture;
        auto launcher = fixture.makeLauncher();
        auto statistics = fixture.makeStatistics();
        statistics->setConsent(true);
        ContentView view(launcher.get(), statistics.get());
        launcher->setMacMode(true);
        launcher->setMacApp(QUrl::fromLocalFile(fixture.deviceSet.macApp()));
        launcher->setSupportedLanguages({QStringLiteral("de"), QStringLiteral("en")});
        launcher->setLanguage(QStringLiteral("de"));

        QStringList events;
        connect(statistics.get(), &UsageStatistics::actionCountChanged, this,
                [&] { events << QStringLiteral("counted"); });
        connect(launcher.get(), &Launcher::busyChanged, this, [&] {
            events << (launcher->busy() ? QStringLiteral("busy") : QStringLiteral("done"));
        });
        QTest::mouseClick(view.findChild<QPushButton *>(QStringLiteral("launchApp")),
                          Qt::LeftButton);
        QTRY_COMPARE(events, (QStringList{"counted", "busy", "done"}));
        QCOMPARE(statistics->actionCount(), 1);
        QCOMPARE(launcher->status(), QStringLiteral("Launched in de (en_US)."));
        QCOMPARE(fixture.deviceSet.commands(QStringLiteral("open")).size(), 1);
    }

    void dismissingTheAlertClearsTheError() {
        UiTestFixture fixture;
        auto launcher = fixture.makeLauncher();
        auto statistics = fixture.makeStatistics();
        QWidget window;
        auto *view = new ContentView(launcher.get(), statistics.get(), &window);
        Q_UNUSED(view);
        window.show();
        QTRY_VERIFY(!launcher->busy());
        launcher->setError(QStringLiteral("Choose a macOS app first."));
        QMessageBox *alert = nullptr;
        QTRY_VERIFY((alert = window.findChild<QMessageBox *>(QStringLiteral("errorAlert"))));
        QCOMPARE(alert->windowTitle(), QStringLiteral("Quillmarch"));
        QCOMPARE(alert->text(), QStringLiteral("Choose a macOS app first."));
        QCOMPARE(alert->windowModality(), Qt::WindowModal);
        QTest::mouseClick(alert->button(QMessageBox::Ok), Qt::LeftButton);
        QVERIFY(!launcher->error().has_value());
        QTRY_VERIFY(!window.findChild<QMessageBox *>(QStringLiteral("errorAlert")));

        // Escape is a dismissal too.
        launcher->setError(QStringLiteral("Again."));
        QTRY_VERIFY((alert = window.findChild<QMessageBox *>(QStringLiteral("errorAlert"))));
        QTest::keyClick(alert, Qt::Key_Escape);
        QVERIFY(!launcher->error().has_value());
    }
};

QTEST_MAIN(ContentViewTest)
#include "tst_content_view.moc"
