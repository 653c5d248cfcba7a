#pragma once

#include <QFuture>
#include <QPromise>
#include <QThreadPool>

#include <QCoroFuture>
#include <QCoroTask>

#include <exception>
#include <memory>
#include <optional>
#include <type_traits>

// Runs short, self-contained work (decoding a report, reading a bundle) on a thread of the
// shared pool while the calling coroutine is suspended, so the main thread stays free. The
// work must own everything it touches; its result or exception is handed back to the caller.
// Unlike a developer-tool command it always ends soon, so the bounded pool suits it.
namespace BackgroundWork {

template <typename Value> struct Outcome {
    std::optional<Value> value;
    std::exception_ptr error;
};

template <typename Value> QCoro::Task<Value> result(QFuture<Outcome<Value>> job) {
    Outcome<Value> outcome = co_await job;
    if (outcome.error)
        std::rethrow_exception(outcome.error);
    co_return std::move(*outcome.value);
}

// Not a coroutine itself: g++ 12 destroys a closure passed by value to a coroutine twice.
template <typename Work, typename Value = std::invoke_result_t<Work>>
QCoro::Task<Value> run(Work work) {
    auto promise = std::make_shared<QPromise<Outcome<Value>>>();
    QFuture<Outcome<Value>> job = promise->future();
    promise->start();
    QThreadPool::globalInstance()->start([promise, work = std::move(work)]() mutable {
        Outcome<Value> outcome;
        try {
            outcome.value.emplace(work());
        } catch (...) {
            outcome.error = std::current_exception();
        }
        promise->addResult(std::move(outcome));
        promise->finish();
    });
    return result(std::move(job));
}

} // namespace BackgroundWork
