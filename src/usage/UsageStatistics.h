#pragma once

#include "usage/PendingUsage.h"
#include "usage/UsageConfiguration.h"

#include <QList>
#include <QObject>
#include <QSettings>
#include <QString>
#include <QUrl>

#include <memory>
#include <optional>

// Counts app starts and Launch clicks with the user's consent, keeps one report per session in
// a persisted queue and delivers it to the statistics endpoint. Main thread only; silent.
class UsageStatistics : public QObject {
    Q_OBJECT
    Q_PROPERTY(std::optional<bool> consent READ consent NOTIFY consentChanged)
    Q_PROPERTY(qint64 actionCount READ actionCount NOTIFY actionCountChanged)
    Q_PROPERTY(bool began READ began NOTIFY beganChanged)
    Q_PROPERTY(QList<PendingUsage> pending READ pending NOTIFY pendingChanged)

public:
    // The process-wide instance: the application's default settings store and the production
    // endpoint. Created on first use; lives until the process ends.
    static UsageStatistics *shared();

    // `defaults` must outlive the service.
    UsageStatistics(QSettings *defaults, UsageConfiguration configuration,
                    QObject *parent = nullptr);
    ~UsageStatistics() override;

    std::optional<bool> consent() const;
    qint64 actionCount() const;
    bool began() const;
    QList<PendingUsage> pending() const;
    QString sessionID() const;
    // Where reports are POSTed.
    QUrl endpoint() const;

    void begin();
    void recordAction();
    void setConsent(bool value);

Q_SIGNALS:
    void consentChanged();
    void actionCountChanged();
    void beganChanged();
    void pendingChanged();

private:
    friend struct UsageTasks;
    friend struct UsageStatisticsProbe; // tests: the click cap without a million clicks

    void setActionCount(qint64 value);
    void setBegan(bool value);
    void setConsentValue(std::optional<bool> value);
    void setPending(QList<PendingUsage> value);

    void enqueue();
    void persist();
    void sendIfNeeded();
    void scheduleRetry();

    struct State;
    std::unique_ptr<State> d;
};
