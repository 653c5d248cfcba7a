#include "usage/TaskControl.h"

#include <QCoroTimer>

void TaskControl::cancel() {
    m_cancelled = true;
    if (m_sleep)
        m_sleep->start(0); // wakes the sleeper on the next turn of the event loop
    if (m_reply)
        m_reply->abort();
}

QCoro::Task<bool> TaskControl::sleep(std::chrono::milliseconds duration) {
    if (m_cancelled)
        co_return false;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    timer.start(duration);
    m_sleep = &timer;
    co_await timer;
    m_sleep = nullptr;
    co_return !m_cancelled;
}
