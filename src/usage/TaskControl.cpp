#include "usage/TaskControl.h"

class TaskControl::SleepAwaiter {
public:
    SleepAwaiter(TaskControl &control, QTimer &timer)
        : m_control(control)
        , m_timer(timer) {}

    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> sleeper) {
        m_control.m_sleeper = sleeper;
        m_control.m_timer = &m_timer;
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer,
                         [control = &m_control] { control->wake(); });
        m_timer.start();
    }
    void await_resume() const noexcept {}

private:
    TaskControl &m_control;
    QTimer &m_timer;
};

void TaskControl::cancel() {
    m_cancelled = true;
    wake();
    if (const std::function<void()> abort = std::exchange(m_abort, {}))
        abort();
}

void TaskControl::wake() {
    if (m_timer)
        m_timer->stop();
    m_timer = nullptr;
    if (const std::coroutine_handle<> sleeper = std::exchange(m_sleeper, {}))
        sleeper.resume();
}

QCoro::Task<bool> TaskControl::sleep(std::chrono::milliseconds duration) {
    if (m_cancelled)
        co_return false;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    timer.setInterval(duration);
    co_await SleepAwaiter(*this, timer);
    co_return !m_cancelled;
}
