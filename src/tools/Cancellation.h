#pragma once

#include <memory>

// A one-way "stop" flag shared between whoever starts a piece of asynchronous work and the
// work itself. Used on the main thread only, so a plain bool suffices.
class CancellationToken {
public:
    CancellationToken() = default; // never cancelled
    bool isCancelled() const { return m_flag && *m_flag; }

private:
    friend class CancellationSource;
    explicit CancellationToken(std::shared_ptr<bool> flag) : m_flag(std::move(flag)) {}
    std::shared_ptr<bool> m_flag;
};

class CancellationSource {
public:
    void cancel() { *m_flag = true; }
    bool isCancelled() const { return *m_flag; }
    CancellationToken token() const { return CancellationToken(m_flag); }

private:
    std::shared_ptr<bool> m_flag = std::make_shared<bool>(false);
};
