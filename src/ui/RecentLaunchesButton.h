#pragma once

#include "launcher/RecentLaunch.h"

#include <QPushButton>

class Launcher;
class QMenu;

// "Recent": a pull-down button listing the launcher's recent launches, newest first. A launch
// whose app is gone is shown but cannot be chosen.
class RecentLaunchesButton : public QPushButton {
    Q_OBJECT

public:
    explicit RecentLaunchesButton(Launcher *launcher, QWidget *parent = nullptr);

    QMenu *recentMenu() const { return m_menu; }

Q_SIGNALS:
    void relaunchRequested(const RecentLaunch &launch);

private:
    // Rebuilt each time it opens, so availability reflects the devices and apps of that moment.
    void rebuildMenu();

    Launcher *m_launcher;
    QMenu *m_menu;
};
