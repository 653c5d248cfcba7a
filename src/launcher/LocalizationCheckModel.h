#pragma once

#include "metadata/LocalizationReport.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <QCoroTask>

#include <atomic>
#include <memory>
#include <optional>

class Launcher;

// Runs the localization check of the bundle whose languages were detected, off the main thread.
// The newest run wins: starting a run or clearing supersedes every earlier run, and a
// superseded run never writes. Main thread only.
class LocalizationCheckModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool checking READ checking NOTIFY checkingChanged)
    Q_PROPERTY(std::optional<LocalizationReport> report READ report NOTIFY reportChanged)
    // Why the newest run produced no report; empty otherwise.
    Q_PROPERTY(QString failure READ failure NOTIFY failureChanged)

public:
    // With a launcher, checks each bundle it detects languages of and clears when it has none.
    explicit LocalizationCheckModel(Launcher *launcher = nullptr, QObject *parent = nullptr);
    ~LocalizationCheckModel() override;

    bool checking() const { return m_checking; }
    std::optional<LocalizationReport> report() const { return m_report; }
    QString failure() const { return m_failure; }

    // Clears the previous outcome and checks the bundle; completes when this run is done or
    // superseded.
    QCoro::Task<> check(QString bundlePath);
    void clear();

Q_SIGNALS:
    void checkingChanged();
    void reportChanged();
    void failureChanged();

private:
    void follow();
    void stopWorker();
    void setChecking(bool value);
    void setReport(const std::optional<LocalizationReport> &value);
    void setFailure(const QString &value);

    QPointer<Launcher> m_launcher;
    quint64 m_runs = 0;
    std::shared_ptr<std::atomic_bool> m_stop; // the newest worker's stop flag
    bool m_checking = false;
    std::optional<LocalizationReport> m_report;
    QString m_failure;
};
