#pragma once

#include <QSslCertificate>
#include <QSslKey>
#include <QString>

// A throw-away certificate authority and a server certificate for 127.0.0.1 signed by it, made
// with the openssl command line in a folder the caller provides.
struct TestCertificates {
    QSslCertificate authority;
    QSslCertificate server;
    QSslKey serverKey;

    // Throws std::runtime_error with openssl's output when a step fails.
    static TestCertificates generate(const QString &folder);
};
