// Finding out which languages the selected target app declares.
#include "launcher/LauncherState.h"

#include "launcher/AppContainer.h"
#include "launcher/LauncherTexts.h"
#include "metadata/AppLanguages.h"
#include "tools/BackgroundWork.h"
#include "tools/Error.h"

QCoro::Task<> Launcher::detectLanguages() {
    d->detection.supersede();
    d->detection = Run(this);
    try {
        co_await detect(d->detection);
    } catch (const Run::Over &) {
        // Superseded, or the launcher is gone: the newer run or nobody owns the fields now.
    } catch (const Stopped &) {
    }
}

void Launcher::ensureLanguageDetection() {
    if (d->loadingLanguages && !d->detection.isOver() && d->detectionKey == languageSelectionID())
        return; // the running detection looks at this selection already
    detectLanguages();
}

QCoro::Task<> Launcher::detect(Run run) {
    const QString key = languageSelectionID();
    d->detectionKey = key;

    setLoadingLanguages(false);
    setSupportedLanguages(QStringList());
    setLanguage(QString());
    setLanguageMessage(LauncherTexts::selectAppForLanguages());
    setDetectedBundlePath(QString());

    const bool nothingToRead =
        d->macMode ? d->macApp.isEmpty() : (d->deviceID.isEmpty() || d->bundleID.isEmpty());
    if (nothingToRead)
        co_return;
    setLoadingLanguages(true);

    std::optional<QStringList> languages;
    QString failure;
    QString bundlePath;
    try {
        bundlePath = co_await locateBundle(run);
        // A bundle may hold tens of thousands of files: read it off the main thread. The task
        // is named, not a temporary of the co_await: g++ 12 destroys such temporaries twice.
        QCoro::Task<QStringList> reading =
            BackgroundWork::run([bundlePath] { return AppLanguages::read(bundlePath); });
        languages = co_await run.await(std::move(reading));
    } catch (const Run::Over &) {
        // The launcher is gone, or a newer run owns the language fields.
        throw;
    } catch (...) {
        failure = userFacingDescription(std::current_exception());
    }

    // Only the newest run owns the language fields (an operation stopped with this run leaves
    // it the newest): it ends the loading state, and writes its outcome while its selection is
    // unchanged.
    if (languageSelectionID() == key) {
        if (languages) {
            applyDetectedLanguages(*languages);
            setDetectedBundlePath(bundlePath);
        } else {
            setLanguageMessage(QStringLiteral("Could not detect app languages: ") + failure);
        }
    }
    setLoadingLanguages(false);
    run.check();
}

QCoro::Task<QString> Launcher::locateBundle(Run run) {
    if (d->macMode)
        co_return d->macApp.toLocalFile();

    QStringList arguments;
    arguments << QStringLiteral("simctl") << QStringLiteral("get_app_container") << d->deviceID
              << d->bundleID << QStringLiteral("app");
    const QByteArray output = co_await runTool(run, arguments, d->tools.xcrun);
    co_return AppContainer::bundlePath(output);
}

void Launcher::applyDetectedLanguages(const QStringList &languages) {
    setSupportedLanguages(languages);
    if (languages.contains(QStringLiteral("en")))
        setLanguage(QStringLiteral("en"));
    else
        setLanguage(languages.isEmpty() ? QString() : languages.first());
    setLanguageMessage(languages.isEmpty()
                           ? QStringLiteral("This app declares no supported languages.")
                           : QStringLiteral("Languages detected from the selected app."));
}

QString Launcher::detectedBundlePath() const {
    return d->detectedBundlePath;
}

DeveloperToolPaths Launcher::toolPaths() const {
    return d->tools;
}

void Launcher::setDetectedBundlePath(const QString &value) {
    if (d->detectedBundlePath == value)
        return;
    d->detectedBundlePath = value;
    Q_EMIT detectedBundlePathChanged();
}
