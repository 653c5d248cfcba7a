#pragma once

#include <QCoroTask>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>

#include <chrono>

// The handle the service keeps for one of its background tasks. Cancelling it marks the task
// cancelled, cuts its current sleep short and aborts its request under way; the task sees the
// mark when it resumes. Main thread only.
class TaskControl {
public:
    bool isCancelled() const { return m_cancelled; }
    void cancel();

    // Sleeps on a precise timer; false when the sleep ended by cancellation.
    QCoro::Task<bool> sleep(std::chrono::milliseconds duration);

    // The request under way, aborted by cancel(). Pass nullptr when it has finished.
    void setReply(QNetworkReply *reply) { m_reply = reply; }

private:
    bool m_cancelled = false;
    QPointer<QTimer> m_sleep;
    QPointer<QNetworkReply> m_reply;
};
