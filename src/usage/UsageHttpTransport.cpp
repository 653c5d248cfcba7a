#include "usage/UsageHttpTransport.h"

#include "usage/NoCookieJar.h"
#include "usage/TaskControl.h"
#include "usage/UsageRequest.h"
#include "usage/UsageResponse.h"

#include <QAuthenticator>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>

#include <coroutine>

namespace {

// Resumes the awaiting coroutine as soon as the reply finishes (also from within abort()) or is
// destroyed, so that a task is never left waiting on a reply that went away.
class ReplyFinished {
public:
    explicit ReplyFinished(QNetworkReply *reply)
        : m_reply(reply) {}

    bool await_ready() const noexcept { return !m_reply || m_reply->isFinished(); }
    void await_suspend(std::coroutine_handle<> waiting) {
        auto resume = [this, waiting] {
            QObject::disconnect(m_finished);
            QObject::disconnect(m_destroyed);
            waiting.resume();
        };
        m_finished = QObject::connect(m_reply, &QNetworkReply::finished, resume);
        m_destroyed = QObject::connect(m_reply, &QObject::destroyed, resume);
    }
    void await_resume() const noexcept {}

private:
    QPointer<QNetworkReply> m_reply;
    QMetaObject::Connection m_finished;
    QMetaObject::Connection m_destroyed;
};

} // namespace

UsageHttpTransport::UsageHttpTransport(UsageConfiguration configuration)
    : m_configuration(std::move(configuration)) {
    m_manager.setCookieJar(new NoCookieJar(&m_manager));
    m_manager.setCache(nullptr);
    m_manager.setStrictTransportSecurityEnabled(false);
    m_manager.setRedirectPolicy(QNetworkRequest::SameOriginRedirectPolicy);
    m_manager.setTransferTimeout(static_cast<int>(m_configuration.requestTimeout.count()));
    // Leaving the authenticator untouched refuses the challenge: the request then fails.
    QObject::connect(&m_manager, &QNetworkAccessManager::authenticationRequired, &m_manager,
                     [](QNetworkReply *, QAuthenticator *) {});
    QObject::connect(&m_manager, &QNetworkAccessManager::proxyAuthenticationRequired, &m_manager,
                     [](const QNetworkProxy &, QAuthenticator *) {});
}

QCoro::Task<bool> UsageHttpTransport::send(QByteArray body, TaskControl &control) {
    if (control.isCancelled() || m_configuration.endpoint.isEmpty())
        co_return false;
    QPointer<QNetworkReply> reply = m_manager.post(UsageRequest::make(m_configuration), body);

    // The whole exchange, however lively, ends after the resource time-out.
    auto *deadline = new QTimer(reply);
    deadline->setTimerType(Qt::PreciseTimer);
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
    deadline->start(m_configuration.resourceTimeout);

    control.setAbort([reply] {
        if (reply)
            reply->abort();
    });
    co_await ReplyFinished(reply);
    control.setAbort({});

    if (!reply)
        co_return false;
    deadline->stop();
    reply->deleteLater();
    if (control.isCancelled())
        co_return false;
    co_return UsageResponse::from(*reply).isAccepted(m_configuration.endpoint);
}
