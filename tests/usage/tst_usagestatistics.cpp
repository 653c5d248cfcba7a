#include "TestHttpsServer.h"
#include "TypedSettingsFormat.h"
#include "usage/UsageQueue.h"
#include "usage/UsageStatistics.h"
#include "usage/UsageStore.h"

#include <QByteArrayList>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace std::chrono_literals;
using Answer = TestHttpsServer::Answer;

Q_DECLARE_METATYPE(std::optional<bool>)

// Puts the service right below the click cap, as a million clicks would.
struct UsageStatisticsProbe {
    static void setActionCount(UsageStatistics &statistics, qint64 count) {
        statistics.setActionCount(count);
    }
};

namespace {

const QLatin1String consentKey(UsageStore::consentKey);
const QLatin1String queueKey(UsageStore::queueKey);

PendingUsage entry(const QString &session, qint64 count, const QDateTime &created) {
    return PendingUsage{UsageReport{QStringLiteral("Quillmarch"), session, count}, created};
}

QStringList sessionsOf(const QList<PendingUsage> &queue) {
    QStringList sessions;
    for (const PendingUsage &entry : queue)
        sessions.append(entry.report.session_id);
    return sessions;
}

} // namespace

class UsageStatisticsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
        m_server = std::make_unique<TestHttpsServer>();
        QVERIFY_THROWS_NO_EXCEPTION(m_server->start());
    }
    void cleanup() {
        m_statistics.reset();
        m_settings.reset();
        m_server.reset();
        m_folder.reset();
    }

    void loadsStoredState_data() {
        QTest::addColumn<bool>("iniFile");
        QTest::addColumn<QVariant>("storedConsent");
        QTest::addColumn<QByteArray>("storedQueue");
        QTest::addColumn<std::optional<bool>>("consent");
        QTest::addColumn<QStringList>("loaded");

        const auto row = [](const char *name, bool iniFile, const QVariant &storedConsent,
                            const QByteArray &storedQueue, std::optional<bool> consent,
                            const QStringList &loaded) {
            QTest::newRow(name) << iniFile << storedConsent << storedQueue << consent << loaded;
        };
        const QDateTime now = QDateTime::currentDateTimeUtc();
        const QByteArray one = *UsageQueue::encode({entry("earlier", 1, now)});
        const QStringList earlier{"earlier"};
        row("nothing stored", false, QVariant(), one, std::nullopt, {});
        row("true", false, true, one, true, earlier);
        row("false", false, false, one, false, {});
        row("text in a typed store", false, "true", one, std::nullopt, {});
        row("true in an INI file", true, true, one, true, earlier);
        row("other text in an INI file", true, "yes", one, std::nullopt, {});

        QList<PendingUsage> many;
        for (int i = 0; i < 150; ++i)
            many.append(entry(QString::number(i), i, now.addSecs(i - 200)));
        row("150 recent entries", false, true, *UsageQueue::encode(many), true,
            sessionsOf(many.mid(50)));
        row("aged 30 days and 29 days 23 hours", false, true,
            *UsageQueue::encode({entry("30d", 0, now.addSecs(-2'592'000)),
                                 entry("29d23h", 0, now.addSecs(-2'588'400))}),
            true, {"29d23h"});
        // One entry that fails strict decoding loses the whole stored queue.
        row("one count as text", false, true,
            UsageQueue::encode({entry("a", 3, now)})->chopped(1) +
                R"(,{"report":{"app":"Q","session_id":"b","action_count":"7"},"created":1}])",
            true, {});
    }

    void loadsStoredState() {
        QFETCH(bool, iniFile);
        QFETCH(QVariant, storedConsent);
        QFETCH(QByteArray, storedQueue);
        QFETCH(std::optional<bool>, consent);
        QFETCH(QStringList, loaded);

        const QSettings::Format format = iniFile ? QSettings::IniFormat : typedSettingsFormat();
        storeConsentAndQueue(storedConsent, storedQueue, format);
        const QVariant before = openSettings(format)->value(consentKey);
        UsageStatistics &statistics = start(configuration(), format);
        QCOMPARE(statistics.consent(), consent);
        QCOMPARE(sessionsOf(statistics.pending()), loaded);
        // An undecided reading leaves the stored value alone. The queue survives only with
        // consent and only whole; loading trims in memory, not in the store.
        const auto reread = openSettings(format);
        QCOMPARE(reread->value(consentKey), before);
        QCOMPARE(UsageStore::readQueue(*reread),
                 loaded.isEmpty() ? std::nullopt : std::optional(storedQueue));
    }

    void nothingIsSentBeforeConsent() {
        UsageStatistics &statistics = start(configuration());
        statistics.begin();
        statistics.recordAction();
        QTest::qWait(800);
        QCOMPARE(m_server->connectionCount(), 0);
        QCOMPARE(statistics.actionCount(), 0);
        QVERIFY(statistics.pending().isEmpty());
        QVERIFY(!openSettings()->contains(queueKey));

        statistics.setConsent(true);
        QCOMPARE(openSettings()->value(consentKey), QVariant(true));
        QTRY_COMPARE_WITH_TIMEOUT(receivedReports().size(), 1, 10000);
        QCOMPARE(receivedReports().first().action_count, 0);
    }

    void clicksWithinTheDelayGiveOneRequest() {
        storeConsentAndQueue(true, "[]");
        UsageStatistics &statistics = start(configuration(1s));
        statistics.begin();
        statistics.recordAction();
        statistics.recordAction();
        QTRY_VERIFY_WITH_TIMEOUT(statistics.pending().isEmpty(), 10000);
        QTest::qWait(300);
        QCOMPARE(receivedReports(),
                 (QList<UsageReport>{{QStringLiteral("Quillmarch"), statistics.sessionID(), 2}}));

        // A later click sends the session's report again, with the count so far.
        statistics.recordAction();
        QTRY_COMPARE_WITH_TIMEOUT(receivedReports().size(), 2, 10000);
        QCOMPARE(receivedReports().last().action_count, 3);

        for (const TestHttpsServer::Request &request : m_server->requests()) {
            QCOMPARE(request.method + ' ' + request.path, "POST " + TestHttpsServer::endpointPath);
            QCOMPARE(request.header("Content-Type"), QByteArray("application/json"));
            QCOMPARE(request.header("User-Agent"), QByteArray("Tarvel-Usage/1"));
            // Nothing that depends on the user's machine (such as its language), each header
            // once; the cookie the server set with its first answer never comes back.
            QByteArrayList names;
            for (const auto &header : request.headers)
                names.append(header.first.toLower());
            std::sort(names.begin(), names.end());
            QCOMPARE(names,
                     (QByteArrayList{"accept-encoding", "accept-language", "connection",
                                     "content-length", "content-type", "host", "user-agent"}));
            QCOMPARE(request.header("Accept-Language"), QByteArray("*"));
            QCOMPARE(QJsonDocument::fromJson(request.body).object().keys(),
                     (QStringList{"action_count", "app", "session_id"}));
        }
    }

    // Queueing keeps the newest 100 entries; the session's own report is the newest.
    void enqueueingKeepsTheLast100() {
        const QDateTime now = QDateTime::currentDateTimeUtc();
        QList<PendingUsage> earlier;
        for (int i = 0; i < 100; ++i)
            earlier.append(entry(QString::number(i), i, now.addSecs(i - 200)));
        storeConsentAndQueue(true, *UsageQueue::encode(earlier));
        UsageStatistics &statistics = start(configuration(1h));
        statistics.begin();
        QStringList expected = sessionsOf(earlier.mid(1));
        expected.append(statistics.sessionID());
        QCOMPARE(sessionsOf(statistics.pending()), expected);
        QCOMPARE(sessionsOf(storedQueue().value()), expected);
    }

    // At 1,000,000 a click counts no further but still renews the session's entry.
    void clicksStopCountingAtOneMillion() {
        storeConsentAndQueue(true, "[]");
        UsageStatistics &statistics = start(configuration(1h));
        statistics.begin();
        UsageStatisticsProbe::setActionCount(statistics, 999'999);
        statistics.recordAction();
        QCOMPARE(storedQueue()->last().report.action_count, qint64(1'000'000));
        const QDateTime created = storedQueue()->last().created;
        QTest::qWait(20);
        statistics.recordAction();
        QCOMPARE(statistics.actionCount(), qint64(1'000'000));
        QCOMPARE(storedQueue()->size(), 1);
        QCOMPARE(storedQueue()->last().report.action_count, qint64(1'000'000));
        QVERIFY(storedQueue()->last().created > created);
    }

    // Sharing turned on again after a decline queues the session's report at once and sends
    // it; clicks made while declined were not counted.
    void consentGivenAgainAfterADecline() {
        storeConsentAndQueue(true, "[]");
        UsageStatistics &statistics = start(configuration(200ms));
        statistics.begin();
        QTRY_COMPARE_WITH_TIMEOUT(receivedReports().size(), 1, 10000);
        statistics.setConsent(false);
        statistics.recordAction();

        statistics.setConsent(true);
        QCOMPARE(openSettings()->value(consentKey), QVariant(true));
        QCOMPARE(sessionsOf(storedQueue().value()), QStringList{statistics.sessionID()});
        QTRY_COMPARE_WITH_TIMEOUT(receivedReports().size(), 2, 10000);
        QCOMPARE(receivedReports().last(),
                 (UsageReport{QStringLiteral("Quillmarch"), statistics.sessionID(), 0}));
        QTRY_VERIFY(statistics.pending().isEmpty());
    }

    void unacceptedAnswerKeepsReportUntilRetryDelivers_data() {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("trusted");
        QTest::addColumn<int>("expectedHangUpMs"); // 0: the server ends the exchange

        QTest::newRow("500") << Answer::ServerError << true << 0;
        QTest::newRow("201") << Answer::Created << true << 0;
        QTest::newRow("redirect") << Answer::Redirect << true << 0;
        QTest::newRow("not JSON") << Answer::NotJson << true << 0;
        QTest::newRow("accepted as text") << Answer::AcceptedAsText << true << 0;
        QTest::newRow("reset connection") << Answer::Reset << true << 0;
        QTest::newRow("untrusted certificate") << Answer::Accepted << false << 0;
        // Silence ends the exchange at the request time-out; a trickle that never finishes is
        // cut at the resource time-out.
        QTest::newRow("silence") << Answer::Silent << true << 500;
        QTest::newRow("endless trickle") << Answer::Trickle << true << 1500;
    }

    void unacceptedAnswerKeepsReportUntilRetryDelivers() {
        QFETCH(Answer, answer);
        QFETCH(bool, trusted);
        QFETCH(int, expectedHangUpMs);

        storeConsentAndQueue(true, "[]");
        m_server->setAnswer(answer);
        UsageConfiguration configuration = this->configuration(100ms, 300ms);
        if (!trusted)
            configuration.extraCertificateAuthorities.clear();
        configuration.requestTimeout = 500ms;
        configuration.resourceTimeout = 1500ms;
        if (answer == Answer::ServerError) // long enough to tell a wait from none
            configuration.retryInterval = 1s;
        UsageStatistics &statistics = start(configuration);
        QElapsedTimer clock;
        clock.start();
        statistics.begin();
        const QList<PendingUsage> queued = statistics.pending();
        QCOMPARE(queued.size(), 1);

        // A second attempt shows that the first one ended and the retry came round.
        if (trusted)
            QTRY_VERIFY_WITH_TIMEOUT(
                m_server->requestsTo(TestHttpsServer::endpointPath).size() >= 2, 15000);
        else
            QTRY_VERIFY_WITH_TIMEOUT(m_server->connectionCount() >= 2, 15000);
        // A refused report waits for the retry interval, counted from the session's start, and
        // the send delay after it; not sooner.
        if (answer == Answer::ServerError)
            QVERIFY2(clock.elapsed() >= 1000 && clock.elapsed() < 6000,
                     qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(statistics.pending(), queued);
        QCOMPARE(storedQueue(), queued);
        if (answer == Answer::Redirect)
            QVERIFY(!m_server->requestsTo(TestHttpsServer::redirectedPath).isEmpty());
        if (!trusted) {
            QVERIFY(m_server->requests().isEmpty());
            return;
        }
        if (expectedHangUpMs > 0) {
            const qint64 hangUp = m_server->hangUpDelays().value(0, -1ms).count();
            QVERIFY2(hangUp >= expectedHangUpMs * 9 / 10 && hangUp < expectedHangUpMs + 5000,
                     qPrintable(QString::number(hangUp)));
        }

        m_server->setAnswer(Answer::Accepted);
        QTRY_VERIFY_WITH_TIMEOUT(statistics.pending().isEmpty(), 15000);
        QCOMPARE(storedQueue(), QList<PendingUsage>());
        QCOMPARE(receivedReports().last(), queued.first().report);
    }

    void withdrawingConsentMidRequestStopsEverything() {
        storeConsentAndQueue(true, "[]");
        m_server->setAnswer(Answer::Silent);
        UsageStatistics &statistics = start(configuration(100ms, 300ms));
        statistics.begin();
        QTRY_COMPARE_WITH_TIMEOUT(m_server->requests().size(), 1, 10000);

        statistics.setConsent(false);
        QVERIFY(statistics.pending().isEmpty());
        QVERIFY(!openSettings()->contains(queueKey));
        QCOMPARE(openSettings()->value(consentKey), QVariant(false));
        // The request under way is aborted, not left to its 15-second time-out.
        QTRY_COMPARE_WITH_TIMEOUT(m_server->hangUpDelays().size(), 1, 3000);

        statistics.recordAction();
        QTest::qWait(1500);
        QCOMPARE(m_server->connectionCount(), 1);
        QVERIFY(statistics.pending().isEmpty());
    }

    void killedProcessLeavesReportThatIsDeliveredOnce() {
        storeConsentAndQueue(true, "[]");
        QProcess child;
        child.start(QStringLiteral(USAGE_CHILD_PATH),
                    {settingsPath(), QStringLiteral("https://127.0.0.1:9/usage/receive.php")});
        QVERIFY(child.waitForReadyRead(30000));
        const QByteArray line = child.readLine().trimmed();
        QVERIFY2(line.startsWith("persisted "), line.constData());
        const QString childSession = QString::fromLatin1(line.mid(10));
        child.kill(); // SIGKILL: no clean-up of any kind
        QVERIFY(child.waitForFinished());

        const UsageReport left{QStringLiteral("Quillmarch"), childSession, 1};
        QCOMPARE(sessionsOf(storedQueue().value()), QStringList{childSession});
        QCOMPARE(storedQueue()->first().report, left);

        UsageStatistics &statistics = start(configuration(200ms, 300ms));
        statistics.begin();
        // The earlier session's report goes first.
        QCOMPARE(sessionsOf(statistics.pending()),
                 (QStringList{childSession, statistics.sessionID()}));
        QTRY_VERIFY_WITH_TIMEOUT(statistics.pending().isEmpty(), 10000);
        QTest::qWait(1500); // several retry rounds
        QCOMPARE(
            receivedReports(),
            (QList<UsageReport>{left, {QStringLiteral("Quillmarch"), statistics.sessionID(), 0}}));
    }

private:
    QString settingsPath() const { return m_folder->filePath(QStringLiteral("usage.settings")); }
    std::unique_ptr<QSettings>
    openSettings(QSettings::Format format = typedSettingsFormat()) const {
        return std::make_unique<QSettings>(settingsPath(), format);
    }
    UsageConfiguration configuration(std::chrono::milliseconds sendDelay = 200ms,
                                     std::chrono::milliseconds retryInterval = 1min) const {
        UsageConfiguration configuration;
        configuration.endpoint = m_server->endpoint();
        configuration.extraCertificateAuthorities = {m_server->authority().toPem()};
        configuration.sendDelay = sendDelay;
        configuration.retryInterval = retryInterval;
        return configuration;
    }
    // The service on the test's settings file, as the application creates it at start.
    UsageStatistics &start(const UsageConfiguration &configuration,
                           QSettings::Format format = typedSettingsFormat()) {
        m_settings = openSettings(format);
        m_statistics = std::make_unique<UsageStatistics>(m_settings.get(), configuration);
        return *m_statistics;
    }
    void storeConsentAndQueue(const QVariant &consent, const QByteArray &queue,
                              QSettings::Format format = typedSettingsFormat()) const {
        auto settings = openSettings(format);
        if (consent.isValid())
            settings->setValue(consentKey, consent);
        settings->setValue(queueKey, queue);
    }
    std::optional<QList<PendingUsage>> storedQueue() const {
        return UsageQueue::decode(UsageStore::readQueue(*openSettings()).value_or(QByteArray()));
    }
    QList<UsageReport> receivedReports() const {
        QList<UsageReport> reports;
        for (const auto &request : m_server->requestsTo(TestHttpsServer::endpointPath))
            reports.append(
                UsageReport::fromJson(QJsonDocument::fromJson(request.body).object()).value());
        return reports;
    }

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<TestHttpsServer> m_server;
    std::unique_ptr<QSettings> m_settings;
    std::unique_ptr<UsageStatistics> m_statistics;
};

QTEST_GUILESS_MAIN(UsageStatisticsTest)
#include "tst_usagestatistics.moc"
