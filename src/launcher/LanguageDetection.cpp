// Finding out which languages the selected target app declares.
#include "launcher/LauncherState.h"

#include "launcher/AppContainer.h"
#include "launcher/LauncherTexts.h"
#include "metadata/AppLanguages.h"
#include "tools/BackgroundWork.h"
#include "tools/Error.h"

namespace {

// Ends a run whose selection was replaced while its command ran; never shown to the user.
class DetectionCancelled : public Error {
public:
    DetectionCancelled()
        : Error(QStringLiteral("Language detection was cancelled.")) {}
};

} // namespace

QCoro::Task<> Launcher::detectLanguages(CancellationToken cancellation) {
    const QString key = languageSelectionID();
    const quint64 run = ++d->detectionRuns;

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

    const QPointer<Launcher> self(this);
    std::optional<QStringList> languages;
    QString failure;
    QString bundlePath;
    try {
        bundlePath = co_await locateBundle(cancellation);
        // A bundle may hold tens of thousands of files: read it off the main thread. The task
        // is named, not a temporary of the co_await: g++ 12 destroys such temporaries twice.
        QCoro::Task<QStringList> reading =
            BackgroundWork::run([bundlePath] { return AppLanguages::read(bundlePath); });
        languages = co_await std::move(reading);
    } catch (...) {
        failure = userFacingDescription(std::current_exception());
    }
    if (!self)
        co_return;

    // Only the newest run, with its selection unchanged, owns the language fields: it writes
    // its outcome unless cancelled, and ends the loading state. A run after which another one
    // started (even for the same key, after a round trip through another selection) leaves
    // both to that newer run.
    const bool current = d->detectionRuns == run && languageSelectionID() == key;
    if (current && !cancellation.isCancelled()) {
        if (languages) {
            applyDetectedLanguages(*languages);
            setDetectedBundlePath(bundlePath);
        } else {
            setLanguageMessage(QStringLiteral("Could not detect app languages: ") + failure);
        }
    }
    if (current)
        setLoadingLanguages(false);
}

QCoro::Task<QString> Launcher::locateBundle(CancellationToken cancellation) {
    if (d->macMode)
        co_return d->macApp.toLocalFile();

    QStringList arguments;
    arguments << QStringLiteral("simctl") << QStringLiteral("get_app_container") << d->deviceID
              << d->bundleID << QStringLiteral("app");
    const QByteArray output = co_await runTool(arguments, d->tools.xcrun);
    if (cancellation.isCancelled())
        throw DetectionCancelled();
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
