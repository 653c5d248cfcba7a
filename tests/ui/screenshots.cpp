// Renders the README's screenshots on an X server: the main window in light and dark, the open
// app picker, the launch options and Recent menus, the localization check and its report, the
// language gallery (its grid and a side-by-side view), both settings tabs and the consent sheet,
// driven through the stand-in tools. The gallery is also exported, for its page to be rendered.
// Usage: ui_screenshots <output folder> [<gallery export folder>]

#include "UiTestFixture.h"
#include "gallery/GalleryExport.h"
#include "gallery/LanguageGallery.h"
#include "launcher/RecentLaunches.h"
#include "metadata/AppLanguages.h"
#include "ui/ContentView.h"
#include "ui/GalleryActivity.h"
#include "ui/GalleryButton.h"
#include "ui/GalleryGrid.h"
#include "ui/GalleryTileModel.h"
#include "ui/GalleryWindow.h"
#include "ui/InstalledAppPicker.h"
#include "ui/LaunchOptionsButton.h"
#include "ui/LocalizationReportSheet.h"
#include "ui/LocalizationSummaryRow.h"
#include "ui/MainWindow.h"
#include "ui/QuillmarchApp.h"
#include "ui/RecentLaunchesButton.h"
#include "ui/SearchPopup.h"
#include "ui/SettingsWindow.h"
#include "ui/ShotViewer.h"
#include "usage/views/UsageOnboarding.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTest>

namespace {

QPalette darkPalette() {
    QPalette palette;
    const QColor text(0xe6, 0xe6, 0xe8);
    palette.setColor(QPalette::Window, QColor(0x26, 0x27, 0x2b));
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, QColor(0x1c, 0x1d, 0x20));
    palette.setColor(QPalette::AlternateBase, QColor(0x2c, 0x2d, 0x31));
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(0x3a, 0x3b, 0x40));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Highlight, QColor(0x1f, 0x8f, 0x9b));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, QColor(0x3a, 0x3b, 0x40));
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::Light, QColor(0x4a, 0x4b, 0x50));
    palette.setColor(QPalette::Midlight, QColor(0x40, 0x41, 0x46));
    palette.setColor(QPalette::Mid, QColor(0x30, 0x31, 0x35));
    palette.setColor(QPalette::Dark, QColor(0x18, 0x18, 0x1b));
    palette.setColor(QPalette::Shadow, Qt::black);
    palette.setColor(QPalette::Link, QColor(0x4f, 0xd2, 0xd9));
    QColor placeholder = text;
    placeholder.setAlpha(140);
    palette.setColor(QPalette::PlaceholderText, placeholder);
    const QColor disabled(0x7a, 0x7b, 0x80);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabled);
    palette.setColor(QPalette::Disabled, QPalette::PlaceholderText, QColor(0x60, 0x61, 0x66));
    return palette;
}

bool waitFor(const std::function<bool()> &condition) {
    return QTest::qWaitFor(condition, 20000);
}

// What is on screen inside `area`: real window contents, popups and dialogs included.
void save(const QRect &area, const QString &path) {
    QTest::qWait(300);
    QApplication::processEvents();
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(),
                                                                      area.width(), area.height());
    if (!shot.save(path))
        qFatal("Could not write %s", qPrintable(path));
    qInfo("wrote %s", qPrintable(path));
}

QRect around(const QWidget *window, int margin = 24) {
    return window->frameGeometry().adjusted(-margin, -margin, margin, margin);
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmarch"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillmarch"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QPalette lightPalette = QApplication::style()->standardPalette();
    QApplication::setPalette(lightPalette);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const QString exportFolder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();

    // A calm backdrop behind the windows instead of the bare root window.
    QWidget backdrop(nullptr, Qt::FramelessWindowHint);
    backdrop.setGeometry(QGuiApplication::primaryScreen()->geometry());
    backdrop.setAutoFillBackground(true);
    QPalette backdropColors;
    backdropColors.setColor(QPalette::Window, QColor(0x9c, 0xb4, 0xbc));
    backdrop.setPalette(backdropColors);
    backdrop.show();

    UiTestFixture fixture;
    if (!fixture.deviceSet.isValid())
        qFatal("The stand-in device set is missing; build the standin_tools target.");
    // Sharing allowed, with an earlier session's report still waiting, and the production
    // endpoint shown in the Privacy pane; nothing is sent within the hour this run takes.
    const PendingUsage earlier{
        {QStringLiteral("Quillmarch"), QStringLiteral("5d0c6a4e-8f1b-4c2e-9a7d-3b6f1e2c4d58"), 3},
        QDateTime::currentDateTimeUtc().addSecs(-3 * 3600)};
    fixture.usageStore.setValue(QStringLiteral("usageStatistics.consent.v1"), true);
    fixture.usageStore.setValue(
        QStringLiteral("usageStatistics.pending.v1"),
        QJsonDocument(QJsonArray{earlier.toJson()}).toJson(QJsonDocument::Compact));
    fixture.usageStore.sync();
    UsageConfiguration production = UsageConfiguration::production();
    production.sendDelay = production.retryInterval = std::chrono::hours(1);
    auto statistics = std::make_unique<UsageStatistics>(&fixture.usageStore, production);
    statistics->setConsent(true);
    QuillmarchApp app(fixture.makeLauncher().release(), statistics.get());
    Launcher *launcher = app.launcher();

    // The whole workflow: refresh, boot and load apps, pick an app, detect, launch.
    MainWindow *window = app.newMainWindow();
    window->move(60, 60);
    waitFor([&] { return !launcher->devices().isEmpty() && !launcher->busy(); });
    launcher->setDeviceID(QString::fromLatin1(StandinDeviceSet::iPhone16Pro));
    launcher->perform([launcher] { return launcher->loadApps(); });
    waitFor([&] { return !launcher->apps().isEmpty() && !launcher->busy(); });
    launcher->setBundleID(QStringLiteral("com.example.QuillNotes"));
    launcher->setMyAppIDs({QStringLiteral("com.example.QuillNotes"),
                           QStringLiteral("com.example.Tianqi"),
                           QStringLiteral("com.example.Retired")});
    waitFor(
        [&] { return !launcher->supportedLanguages().isEmpty() && !launcher->loadingLanguages(); });
    launcher->setLanguage(QStringLiteral("de"));
    launcher->setLocale(QStringLiteral("de_CH"));
    launcher->perform([launcher] { return launcher->launch(); });
    waitFor([&] { return !launcher->busy(); });
    auto *localization = window->findChild<LocalizationSummaryRow *>();
    waitFor([&] { return localization->summary().contains(QStringLiteral("problems")); });
    window->activateWindow();
    window->findChild<QLineEdit *>(QStringLiteral("region"))->setFocus();
    save(around(window), folder + QStringLiteral("/main-window-light.png"));

    QApplication::setPalette(darkPalette());
    save(around(window), folder + QStringLiteral("/main-window-dark.png"));
    QApplication::setPalette(lightPalette);

    auto *picker = window->findChild<InstalledAppPicker *>(QStringLiteral("appPicker"));
    QTest::mouseClick(picker, Qt::LeftButton);
    QTest::keyClicks(picker->popup()->searchField(), QStringLiteral("e"));
    const QRect pickerArea = window->frameGeometry().united(picker->popup()->frameGeometry());
    save(pickerArea.adjusted(-24, -24, 24, 24), folder + QStringLiteral("/app-picker.png"));
    picker->popup()->close();

    // The localization check of Quill Notes under the language picker, then its report.
    const QRect rowArea(localization->mapToGlobal(QPoint(0, 0)), localization->size());
    save(QRect(window->frameGeometry().left(), rowArea.top() - 120, window->frameGeometry().width(),
               rowArea.height() + 120 + 64),
         folder + QStringLiteral("/localization-check.png"));
    localization->showReport();
    auto *report = window->findChild<LocalizationReportSheet *>();
    waitFor([&] { return report && report->isVisible(); });
    auto *languages = report->findChild<QListWidget *>(QStringLiteral("reportLanguages"));
    languages->setCurrentItem(
        languages->findItems(AppLanguages::label("fr"), Qt::MatchExactly).value(0));
    save(around(window).united(around(report)),
         folder + QStringLiteral("/localization-report.png"));
    report->close();

    // The launch options, two of them ticked and launched with, open under their button.
    launcher->setLaunchOption(LaunchOption::AccentedStrings, true);
    launcher->setLaunchOption(LaunchOption::RightToLeftLayout, true);
    launcher->perform([launcher] { return launcher->launch(); });
    waitFor([&] { return !launcher->busy(); });
    auto *options = window->findChild<LaunchOptionsButton *>(QStringLiteral("launchOptions"));
    options->optionsMenu()->popup(options->mapToGlobal(QPoint(0, options->height())));
    QTest::qWait(200);
    const QRect optionsArea =
        window->frameGeometry().united(options->optionsMenu()->frameGeometry());
    save(optionsArea.adjusted(-24, -24, 24, 24), folder + QStringLiteral("/options-menu.png"));
    options->optionsMenu()->close();
    launcher->setLaunchOptions({});

    // The Recent menu: this session's two launches, and one whose simulator is gone.
    const RecentLaunch gone{false,
                            {},
                            QString::fromLatin1(StandinDeviceSet::iPhone14Unavailable),
                            QStringLiteral("com.example.LegacyReader"),
                            QStringLiteral("Legacy Reader"),
                            QStringLiteral("iPhone 14"),
                            QStringLiteral("fr"),
                            QStringLiteral("fr_BE"),
                            {}};
    launcher->recentLaunches()->add(gone);
    launcher->perform([launcher] { return launcher->launch(); });
    waitFor([&] { return !launcher->busy(); });
    auto *recent = window->findChild<RecentLaunchesButton *>(QStringLiteral("recentLaunches"));
    QMenu *recentMenu = recent->recentMenu();
    recentMenu->popup(recent->mapToGlobal(QPoint(0, recent->height())));
    QTest::qWait(200);
    save(window->frameGeometry().united(recentMenu->frameGeometry()).adjusted(-24, -24, 24, 24),
         folder + QStringLiteral("/recent-launches.png"));
    recentMenu->close();

    // The language gallery of Quill Notes, taken on the stand-in's iPhone: French and German
    // show the strings their tables lack in English.
    auto *galleryButton = window->findChild<GalleryButton *>(QStringLiteral("openGallery"));
    GalleryWindow *gallery = galleryButton->openGallery();
    if (!gallery)
        qFatal("No gallery: %s", qPrintable(galleryButton->toolTip()));
    gallery->move(60, 60);
    gallery->start();
    if (!QTest::qWaitFor([&] { return !GalleryActivity::of(launcher)->running(); }, 180000))
        qFatal("The gallery did not finish.");
    waitFor([&] { return gallery->grid()->pendingThumbnails() == 0; });
    GalleryTileModel *tiles = gallery->grid()->tiles();
    gallery->grid()->setCurrentIndex(tiles->index(tiles->rowOf(QStringLiteral("fr"))));
    gallery->activateWindow();
    save(around(gallery), folder + QStringLiteral("/gallery-window.png"));
    gallery->openTile(tiles->rowOf(QStringLiteral("fr")));
    gallery->setSideBySide(true);
    waitFor([&] {
        const auto panes = gallery->viewer()->panes();
        return panes.size() == 2 && !panes.at(0).image.isNull() && !panes.at(1).image.isNull();
    });
    save(around(gallery), folder + QStringLiteral("/gallery-side-by-side.png"));
    if (!exportFolder.isEmpty())
        GalleryExport::writeFolder(gallery->gallery()->result(), exportFolder, true);
    gallery->close();
    waitFor([&] { return !GalleryActivity::of(launcher)->running(); });

    SettingsWindow *settings = app.openSettings();
    window->hide();
    settings->move(60, 60);
    // Show the ticked apps and the remembered one that this simulator does not have.
    settings->findChild<QListView *>(QStringLiteral("myAppsList"))->scrollToBottom();
    save(around(settings), folder + QStringLiteral("/settings-my-apps.png"));
    settings->tabs()->setCurrentIndex(1);
    QTest::qWait(200); // the window takes the Privacy pane's size
    save(around(settings), folder + QStringLiteral("/settings-privacy.png"));
    settings->close();
    window->show();

    // A first start: nobody has decided about usage statistics yet.
    UiTestFixture firstStart;
    auto undecided = firstStart.makeStatistics();
    auto freshLauncher = firstStart.makeLauncher();
    window->close();
    MainWindow fresh(freshLauncher.get(), undecided.get());
    fresh.move(60, 60);
    fresh.show();
    waitFor(
        [&] { return fresh.onboarding()->sheet() && fresh.onboarding()->sheet()->isVisible(); });
    waitFor([&] { return !freshLauncher->busy(); });
    save(around(&fresh), folder + QStringLiteral("/consent-sheet.png"));
    return 0;
}
