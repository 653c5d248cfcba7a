#include "ui/RecentLaunchesButton.h"

#include "launcher/Launcher.h"
#include "launcher/RecentLaunches.h"

#include <QAction>
#include <QMenu>

RecentLaunchesButton::RecentLaunchesButton(Launcher *launcher, QWidget *parent)
    : QPushButton(tr("Recent"), parent)
    , m_launcher(launcher)
    , m_menu(new QMenu(this)) {
    setAutoDefault(false);
    setToolTip(tr("Launch one of the last ten launches again"));
    m_menu->setObjectName(QStringLiteral("recentLaunchesMenu"));
    connect(m_menu, &QMenu::aboutToShow, this, &RecentLaunchesButton::rebuildMenu);
    setMenu(m_menu);
    setMinimumWidth(sizeHint().width() + 12); // room beside the menu arrow
    rebuildMenu();
}

void RecentLaunchesButton::rebuildMenu() {
    m_menu->clear();
    const QList<RecentLaunch> launches = m_launcher->recentLaunches()->entries();
    if (launches.isEmpty()) {
        m_menu->addAction(tr("No Recent Launches"))->setEnabled(false);
        return;
    }
    for (const RecentLaunch &launch : launches) {
        // A menu takes "&" for a mnemonic: "AT&T Mail" must keep its ampersand.
        QString title = launch.title();
        QAction *action = m_menu->addAction(title.replace(QLatin1Char('&'), QStringLiteral("&&")));
        action->setEnabled(m_launcher->canRelaunch(launch));
        connect(action, &QAction::triggered, this,
                [this, launch] { Q_EMIT relaunchRequested(launch); });
    }
}
