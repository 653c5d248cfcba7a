#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <coroutine>
#include <memory>

// The handle of one running capture loop. Cancelling it marks the loop as cancelled and wakes
// a pending sleep at once (on the next turn of the event loop, never inside cancel()).
class CaptureTask : public QObject {
public:
    // Shared between the recorder and the loop; deleted through the event loop because the last
    // owner may let go from inside the task's own wake-up.
    static std::shared_ptr<CaptureTask> create();

    void cancel();
    bool isCancelled() const { return m_cancelled; }

    class SleepAwaiter {
    public:
        explicit SleepAwaiter(CaptureTask *task, std::chrono::milliseconds duration)
            : m_task(task)
            , m_duration(duration) {}
        bool await_ready() const noexcept { return m_task->m_cancelled; }
        void await_suspend(std::coroutine_handle<> waiter) {
            m_task->startSleep(waiter, m_duration);
        }
        void await_resume() const noexcept {}

    private:
        CaptureTask *m_task;
        std::chrono::milliseconds m_duration;
    };

    // Sleeps on the monotonic clock; returns early when the task is cancelled.
    SleepAwaiter sleep(std::chrono::milliseconds duration) { return SleepAwaiter(this, duration); }

private:
    CaptureTask();
    void startSleep(std::coroutine_handle<> waiter, std::chrono::milliseconds duration);
    void wake();

    QTimer m_timer;
    std::coroutine_handle<> m_waiter;
    bool m_cancelled = false;
};
