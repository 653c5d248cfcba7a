#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslServer>
#include <QTemporaryDir>
#include <QUrl>

#include <chrono>
#include <optional>

class QSslSocket;

// A small HTTPS/1.1 server on 127.0.0.1 for the usage statistics tests. It makes its own
// self-signed certificate, listens on a free port, records every request and answers the
// endpoint path as it is told. The path it redirects to always answers {"accepted":true}, so
// that only the changed URL makes a redirected answer unacceptable.
class TestHttpsServer : public QObject {
    Q_OBJECT

public:
    enum class Answer {
        Accepted,       // 200 {"accepted":true}
        ServerError,    // 500
        Created,        // 201 {"accepted":true}
        Redirect,       // 307 to another path of this server
        NotJson,        // 200 with an HTML body
        AcceptedAsText, // 200 {"accepted":"true"}
        Reset,          // the connection is reset without an answer
        Silent,         // never answers
        Trickle,        // starts a 200 answer and sends one byte every 100 ms, never finishing
    };
    Q_ENUM(Answer)

    struct Request {
        QByteArray method;
        QByteArray path;
        QList<std::pair<QByteArray, QByteArray>> headers; // as received
        QByteArray body;
        // The value of the one header of that (case-insensitive) name; nothing when absent.
        std::optional<QByteArray> header(const QByteArray &name) const;
    };

    static inline const QByteArray endpointPath = "/usage/receive.php";
    static inline const QByteArray redirectedPath = "/usage/moved.php";

    explicit TestHttpsServer(QObject *parent = nullptr);
    ~TestHttpsServer() override;

    // Throws std::runtime_error when certificates cannot be made or no port is free.
    void start();

    QUrl endpoint() const;
    // The certificate a client must trust to reach this server.
    QSslCertificate authority() const { return m_certificate; }

    void setAnswer(Answer answer) { m_answer = answer; }

    QList<Request> requests() const { return m_requests; }
    QList<Request> requestsTo(const QByteArray &path) const;
    // TLS handshakes begun, whether they succeed or not.
    int connectionCount() const { return m_connections; }
    // For each request answered Silent or Trickle: how long until the client hung up.
    QList<std::chrono::milliseconds> hangUpDelays() const { return m_hangUpDelays; }

private:
    void accept();
    void readFrom(QSslSocket *socket);
    void answer(QSslSocket *socket, const Request &request);
    void respond(QSslSocket *socket, int status, const QByteArray &reason, const QByteArray &body,
                 const QByteArray &extraHeaders = {});
    void holdOpen(QSslSocket *socket, bool trickle);

    void makeCertificate();

    QTemporaryDir m_folder;
    QSslCertificate m_certificate;
    QSslKey m_key;
    QSslServer m_server;
    Answer m_answer = Answer::Accepted;
    QList<Request> m_requests;
    int m_connections = 0;
    QList<std::chrono::milliseconds> m_hangUpDelays;
};
