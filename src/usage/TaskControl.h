#pragma once

#include <QCoroTask>
#include <QPointer>
#include <QTimer>

#include <chrono>
#include <coroutine>
#include <functional>

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

    // Aborts the request under way; called by cancel(). Pass an empty function when the
    // request has finished.
    void setAbort(std::function<void()> abort) { m_abort = std::move(abort); }

private:
    class SleepAwaiter;
    void wake();

    bool m_cancelled = false;
    QPointer<QTimer> m_timer;
    std::coroutine_handle<> m_sleeper;
    std::function<void()> m_abort;
};
