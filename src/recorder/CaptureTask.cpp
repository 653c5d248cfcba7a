#include "recorder/CaptureTask.h"

#include <utility>

CaptureTask::CaptureTask() {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CaptureTask::wake);
}

std::shared_ptr<CaptureTask> CaptureTask::create() {
    return std::shared_ptr<CaptureTask>(new CaptureTask, [](CaptureTask *task) {
        task->m_timer.stop();
        task->deleteLater();
    });
}

void CaptureTask::cancel() {
    if (m_cancelled)
        return;
    m_cancelled = true;
    m_timer.stop();
    if (m_waiter)
        QMetaObject::invokeMethod(this, &CaptureTask::wake, Qt::QueuedConnection);
}

void CaptureTask::startSleep(std::coroutine_handle<> waiter, std::chrono::milliseconds duration) {
    m_waiter = waiter;
    m_timer.start(duration);
}

void CaptureTask::wake() {
    if (auto waiter = std::exchange(m_waiter, {}))
        waiter.resume();
}
