#include "ui/QuillmarchApp.h"

#include "launcher/Launcher.h"
#include "style/AppStyle.h"
#include "style/Symbols.h"
#include "style/Typography.h"
#include "ui/MacAppChooser.h"
#include "ui/MainWindow.h"
#include "ui/SettingsWindow.h"
#include "usage/UsageStatistics.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QTimer>

QuillmarchApp::QuillmarchApp(QObject *parent)
    : QuillmarchApp(new Launcher, nullptr, parent) {}

QuillmarchApp::QuillmarchApp(Launcher *launcher, UsageStatistics *statistics, QObject *parent)
    : QObject(parent)
    , m_launcher(launcher)
    , m_statistics(statistics) {
    m_launcher->setParent(this);
    m_launcher->setMacAppChooser(fileDialogMacAppChooser());
    QApplication::setStyle(new AppStyle);
    // Body text of the type scale is the application font.
    QApplication::setFont(Typography::font(Typography::Role::Body));
    makeCommands();
}

void QuillmarchApp::makeCommands() {
    // One action per command for the whole application: a shortcut held by one action per
    // window would be ambiguous as soon as two windows are open.
    m_newWindow = new QAction(tr("&New Window"), this);
    m_newWindow->setObjectName(QStringLiteral("newWindow"));
    m_newWindow->setShortcut(QKeySequence::New);
    m_newWindow->setShortcutContext(Qt::ApplicationShortcut);
    connect(m_newWindow, &QAction::triggered, this, &QuillmarchApp::newMainWindow);

    // On macOS the application menu's settings item.
    m_openSettings = new QAction(tr("&Settings…"), this);
    m_openSettings->setObjectName(QStringLiteral("openSettings"));
    m_openSettings->setMenuRole(QAction::PreferencesRole);
    QList<QKeySequence> shortcuts = QKeySequence::keyBindings(QKeySequence::Preferences);
    const QKeySequence commaShortcut(Qt::CTRL | Qt::Key_Comma);
    if (!shortcuts.contains(commaShortcut))
        shortcuts.append(commaShortcut);
    m_openSettings->setShortcuts(shortcuts);
    m_openSettings->setShortcutContext(Qt::ApplicationShortcut);
    connect(m_openSettings, &QAction::triggered, this, &QuillmarchApp::openSettings);
}

QuillmarchApp::~QuillmarchApp() {
    delete m_settings;
}

MainWindow *QuillmarchApp::newMainWindow() {
    // The first main window brings the process-wide statistics service into being.
    if (!m_statistics)
        m_statistics = UsageStatistics::shared();
    auto *window = new MainWindow(m_launcher, m_statistics);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setCommands(commands());
    connect(window, &MainWindow::myAppsRequested, this, [this] { openSettings()->showMyApps(); });
    connect(this, &QObject::destroyed, window, &QObject::deleteLater);
    if (!m_hasWindowIcon)
        window->installEventFilter(this);
    window->show();
    return window;
}

bool QuillmarchApp::eventFilter(QObject *watched, QEvent *event) {
    // Drawing the artwork at every icon size takes longer than building half the window, so the
    // windows get their icon once the first of them is on screen.
    if (event->type() == QEvent::Paint && !m_hasWindowIcon) {
        m_hasWindowIcon = true;
        watched->removeEventFilter(this);
        QTimer::singleShot(0, this, [] {
            QApplication::setWindowIcon(Symbols::artworkIcon(QStringLiteral("AppIcon light")));
        });
    }
    return QObject::eventFilter(watched, event);
}

SettingsWindow *QuillmarchApp::openSettings() {
    if (!m_settings) {
        if (!m_statistics)
            m_statistics = UsageStatistics::shared();
        // Like a main window, an open settings window keeps the application running, and
        // "New Window" brings a main window back from it.
        m_settings = new SettingsWindow(m_launcher, m_statistics);
        m_settings->addActions(commands());
        // First shown over the window it was asked from.
        if (const QWidget *from = QApplication::activeWindow()) {
            m_settings->adjustSize();
            const QRect frame = from->frameGeometry();
            m_settings->move(frame.center().x() - m_settings->width() / 2, frame.top() + 40);
        }
    }
    m_settings->show();
    m_settings->raise();
    m_settings->activateWindow();
    return m_settings;
}
