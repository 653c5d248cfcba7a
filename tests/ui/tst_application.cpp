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
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {

QStringList rowTexts(QListView *list) {
    QStringList texts;
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        const QModelIndex index = list->model()->index(row, 0);
        texts << index.data().toString() + QStringLiteral(" | ") +
                     index.data(PickerEntryModel::SubtitleRole).toString() + QStringLiteral(" | ") +
                     (index.data(Qt::CheckStateRole).toInt() == Qt::Checked
                          ? QStringLiteral("on")
                          : QStringLiteral("off"));
    }
    return texts;
}

void clickCheckbox(QListView *list, int row) {
    const QRect rect = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      QPoint(rect.left() + 14, rect.center().y()));
}

} // namespace

class ApplicationTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void mainWindowsShareOneLauncherAndOneStatisticsService() {
        UiTestFixture fixture;
        auto statistics = fixture.makeStatistics();
        QuillmarchApp app(fixture.makeLauncher().release(), statistics.get());
        MainWindow *first = app.newMainWindow();
        MainWindow *second = app.newMainWindow();
        QVERIFY(first != second);
        for (MainWindow *window : {first, second}) {
            QCOMPARE(window->contentView()->launcher(), app.launcher());
            QCOMPARE(window->contentView()->statistics(), statistics.get());
            QCOMPARE(window->onboarding()->statistics(), statistics.get());
            QVERIFY(window->minimumWidth() == 660 && window->minimumHeight() == 530);
        }
        QTRY_VERIFY(statistics->began());
        QTRY_VERIFY(!app.launcher()->busy());

        // The settings window opens from the menu command and binds the same models.
        first->findChild<QAction *>(QStringLiteral("openSettings"))->trigger();
        SettingsWindow *settings = app.settingsWindow();
        QVERIFY(settings && settings->isVisible());
        QCOMPARE(settings->tabs()->count(), 2);
        QCOMPARE(settings->tabs()->tabText(0), QStringLiteral("My Apps"));
        QCOMPARE(settings->tabs()->tabText(1), QStringLiteral("Privacy"));
        QCOMPARE(settings->findChild<MyAppsSettings *>()->launcher(), app.launcher());
        QCOMPARE(settings->findChild<UsageStatisticsSettings *>()->statistics(), statistics.get());
        QCOMPARE(app.openSettings(), settings); // one settings window
        first->close();
        second->close();
    }

    void consentSheetFollowsConsentAndIgnoresEscape() {
        UiTestFixture fixture;
        auto launcher = fixture.makeLauncher();
        auto statistics = fixture.makeStatistics();
        MainWindow window(launcher.get(), statistics.get());
        window.show();
        QDialog *sheet = nullptr;
        QTRY_VERIFY((sheet = window.onboarding()->sheet()) && sheet->isVisible());
        QCOMPARE(sheet->windowModality(), Qt::WindowModal);
        QCOMPARE(sheet->parentWidget(), &window);

        QTest::keyClick(sheet, Qt::Key_Escape);
        QVERIFY(sheet->close() == false);
        QTest::qWait(50);
        QVERIFY(window.onboarding()->sheet() && sheet->isVisible());
        QVERIFY(!statistics->consent().has_value());

        QTest::mouseClick(sheet->findChild<QPushButton *>(QStringLiteral("declineUsage")),
                          Qt::LeftButton);
        QCOMPARE(statistics->consent(), std::optional<bool>(false));
        QTRY_VERIFY(!window.onboarding()->sheet());

        // A decision never brings the sheet back; the Privacy switch follows consent.
        UsageStatisticsSettings privacy(statistics.get());
        auto *share = privacy.findChild<QCheckBox *>(QStringLiteral("shareUsageStatistics"));
        QVERIFY(!share->isChecked());
        QTest::mouseClick(share, Qt::LeftButton);
        QCOMPARE(statistics->consent(), std::optional<bool>(true));
        QTest::mouseClick(share, Qt::LeftButton);
        QCOMPARE(statistics->consent(), std::optional<bool>(false));
        QTest::qWait(50);
        QVERIFY(!window.onboarding()->sheet());
    }

    void privacySwitchClosesAnOpenSheet() {
        UiTestFixture fixture;
        auto launcher = fixture.makeLauncher();
        auto statistics = fixture.makeStatistics();
        MainWindow window(launcher.get(), statistics.get());
        window.show();
        QTRY_VERIFY(window.onboarding()->sheet());
        UsageStatisticsSettings privacy(statistics.get());
        auto *share = privacy.findChild<QCheckBox *>(QStringLiteral("shareUsageStatistics"));
        QVERIFY(!share->isChecked()); // undecided shows off
        QTest::mouseClick(share, Qt::LeftButton);
        QCOMPARE(statistics->consent(), std::optional<bool>(true));
        QTRY_VERIFY(!window.onboarding()->sheet());
        QVERIFY(statistics->began());
    }

    void myAppsRowsWriteThroughTheLauncher() {
        UiTestFixture fixture;
        auto launcher = fixture.makeLauncher();
        QList<InstalledApp> apps;
        apps << InstalledApp{QStringLiteral("com.example.QuillNotes"),
                             QStringLiteral("Quill Notes"),
                             {}}
             << InstalledApp{
                    QStringLiteral("com.apple.mobilesafari"), QStringLiteral("Safari"), {}};
        launcher->setApps(apps);
        launcher->setMyAppIDs({QStringLiteral("com.z.Late"), QStringLiteral("com.a.Early")});
        MyAppsSettings pane(launcher.get());
        pane.show();
        auto *list = pane.findChild<QListView *>(QStringLiteral("myAppsList"));
        QCOMPARE(rowTexts(list),
                 (QStringList{"Quill Notes | com.example.QuillNotes | off",
                              "Safari | com.apple.mobilesafari | off",
                              "com.a.Early | Not loaded on the current simulator | on",
                              "com.z.Late | Not loaded on the current simulator | on"}));

        // Ticking a loaded app adds it and stores the sorted set.
        clickCheckbox(list, 1);
        QVERIFY(launcher->myAppIDs().contains(QStringLiteral("com.apple.mobilesafari")));
        QCOMPARE(fixture.store.value(QStringLiteral("myAppIDs")).toStringList(),
                 (QStringList{"com.a.Early", "com.apple.mobilesafari", "com.z.Late"}));
        QVERIFY(rowTexts(list).at(1).endsWith(QStringLiteral("| on")));

        // Unticking an unloaded identifier removes its row at once.
        clickCheckbox(list, 3);
        QVERIFY(!launcher->myAppIDs().contains(QStringLiteral("com.z.Late")));
        QCOMPARE(list->model()->rowCount(), 3);

        // The search matches names and identifiers, any case; the toggle hides nothing here.
        auto *search = pane.findChild<QLineEdit *>(QStringLiteral("searchApps"));
        QTest::keyClicks(search, QStringLiteral("EARLY"));
        QCOMPARE(rowTexts(list),
                 QStringList{"com.a.Early | Not loaded on the current simulator | on"});
        search->clear();
        auto *onlyMine = pane.findChild<QCheckBox *>(QStringLiteral("showOnlyMyApps"));
        QTest::mouseClick(onlyMine, Qt::LeftButton);
        QVERIFY(launcher->onlyMyApps());
        QCOMPARE(list->model()->rowCount(), 3);
    }
};

QTEST_MAIN(ApplicationTest)
#include "tst_application.moc"
