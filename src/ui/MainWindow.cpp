#include "ui/MainWindow.h"

#include "ui/ContentView.h"
#include "usage/UsageStatistics.h"
#include "usage/views/UsageOnboarding.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {
// The content's size limits; the menu bar, inside the window's frame on Linux, comes on top.
constexpr QSize contentMinimum(660, 530);
constexpr QSize contentDefault(760, 610);
} // namespace

MainWindow::MainWindow(Launcher *launcher, UsageStatistics *statistics, QWidget *parent)
    : QMainWindow(parent)
    , m_content(new ContentView(launcher, statistics, this))
    , m_onboarding(usageOnboarding(m_content, statistics)) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(tr("Quillmarch"));
    setCentralWidget(m_content);
    m_content->setMinimumSize(contentMinimum);
    m_menu = menuBar()->addMenu(tr("&Quillmarch"));
    // The window's own minimum is the content's plus whatever the menu bar takes above it.
    resize(contentDefault + (minimumSizeHint() - contentMinimum).expandedTo(QSize(0, 0)));
    connect(m_content, &ContentView::manageMyAppsRequested, this, &MainWindow::myAppsRequested);
    // One modal surface at a time: while the consent sheet is (or is about to be) over the
    // window, an error alert waits for it to be answered.
    UsageStatistics *usage = m_onboarding->statistics();
    const auto holdAlerts = [this, usage] {
        m_content->setAlertsHeld(!usage->consent().has_value());
    };
    connect(usage, &UsageStatistics::consentChanged, this, holdAlerts);
    holdAlerts();
}

void MainWindow::setCommands(const QList<QAction *> &commands) {
    m_menu->addActions(commands);
    addActions(commands);
}
