#include "launcher/LocalizationCheckModel.h"

#include "launcher/Launcher.h"
#include "metadata/LocalizationCheck.h"
#include "tools/Error.h"

#include <QCoreApplication>
#include <QtConcurrent/QtConcurrentRun>

#include <QCoroFuture>

#include <atomic>
#include <memory>

namespace {

// What a worker hands back: a report or the reason there is none.
struct CheckOutcome {
    std::optional<LocalizationReport> report;
    QString failure;
};

CheckOutcome runCheck(const QString &bundlePath, std::shared_ptr<std::atomic_bool> stop) {
    try {
        return {LocalizationCheck::run(bundlePath, [&stop] { return stop->load(); }), {}};
    } catch (...) {
        return {std::nullopt, userFacingDescription(std::current_exception())};
    }
}

} // namespace

LocalizationCheckModel::LocalizationCheckModel(Launcher *launcher, QObject *parent)
    : QObject(parent)
    , m_launcher(launcher) {
    // The application waits for the pool's threads as it ends; a worker stops within a file.
    if (QCoreApplication *application = QCoreApplication::instance())
        connect(application, &QCoreApplication::aboutToQuit, this,
                &LocalizationCheckModel::stopWorker);
    if (!launcher)
        return;
    connect(launcher, &Launcher::detectedBundlePathChanged, this, &LocalizationCheckModel::follow);
    follow();
}

void LocalizationCheckModel::follow() {
    const QString path = m_launcher ? m_launcher->detectedBundlePath() : QString();
    if (path.isEmpty())
        clear();
    else
        check(path);
}

LocalizationCheckModel::~LocalizationCheckModel() {
    stopWorker();
}

void LocalizationCheckModel::stopWorker() {
    if (m_stop)
        m_stop->store(true);
    m_stop.reset();
}

QCoro::Task<> LocalizationCheckModel::check(QString bundlePath) {
    const quint64 run = ++m_runs;
    stopWorker(); // a superseded worker stops reading; its result is dropped anyway
    m_stop = std::make_shared<std::atomic_bool>(false);
    setReport(std::nullopt);
    setFailure(QString());
    setChecking(true);

    const QPointer<LocalizationCheckModel> self(this);
    // The bundle is read on a pool thread; only the finished value comes back here.
    const CheckOutcome outcome = co_await QtConcurrent::run(runCheck, bundlePath, m_stop);
    if (!self || run != m_runs)
        co_return; // superseded: a newer run or a clear owns the fields now
    setReport(outcome.report);
    setFailure(outcome.failure);
    setChecking(false);
}

void LocalizationCheckModel::clear() {
    ++m_runs;
    stopWorker();
    setChecking(false);
    setReport(std::nullopt);
    setFailure(QString());
}

void LocalizationCheckModel::setChecking(bool value) {
    if (m_checking == value)
        return;
    m_checking = value;
    Q_EMIT checkingChanged();
}

void LocalizationCheckModel::setReport(const std::optional<LocalizationReport> &value) {
    if (m_report == value)
        return;
    m_report = value;
    Q_EMIT reportChanged();
}

void LocalizationCheckModel::setFailure(const QString &value) {
    if (m_failure == value)
        return;
    m_failure = value;
    Q_EMIT failureChanged();
}
