#pragma once

#include "BuildSettings.h"
#include "launcher/LaunchOptions.h"
#include "launcher/RecentLaunch.h"
#include "tools/DeveloperCommand.h"
#include "tools/InstalledApp.h"
#include "tools/SimulatorDevice.h"
#include "tools/ToolPaths.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <QCoroTask>

#include <functional>
#include <memory>
#include <optional>

// Where the developer tools live: the build's paths unless the environment names others
// (ToolPaths), or a test passes others.
struct DeveloperToolPaths {
    QString xcrun = ToolPaths::xcrun();
    QString open = ToolPaths::open();
};

// Asks the user for a Mac application bundle, starting in the given folder. Returns the chosen
// bundle's path, or nothing when the user cancels. Injected so the model holds no widget code.
using MacAppChooser = std::function<std::optional<QString>(const QString &startFolder)>;

class RecentLaunches;
class Run;

// The model behind the main window and the My Apps settings. Main thread only.
class Launcher : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool onlyMyApps READ onlyMyApps WRITE setOnlyMyApps NOTIFY onlyMyAppsChanged)
    Q_PROPERTY(QSet<QString> myAppIDs READ myAppIDs WRITE setMyAppIDs NOTIFY myAppIDsChanged)
    Q_PROPERTY(QList<SimulatorDevice> devices READ devices WRITE setDevices NOTIFY devicesChanged)
    Q_PROPERTY(QList<InstalledApp> apps READ apps WRITE setApps NOTIFY appsChanged)
    Q_PROPERTY(QString deviceID READ deviceID WRITE setDeviceID NOTIFY deviceIDChanged)
    Q_PROPERTY(QString bundleID READ bundleID WRITE setBundleID NOTIFY bundleIDChanged)
    Q_PROPERTY(QString language READ language WRITE setLanguage NOTIFY languageChanged)
    Q_PROPERTY(QString locale READ locale WRITE setLocale NOTIFY localeChanged)
    Q_PROPERTY(QStringList supportedLanguages READ supportedLanguages WRITE setSupportedLanguages
                   NOTIFY supportedLanguagesChanged)
    Q_PROPERTY(bool loadingLanguages READ loadingLanguages WRITE setLoadingLanguages NOTIFY
                   loadingLanguagesChanged)
    Q_PROPERTY(QString languageMessage READ languageMessage WRITE setLanguageMessage NOTIFY
                   languageMessageChanged)
    Q_PROPERTY(bool macMode READ macMode WRITE setMacMode NOTIFY macModeChanged)
    Q_PROPERTY(QUrl macApp READ macApp WRITE setMacApp NOTIFY macAppChanged) // empty: none
    Q_PROPERTY(bool busy READ busy WRITE setBusy NOTIFY busyChanged)
    Q_PROPERTY(QString status READ status WRITE setStatus NOTIFY statusChanged)
    Q_PROPERTY(std::optional<QString> error READ error WRITE setError NOTIFY errorChanged)
    // Diagnostic options appended to every launch; remembered under "launchOptions".
    Q_PROPERTY(LaunchOptions launchOptions READ launchOptions WRITE setLaunchOptions NOTIFY
                   launchOptionsChanged)
    // Derived values. visibleApps is announced with every assignment to `apps` and whenever a
    // change of `onlyMyApps` or `myAppIDs` changes it; languageSelectionID when its text changes.
    Q_PROPERTY(QList<InstalledApp> visibleApps READ visibleApps NOTIFY visibleAppsChanged)
    Q_PROPERTY(
        QString languageSelectionID READ languageSelectionID NOTIFY languageSelectionIDChanged)
    // The bundle whose languages the newest detection read; empty while none has succeeded.
    Q_PROPERTY(QString detectedBundlePath READ detectedBundlePath NOTIFY detectedBundlePathChanged)

public:
    // Uses the application's default settings store and the build's tool paths.
    explicit Launcher(QObject *parent = nullptr);
    // `store` must outlive the launcher; null means the application's default store. A value
    // stored under one of the three keys with another type reads as absent (StoredValues.h).
    Launcher(QSettings *store, DeveloperToolPaths tools, QObject *parent = nullptr);
    ~Launcher() override;

    bool onlyMyApps() const;
    void setOnlyMyApps(bool value);
    QSet<QString> myAppIDs() const;
    void setMyAppIDs(const QSet<QString> &value);
    QList<SimulatorDevice> devices() const;
    void setDevices(const QList<SimulatorDevice> &value);
    QList<InstalledApp> apps() const;
    void setApps(const QList<InstalledApp> &value);
    QString deviceID() const;
    void setDeviceID(const QString &value);
    QString bundleID() const;
    void setBundleID(const QString &value);
    QString language() const;
    void setLanguage(const QString &value);
    QString locale() const;
    void setLocale(const QString &value);
    QStringList supportedLanguages() const;
    void setSupportedLanguages(const QStringList &value);
    bool loadingLanguages() const;
    void setLoadingLanguages(bool value);
    QString languageMessage() const;
    void setLanguageMessage(const QString &value);
    bool macMode() const;
    void setMacMode(bool value);
    QUrl macApp() const;
    void setMacApp(const QUrl &value);
    bool busy() const;
    void setBusy(bool value);
    QString status() const;
    void setStatus(const QString &value);
    std::optional<QString> error() const;
    void setError(const std::optional<QString> &value);

    LaunchOptions launchOptions() const;
    void setLaunchOptions(LaunchOptions value);
    void setLaunchOption(LaunchOption option, bool on);

    QList<InstalledApp> visibleApps() const;
    QString languageSelectionID() const;
    // The developer tools this launcher runs, for work that drives the same devices.
    DeveloperToolPaths toolPaths() const;
    QString detectedBundlePath() const;

    // The last launches that succeeded, remembered across restarts.
    RecentLaunches *recentLaunches() const;
    // Whether a remembered launch's app is still there: the Mac app on disk, or the device among
    // `devices` and, once the apps of that device are loaded, the app among them.
    bool canRelaunch(const RecentLaunch &launch) const;

    void reconcileAppSelection();
    void setMyApp(const QString &id, bool included);

    // Runs one operation unless another is running (then it is dropped, not queued); sets
    // `busy` around it and turns a failure into `error`. Returns at once: `busy` is already set,
    // the operation starts from the event loop.
    void perform(std::function<QCoro::Task<>()> operation);
    // Stops the running operation: the developer tool it waits for is ended with everything
    // that tool started, and the operation ends with the status "Stopped." instead of an error.
    // Does nothing while no operation runs.
    void stop();

    QCoro::Task<> refresh();
    QCoro::Task<> boot();
    QCoro::Task<> loadApps();
    QCoro::Task<> launch();
    // Selects the language after the current one (wrapping) and launches in it.
    QCoro::Task<> launchInNextLanguage();
    // Checks that a remembered launch's app is still there (booting its simulator to list the
    // apps when they are not loaded), and refuses with nothing changed when it is not. Then
    // selects its target, so that the app picker shows it (Only My Apps is turned off when it
    // would hide the app), reads its languages again, and launches it with its language, region
    // and options.
    QCoro::Task<> launchRecent(RecentLaunch launch);
    // Never throws. Each call supersedes the detection still running: only the newest run
    // writes its result and ends `loadingLanguages`, and only while the selection key is the
    // one it started with, so an older run never touches the state of a newer one.
    QCoro::Task<> detectLanguages();
    // The windows' way to follow the selection: starts detectLanguages() unless a detection for
    // the current selection key is running already, which several windows then share. A closed
    // window thus never ends a detection that another window waits for.
    void ensureLanguageDetection();

    // How long each developer-tool command may run (DeveloperCommand::Deadlines); the standard
    // deadlines unless a test sets shorter ones.
    void setCommandDeadlines(DeveloperCommand::Deadlines deadlines);

    void setMacAppChooser(MacAppChooser chooser);
    void chooseMacApp();

Q_SIGNALS:
    void onlyMyAppsChanged();
    void myAppIDsChanged();
    void devicesChanged();
    void appsChanged();
    void deviceIDChanged();
    void bundleIDChanged();
    void languageChanged();
    void localeChanged();
    void supportedLanguagesChanged();
    void loadingLanguagesChanged();
    void languageMessageChanged();
    void macModeChanged();
    void macAppChanged();
    void busyChanged();
    void statusChanged();
    void errorChanged();
    void launchOptionsChanged();
    void visibleAppsChanged();
    void languageSelectionIDChanged();
    void detectedBundlePathChanged();

private:
    // Runs a developer tool for `run`, within its deadline; throws instead of resuming into a
    // run that is over (Run::await).
    QCoro::Task<QByteArray> runTool(Run run, QStringList arguments, QString executable);
    QCoro::Task<> runPerformed(std::function<QCoro::Task<>()> operation, Run run);
    // boot() for the device `device` names when each command is issued.
    QCoro::Task<> bootDevice(Run run, std::function<QString()> device);
    // Boots the device and reads its installed apps; changes nothing.
    QCoro::Task<QList<InstalledApp>> installedAppsOf(Run run, std::function<QString()> device);
    // One language detection; throws when the run is over once it has ended (Run::check).
    QCoro::Task<> detect(Run run);
    QCoro::Task<QString> locateBundle(Run run);
    void applyDetectedLanguages(const QStringList &languages);
    // Reads the launch options and the recent launches from the store.
    void readLaunchChoices();
    // The launch about to be made, as the recent launches remember it.
    RecentLaunch currentLaunch(const QString &code) const;
    void setDetectedBundlePath(const QString &value);
    // Announce the derived values whose value differs from the one captured before a change.
    void announceVisibleApps(const QList<InstalledApp> &before);
    void announceSelectionID(const QString &before);

    struct State;
    std::unique_ptr<State> d;
};
