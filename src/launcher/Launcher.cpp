#include "launcher/Launcher.h"

#include "launcher/LauncherState.h"
#include "launcher/LauncherTexts.h"
#include "launcher/StoredValues.h"
#include "tools/DeveloperCommand.h"
#include "tools/Error.h"

#include <QMetaObject>

#include <algorithm>

namespace {

const QString onlyMyAppsKey = QStringLiteral("onlyMyApps");
const QString myAppIDsKey = QStringLiteral("myAppIDs");
const QString selectedSimulatorKey = QStringLiteral("selectedSimulatorID");

QStringList sortedTexts(const QSet<QString> &set) {
    QStringList texts(set.begin(), set.end());
    std::sort(texts.begin(), texts.end()); // plain text order, as the list is stored
    return texts;
}

} // namespace

Launcher::Launcher(QObject *parent)
    : Launcher(nullptr, DeveloperToolPaths{}, parent) {}

Launcher::Launcher(QSettings *store, DeveloperToolPaths tools, QObject *parent)
    : QObject(parent)
    , d(std::make_unique<State>(this)) {
    if (!store) {
        d->ownedStore = std::make_unique<QSettings>();
        store = d->ownedStore.get();
    }
    d->store = store;
    d->tools = std::move(tools);

    d->onlyMyApps = StoredValues::readBool(*store, onlyMyAppsKey).value_or(false);
    const QStringList myApps =
        StoredValues::readTextList(*store, myAppIDsKey).value_or(QStringList());
    d->myAppIDs = QSet<QString>(myApps.begin(), myApps.end());
    d->deviceID = StoredValues::readText(*store, selectedSimulatorKey).value_or(QString());
    readLaunchChoices();
}

Launcher::~Launcher() = default;

// --- Fields -------------------------------------------------------------------------------

bool Launcher::onlyMyApps() const {
    return d->onlyMyApps;
}

void Launcher::setOnlyMyApps(bool value) {
    const bool changed = d->onlyMyApps != value;
    const QList<InstalledApp> visibleBefore = visibleApps();
    d->onlyMyApps = value;
    d->store->setValue(onlyMyAppsKey, value);
    reconcileAppSelection();
    if (changed)
        Q_EMIT onlyMyAppsChanged();
    announceVisibleApps(visibleBefore);
}

QSet<QString> Launcher::myAppIDs() const {
    return d->myAppIDs;
}

void Launcher::setMyAppIDs(const QSet<QString> &value) {
    const bool changed = d->myAppIDs != value;
    const QList<InstalledApp> visibleBefore = visibleApps();
    d->myAppIDs = value;
    StoredValues::writeTextList(*d->store, myAppIDsKey, sortedTexts(value));
    reconcileAppSelection();
    if (changed)
        Q_EMIT myAppIDsChanged();
    announceVisibleApps(visibleBefore);
}

QList<SimulatorDevice> Launcher::devices() const {
    return d->devices;
}

void Launcher::setDevices(const QList<SimulatorDevice> &value) {
    d->devices = value;
    Q_EMIT devicesChanged();
}

QList<InstalledApp> Launcher::apps() const {
    return d->apps;
}

void Launcher::setApps(const QList<InstalledApp> &value) {
    d->apps = value;
    Q_EMIT appsChanged();
    // Records with unchanged identifiers may still carry new names or icons, so the visible
    // apps are announced with every assignment, like the apps themselves.
    Q_EMIT visibleAppsChanged();
}

QString Launcher::deviceID() const {
    return d->deviceID;
}

void Launcher::setDeviceID(const QString &value) {
    const QString selectionBefore = languageSelectionID();
    const bool changed = d->deviceID != value;
    d->deviceID = value;
    d->store->setValue(selectedSimulatorKey, value);
    if (changed)
        Q_EMIT deviceIDChanged();
    announceSelectionID(selectionBefore);
}

QString Launcher::bundleID() const {
    return d->bundleID;
}

void Launcher::setBundleID(const QString &value) {
    if (d->bundleID == value)
        return;
    const QString selectionBefore = languageSelectionID();
    d->bundleID = value;
    Q_EMIT bundleIDChanged();
    announceSelectionID(selectionBefore);
}

QString Launcher::language() const {
    return d->language;
}

void Launcher::setLanguage(const QString &value) {
    if (d->language == value)
        return;
    d->language = value;
    Q_EMIT languageChanged();
}

QString Launcher::locale() const {
    return d->locale;
}

void Launcher::setLocale(const QString &value) {
    if (d->locale == value)
        return;
    d->locale = value;
    Q_EMIT localeChanged();
}

QStringList Launcher::supportedLanguages() const {
    return d->supportedLanguages;
}

void Launcher::setSupportedLanguages(const QStringList &value) {
    if (d->supportedLanguages == value)
        return;
    d->supportedLanguages = value;
    Q_EMIT supportedLanguagesChanged();
}

bool Launcher::loadingLanguages() const {
    return d->loadingLanguages;
}

void Launcher::setLoadingLanguages(bool value) {
    if (d->loadingLanguages == value)
        return;
    d->loadingLanguages = value;
    Q_EMIT loadingLanguagesChanged();
}

QString Launcher::languageMessage() const {
    return d->languageMessage;
}

void Launcher::setLanguageMessage(const QString &value) {
    if (d->languageMessage == value)
        return;
    d->languageMessage = value;
    Q_EMIT languageMessageChanged();
}

bool Launcher::macMode() const {
    return d->macMode;
}

void Launcher::setMacMode(bool value) {
    if (d->macMode == value)
        return;
    const QString selectionBefore = languageSelectionID();
    d->macMode = value;
    Q_EMIT macModeChanged();
    announceSelectionID(selectionBefore);
}

QUrl Launcher::macApp() const {
    return d->macApp;
}

void Launcher::setMacApp(const QUrl &value) {
    if (d->macApp == value)
        return;
    const QString selectionBefore = languageSelectionID();
    d->macApp = value;
    Q_EMIT macAppChanged();
    announceSelectionID(selectionBefore);
}

bool Launcher::busy() const {
    return d->busy;
}

void Launcher::setBusy(bool value) {
    if (d->busy == value)
        return;
    d->busy = value;
    Q_EMIT busyChanged();
}

QString Launcher::status() const {
    return d->status;
}

void Launcher::setStatus(const QString &value) {
    if (d->status == value)
        return;
    d->status = value;
    Q_EMIT statusChanged();
}

std::optional<QString> Launcher::error() const {
    return d->error;
}

void Launcher::setError(const std::optional<QString> &value) {
    if (d->error == value)
        return;
    d->error = value;
    Q_EMIT errorChanged();
}

// --- Derived values -----------------------------------------------------------------------

QList<InstalledApp> Launcher::visibleApps() const {
    if (!d->onlyMyApps)
        return d->apps;
    QList<InstalledApp> visible;
    std::copy_if(d->apps.begin(), d->apps.end(), std::back_inserter(visible),
                 [this](const InstalledApp &app) { return d->myAppIDs.contains(app.id); });
    return visible;
}

QString Launcher::languageSelectionID() const {
    if (d->macMode)
        return QStringLiteral("mac:") + (d->macApp.isEmpty() ? QString() : d->macApp.toLocalFile());
    return QStringLiteral("sim:") + d->deviceID + QLatin1Char(':') + d->bundleID;
}

void Launcher::announceVisibleApps(const QList<InstalledApp> &before) {
    if (visibleApps() != before)
        Q_EMIT visibleAppsChanged();
}

void Launcher::announceSelectionID(const QString &before) {
    if (languageSelectionID() != before)
        Q_EMIT languageSelectionIDChanged();
}

// --- Selection rules ----------------------------------------------------------------------

void Launcher::reconcileAppSelection() {
    const QList<InstalledApp> visible = visibleApps();
    const bool offered =
        std::any_of(visible.begin(), visible.end(),
                    [this](const InstalledApp &app) { return app.id == d->bundleID; });
    if (offered)
        return;
    setBundleID(visible.isEmpty() ? QString() : visible.first().id);
}

void Launcher::setMyApp(const QString &id, bool included) {
    QSet<QString> ids = d->myAppIDs;
    if (included)
        ids.insert(id);
    else
        ids.remove(id);
    setMyAppIDs(ids);
}

// --- Running operations -------------------------------------------------------------------

void Launcher::perform(std::function<QCoro::Task<>()> operation) {
    if (d->busy)
        return;
    setBusy(true);
    d->operation = Run(this);
    // Started from the event loop, like a task scheduled on the main thread: the caller
    // returns before the operation runs its first step.
    QMetaObject::invokeMethod(
        this,
        [this, operation = std::move(operation), run = d->operation]() mutable {
            // The task object may be dropped: the coroutine frame lives until it finishes.
            runPerformed(std::move(operation), run);
        },
        Qt::QueuedConnection);
}

void Launcher::stop() {
    if (d->busy)
        d->operation.stop();
}

QCoro::Task<> Launcher::runPerformed(std::function<QCoro::Task<>()> operation, Run run) {
    std::exception_ptr failure;
    try {
        QCoro::Task<> performing = operation();
        co_await run.await(std::move(performing));
    } catch (...) {
        failure = std::current_exception();
    }
    if (run.ownerGone())
        co_return;
    if (run.isStopped())
        setStatus(QStringLiteral("Stopped."));
    else if (failure)
        setError(userFacingDescription(failure));
    setBusy(false);
}

QCoro::Task<QByteArray> Launcher::runTool(Run run, QStringList arguments, QString executable) {
    const DeveloperCommand::Limits limits{d->deadlines.forCommand(arguments),
                                          run.stopSignal()};
    QCoro::Task<QByteArray> command =
        DeveloperCommand::run(std::move(arguments), std::move(executable), limits);
    co_return co_await run.await(std::move(command));
}

void Launcher::setCommandDeadlines(DeveloperCommand::Deadlines deadlines) {
    d->deadlines = deadlines;
}

// --- Choosing a Mac app -------------------------------------------------------------------

void Launcher::setMacAppChooser(MacAppChooser chooser) {
    d->macAppChooser = std::move(chooser);
}

void Launcher::chooseMacApp() {
    if (!d->macAppChooser)
        return;
    const std::optional<QString> chosen = d->macAppChooser(QStringLiteral("/Applications"));
    if (!chosen)
        return;
    setMacApp(chosen->isEmpty() ? QUrl() : QUrl::fromLocalFile(*chosen));
}
