#pragma once

#include <QPointer>
#include <QWidget>

class BusyIndicator;
class GalleryButton;
class GroupedForm;
class InstalledAppPicker;
class LanguagePicker;
class LaunchOptionsButton;
class Launcher;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMessageBox;
class QPushButton;
class RecentLaunchesButton;
class SegmentedControl;
class UsageStatistics;

// The main window's content: destination, target app, language and region, then Launch. Every
// value shown lives in the launcher; this view binds controls to it and starts its operations.
class ContentView : public QWidget {
    Q_OBJECT

public:
    // `statistics` counts Launch clicks; the process-wide service when null.
    explicit ContentView(Launcher *launcher, UsageStatistics *statistics = nullptr,
                         QWidget *parent = nullptr);
    ~ContentView() override;

    Launcher *launcher() const { return m_launcher; }
    UsageStatistics *statistics() const { return m_statistics; }

    // While held, an error waits instead of opening its alert, so that another sheet over the
    // window (the usage consent) is the only modal surface; released, the waiting error shows.
    void setAlertsHeld(bool held);
    bool alertsHeld() const { return m_alertsHeld; }

Q_SIGNALS:
    // "Manage My Apps…" was clicked: the settings window should open on My Apps.
    void manageMyAppsRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildHeader(class QVBoxLayout *layout);
    void buildForm(class QVBoxLayout *layout);
    void buildFooter(class QVBoxLayout *layout);
    void bindLauncher();

    void updateLinkStyle();
    void restartLanguageDetection();
    void clearAppsForNewDevice();
    void showError();
    void launchClicked();
    void nextLanguageClicked();

    void updateMode();
    void updateDevices();
    void updateDeviceSelection();
    void updateMacApp();
    void updateAppPicker();
    void updateLanguage();
    void updateEnabled();

    Launcher *m_launcher;
    UsageStatistics *m_statistics;
    bool m_appeared = false;
    bool m_startPending = false; // shown, first paint still to come
    bool m_alertsHeld = false;
    bool m_styling = false;

    BusyIndicator *m_busy = nullptr;
    GroupedForm *m_form = nullptr;
    SegmentedControl *m_destination = nullptr;
    QWidget *m_macAppRow = nullptr;
    QLabel *m_macAppIcon = nullptr;
    QLabel *m_macAppName = nullptr;
    QComboBox *m_simulator = nullptr;
    QWidget *m_simulatorButtons = nullptr;
    QPushButton *m_refreshButton = nullptr;
    QPushButton *m_bootButton = nullptr;
    QCheckBox *m_onlyMyApps = nullptr;
    QWidget *m_appRow = nullptr;
    InstalledAppPicker *m_appPicker = nullptr;
    QLabel *m_noMyAppsCaption = nullptr;
    QPushButton *m_manageMyApps = nullptr;
    LanguagePicker *m_languagePicker = nullptr;
    LaunchOptionsButton *m_launchOptions = nullptr;
    QLabel *m_languageCaption = nullptr;
    QLineEdit *m_region = nullptr;
    QPushButton *m_launchButton = nullptr;
    QPushButton *m_nextLanguageButton = nullptr;
    GalleryButton *m_galleryButton = nullptr;
    RecentLaunchesButton *m_recent = nullptr;
    QLabel *m_status = nullptr;
    QPointer<QMessageBox> m_alert;
};
