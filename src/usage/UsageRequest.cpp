#include "usage/UsageRequest.h"

#include <QSslCertificate>
#include <QSslConfiguration>

namespace UsageRequest {

QNetworkRequest make(const UsageConfiguration &configuration) {
    QNetworkRequest request(configuration.endpoint);
    request.setRawHeader("Content-Type", "application/json");
    request.setRawHeader("User-Agent", "Tarvel-Usage/1");
    // Otherwise the HTTP stack names the user's system language here.
    request.setRawHeader("Accept-Language", "*");

    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::AuthenticationReuseAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::SameOriginRedirectPolicy);

    request.setTransferTimeout(static_cast<int>(configuration.requestTimeout.count()));

    if (!configuration.extraCertificateAuthorities.isEmpty()) {
        // Setting authorities explicitly ends the on-demand loading of the system's ones, so
        // they are listed here as well.
        QList<QSslCertificate> authorities = QSslConfiguration::systemCaCertificates();
        for (const QByteArray &pem : configuration.extraCertificateAuthorities)
            authorities += QSslCertificate::fromData(pem, QSsl::Pem);
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setCaCertificates(authorities);
        request.setSslConfiguration(tls);
    }
    return request;
}

} // namespace UsageRequest
