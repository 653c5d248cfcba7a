#pragma once

#include <QWidget>

class Launcher;
class QTabWidget;
class UsageStatistics;

// The settings window: the tabs "My Apps" and "Privacy". Opens on its first tab.
class SettingsWindow : public QWidget {
    Q_OBJECT

public:
    SettingsWindow(Launcher *launcher, UsageStatistics *statistics, QWidget *parent = nullptr);

    QTabWidget *tabs() const { return m_tabs; }
    void showMyApps();

private:
    void fitCurrentPane();

    QTabWidget *m_tabs;
};
