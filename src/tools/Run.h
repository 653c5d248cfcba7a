#pragma once

#include "tools/ChildProcess.h"
#include "tools/Error.h"

#include <QObject>
#include <QPointer>

#include <QCoroTask>

#include <exception>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

// One run of asynchronous work on behalf of an owner, such as one operation of the launcher or
// one language detection. Every wait of the run goes through await(), which throws instead of
// resuming into a run that is over:
// - OwnerGone when the owner was destroyed meanwhile (nothing of it may be touched),
// - Stopped when the user stopped the run (its developer tools were ended),
// - Superseded when a newer run took its place (its tools run to their end, unheeded).
// A run made with within() is also over when its parent is, and shares its stop signal.
// Copies share their state. Main thread only, apart from the stop signal.
class Run {
public:
    class Over : public Error {
    public:
        using Error::Error;
    };
    class OwnerGone : public Over {
    public:
        OwnerGone()
            : Over(QStringLiteral("The window was closed.")) {}
    };
    class Superseded : public Over {
    public:
        Superseded()
            : Over(QStringLiteral("A newer request took its place.")) {}
    };

    explicit Run(QObject *owner)
        : m_state(std::make_shared<State>()) {
        m_state->owner = owner;
        m_state->stop = std::make_shared<ChildProcess::StopSignal>();
    }

    // A run inside this one: over when this one is, stopped with it, superseded on its own.
    Run within() const {
        Run inner(m_state->owner);
        inner.m_state->parent = m_state;
        inner.m_state->stop = m_state->stop;
        return inner;
    }

    // Ends the run and every developer tool it started.
    void stop() { m_state->stop->raise(); }
    // Ends the run; the tools it started still run to their end.
    void supersede() { m_state->superseded = true; }

    bool ownerGone() const { return !m_state->owner; }
    bool isStopped() const { return m_state->stop->isRaised(); }
    bool isOver() const {
        for (const State *state = m_state.get(); state; state = state->parent.get()) {
            if (!state->owner || state->superseded)
                return true;
        }
        return isStopped();
    }
    // Throws the reason the run is over; returns when it is not.
    void check() const {
        if (ownerGone())
            throw OwnerGone();
        if (isStopped())
            throw Stopped();
        if (isOver())
            throw Superseded();
    }

    // For the developer tools the run starts.
    std::shared_ptr<ChildProcess::StopSignal> stopSignal() const { return m_state->stop; }

    // Awaits `task`, then throws (check()) if the run ended meanwhile, also when the task
    // failed; otherwise hands back the task's value or rethrows its error.
    template <typename Value> QCoro::Task<Value> await(QCoro::Task<Value> task) const {
        return awaitIn(*this, std::move(task));
    }

private:
    struct State {
        QPointer<QObject> owner;
        std::shared_ptr<State> parent;
        std::shared_ptr<ChildProcess::StopSignal> stop;
        bool superseded = false;
    };

    template <typename Value> static QCoro::Task<Value> awaitIn(Run run, QCoro::Task<Value> task) {
        std::exception_ptr failure;
        if constexpr (std::is_void_v<Value>) {
            try {
                co_await std::move(task);
            } catch (...) {
                failure = std::current_exception();
            }
            run.check();
            if (failure)
                std::rethrow_exception(failure);
        } else {
            std::optional<Value> value;
            try {
                value.emplace(co_await std::move(task));
            } catch (...) {
                failure = std::current_exception();
            }
            run.check();
            if (failure)
                std::rethrow_exception(failure);
            co_return std::move(*value);
        }
    }

    std::shared_ptr<State> m_state;
};
