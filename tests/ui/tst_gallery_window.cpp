// The gallery window on the test X server, driving the stand-in tools: the main window's
// "Gallery…" button and its reasons, the turns the gallery and the main window's operations
// take on the device, tiles filling in, the large view's arrow keys, the export's question
// before replacing a folder, and a window closed in the middle of a run.
#include "UiTestFixture.h"
#include "gallery/LanguageGallery.h"
#include "ui/ContentView.h"
#include "ui/GalleryActivity.h"
#include "ui/GalleryButton.h"
#include "ui/GalleryGrid.h"
#include "ui/GalleryTileModel.h"
#include "ui/GalleryWindow.h"
#include "ui/MainWindow.h"
#include "ui/SegmentedControl.h"
#include "ui/ShotViewer.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <chrono>

using namespace std::chrono_literals;
using TileState = GalleryTileModel::TileState;

namespace {

constexpr auto quillNotes = "com.example.QuillNotes";

QPushButton *buttonNamed(QWidget *window, const char *name) {
    auto *found = window->findChild<QPushButton *>(QLatin1String(name));
    if (!found)
        qFatal("no button %s", name);
    return found;
}

// Ticks exactly `languages` in the window's checklist.
void tickOnly(GalleryWindow *window, const QStringList &languages) {
    auto *list = window->findChild<QListWidget *>(QStringLiteral("galleryLanguages"));
    for (int row = 0; row < list->count(); ++row) {
        QListWidgetItem *item = list->item(row);
        item->setCheckState(
            languages.contains(item->data(Qt::UserRole).toString()) ? Qt::Checked : Qt::Unchecked);
    }
}

// Keeps a stand-in subcommand waiting, or failing, while it is in scope.
struct StandinHook {
    QByteArray name;
    StandinHook(const char *variable, const QByteArray &value)
        : name(variable) {
        qputenv(name.constData(), value);
    }
    ~StandinHook() { qunsetenv(name.constData()); }
};

} // namespace

class GalleryWindowTest : public QObject {
    Q_OBJECT

    std::optional<UiTestModels> models;
    Launcher *launcher = nullptr;
    MainWindow *mainWindow = nullptr;

    // The main window on the iPhone 16 Pro with Quill Notes chosen and its languages read.
    void chooseQuillNotes() {
        QTRY_VERIFY(!launcher->devices().isEmpty() && !launcher->busy());
        launcher->setDeviceID(StandinDeviceSet::iPhone16Pro);
        launcher->perform([this] { return launcher->loadApps(); });
        QTRY_VERIFY_WITH_TIMEOUT(!launcher->apps().isEmpty() && !launcher->busy(), 15000);
        launcher->setBundleID(quillNotes);
        QTRY_VERIFY(!launcher->supportedLanguages().isEmpty() && !launcher->loadingLanguages());
    }

    GalleryWindow *openGallery() {
        QPushButton *button = buttonNamed(mainWindow, "openGallery");
        if (!button->isEnabled())
            qFatal("Gallery… is disabled: %s", qPrintable(button->toolTip()));
        QTest::mouseClick(button, Qt::LeftButton);
        GalleryWindow *window = nullptr;
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto *gallery = qobject_cast<GalleryWindow *>(widget);
                gallery && gallery->isVisible())
                window = gallery;
        if (window) {
            window->setSettleTimes(400ms, 6000ms, 100ms);
            (void)QTest::qWaitForWindowExposed(window);
        }
        return window;
    }

    // A window whose run has taken `languages`.
    GalleryWindow *takenGallery(const QStringList &languages) {
        GalleryWindow *window = openGallery();
        tickOnly(window, languages);
        QTest::mouseClick(buttonNamed(window, "startGallery"), Qt::LeftButton);
        if (!QTest::qWaitFor([&] { return !GalleryActivity::of(launcher)->running(); }, 60000))
            qFatal("the gallery did not finish");
        (void)QTest::qWaitFor([&] { return window->grid()->pendingThumbnails() == 0; });
        return window;
    }

private Q_SLOTS:
    void initTestCase() {
        // Small screenshots, a short launch screen and appearing animation: quick runs.
        qputenv("QUILLMARCH_STANDIN_SCREEN_SCALE", "0.5");
        qputenv("QUILLMARCH_STANDIN_LAUNCH_SCREEN_MS", "300");
        qputenv("QUILLMARCH_STANDIN_APPEARING_MS", "200");
    }

    void init() {
        models.emplace();
        QVERIFY(models->deviceSet.isValid());
        models->statistics->setConsent(false); // no consent sheet over the main window
        launcher = models->launcher.get();
        mainWindow = new MainWindow(launcher, models->statistics.get());
        mainWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(mainWindow));
    }

    void cleanup() {
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (qobject_cast<GalleryWindow *>(widget))
                widget->close();
        QTRY_VERIFY_WITH_TIMEOUT(!GalleryActivity::of(launcher)->running(), 20000);
        delete mainWindow;
        mainWindow = nullptr;
        launcher = nullptr;
        models.reset();
    }

    void galleryButtonSaysWhy_data() {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a macOS app") << "mac" << false << "not available for macOS apps";
        QTest::newRow("no simulator") << "no device" << false << "Choose a simulator first.";
        QTest::newRow("no app") << "no app" << false << "choose an installed app";
        QTest::newRow("simulator not listed") << "not listed" << false << "Refresh Simulators";
        QTest::newRow("languages being read") << "reading" << false << "Reading app languages";
        QTest::newRow("Quill Notes") << "ready" << true << "each of its languages";
    }
    void galleryButtonSaysWhy() {
        QFETCH(QString, choice);
        QFETCH(bool, enabled);
        QFETCH(QString, reason);
        chooseQuillNotes();
        if (choice == QLatin1String("mac"))
            launcher->setMacMode(true);
        else if (choice == QLatin1String("no device"))
            launcher->setDeviceID(QString());
        else if (choice == QLatin1String("no app"))
            launcher->setBundleID(QString());
        else if (choice == QLatin1String("not listed"))
            launcher->setDevices({});
        else if (choice == QLatin1String("reading"))
            launcher->setLoadingLanguages(true);
        QPushButton *button = buttonNamed(mainWindow, "openGallery");
        QCOMPARE(button->isEnabled(), enabled);
        QVERIFY2(button->toolTip().contains(reason), qPrintable(button->toolTip()));
        QTest::mouseClick(button, Qt::LeftButton);
        bool opened = false;
        for (QWidget *widget : QApplication::topLevelWidgets())
            opened = opened || (qobject_cast<GalleryWindow *>(widget) && widget->isVisible());
        QCOMPARE(opened, enabled);
    }

    void startSaysWhy_data() {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("reason");
        QTest::newRow("launcher busy") << "busy" << GalleryActivity::launcherBusyReason();
        QTest::newRow("no language") << "none ticked"
                                     << "Tick at least one language.";
        QTest::newRow("one region, empty") << "no region"
                                           << "Enter a region";
        QTest::newRow("ready") << "ready" << QString();
    }
    void startSaysWhy() {
        QFETCH(QString, situation);
        QFETCH(QString, reason);
        chooseQuillNotes();
        GalleryWindow *window = openGallery();
        QVERIFY(window);
        // Every language ticked, in the picker's order, named in its own language.
        auto *list = window->findChild<QListWidget *>(QStringLiteral("galleryLanguages"));
        QCOMPARE(window->chosenLanguages(), window->target().languages);
        QCOMPARE(list->item(0)->text(), "中文（简体） (zh-Hans)");
        QCOMPARE(window->chosenLanguages().size(), launcher->supportedLanguages().size());

        if (situation == QLatin1String("busy")) {
            launcher->setBusy(true);
        } else if (situation == QLatin1String("none ticked")) {
            QTest::mouseClick(buttonNamed(window, "tickNoLanguage"), Qt::LeftButton);
        } else if (situation == QLatin1String("no region")) {
            QTest::mouseClick(window->findChild<QRadioButton *>(QStringLiteral("oneRegion")),
                              Qt::LeftButton);
            window->findChild<QLineEdit *>(QStringLiteral("galleryRegion"))->clear();
        }
        QPushButton *start = buttonNamed(window, "startGallery");
        QCOMPARE(start->isEnabled(), reason.isEmpty());
        if (!reason.isEmpty())
            QVERIFY2(start->toolTip().contains(reason), qPrintable(start->toolTip()));
        launcher->setBusy(false);
        QTest::mouseClick(buttonNamed(window, "tickAllLanguages"), Qt::LeftButton);
        window->findChild<QRadioButton *>(QStringLiteral("likelyRegion"))->setChecked(true);
        QVERIFY(start->isEnabled());
    }

    // A second gallery waits for the first to finish with the device.
    void secondGalleryWaits() {
        chooseQuillNotes();
        GalleryWindow *first = openGallery();
        GalleryTarget other = first->target();
        other.app = {"com.example.CafeCreme", "Café Crème", {}};
        auto *second = new GalleryWindow(launcher, other);
        second->show();
        QPushButton *secondStart = buttonNamed(second, "startGallery");
        QVERIFY(secondStart->isEnabled());
        tickOnly(first, {"de"});
        StandinHook slowLaunch("QUILLMARCH_STANDIN_DELAY_MS_LAUNCH", "700");
        QTest::mouseClick(buttonNamed(first, "startGallery"), Qt::LeftButton);
        QVERIFY(!secondStart->isEnabled());
        QCOMPARE(secondStart->toolTip(), GalleryActivity::otherGalleryRunningReason());
        QVERIFY(!buttonNamed(first, "startGallery")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!GalleryActivity::of(launcher)->running(), 20000);
        QVERIFY(secondStart->isEnabled());
    }

    // The window's choices reach the developer tools.
    void choicesReachTheTools_data() {
        QTest::addColumn<int>("appearance");
        QTest::addColumn<bool>("cleanStatusBar");
        QTest::addColumn<QString>("deepLink");
        QTest::addColumn<QString>("region");
        QTest::addColumn<QStringList>("expected");  // subcommand lines that must be issued
        QTest::addColumn<QStringList>("forbidden"); // and lines that must not
        const QString device = QString::fromLatin1(StandinDeviceSet::iPhone16Pro);
        const QString launch = "launch --terminate-running-process " + device +
                               " com.example.QuillNotes -AppleLanguages (fr) -AppleLocale ";
        QTest::newRow("defaults") << 0 << true << QString() << QString()
                                  << QStringList{"status_bar " + device + " override --time 9:41",
                                                 launch + "fr_FR",
                                                 "status_bar " + device + " clear"}
                                  << QStringList{"ui " + device + " appearance light",
                                                 "ui " + device + " appearance dark", "openurl"};
        QTest::newRow("dark, deep link")
            << 2 << true << "quillnotes://settings" << QString()
            << QStringList{"ui " + device + " appearance dark",
                           "openurl " + device + " quillnotes://settings"}
            << QStringList{};
        // The device is light already: its appearance is read, and left as it is.
        QTest::newRow("light, status bar kept, one region")
            << 1 << false << QString() << "en_GB"
            << QStringList{"ui " + device + " appearance", launch + "en_GB"}
            << QStringList{"status_bar", "ui " + device + " appearance dark"};
    }
    void choicesReachTheTools() {
        QFETCH(int, appearance);
        QFETCH(bool, cleanStatusBar);
        QFETCH(QString, deepLink);
        QFETCH(QString, region);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, forbidden);
        chooseQuillNotes();
        GalleryWindow *window = openGallery();
        tickOnly(window, {"fr"});
        auto *look = window->findChild<SegmentedControl *>(QStringLiteral("appearance"));
        QTest::mouseClick(look->segment(appearance), Qt::LeftButton);
        auto *statusBar = window->findChild<QCheckBox *>(QStringLiteral("cleanStatusBar"));
        if (statusBar->isChecked() != cleanStatusBar)
            QTest::mouseClick(statusBar, Qt::LeftButton, {}, QPoint(8, statusBar->height() / 2));
        QTest::keyClicks(window->findChild<QLineEdit *>(QStringLiteral("deepLink")), deepLink);
        if (!region.isEmpty()) {
            QTest::mouseClick(window->findChild<QRadioButton *>(QStringLiteral("oneRegion")),
                              Qt::LeftButton);
            auto *field = window->findChild<QLineEdit *>(QStringLiteral("galleryRegion"));
            field->clear();
            QTest::keyClicks(field, region);
        }
        models->deviceSet.clearCommands();
        QTest::mouseClick(buttonNamed(window, "startGallery"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!GalleryActivity::of(launcher)->running(), 30000);
        QStringList issued;
        for (const auto &command : models->deviceSet.commands("xcrun"))
            issued << command.arguments.mid(1).join(QLatin1Char(' '));
        for (const QString &line : std::as_const(expected))
            QVERIFY2(std::any_of(issued.begin(), issued.end(),
                                 [&](const QString &each) { return each.startsWith(line); }),
                     qPrintable(line + QStringLiteral(" not in:\n") + issued.join('\n')));
        for (const QString &line : std::as_const(forbidden))
            QVERIFY2(std::none_of(issued.begin(), issued.end(),
                                  [&](const QString &each) { return each.startsWith(line); }),
                     qPrintable(line + QStringLiteral(" in:\n") + issued.join(QLatin1Char('\n'))));
    }

    // While the gallery drives the device, the main window's operations wait and say why; they
    // come back with their own tooltips once the device is put back.
    void operationsWaitForTheGallery() {
        chooseQuillNotes();
        const QStringList operations = {"refreshSimulators", "bootAndLoadApps", "launchApp",
                                        "launchInNextLanguage"};
        QHash<QString, QString> ownTips;
        for (const QString &name : operations)
            ownTips.insert(name, buttonNamed(mainWindow, qPrintable(name))->toolTip());
        GalleryWindow *window = openGallery();
        tickOnly(window, {"de", "fr"});
        StandinHook slowLaunch("QUILLMARCH_STANDIN_DELAY_MS_LAUNCH", "700");
        QTest::mouseClick(buttonNamed(window, "startGallery"), Qt::LeftButton);
        QVERIFY(window->gallery()->running());
        for (const QString &name : operations) {
            QPushButton *operation = buttonNamed(mainWindow, qPrintable(name));
            QVERIFY2(!operation->isEnabled(), qPrintable(name));
            QCOMPARE(operation->toolTip(), GalleryActivity::galleryRunningReason());
        }
        QVERIFY(!mainWindow->findChild<QWidget *>(QStringLiteral("recentLaunches"))->isEnabled());
        QVERIFY(buttonNamed(window, "stopGallery")->isEnabled());

        QTest::mouseClick(buttonNamed(window, "stopGallery"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!GalleryActivity::of(launcher)->running(), 20000);
        for (const QString &name : operations) {
            QPushButton *operation = buttonNamed(mainWindow, qPrintable(name));
            QVERIFY2(operation->isEnabled(), qPrintable(name));
            QCOMPARE(operation->toolTip(), ownTips.value(name));
        }
        QVERIFY(window->gallery()->wasStopped());
    }

    // German is refused; the other languages fill their tiles all the same.
    void tilesFillIn() {
        chooseQuillNotes();
        StandinHook failing("QUILLMARCH_STANDIN_FAIL_LAUNCH",
                            "An error was encountered processing the command (code=4).");
        StandinHook onlyGerman("QUILLMARCH_STANDIN_FAIL_LAUNCH_ONLY_WITH", "(de)");
        GalleryWindow *window = takenGallery({"de", "fr", "pt-BR"});
        GalleryTileModel *tiles = window->grid()->tiles();
        QCOMPARE(tiles->rowCount(), 3);
        const QStringList titles = {"Français (fr)", "Deutsch (de)", "Português (Brasil) (pt-BR)"};
        const QStringList regions = {"fr_FR", "de_DE", "pt_BR"};
        const int german = tiles->rowOf("de");
        for (int row = 0; row < 3; ++row) {
            const QModelIndex index = tiles->index(row);
            QCOMPARE(index.data(Qt::DisplayRole).toString(), titles.at(row));
            QCOMPARE(index.data(GalleryTileModel::RegionRole).toString(), regions.at(row));
            if (row == german)
                continue;
            QVERIFY(tiles->state(row) == TileState::Settled ||
                    tiles->state(row) == TileState::NotSettled);
            const QImage thumbnail = tiles->thumbnail(row);
            QVERIFY(!thumbnail.isNull());
            QVERIFY(thumbnail.height() <=
                    GalleryGrid::thumbnailBox().height() * window->devicePixelRatioF());
        }
        QCOMPARE(tiles->state(german), TileState::Failed);
        const QModelIndex tile = tiles->index(german);
        QVERIFY(tile.data(GalleryTileModel::ErrorRole).toString().contains("code=4"));
        QVERIFY(tile.data(Qt::ToolTipRole).toString().contains("code=4"));
        QCOMPARE(tile.data(GalleryTileModel::StateTextRole).toString(), "Failed");
        QVERIFY(tiles->thumbnail(german).isNull());
        auto *progress = window->findChild<QWidget *>(QStringLiteral("galleryProgress"));
        QCOMPARE(progress->property("value").toInt(), 3);
        QVERIFY(buttonNamed(window, "startGallery")->isEnabled());
        // The failure shows large too; there is no image to copy, but the rest can be exported.
        window->openTile(german);
        QVERIFY(window->viewer()->panes().at(0).message.contains("code=4"));
        QVERIFY(!buttonNamed(window, "copyImage")->isEnabled());
        QVERIFY(buttonNamed(window, "exportGallery")->isEnabled());
    }

    // Clicking a tile opens it large; the arrow keys step and stop at either end; Escape
    // returns to the grid.
    void arrowKeysStep_data() {
        QTest::addColumn<int>("opened");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("shown");
        QTest::newRow("right twice") << 0 << "RR" << 2;
        QTest::newRow("past the last") << 1 << "RRR" << 2;
        QTest::newRow("before the first") << 1 << "LLL" << 0;
        QTest::newRow("there and back") << 0 << "RRL" << 1;
    }
    void arrowKeysStep() {
        QFETCH(int, opened);
        QFETCH(QString, keys);
        QFETCH(int, shown);
        chooseQuillNotes();
        GalleryWindow *window = takenGallery({"en", "de", "fr"});
        GalleryGrid *grid = window->grid();
        window->activateWindow();
        QTRY_VERIFY(window->isActiveWindow());
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->tiles()->index(opened)).center());
        QCOMPARE(window->openRow(), opened);
        for (QChar key : keys)
            QTest::keyClick(QApplication::focusWidget(),
                            key == QLatin1Char('R') ? Qt::Key_Right : Qt::Key_Left);
        QCOMPARE(window->openRow(), shown);
        // The large image of the shown language arrives from the worker.
        QTRY_VERIFY(!window->viewer()->panes().value(0).image.isNull());
        QVERIFY(window->viewer()->panes().value(0).title.startsWith(
            grid->tiles()->index(shown).data().toString()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QCOMPARE(window->openRow(), -1);
        QCOMPARE(grid->currentIndex().row(), shown);
    }

    // Side by side: the development language first, both at one scale; Copy takes the image
    // at its full size.
    void sideBySideWithTheDevelopmentLanguage() {
        chooseQuillNotes();
        GalleryWindow *window = takenGallery({"en", "fr"});
        window->openTile(window->grid()->tiles()->rowOf("fr"));
        window->setSideBySide(true);
        QTRY_COMPARE(window->viewer()->panes().size(), 2);
        QTRY_VERIFY(!window->viewer()->panes().at(0).image.isNull() &&
                    !window->viewer()->panes().at(1).image.isNull());
        QVERIFY(window->viewer()->panes().at(0).title.startsWith("English (en)"));
        QVERIFY(window->viewer()->panes().at(1).title.startsWith("Français (fr)"));
        const QList<QRectF> rects = window->viewer()->imageRects();
        QCOMPARE(rects.at(0).size(), rects.at(1).size());
        QVERIFY(rects.at(0).right() < rects.at(1).left());
        // The development language alone has nothing to compare with.
        const int english = window->grid()->tiles()->rowOf("en");
        window->openTile(english);
        QCOMPARE(window->viewer()->panes().size(), 1);

        QApplication::clipboard()->clear();
        QTest::mouseClick(buttonNamed(window, "copyImage"), Qt::LeftButton);
        const QSize full = QImageReader(window->grid()->tiles()->shot(english)->imageFile).size();
        QTRY_COMPARE(QApplication::clipboard()->image().size(), full);
    }

    void exportAsksBeforeReplacing_data() {
        QTest::addColumn<bool>("occupied");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("written");
        QTest::newRow("empty folder") << false << QString() << true;
        QTest::newRow("not empty, replaced") << true << "replace" << true;
        QTest::newRow("not empty, cancelled") << true << "cancel" << false;
    }
    void exportAsksBeforeReplacing() {
        QFETCH(bool, occupied);
        QFETCH(QString, answer);
        QFETCH(bool, written);
        chooseQuillNotes();
        GalleryWindow *window = takenGallery({"en", "pt-BR"});
        QTemporaryDir folder;
        const QString notes = folder.filePath("notes.txt");
        if (occupied) {
            QFile file(notes);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("mine");
        }
        window->setFolderChooser([&](QWidget *) { return folder.path(); });
        bool exported = false;
        connect(window, &GalleryWindow::exported, this, [&] { exported = true; });
        QTest::mouseClick(buttonNamed(window, "exportGallery"), Qt::LeftButton);
        if (occupied) {
            QTRY_VERIFY(window->replaceQuestion() && window->replaceQuestion()->isVisible());
            QVERIFY(!QFile::exists(folder.filePath("index.html")));
            QAbstractButton *choice =
                answer == QLatin1String("replace")
                    ? window->replaceQuestion()->findChild<QAbstractButton *>("replace")
                    : window->replaceQuestion()->button(QMessageBox::Cancel);
            QTest::mouseClick(choice, Qt::LeftButton);
        }
        if (written)
            QTRY_VERIFY(exported);
        else
            QTest::qWait(300);
        QCOMPARE(QFile::exists(folder.filePath("index.html")), written);
        QCOMPARE(QFile::exists(folder.filePath("pt-BR.png")), written);
        QCOMPARE(QFile::exists(notes), occupied); // someone else's file stays
        if (written) {
            QFile json(folder.filePath("gallery.json"));
            QVERIFY(json.open(QIODevice::ReadOnly));
            QCOMPARE(QJsonDocument::fromJson(json.readAll()).object().value("app").toString(),
                     quillNotes);
        }
    }

    // Closing the window stops the run; the main window waits until the device is put back.
    void closingStopsTheRun() {
        chooseQuillNotes();
        GalleryWindow *window = openGallery();
        tickOnly(window, {"de", "fr", "pt-BR"});
        StandinHook slowLaunch("QUILLMARCH_STANDIN_DELAY_MS_LAUNCH", "800");
        QTest::mouseClick(buttonNamed(window, "startGallery"), Qt::LeftButton);
        QPointer<LanguageGallery> gallery = window->gallery();
        QTest::qWait(300);
        window->close();
        QVERIFY(gallery);
        QVERIFY(GalleryActivity::of(launcher)->running());
        QVERIFY(!buttonNamed(mainWindow, "launchApp")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!GalleryActivity::of(launcher)->running(), 20000);
        QTRY_VERIFY(!gallery);
        QVERIFY(buttonNamed(mainWindow, "launchApp")->isEnabled());
        // The clean status bar was cleared again, and no language after the stop was launched.
        int launches = 0;
        bool cleared = false;
        for (const auto &command : models->deviceSet.commands("xcrun")) {
            launches += command.arguments.value(1) == QLatin1String("launch");
            cleared =
                cleared || command.arguments.mid(1) ==
                               QStringList{"status_bar", StandinDeviceSet::iPhone16Pro, "clear"};
        }
        QVERIFY(cleared);
        QVERIFY2(launches < 3, qPrintable(QString::number(launches)));
    }
};

QTEST_MAIN(GalleryWindowTest)
#include "tst_gallery_window.moc"
