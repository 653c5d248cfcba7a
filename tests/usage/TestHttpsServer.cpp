#include "TestHttpsServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTimer>

#include <stdexcept>

#include <sys/socket.h>

std::optional<QByteArray> TestHttpsServer::Request::header(const QByteArray &name) const {
    for (const auto &[key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return std::nullopt;
}

TestHttpsServer::TestHttpsServer(QObject *parent)
    : QObject(parent) {}

TestHttpsServer::~TestHttpsServer() {
    m_server.close();
}

// A throw-away self-signed certificate for 127.0.0.1, made with the openssl command line; the
// client trusts it as its own authority.
void TestHttpsServer::makeCertificate() {
    if (!m_folder.isValid())
        throw std::runtime_error("no temporary folder for the certificate");
    QProcess openssl;
    openssl.setWorkingDirectory(m_folder.path());
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(QStringLiteral("openssl"),
                  QStringLiteral("req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 "
                                 "-nodes -keyout key.pem -out cert.pem -days 2 -subj /CN=127.0.0.1 "
                                 "-addext subjectAltName=IP:127.0.0.1")
                      .split(QLatin1Char(' ')));
    if (!openssl.waitForFinished(60000) || openssl.exitStatus() != QProcess::NormalExit ||
        openssl.exitCode() != 0)
        throw std::runtime_error("openssl failed: " + openssl.readAll().toStdString());
    const auto contents = [this](const char *name) {
        QFile file(m_folder.filePath(QLatin1String(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    m_certificate = QSslCertificate(contents("cert.pem"));
    m_key = QSslKey(contents("key.pem"), QSsl::Ec);
    if (m_certificate.isNull() || m_key.isNull())
        throw std::runtime_error("openssl produced an unreadable certificate");
}

void TestHttpsServer::start() {
    makeCertificate();
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(m_certificate);
    tls.setPrivateKey(m_key);
    tls.setPeerVerifyMode(QSslSocket::VerifyNone); // clients present no certificate
    m_server.setSslConfiguration(tls);
    m_server.setHandshakeTimeout(5000);
    connect(&m_server, &QSslServer::startedEncryptionHandshake, this, [this] { ++m_connections; });
    connect(&m_server, &QTcpServer::pendingConnectionAvailable, this, &TestHttpsServer::accept);
    if (!m_server.listen(QHostAddress::LocalHost, 0))
        throw std::runtime_error("cannot listen: " + m_server.errorString().toStdString());
}

QUrl TestHttpsServer::endpoint() const {
    QUrl url;
    url.setScheme(QStringLiteral("https"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(m_server.serverPort());
    url.setPath(QString::fromLatin1(endpointPath));
    return url;
}

QList<TestHttpsServer::Request> TestHttpsServer::requestsTo(const QByteArray &path) const {
    QList<Request> matching;
    for (const Request &request : m_requests)
        if (request.path == path)
            matching.append(request);
    return matching;
}

void TestHttpsServer::accept() {
    while (m_server.hasPendingConnections()) {
        auto *socket = qobject_cast<QSslSocket *>(m_server.nextPendingConnection());
        if (!socket)
            continue;
        connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QSslSocket::readyRead, this, [this, socket] { readFrom(socket); });
        readFrom(socket);
    }
}

// Reads one request (the clients here send exactly one per connection before an answer); the
// bytes gathered so far wait in the socket's "buffer" property.
void TestHttpsServer::readFrom(QSslSocket *socket) {
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    socket->setProperty("buffer", buffer);
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;

    Request request;
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    request.path = requestLine.value(1);
    qsizetype contentLength = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = line.left(colon).trimmed();
        const QByteArray value = line.mid(colon + 1).trimmed();
        request.headers.append({name, value});
        if (name.compare("Content-Length", Qt::CaseInsensitive) == 0)
            contentLength = value.toLongLong();
    }
    const qsizetype bodyStart = headerEnd + 4;
    if (buffer.size() - bodyStart < contentLength)
        return;
    request.body = buffer.mid(bodyStart, contentLength);
    socket->setProperty("buffer", buffer.mid(bodyStart + contentLength));

    m_requests.append(request);
    answer(socket, request);
}

void TestHttpsServer::answer(QSslSocket *socket, const Request &request) {
    static const QByteArray accepted = R"({"accepted":true})";
    if (request.path != endpointPath)
        return request.path == redirectedPath ? respond(socket, 200, "OK", accepted)
                                              : respond(socket, 404, "Not Found", {});
    switch (m_answer) {
    case Answer::Accepted:
        return respond(socket, 200, "OK", accepted);
    case Answer::ServerError:
        return respond(socket, 500, "Internal Server Error", R"({"accepted":false})");
    case Answer::Created:
        return respond(socket, 201, "Created", accepted);
    case Answer::Redirect:
        return respond(socket, 307, "Temporary Redirect", {},
                       "Location: " + redirectedPath + "\r\n");
    case Answer::NotJson:
        return respond(socket, 200, "OK", "<html><body>accepted</body></html>");
    case Answer::AcceptedAsText:
        return respond(socket, 200, "OK", R"({"accepted":"true"})");
    case Answer::Reset: {
        // A zero linger time makes close() send a reset instead of an orderly end.
        const linger immediate{1, 0};
        ::setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &immediate,
                     sizeof immediate);
        return socket->abort();
    }
    case Answer::Silent:
        return holdOpen(socket, false);
    case Answer::Trickle:
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n"
                      "Content-Length: 1000000\r\n\r\n");
        return holdOpen(socket, true);
    }
}

void TestHttpsServer::respond(QSslSocket *socket, int status, const QByteArray &reason,
                              const QByteArray &body, const QByteArray &extraHeaders) {
    QByteArray response = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n";
    response += "Content-Type: application/json\r\n";
    // Offered to every client; a client that keeps cookies would send it back.
    response += "Set-Cookie: visitor=1; Path=/; Max-Age=3600\r\n";
    response += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    response += "Connection: close\r\n";
    response += extraHeaders + "\r\n" + body;
    socket->write(response);
    socket->disconnectFromHost();
}

void TestHttpsServer::holdOpen(QSslSocket *socket, bool trickle) {
    QElapsedTimer clock;
    clock.start();
    connect(socket, &QSslSocket::disconnected, this,
            [this, clock] { m_hangUpDelays.append(std::chrono::milliseconds(clock.elapsed())); });
    if (trickle) {
        auto *drip = new QTimer(socket);
        connect(drip, &QTimer::timeout, socket, [socket] { socket->write(" "); });
        drip->start(100);
    }
}
