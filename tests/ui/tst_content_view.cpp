#include "UiTestFixture.h"
#include "ui/ContentView.h"
#include "ui/HeaderAppIcon.h"
#include "ui/InstalledAppPicker.h"

#include <QAccessible>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

class ContentViewTest : public QObject {
    Q_OBJECT

    // Fresh for every test function and data row.
    std::optional<UiTestModels> models;
    Launcher *launcher = nullptr;
    UsageStatistics *statistics = nullptr;

private Q_SLOTS:
    void init() {
        models.emplace();
        QVERIFY(models->deviceSet.isValid());
        launcher = models->launcher.get();
        statistics = models->statistics.get();
    }

    void startUpRunsOneRefresh() {
        ContentView view(launcher, statistics);
        view.show();
        QTRY_COMPARE(launcher->status(), "Choose a simulator, then load its apps.");
        QTRY_VERIFY(!launcher->busy());
        QTest::qWait(100);
        const QStringList listing = {"simctl", "list", "devices", "available", "--json"};
        int refreshes = 0;
        for (const auto &command : models->deviceSet.commands("xcrun"))
            refreshes += command.arguments == listing;
        QCOMPARE(refreshes, 1);
        // "Choose a simulator" and the seven available devices, the first one chosen.
        auto *simulator = view.findChild<QComboBox *>("simulator");
        QCOMPARE(simulator->count(), 8);
        QCOMPARE(simulator->itemText(0), "Choose a simulator");
        QCOMPARE(simulator->currentData().toString(), launcher->deviceID());
    }

    // With the iPad's apps loaded: each new selection restarts detection and only the last
    // selection's languages show; every control is reachable with Tab; Return in the region
    // field launches nothing; switching the simulator clears the app.
    void workflowOnTheIPad() {
        statistics->setConsent(true);
        launcher->setDeviceID(StandinDeviceSet::iPadPro);
        ContentView view(launcher, statistics);
        view.show();
        QTRY_VERIFY(!launcher->devices().isEmpty() && !launcher->busy());
        launcher->perform([this] { return launcher->loadApps(); });
        QTRY_VERIFY(!launcher->apps().isEmpty() && !launcher->busy());

        qputenv("QUILLMARCH_STANDIN_DELAY_MS_GET_APP_CONTAINER", "400");
        QList<QStringList> shown;
        connect(launcher, &Launcher::supportedLanguagesChanged, this,
                [&] { shown << launcher->supportedLanguages(); });
        launcher->setBundleID("com.example.QuillNotes");
        launcher->setBundleID("com.example.CafeCreme");
        const QStringList cafe{"en", "fr", "fr-CA"};
        QTRY_VERIFY(launcher->supportedLanguages() == cafe && !launcher->loadingLanguages());
        QTest::qWait(600); // the superseded run has ended by now
        qunsetenv("QUILLMARCH_STANDIN_DELAY_MS_GET_APP_CONTAINER");
        QCOMPARE(launcher->supportedLanguages(), cafe);
        for (const QStringList &languages : std::as_const(shown))
            QVERIFY(languages.isEmpty() || languages == cafe);
        QCOMPARE(launcher->language(), "en");

        QStringList reached;
        for (QWidget *w = view.nextInFocusChain(); w != &view; w = w->nextInFocusChain())
            if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(&view) && w->isEnabled())
                reached << (w->objectName().isEmpty() ? w->property("text").toString()
                                                      : w->objectName());
        for (const char *name : {"iOS / iPadOS Simulator", "macOS", "simulator",
                                 "refreshSimulators", "bootAndLoadApps", "onlyMyApps", "appPicker",
                                 "manageMyApps", "languagePicker", "region", "launchApp"})
            QVERIFY2(reached.contains(QLatin1String(name)), name);

        auto *region = view.findChild<QLineEdit *>("region");
        region->setFocus();
        QTest::keyClicks(region, "_x");
        QTest::keyClick(region, Qt::Key_Return);
        QTest::qWait(100);
        QCOMPARE(launcher->locale(), "en_US_x");
        QCOMPARE(statistics->actionCount(), 0);
        for (const auto &command : models->deviceSet.commands("xcrun"))
            QVERIFY(!command.arguments.contains("launch"));

        // The user picks the next simulator in the list, then "Choose a simulator".
        auto *picker = view.findChild<InstalledAppPicker *>("appPicker");
        QVERIFY(picker->isEnabled() && !launcher->bundleID().isEmpty());
        auto *simulator = view.findChild<QComboBox *>("simulator");
        simulator->setFocus();
        QTest::keyClick(simulator, Qt::Key_Down);
        QVERIFY(launcher->deviceID() != StandinDeviceSet::iPadPro);
        QVERIFY(launcher->apps().isEmpty() && launcher->bundleID().isEmpty());
        QCOMPARE(picker->text(), "No apps available");
        QTest::keyClick(simulator, Qt::Key_Home);
        QVERIFY(launcher->deviceID().isEmpty());
        QVERIFY(!view.findChild<QPushButton *>("bootAndLoadApps")->isEnabled());
    }

    // While an operation runs, the busy indicator's Stop button, or Escape, ends the tool that
    // does not answer: the status says "Stopped." and no alert opens.
    void stopEndsAHangingOperation_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Stop button") << false;
        QTest::newRow("Escape") << true;
    }
    void stopEndsAHangingOperation() {
        QFETCH(bool, escape);
        launcher->setDeviceID(StandinDeviceSet::iPadPro);
        ContentView view(launcher, statistics);
        view.show();
        QVERIFY(QTest::qWaitForWindowActive(&view));
        QTRY_VERIFY(!launcher->devices().isEmpty() && !launcher->busy());
        const QString pidFile = models->settingsFolder.filePath("pids");
        qputenv("QUILLMARCH_STANDIN_HANG_BOOTSTATUS", pidFile.toUtf8());
        view.findChild<QPushButton *>("bootAndLoadApps")->click();
        QTRY_VERIFY(QFileInfo(pidFile).size() > 0);
        qunsetenv("QUILLMARCH_STANDIN_HANG_BOOTSTATUS");
        auto *stop = view.findChild<QPushButton *>("stopOperation");
        QVERIFY(stop && stop->isVisible() && stop->isEnabled());
        if (escape)
            QTest::keyClick(&view, Qt::Key_Escape);
        else
            QTest::mouseClick(stop, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!launcher->busy(), 5000);
        QCOMPARE(view.findChild<QLabel *>("status")->text(), "Stopped.");
        QVERIFY(!stop->isVisible());
        QTest::qWait(100);
        QCOMPARE(launcher->error(), std::nullopt);
        QVERIFY(!view.findChild<QMessageBox *>("errorAlert"));
    }

    // Each row changes one thing from a ready iOS state; the tag names the change.
    void launchButtonDisabling_data() {
        QTest::addColumn<bool>("enabled");
        QTest::newRow("ready") << true;
        QTest::newRow("busy") << false;
        QTest::newRow("reading languages") << false;
        QTest::newRow("no language") << false;
        QTest::newRow("no simulator") << false;
        QTest::newRow("mac mode, which needs no device") << true;
    }
    void launchButtonDisabling() {
        const QByteArray change = QTest::currentDataTag();
        const bool macMode = change.startsWith("mac"), busy = change == "busy";
        ContentView view(launcher, statistics); // not shown: no operation starts
        launcher->setMacMode(macMode);
        launcher->setDeviceID(macMode || change == "no simulator" ? "" : StandinDeviceSet::iPadPro);
        launcher->setLanguage(change == "no language" ? "" : "de");
        launcher->setBusy(busy);
        launcher->setLoadingLanguages(change == "reading languages");
        QTEST(view.findChild<QPushButton *>("launchApp")->isEnabled(), "enabled");
        // While busy the whole form is disabled and the progress indicator shows.
        QCOMPARE(view.findChild<QWidget *>("form")->isEnabled(), !busy);
        QCOMPARE(view.findChild<QWidget *>("busyIndicator")->isVisibleTo(&view), busy);
    }

    // Safari is loaded; the caption shows only when My Apps are asked for and none is loaded.
    void myAppsCaption_data() {
        QTest::addColumn<bool>("onlyMyApps");
        QTest::addColumn<QString>("myApp");
        QTest::addColumn<bool>("shown");
        QTest::newRow("all apps") << false << "" << false;
        QTest::newRow("only mine, none loaded") << true << "com.other" << true;
        QTest::newRow("only mine, one loaded") << true << "com.apple.mobilesafari" << false;
    }
    void myAppsCaption() {
        QFETCH(bool, onlyMyApps);
        QFETCH(QString, myApp);
        ContentView view(launcher, statistics);
        launcher->setApps({{"com.apple.mobilesafari", "Safari", {}}});
        if (!myApp.isEmpty())
            launcher->setMyApp(myApp, true);
        launcher->setOnlyMyApps(onlyMyApps);
        QTEST(view.findChild<QWidget *>("noMyAppsCaption")->isVisibleTo(&view), "shown");
    }

    void launchRecordsOneActionBeforeLaunching() {
        statistics->setConsent(true);
        ContentView view(launcher, statistics);
        launcher->setMacMode(true);
        launcher->setMacApp(QUrl::fromLocalFile(models->deviceSet.macApp()));
        launcher->setSupportedLanguages({"de", "en"});
        launcher->setLanguage("de");

        QStringList events;
        connect(statistics, &UsageStatistics::actionCountChanged, this,
                [&] { events << "counted"; });
        connect(launcher, &Launcher::busyChanged, this,
                [&] { events << (launcher->busy() ? "busy" : "done"); });
        QTest::mouseClick(view.findChild<QPushButton *>("launchApp"), Qt::LeftButton);
        QTRY_COMPARE(events, (QStringList{"counted", "busy", "done"}));
        QCOMPARE(statistics->actionCount(), 1);
        QCOMPARE(launcher->status(), "Launched in de (en_US).");
        QCOMPARE(models->deviceSet.commands("open").size(), 1);
    }

    // The alert is window-modal; OK and Escape both dismiss it and clear the error.
    void dismissingTheAlertClearsTheError() {
        QWidget window;
        new ContentView(launcher, statistics, &window);
        window.show();
        QTRY_VERIFY(!launcher->busy());
        QMessageBox *alert = nullptr;
        for (const bool escape : {false, true}) {
            launcher->setError("Choose a macOS app first.");
            QTRY_VERIFY((alert = window.findChild<QMessageBox *>("errorAlert")));
            QCOMPARE(alert->windowTitle(), "Quillmarch");
            QCOMPARE(alert->text(), "Choose a macOS app first.");
            QCOMPARE(alert->windowModality(), Qt::WindowModal);
            if (escape)
                QTest::keyClick(alert, Qt::Key_Escape);
            else
                QTest::mouseClick(alert->button(QMessageBox::Ok), Qt::LeftButton);
            QVERIFY(!launcher->error().has_value());
            QTRY_VERIFY(!window.findChild<QMessageBox *>("errorAlert"));
        }
    }

    // A tool failing with 5 MB of output: `error` holds all of it, the alert its first lines
    // (as plain text, cut at a line end) and the details all of it.
    void hugeFailureShowsAnExcerpt() {
        QTemporaryDir folder;
        const QString tool = folder.filePath("xcrun");
        QFile script(tool);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nyes '<b>simctl:</b> failure line of a tool that says a lot' |"
                     " head -c 5242880\nexit 1\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        Launcher failing(&models->store, {tool, models->deviceSet.open()});
        QWidget window;
        new ContentView(&failing, statistics, &window);
        window.show();

        QMessageBox *alert = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((alert = window.findChild<QMessageBox *>("errorAlert")), 20000);
        const QString error = failing.error().value();
        QCOMPARE(error.size(), 5242880);
        const QString text = alert->text();
        QVERIFY(text.endsWith("\n…"));
        const QString excerpt = text.chopped(2);
        QVERIFY(excerpt.size() <= 2000 && excerpt.count('\n') < 20);
        QVERIFY(error.startsWith(excerpt + '\n'));
        QCOMPARE(alert->textFormat(), Qt::PlainText);
        QCOMPARE(alert->detailedText(), error);
    }

    // The header icon is decoration: no assistive tool meets it in the window's tree.
    void headerIconIsHiddenFromAccessibility() {
        ContentView view(launcher, statistics);
        QStringList classes;
        std::function<void(QAccessibleInterface *)> walk = [&](QAccessibleInterface *node) {
            for (int index = 0; node && index < node->childCount(); ++index) {
                QAccessibleInterface *child = node->child(index);
                if (child && child->object())
                    classes << child->object()->metaObject()->className();
                walk(child);
            }
        };
        walk(QAccessible::queryAccessibleInterface(&view));
        QVERIFY(classes.contains("QPushButton"));
        QVERIFY(!classes.contains("HeaderAppIcon"));
        auto *icon = view.findChild<HeaderAppIcon *>();
        QVERIFY(QAccessible::queryAccessibleInterface(icon)->state().invisible);
    }
};

QTEST_MAIN(ContentViewTest)
#include "tst_content_view.moc"
