#pragma once

#include "ui/SettingsWindow.h"

#include <QList>
#include <QObject>
#include <QPointer>

class Launcher;
class QAction;
class MainWindow;
class UsageStatistics;

// The application: one launcher for the process, any number of main windows bound to it, and
// the settings window. Runs inside an existing QApplication.
class QuillmarchApp : public QObject {
    Q_OBJECT

public:
    // The launcher on the default settings store and tools, and the process-wide statistics.
    explicit QuillmarchApp(QObject *parent = nullptr);
    // For tests: a given launcher (taken over) and statistics service (not owned).
    QuillmarchApp(Launcher *launcher, UsageStatistics *statistics, QObject *parent = nullptr);
    ~QuillmarchApp() override;

    Launcher *launcher() const { return m_launcher; }
    UsageStatistics *statistics() const { return m_statistics; }

    // A new main window on the shared launcher, shown.
    MainWindow *newMainWindow();
    // The settings window, created on first use, shown and raised.
    SettingsWindow *openSettings();
    SettingsWindow *settingsWindow() const { return m_settings; }

    // The application's commands: "New Window" and "Settings…". Their shortcuts work from any
    // of the application's windows, also while a sheet blocks a main window.
    QList<QAction *> commands() const { return {m_newWindow, m_openSettings}; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void makeCommands();

    Launcher *m_launcher;
    UsageStatistics *m_statistics;
    QPointer<SettingsWindow> m_settings;
    QAction *m_newWindow = nullptr;
    QAction *m_openSettings = nullptr;
    bool m_hasWindowIcon = false;
};
