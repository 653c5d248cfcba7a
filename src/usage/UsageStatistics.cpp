#include "usage/UsageStatistics.h"

#include "usage/TaskControl.h"
#include "usage/UsageNetwork.h"
#include "usage/UsageQueue.h"
#include "usage/UsageStore.h"

#include <QCoroTask>
#include <QDateTime>
#include <QPointer>

namespace {
const QString appName = QStringLiteral("Quillmarch");
constexpr qint64 maximumActionCount = 1'000'000;
} // namespace

struct UsageStatistics::State {
    State(QSettings *defaults, UsageConfiguration configuration)
        : defaults(defaults)
        , configuration(configuration)
        , network(std::move(configuration)) {}

    QSettings *defaults;
    UsageConfiguration configuration;
    std::optional<bool> consent;
    qint64 actionCount = 0;
    bool began = false;
    QString sessionID = UsageReport::newSessionID();
    QList<PendingUsage> pending;
    std::shared_ptr<TaskControl> sender;
    std::shared_ptr<TaskControl> retry;
    UsageNetwork network;
};

// The two background tasks. Each holds the service weakly and its own control strongly, and
// looks at the control before anything else after every suspension: once cancelled, a task
// touches nothing of the service (it may be in the middle of being destroyed).
struct UsageTasks {
    static QCoro::Task<> send(QPointer<UsageStatistics> service,
                              std::shared_ptr<TaskControl> control) {
        const std::chrono::milliseconds delay = service->d->configuration.sendDelay;
        if (!co_await control->sleep(delay))
            co_return;
        if (!service)
            co_return;
        while (!control->isCancelled() && service && service->d->consent == true &&
               !service->d->pending.isEmpty()) {
            const UsageReport report = service->d->pending.first().report;
            const bool accepted = co_await service->d->network.send(report, *control);
            if (control->isCancelled() || !service || service->d->consent != true || !accepted)
                break;
            QList<PendingUsage> remaining = service->d->pending;
            remaining.removeIf([&](const PendingUsage &entry) { return entry.report == report; });
            service->setPending(std::move(remaining));
            service->persist();
        }
        if (control->isCancelled() || !service)
            co_return;
        if (service->d->sender == control)
            service->d->sender.reset();
    }

    static QCoro::Task<> retry(QPointer<UsageStatistics> service,
                               std::shared_ptr<TaskControl> control) {
        const std::chrono::milliseconds interval = service->d->configuration.retryInterval;
        for (;;) {
            if (!co_await control->sleep(interval))
                co_return;
            if (!service || service->d->consent != true)
                co_return;
            service->sendIfNeeded();
        }
    }
};

UsageStatistics *UsageStatistics::shared() {
    static QSettings defaults;
    static UsageStatistics *instance =
        new UsageStatistics(&defaults, UsageConfiguration::production());
    return instance;
}

UsageStatistics::UsageStatistics(QSettings *defaults, UsageConfiguration configuration,
                                 QObject *parent)
    : QObject(parent)
    , d(std::make_unique<State>(defaults, std::move(configuration))) {
    d->consent = UsageStore::readConsent(*defaults);
    if (d->consent == true) {
        const std::optional<QByteArray> bytes = UsageStore::readQueue(*defaults);
        std::optional<QList<PendingUsage>> queue;
        if (bytes)
            queue = UsageQueue::decode(*bytes);
        if (queue)
            d->pending = UsageQueue::trimmed(std::move(*queue), QDateTime::currentDateTimeUtc());
        else
            UsageStore::removeQueue(*defaults);
    } else {
        UsageStore::removeQueue(*defaults);
    }
}

UsageStatistics::~UsageStatistics() {
    if (d->sender)
        d->sender->cancel();
    if (d->retry)
        d->retry->cancel();
}

std::optional<bool> UsageStatistics::consent() const {
    return d->consent;
}
qint64 UsageStatistics::actionCount() const {
    return d->actionCount;
}
bool UsageStatistics::began() const {
    return d->began;
}
QList<PendingUsage> UsageStatistics::pending() const {
    return d->pending;
}
QString UsageStatistics::sessionID() const {
    return d->sessionID;
}

QUrl UsageStatistics::endpoint() const {
    return d->configuration.endpoint;
}

void UsageStatistics::begin() {
    if (d->began)
        return;
    setBegan(true);
    if (d->consent == true) {
        enqueue();
        scheduleRetry();
    }
}

void UsageStatistics::recordAction() {
    if (d->consent != true)
        return;
    begin();
    setActionCount(std::min(d->actionCount + 1, maximumActionCount));
    enqueue();
}

void UsageStatistics::setConsent(bool value) {
    setConsentValue(value);
    UsageStore::writeConsent(*d->defaults, value);
    if (d->sender) {
        d->sender->cancel();
        d->sender.reset();
    }
    if (d->retry) {
        d->retry->cancel();
        d->retry.reset();
    }
    if (!value) {
        setPending({});
        UsageStore::removeQueue(*d->defaults);
    } else if (d->began) {
        enqueue();
        scheduleRetry();
    }
}

void UsageStatistics::enqueue() {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<PendingUsage> queue = d->pending;
    queue.removeIf([&](const PendingUsage &entry) {
        return entry.report.session_id == d->sessionID || UsageQueue::isExpired(entry, now);
    });
    queue.append(PendingUsage{UsageReport{appName, d->sessionID, d->actionCount}, now});
    if (queue.size() > UsageQueue::maximumEntries)
        queue.remove(0, queue.size() - UsageQueue::maximumEntries);
    setPending(std::move(queue));
    persist();
    sendIfNeeded();
}

void UsageStatistics::persist() {
    if (const std::optional<QByteArray> bytes = UsageQueue::encode(d->pending))
        UsageStore::writeQueue(*d->defaults, *bytes);
}

void UsageStatistics::sendIfNeeded() {
    if (d->consent != true || d->sender || d->pending.isEmpty())
        return;
    d->sender = std::make_shared<TaskControl>();
    UsageTasks::send(this, d->sender);
}

void UsageStatistics::scheduleRetry() {
    if (d->retry)
        return;
    d->retry = std::make_shared<TaskControl>();
    UsageTasks::retry(this, d->retry);
}

void UsageStatistics::setActionCount(qint64 value) {
    if (d->actionCount == value)
        return;
    d->actionCount = value;
    Q_EMIT actionCountChanged();
}

void UsageStatistics::setBegan(bool value) {
    if (d->began == value)
        return;
    d->began = value;
    Q_EMIT beganChanged();
}

void UsageStatistics::setConsentValue(std::optional<bool> value) {
    if (d->consent == value)
        return;
    d->consent = value;
    Q_EMIT consentChanged();
}

void UsageStatistics::setPending(QList<PendingUsage> value) {
    if (d->pending == value)
        return;
    d->pending = std::move(value);
    Q_EMIT pendingChanged();
}
