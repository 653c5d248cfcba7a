#pragma once

#include <QFuture>
#include <QPromise>
#include <QThreadPool>

#include <memory>
#include <type_traits>

// Runs `job` on the application's global thread pool and hands its result back through a
// future; awaiting that future resumes on the awaiting thread. The application waits for the
// pool's jobs when it ends, so a job never races with the destruction of static objects. The
// job must be copyable and must not throw; the future always gets its one result.
template <typename Job> QFuture<std::invoke_result_t<Job>> runInPool(Job job) {
    using Result = std::invoke_result_t<Job>;
    auto promise = std::make_shared<QPromise<Result>>();
    QFuture<Result> future = promise->future();
    promise->start();
    QThreadPool::globalInstance()->start([promise, job = std::move(job)]() mutable {
        promise->addResult(job());
        promise->finish();
    });
    return future;
}
