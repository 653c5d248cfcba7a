// The retry interval itself, at its real length: a report the endpoint refused is tried again
// 60 seconds after the session began (plus the send task's 3 seconds), not earlier. Runs about
// a minute, so it is a test program of its own that CTest can run beside the others.
#include "TestHttpsServer.h"
#include "TypedSettingsFormat.h"
#include "usage/UsageStatistics.h"
#include "usage/UsageStore.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;

class UsageRetryIntervalTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void refusedReportIsTriedAgainAfterSixtySeconds() {
        QTemporaryDir folder;
        TestHttpsServer server;
        QVERIFY_THROWS_NO_EXCEPTION(server.start());
        server.setAnswer(TestHttpsServer::Answer::ServerError);
        QSettings settings(folder.filePath(QStringLiteral("usage.settings")),
                           typedSettingsFormat());
        settings.setValue(QLatin1String(UsageStore::consentKey), true);

        // The production delays; only the endpoint and its certificate are the test's.
        UsageConfiguration configuration;
        configuration.endpoint = server.endpoint();
        configuration.extraCertificateAuthorities = {server.authority()};
        UsageStatistics statistics(&settings, configuration);
        QElapsedTimer clock;
        clock.start();
        statistics.begin();

        const auto requests = [&] {
            return server.requestsTo(TestHttpsServer::endpointPath).size();
        };
        QTRY_COMPARE_WITH_TIMEOUT(requests(), 1, 10000);
        const qint64 first = clock.elapsed();
        QVERIFY2(first >= 2900, qPrintable(QString::number(first)));
        server.setAnswer(TestHttpsServer::Answer::Accepted);

        QTRY_COMPARE_WITH_TIMEOUT(requests(), 2, 75000);
        const qint64 second = clock.elapsed();
        QVERIFY2(second >= 62900 && second < 68000, qPrintable(QString::number(second)));
        QTRY_VERIFY(statistics.pending().isEmpty());
    }
};

QTEST_GUILESS_MAIN(UsageRetryIntervalTest)
#include "tst_usage_retry_interval.moc"
