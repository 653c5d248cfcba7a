#pragma once

#include <QList>
#include <QMainWindow>

class ContentView;
class Launcher;
class QAction;
class QMenu;
class UsageOnboarding;
class UsageStatistics;

// One main window: the launcher's content with the usage onboarding, and the menu that holds
// the application's commands.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(Launcher *launcher, UsageStatistics *statistics, QWidget *parent = nullptr);

    ContentView *contentView() const { return m_content; }
    UsageOnboarding *onboarding() const { return m_onboarding; }

    // The application's commands (shared by every window): listed in the menu, and active
    // while this window or a sheet over it has the focus.
    void setCommands(const QList<QAction *> &commands);

Q_SIGNALS:
    void myAppsRequested();

private:
    ContentView *m_content;
    UsageOnboarding *m_onboarding;
    QMenu *m_menu;
};
