// The main window's launch controls beyond the Launch button: the options menu, the next
// language shortcut, the Recent menu and the region completions, bound to a real launcher.
#include "UiTestFixture.h"
#include "launcher/RecentLaunches.h"
#include "ui/ContentView.h"
#include "ui/LaunchOptionsButton.h"
#include "ui/RecentLaunchesButton.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QCompleter>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

namespace {

QAction *actionNamed(QMenu *menu, const QString &text) {
    for (QAction *action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

} // namespace

class LaunchControlsTest : public QObject {
    Q_OBJECT

    std::optional<UiTestModels> models;
    Launcher *launcher = nullptr;

private Q_SLOTS:
    void init() {
        models.emplace();
        QVERIFY(models->deviceSet.isValid());
        launcher = models->launcher.get();
    }

    // Ticking an item sets the launcher's option; the launcher's options tick the items.
    void optionsMenuBindsBothWays() {
        ContentView view(launcher, models->statistics.get());
        auto *button = view.findChild<LaunchOptionsButton *>("launchOptions");
        QCOMPARE(button->text(), "Options");
        QAction *accented = actionNamed(button->optionsMenu(), "Accented strings");
        QVERIFY(accented && accented->isCheckable());
        accented->trigger();
        QCOMPARE(launcher->launchOptions(), LaunchOptions(LaunchOption::AccentedStrings));
        launcher->setLaunchOption(LaunchOption::RightToLeftLayout, true);
        QVERIFY(actionNamed(button->optionsMenu(), "Right-to-left layout")->isChecked());
        QCOMPARE(button->text(), "Options (2)");
        // What assistive technology reads is what the button shows.
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(button);
        QCOMPARE(accessible->text(QAccessible::Name), "Options (2)");
        launcher->setLaunchOptions({});
        QVERIFY(!accented->isChecked());
        QCOMPARE(button->text(), "Options");
        QCOMPARE(accessible->text(QAccessible::Name), "Options");
    }

    // Ctrl+] launches the Mac app in the next language; the launch then heads the Recent menu,
    // next to a remembered launch whose app is gone, which cannot be chosen.
    void nextLanguageShortcutAndRecentMenu() {
        launcher->setMacMode(true);
        launcher->setMacApp(QUrl::fromLocalFile(models->deviceSet.macApp()));
        RecentLaunch gone{true, "/nonexistent/Gone.app", "", "", "Gone", "", "de", "", {}};
        launcher->recentLaunches()->add(gone);
        ContentView view(launcher, models->statistics.get());
        view.show();
        QVERIFY(QTest::qWaitForWindowActive(&view));
        // The start-up refresh (it begins once the window is drawn) and language detection.
        QTRY_VERIFY(!launcher->devices().isEmpty() && !launcher->busy() &&
                    !launcher->loadingLanguages());
        QCOMPARE(launcher->language(), "en"); // of de, en, fr, ja, pt-BR
        auto *next = view.findChild<QPushButton *>("launchInNextLanguage");
        QVERIFY(next->isEnabled());

        QTest::keyClick(&view, Qt::Key_BracketRight, Qt::ControlModifier);
        QTRY_COMPARE(launcher->status(), "Launched in fr (en_US).");
        QTRY_VERIFY(!launcher->busy());
        QCOMPARE(models->deviceSet.commands("open").last().arguments.mid(3, 2),
                 (QStringList{"-AppleLanguages", "(fr)"}));

        auto *recent = view.findChild<RecentLaunchesButton *>("recentLaunches");
        QMenu *menu = recent->recentMenu();
        Q_EMIT menu->aboutToShow();
        const QList<QAction *> entries = menu->actions();
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[0]->text(), "Sample Mac Editor — fr (en_US)");
        QVERIFY(entries[0]->isEnabled());
        QCOMPARE(entries[1]->text(), "Gone — de ()");
        QVERIFY(!entries[1]->isEnabled());

        launcher->setLanguage("de");
        entries[0]->trigger();
        QTRY_COMPARE(launcher->language(), "fr");
        QTRY_VERIFY(!launcher->busy());
        QCOMPARE(models->deviceSet.commands("open").size(), 2);
        QCOMPARE(models->statistics->actionCount(), 0); // no consent, nothing counted
    }

    // The region field completes from the chosen language's locales and stays free text.
    void regionCompletesForTheLanguage() {
        ContentView view(launcher, models->statistics.get());
        auto *region = view.findChild<QLineEdit *>("region");
        QAbstractItemModel *codes = region->completer()->model();
        QFocusEvent focusIn(QEvent::FocusIn);
        launcher->setLanguage("de");
        QCoreApplication::sendEvent(region, &focusIn);
        QVERIFY(codes->rowCount() > 5);
        QCOMPARE(codes->index(0, 0).data().toString(), "de_DE");
        launcher->setLanguage("fr-CA");
        QCoreApplication::sendEvent(region, &focusIn);
        QCOMPARE(codes->index(0, 0).data().toString(), "fr_CA");
        QTest::keyClicks(region, "_nowhere");
        QCOMPARE(launcher->locale(), "en_US_nowhere");
    }

    // Going through the completions with the arrow keys changes the field's text without an
    // edit; the region launched is the one the field shows, always.
    void regionCompletionChosenWithArrowKeys() {
        ContentView view(launcher, models->statistics.get());
        view.show();
        QVERIFY(QTest::qWaitForWindowActive(&view));
        QTRY_VERIFY(!launcher->busy() && !launcher->loadingLanguages()); // start-up work
        launcher->setLanguage("de");
        auto *region = view.findChild<QLineEdit *>("region");
        region->setFocus();
        region->selectAll();
        QTest::keyClicks(region, "de_");
        QWidget *popup = region->completer()->popup();
        QTRY_VERIFY(popup->isVisible());
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Down);
        QCOMPARE(region->text(), "de_AT");
        QCOMPARE(launcher->locale(), region->text());
        QTest::keyClick(popup, Qt::Key_Up);
        QCOMPARE(launcher->locale(), "de_DE");
        QTest::keyClick(popup, Qt::Key_Escape);
        QCOMPARE(launcher->locale(), region->text());
    }

    // An ampersand in an app's name is shown as one, not taken for a shortcut mark.
    void recentMenuShowsAmpersands() {
        RecentLaunch mail{true, "/nonexistent/Mail.app", "", "", "AT&T Mail", "", "de", "", {}};
        launcher->recentLaunches()->add(mail);
        RecentLaunchesButton button(launcher);
        Q_EMIT button.recentMenu()->aboutToShow();
        QAction *entry = button.recentMenu()->actions().value(0);
        QVERIFY(entry);
        QCOMPARE(entry->iconText(), "AT&T Mail — de ()");
        QVERIFY(QKeySequence::mnemonic(entry->text()).isEmpty());
    }
};

QTEST_MAIN(LaunchControlsTest)
#include "tst_launch_controls.moc"
