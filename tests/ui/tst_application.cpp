#include "UiTestFixture.h"
#include "ui/ContentView.h"
#include "ui/MainWindow.h"
#include "ui/MyAppsSettings.h"
#include "ui/PickerEntryModel.h"
#include "ui/QuillmarchApp.h"
#include "ui/SettingsWindow.h"
#include "usage/views/UsageOnboarding.h"
#include "usage/views/UsageStatisticsSettings.h"

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPointer>
#include <QStyle>
#include <QTest>

namespace {

QStringList rowTexts(QListView *list) {
    QStringList texts;
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        const QModelIndex at = list->model()->index(row, 0);
        const bool on = at.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        const QString subtitle = at.data(PickerEntryModel::SubtitleRole).toString();
        texts << at.data().toString() + " | " + subtitle + (on ? " | on" : " | off");
    }
    return texts;
}

// Clicks a row at `x` points from its left edge, on the line of its title or its subtitle.
void clickRow(QListView *list, int row, int x, bool onSubtitle = false) {
    const QRect rect = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      QPoint(rect.left() + x, rect.center().y() + (onSubtitle ? 8 : -6)));
}

// Where the row's drawing starts right of its checkbox: the first column with ink.
int firstInkAfterCheckbox(QListView *list, int row) {
    const QRect rect = list->visualRect(list->model()->index(row, 0));
    const QImage image = list->viewport()->grab(rect).toImage();
    const qreal ratio = image.devicePixelRatio();
    const QRgb background = image.pixel(image.width() - 2, image.height() / 2);
    const int checkboxEnd = 8 + list->style()->pixelMetric(QStyle::PM_IndicatorWidth) + 1;
    for (int x = int(checkboxEnd * ratio); x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (qGray(image.pixel(x, y)) < qGray(background) - 60)
                return int(x / ratio);
    return -1;
}

} // namespace

class ApplicationTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Rows: how the user decides on sharing usage counts.
    void windowsShareTheModelsAndTheConsent_data() {
        QTest::addColumn<bool>("inSheet");
        QTest::newRow("declined in a sheet") << true;
        QTest::newRow("shared in Privacy") << false;
    }
    void windowsShareTheModelsAndTheConsent() {
        QFETCH(bool, inSheet);
        UiTestFixture fixture;
        auto statistics = fixture.makeStatistics();
        QuillmarchApp app(fixture.makeLauncher().release(), statistics.get());
        MainWindow *first = app.newMainWindow();
        MainWindow *second = app.newMainWindow();
        for (MainWindow *window : {first, second}) {
            QCOMPARE(window->contentView()->launcher(), app.launcher());
            QCOMPARE(window->contentView()->statistics(), statistics.get());
            QCOMPARE(window->onboarding()->statistics(), statistics.get());
        }
        QTRY_VERIFY(statistics->began());
        QTRY_VERIFY(!app.launcher()->busy());

        // The settings window opens from the one command every window holds and binds the
        // same models.
        auto *openSettings = app.findChild<QAction *>("openSettings");
        QVERIFY(first->actions().contains(openSettings) &&
                second->actions().contains(openSettings));
        openSettings->trigger();
        SettingsWindow *settings = app.settingsWindow();
        QVERIFY(settings && settings->isVisible());
        QCOMPARE(app.openSettings(), settings); // one settings window
        QCOMPARE(settings->findChild<MyAppsSettings *>()->launcher(), app.launcher());
        auto *privacy = settings->findChild<UsageStatisticsSettings *>();
        QCOMPARE(privacy->statistics(), statistics.get());
        auto *share = privacy->findChild<QCheckBox *>("shareUsageStatistics");

        // Undecided, each window shows the consent sheet, and Escape leaves it up.
        QDialog *sheet = nullptr;
        QTRY_VERIFY((sheet = first->onboarding()->sheet()) && second->onboarding()->sheet());
        QVERIFY(sheet->isVisible() && sheet->windowModality() == Qt::WindowModal);
        QCOMPARE(sheet->parentWidget(), first);
        QTest::keyClick(sheet, Qt::Key_Escape);
        QVERIFY(!sheet->close());
        QTest::qWait(50);
        QVERIFY(first->onboarding()->sheet() && sheet->isVisible() && !statistics->consent());
        QVERIFY(!share->isChecked()); // undecided shows off

        // A decision closes both sheets for good; the Privacy switch follows consent.
        QTest::mouseClick(inSheet ? sheet->findChild<QWidget *>("declineUsage") : share,
                          Qt::LeftButton);
        QCOMPARE(statistics->consent(), std::optional<bool>(!inSheet));
        QCOMPARE(share->isChecked(), !inSheet);
        QTRY_VERIFY(!first->onboarding()->sheet() && !second->onboarding()->sheet());
        QTest::mouseClick(share, Qt::LeftButton);
        QCOMPARE(statistics->consent(), std::optional<bool>(inSheet));
        QTest::qWait(50);
        QVERIFY(!first->onboarding()->sheet() && !second->onboarding()->sheet());
    }

    // Closing one of two windows leaves the language detection that the other one waits for
    // running: the remaining window gets the app's languages.
    void closingAWindowKeepsTheSharedDetection() {
        UiTestFixture fixture;
        auto statistics = fixture.makeStatistics();
        statistics->setConsent(false);
        QuillmarchApp app(fixture.makeLauncher().release(), statistics.get());
        Launcher *launcher = app.launcher();
        MainWindow *first = app.newMainWindow();
        QPointer<MainWindow> second = app.newMainWindow();
        QTRY_VERIFY(!launcher->devices().isEmpty() && !launcher->busy());
        qputenv("QUILLMARCH_STANDIN_DELAY_MS_GET_APP_CONTAINER", "600");
        launcher->setDeviceID(StandinDeviceSet::iPadPro);
        launcher->setBundleID("com.example.QuillNotes");
        QVERIFY(launcher->loadingLanguages());
        second->close(); // the window that started detection last
        QTRY_VERIFY(!second);
        qunsetenv("QUILLMARCH_STANDIN_DELAY_MS_GET_APP_CONTAINER");
        QTRY_VERIFY_WITH_TIMEOUT(!launcher->loadingLanguages(), 5000);
        QCOMPARE(launcher->supportedLanguages(),
                 (QStringList{"de", "en", "es", "fr", "pt-BR", "zh-Hans"}));
        int lookups = 0;
        for (const auto &command : fixture.deviceSet.commands("xcrun"))
            lookups += command.arguments.contains("get_app_container");
        QCOMPARE(lookups, 1); // one detection served both windows
        QVERIFY(first->isVisible());
    }

    // On a first start without working developer tools, the start-up refresh fails while the
    // consent sheet is up: its alert waits until the sheet is answered, then shows.
    void refreshAlertWaitsForTheConsentSheet() {
        UiTestFixture fixture;
        auto statistics = fixture.makeStatistics();
        const QString missing = fixture.settingsFolder.filePath("xcrun");
        QuillmarchApp app(new Launcher(&fixture.store, DeveloperToolPaths{missing, missing}),
                          statistics.get());
        MainWindow *window = app.newMainWindow();
        QDialog *sheet = nullptr;
        QTRY_VERIFY((sheet = window->onboarding()->sheet()) && sheet->isVisible());
        QTRY_VERIFY(app.launcher()->error().has_value());
        QTest::qWait(200);
        QVERIFY(!window->findChild<QMessageBox *>("errorAlert"));
        QTest::mouseClick(sheet->findChild<QWidget *>("declineUsage"), Qt::LeftButton);
        QMessageBox *alert = nullptr;
        QTRY_VERIFY((alert = window->findChild<QMessageBox *>("errorAlert")) && alert->isVisible());
        QCOMPARE(alert->text(), "The file “" + missing + "” doesn’t exist.");
        QTRY_VERIFY(!window->onboarding()->sheet());
        alert->accept();
        QTRY_COMPARE(app.launcher()->error(), std::nullopt);
    }

    void myAppsRowsWriteThroughTheLauncher() {
        UiTestFixture fixture;
        auto launcher = fixture.makeLauncher();
        QPixmap artwork(28, 28);
        artwork.fill(Qt::darkBlue);
        launcher->setApps({{"com.example.QuillNotes", "Quill Notes", QIcon(artwork)},
                           {"com.apple.mobilesafari", "Safari", QIcon(artwork)}});
        launcher->setMyAppIDs({"com.z.Late", "com.a.Early"});
        MyAppsSettings pane(launcher.get());
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        auto *list = pane.findChild<QListView *>("myAppsList");
        const QString unloaded = " | Not loaded on the current simulator | on";
        QCOMPARE(rowTexts(list), (QStringList{"Quill Notes | com.example.QuillNotes | off",
                                              "Safari | com.apple.mobilesafari | off",
                                              "com.a.Early" + unloaded, "com.z.Late" + unloaded}));

        // An unloaded identifier has no icon: its text starts where an app's icon does.
        const int iconStart = firstInkAfterCheckbox(list, 0);
        QVERIFY2(qAbs(firstInkAfterCheckbox(list, 2) - iconStart) <= 3,
                 qPrintable(QString::number(firstInkAfterCheckbox(list, 2))));

        // The whole row is the checkbox's label: a click on the icon ticks the app and stores
        // the sorted set, a click on its identifier unticks it, one on its name ticks it again.
        clickRow(list, 1, iconStart + 4);
        QCOMPARE(fixture.store.value("myAppIDs").toStringList(),
                 (QStringList{"com.a.Early", "com.apple.mobilesafari", "com.z.Late"}));
        QVERIFY(rowTexts(list).at(1).endsWith("| on"));
        clickRow(list, 1, 90, true);
        QVERIFY(!launcher->myAppIDs().contains("com.apple.mobilesafari"));
        clickRow(list, 1, 80);
        QVERIFY(launcher->myAppIDs().contains("com.apple.mobilesafari"));

        // Space toggles the current row; unticking an unloaded identifier removes its row.
        list->setFocus();
        list->setCurrentIndex(list->model()->index(3, 0));
        QTest::keyClick(list, Qt::Key_Space);
        QVERIFY(!launcher->myAppIDs().contains("com.z.Late"));
        QCOMPARE(list->model()->rowCount(), 3);

        // The search and the toggle are wired up.
        QTest::keyClicks(pane.findChild<QLineEdit *>("searchApps"), "EARLY");
        QCOMPARE(rowTexts(list), QStringList{"com.a.Early" + unloaded});
        QTest::mouseClick(pane.findChild<QCheckBox *>("showOnlyMyApps"), Qt::LeftButton);
        QVERIFY(launcher->onlyMyApps());
    }
};

QTEST_MAIN(ApplicationTest)
#include "tst_application.moc"
