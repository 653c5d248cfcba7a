#include "TestCertificates.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <stdexcept>

namespace {

void openssl(const QString &folder, const QStringList &arguments) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("openssl"), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        throw std::runtime_error("openssl " + arguments.join(QLatin1Char(' ')).toStdString() +
                                 " failed: " + process.readAll().toStdString());
}

QByteArray contents(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

} // namespace

TestCertificates TestCertificates::generate(const QString &folder) {
    const QStringList ecKey = {
        QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
        QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
    openssl(folder,
            QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + ecKey +
                QStringList{QStringLiteral("-keyout"), QStringLiteral("ca.key"),
                            QStringLiteral("-out"), QStringLiteral("ca.pem"),
                            QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                            QStringLiteral("/CN=Usage Test CA"), QStringLiteral("-addext"),
                            QStringLiteral("basicConstraints=critical,CA:TRUE"),
                            QStringLiteral("-addext"),
                            QStringLiteral("keyUsage=critical,keyCertSign,cRLSign")});
    openssl(folder, QStringList{QStringLiteral("req"), QStringLiteral("-new")} + ecKey +
                        QStringList{QStringLiteral("-keyout"), QStringLiteral("server.key"),
                                    QStringLiteral("-out"), QStringLiteral("server.csr"),
                                    QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1")});
    QFile extensions(QDir(folder).filePath(QStringLiteral("server.ext")));
    if (!extensions.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write server.ext");
    extensions.write("basicConstraints=CA:FALSE\n"
                     "keyUsage=critical,digitalSignature\n"
                     "extendedKeyUsage=serverAuth\n"
                     "subjectAltName=IP:127.0.0.1\n");
    extensions.close();
    openssl(folder,
            QStringList{QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                        QStringLiteral("server.csr"), QStringLiteral("-CA"),
                        QStringLiteral("ca.pem"), QStringLiteral("-CAkey"),
                        QStringLiteral("ca.key"), QStringLiteral("-CAcreateserial"),
                        QStringLiteral("-out"), QStringLiteral("server.pem"),
                        QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-extfile"),
                        QStringLiteral("server.ext")});

    const QDir dir(folder);
    TestCertificates certificates;
    certificates.authority = QSslCertificate(contents(dir.filePath(QStringLiteral("ca.pem"))));
    certificates.server = QSslCertificate(contents(dir.filePath(QStringLiteral("server.pem"))));
    certificates.serverKey =
        QSslKey(contents(dir.filePath(QStringLiteral("server.key"))), QSsl::Ec);
    if (certificates.authority.isNull() || certificates.server.isNull() ||
        certificates.serverKey.isNull())
        throw std::runtime_error("openssl produced unreadable certificates");
    return certificates;
}
