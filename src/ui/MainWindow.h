#pragma once

#include <QMainWindow>

class ContentView;
class Launcher;
class UsageOnboarding;
class UsageStatistics;

// One main window: the launcher's content with the usage onboarding, and the menu that opens
// the settings window.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(Launcher *launcher, UsageStatistics *statistics, QWidget *parent = nullptr);

    ContentView *contentView() const { return m_content; }
    UsageOnboarding *onboarding() const { return m_onboarding; }

Q_SIGNALS:
    void settingsRequested();
    void myAppsRequested();

private:
    ContentView *m_content;
    UsageOnboarding *m_onboarding;
};
