#include "ui/MainWindow.h"

#include "ui/ContentView.h"
#include "usage/views/UsageOnboarding.h"

#include <QAction>
#include <QMenuBar>

MainWindow::MainWindow(Launcher *launcher, UsageStatistics *statistics, QWidget *parent)
    : QMainWindow(parent)
    , m_content(new ContentView(launcher, statistics, this))
    , m_onboarding(usageOnboarding(m_content, statistics)) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(tr("Quillmarch"));
    setCentralWidget(m_content);
    setMinimumSize(660, 530);
    resize(760, 610);
    connect(m_content, &ContentView::manageMyAppsRequested, this, &MainWindow::myAppsRequested);

    // The one command: the settings window (on macOS the application menu's settings item).
    auto *settings = new QAction(tr("&Settings…"), this);
    settings->setObjectName(QStringLiteral("openSettings"));
    settings->setMenuRole(QAction::PreferencesRole);
    QList<QKeySequence> shortcuts = QKeySequence::keyBindings(QKeySequence::Preferences);
    const QKeySequence commaShortcut(Qt::CTRL | Qt::Key_Comma);
    if (!shortcuts.contains(commaShortcut))
        shortcuts.append(commaShortcut);
    settings->setShortcuts(shortcuts);
    settings->setShortcutContext(Qt::WindowShortcut);
    connect(settings, &QAction::triggered, this, &MainWindow::settingsRequested);
    menuBar()->addMenu(tr("&Quillmarch"))->addAction(settings);
    addAction(settings);
}
