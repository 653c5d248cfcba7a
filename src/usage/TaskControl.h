#pragma once

#include <QCoroTask>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>

#include <chrono>
#include <coroutine>

// The handle the service keeps for one of its background tasks. Cancelling it marks the task
// cancelled, ends its current sleep and aborts its request under way, both at once: the task
// resumes inside cancel(), sees the mark and ends. Main thread only.
class TaskControl {
public:
    TaskControl() = default;
    TaskControl(const TaskControl &) = delete;
    TaskControl &operator=(const TaskControl &) = delete;

    bool isCancelled() const { return m_cancelled; }
    void cancel();

    // Sleeps on a precise timer; false when the sleep ended by cancellation.
    QCoro::Task<bool> sleep(std::chrono::milliseconds duration);

    // The request under way, aborted by cancel(). Pass nullptr when it has finished.
    void setReply(QNetworkReply *reply) { m_reply = reply; }

private:
    class SleepAwaiter;
    void wake();

    bool m_cancelled = false;
    QPointer<QTimer> m_timer;
    std::coroutine_handle<> m_sleeper;
    QPointer<QNetworkReply> m_reply;
};
