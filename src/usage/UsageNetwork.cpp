#include "usage/UsageNetwork.h"

#include "usage/NoCookieJar.h"
#include "usage/TaskControl.h"
#include "usage/UsageRequest.h"
#include "usage/UsageResponse.h"

#include <QAuthenticator>
#include <QNetworkAccessManager>
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

UsageNetwork::UsageNetwork(UsageConfiguration configuration)
    : m_configuration(std::move(configuration)) {}

UsageNetwork::~UsageNetwork() = default;

QNetworkAccessManager &UsageNetwork::manager() {
    if (m_manager)
        return *m_manager;
    m_manager = std::make_unique<QNetworkAccessManager>();
    QNetworkAccessManager &manager = *m_manager;
    manager.setCookieJar(new NoCookieJar(&manager));
    manager.setCache(nullptr);
    manager.setStrictTransportSecurityEnabled(false);
    manager.setRedirectPolicy(QNetworkRequest::SameOriginRedirectPolicy);
    manager.setTransferTimeout(static_cast<int>(m_configuration.requestTimeout.count()));
    // Leaving the authenticator untouched refuses the challenge: the request then fails.
    QObject::connect(&manager, &QNetworkAccessManager::authenticationRequired, &manager,
                     [](QNetworkReply *, QAuthenticator *) {});
    QObject::connect(&manager, &QNetworkAccessManager::proxyAuthenticationRequired, &manager,
                     [](const QNetworkProxy &, QAuthenticator *) {});
    return manager;
}

QCoro::Task<bool> UsageNetwork::send(UsageReport report, TaskControl &control) {
    if (control.isCancelled() || m_configuration.endpoint.isEmpty())
        co_return false;
    QPointer<QNetworkReply> reply =
        manager().post(UsageRequest::make(m_configuration), report.encoded());

    // The whole exchange, however lively, ends after the resource time-out.
    auto *deadline = new QTimer(reply);
    deadline->setTimerType(Qt::PreciseTimer);
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
    deadline->start(m_configuration.resourceTimeout);

    control.setReply(reply);
    co_await ReplyFinished(reply);
    control.setReply(nullptr);

    if (!reply)
        co_return false;
    deadline->stop();
    reply->deleteLater();
    if (control.isCancelled())
        co_return false;
    co_return UsageResponse::from(*reply).isAccepted(m_configuration.endpoint);
}
