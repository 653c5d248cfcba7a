#include "TestHttpsServer.h"
#include "TypedSettingsFormat.h"
#include "usage/UsageQueue.h"
#include "usage/UsageStatistics.h"
#include "usage/UsageStore.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace std::chrono_literals;
using Answer = TestHttpsServer::Answer;

Q_DECLARE_METATYPE(std::optional<bool>)

class UsageStatisticsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void readsStoredConsent_data();
    void readsStoredConsent();
    void loadsStoredQueue_data();
    void loadsStoredQueue();
    void nothingIsSentBeforeConsent();
    void clicksWithinTheDelayGiveOneRequest();
    void earlierSessionGoesFirst();
    void unacceptedAnswerKeepsReportUntilRetryDelivers_data();
    void unacceptedAnswerKeepsReportUntilRetryDelivers();
    void withdrawingConsentMidRequestStopsEverything();
    void killedProcessLeavesReportThatIsDeliveredOnce();

private:
    QString settingsPath() const { return m_folder->filePath(QStringLiteral("usage.settings")); }
    std::unique_ptr<QSettings>
    openSettings(QSettings::Format format = typedSettingsFormat()) const {
        return std::make_unique<QSettings>(settingsPath(), format);
    }
    UsageConfiguration configuration() const;
    void storeConsentAndQueue(bool consent, const QList<PendingUsage> &queue = {}) const;
    std::optional<QList<PendingUsage>> storedQueue() const;
    QList<UsageReport> receivedReports() const;

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<TestHttpsServer> m_server;
};

namespace {

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

void UsageStatisticsTest::init() {
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    m_server = std::make_unique<TestHttpsServer>();
    try {
        m_server->start();
    } catch (const std::exception &error) {
        QFAIL(error.what());
    }
}

void UsageStatisticsTest::cleanup() {
    m_server.reset();
    m_folder.reset();
}

UsageConfiguration UsageStatisticsTest::configuration() const {
    UsageConfiguration configuration;
    configuration.endpoint = m_server->endpoint();
    configuration.extraCertificateAuthorities = {m_server->authority()};
    configuration.sendDelay = 200ms;
    configuration.retryInterval = 1min;
    return configuration;
}

void UsageStatisticsTest::storeConsentAndQueue(bool consent,
                                               const QList<PendingUsage> &queue) const {
    auto settings = openSettings();
    settings->setValue(QLatin1String(UsageStore::consentKey), consent);
    settings->setValue(QLatin1String(UsageStore::queueKey), *UsageQueue::encode(queue));
}

std::optional<QList<PendingUsage>> UsageStatisticsTest::storedQueue() const {
    const std::optional<QByteArray> bytes = UsageStore::readQueue(*openSettings());
    if (!bytes)
        return std::nullopt;
    return UsageQueue::decode(*bytes);
}

QList<UsageReport> UsageStatisticsTest::receivedReports() const {
    QList<UsageReport> reports;
    for (const TestHttpsServer::Request &request :
         m_server->requestsTo(TestHttpsServer::endpointPath))
        reports.append(
            UsageReport::fromJson(QJsonDocument::fromJson(request.body).object()).value());
    return reports;
}

void UsageStatisticsTest::readsStoredConsent_data() {
    QTest::addColumn<bool>("textStore");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<std::optional<bool>>("consent");

    const std::optional<bool> undecided;
    QTest::newRow("nothing stored") << false << QVariant() << undecided;
    QTest::newRow("true") << false << QVariant(true) << std::optional<bool>(true);
    QTest::newRow("false") << false << QVariant(false) << std::optional<bool>(false);
    QTest::newRow("text in a typed store")
        << false << QVariant(QStringLiteral("true")) << undecided;
    QTest::newRow("number") << false << QVariant(1) << undecided;
    QTest::newRow("true in an INI file") << true << QVariant(true) << std::optional<bool>(true);
    QTest::newRow("false in an INI file") << true << QVariant(false) << std::optional<bool>(false);
    QTest::newRow("other text in an INI file")
        << true << QVariant(QStringLiteral("yes")) << undecided;
}

void UsageStatisticsTest::readsStoredConsent() {
    QFETCH(bool, textStore);
    QFETCH(QVariant, stored);
    QFETCH(std::optional<bool>, consent);

    const QSettings::Format format = textStore ? QSettings::IniFormat : typedSettingsFormat();
    const QByteArray queue =
        *UsageQueue::encode({entry(QStringLiteral("earlier"), 1, QDateTime::currentDateTimeUtc())});
    {
        auto settings = openSettings(format);
        if (stored.isValid())
            settings->setValue(QLatin1String(UsageStore::consentKey), stored);
        settings->setValue(QLatin1String(UsageStore::queueKey), queue);
    }
    auto settings = openSettings(format);
    const QVariant before = settings->value(QLatin1String(UsageStore::consentKey));
    UsageStatistics statistics(settings.get(), configuration());

    QCOMPARE(statistics.consent(), consent);
    QCOMPARE(statistics.pending().size(), consent == true ? 1 : 0);
    auto reread = openSettings(format);
    // An undecided reading leaves the stored value alone; the queue survives only with consent.
    QCOMPARE(reread->value(QLatin1String(UsageStore::consentKey)), before);
    QCOMPARE(reread->contains(QLatin1String(UsageStore::queueKey)), consent == true);
}

void UsageStatisticsTest::loadsStoredQueue_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QStringList>("loaded");
    QTest::addColumn<bool>("keyKept");

    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<PendingUsage> many;
    QStringList lastHundred;
    for (int i = 0; i < 150; ++i) {
        many.append(entry(QString::number(i), i, now.addSecs(i - 200)));
        if (i >= 50)
            lastHundred.append(QString::number(i));
    }
    QTest::newRow("150 recent entries") << *UsageQueue::encode(many) << lastHundred << true;

    const QList<PendingUsage> aged{entry(QStringLiteral("30d"), 0, now.addSecs(-2'592'000)),
                                   entry(QStringLiteral("29d23h"), 0, now.addSecs(-2'588'400))};
    QTest::newRow("aged 30 days and 29 days 23 hours")
        << *UsageQueue::encode(aged) << QStringList{QStringLiteral("29d23h")} << true;

    const QByteArray good =
        R"({"report":{"app":"Quillmarch","session_id":"a","action_count":3},"created":)" +
        QByteArray::number(PendingUsage::secondsSinceReferenceDate(now), 'f', 3) + "}";
    auto withSecond = [&](const QByteArray &second) { return "[" + good + "," + second + "]"; };
    QTest::newRow("fractional count")
        << withSecond(R"({"report":{"app":"Q","session_id":"b","action_count":1.5},"created":1})")
        << QStringList() << false;
    QTest::newRow("count as text")
        << withSecond(R"({"report":{"app":"Q","session_id":"b","action_count":"7"},"created":1})")
        << QStringList() << false;
    QTest::newRow("created missing")
        << withSecond(R"({"report":{"app":"Q","session_id":"b","action_count":7}})")
        << QStringList() << false;
}

void UsageStatisticsTest::loadsStoredQueue() {
    QFETCH(QByteArray, stored);
    QFETCH(QStringList, loaded);
    QFETCH(bool, keyKept);
    {
        auto settings = openSettings();
        settings->setValue(QLatin1String(UsageStore::consentKey), true);
        settings->setValue(QLatin1String(UsageStore::queueKey), stored);
    }
    auto settings = openSettings();
    UsageStatistics statistics(settings.get(), configuration());
    QCOMPARE(sessionsOf(statistics.pending()), loaded);
    // Loading trims in memory only; the stored bytes change with the next change to the queue.
    const std::optional<QByteArray> after = UsageStore::readQueue(*openSettings());
    QCOMPARE(after.has_value(), keyKept);
    if (keyKept)
        QCOMPARE(*after, stored);
}

void UsageStatisticsTest::nothingIsSentBeforeConsent() {
    auto settings = openSettings();
    UsageStatistics statistics(settings.get(), configuration());
    statistics.begin();
    statistics.recordAction();
    statistics.recordAction();
    statistics.recordAction();
    QTest::qWait(800);
    QCOMPARE(m_server->connectionCount(), 0);
    QCOMPARE(statistics.actionCount(), 0);
    QVERIFY(statistics.pending().isEmpty());
    QVERIFY(!openSettings()->contains(QLatin1String(UsageStore::queueKey)));

    QSignalSpy consentChanged(&statistics, &UsageStatistics::consentChanged);
    statistics.setConsent(true);
    statistics.setConsent(true);
    QCOMPARE(consentChanged.size(), 1);
    QCOMPARE(openSettings()->value(QLatin1String(UsageStore::consentKey)), QVariant(true));
    QCOMPARE(statistics.pending().size(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(receivedReports().size(), 1, 10000);
    QCOMPARE(receivedReports().first().action_count, 0);
    QTRY_VERIFY(statistics.pending().isEmpty());
}

void UsageStatisticsTest::clicksWithinTheDelayGiveOneRequest() {
    storeConsentAndQueue(true);
    auto settings = openSettings();
    UsageConfiguration configuration = this->configuration();
    configuration.sendDelay = 1s;
    UsageStatistics statistics(settings.get(), configuration);
    QSignalSpy countChanged(&statistics, &UsageStatistics::actionCountChanged);
    statistics.begin();
    statistics.recordAction();
    statistics.recordAction();
    QCOMPARE(countChanged.size(), 2);
    QTRY_VERIFY_WITH_TIMEOUT(statistics.pending().isEmpty(), 10000);
    QTest::qWait(300);

    QCOMPARE(receivedReports(),
             (QList<UsageReport>{{QStringLiteral("Quillmarch"), statistics.sessionID(), 2}}));
    QCOMPARE(storedQueue(), QList<PendingUsage>());

    statistics.recordAction();
    QTRY_COMPARE_WITH_TIMEOUT(receivedReports().size(), 2, 10000);
    QCOMPARE(receivedReports().last().action_count, 3);

    for (const TestHttpsServer::Request &request : m_server->requests()) {
        QCOMPARE(request.method, QByteArray("POST"));
        QCOMPARE(request.path, TestHttpsServer::endpointPath);
        QCOMPARE(request.headerCount("Content-Type"), 1);
        QCOMPARE(request.header("Content-Type"), QByteArray("application/json"));
        QCOMPARE(request.headerCount("User-Agent"), 1);
        QCOMPARE(request.header("User-Agent"), QByteArray("Tarvel-Usage/1"));
        // The server set a cookie with its first answer; it never comes back.
        QCOMPARE(request.headerCount("Cookie"), 0);
        QCOMPARE(request.headerCount("Authorization"), 0);
        QVERIFY(!request.body.contains("created"));
        QCOMPARE(QJsonDocument::fromJson(request.body).object().keys(),
                 (QStringList{QStringLiteral("action_count"), QStringLiteral("app"),
                              QStringLiteral("session_id")}));
    }
}

void UsageStatisticsTest::earlierSessionGoesFirst() {
    const QString earlier = UsageReport::newSessionID();
    storeConsentAndQueue(true, {entry(earlier, 5, QDateTime::currentDateTimeUtc().addSecs(-3600))});
    auto settings = openSettings();
    UsageStatistics statistics(settings.get(), configuration());
    statistics.begin();
    QCOMPARE(sessionsOf(statistics.pending()), (QStringList{earlier, statistics.sessionID()}));
    QTRY_VERIFY_WITH_TIMEOUT(statistics.pending().isEmpty(), 10000);

    const QList<UsageReport> reports = receivedReports();
    QCOMPARE(reports.size(), 2);
    QCOMPARE(reports.at(0), (UsageReport{QStringLiteral("Quillmarch"), earlier, 5}));
    QCOMPARE(reports.at(1).session_id, statistics.sessionID());
}

void UsageStatisticsTest::unacceptedAnswerKeepsReportUntilRetryDelivers_data() {
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("trusted");
    QTest::addColumn<int>("requestTimeoutMs");
    QTest::addColumn<int>("resourceTimeoutMs");
    QTest::addColumn<int>("expectedHangUpMs"); // 0: the server ends the exchange

    QTest::newRow("500") << Answer::ServerError << true << 15000 << 20000 << 0;
    QTest::newRow("201") << Answer::Created << true << 15000 << 20000 << 0;
    QTest::newRow("redirect") << Answer::Redirect << true << 15000 << 20000 << 0;
    QTest::newRow("not JSON") << Answer::NotJson << true << 15000 << 20000 << 0;
    QTest::newRow("accepted as text") << Answer::AcceptedAsText << true << 15000 << 20000 << 0;
    QTest::newRow("reset connection") << Answer::Reset << true << 15000 << 20000 << 0;
    QTest::newRow("untrusted certificate") << Answer::Accepted << false << 15000 << 20000 << 0;
    // Silence ends the exchange after the request time-out ...
    QTest::newRow("silence") << Answer::Silent << true << 500 << 20000 << 500;
    // ... and a trickle that never finishes is cut at the resource time-out.
    QTest::newRow("endless trickle") << Answer::Trickle << true << 500 << 1500 << 1500;
}

void UsageStatisticsTest::unacceptedAnswerKeepsReportUntilRetryDelivers() {
    QFETCH(Answer, answer);
    QFETCH(bool, trusted);
    QFETCH(int, requestTimeoutMs);
    QFETCH(int, resourceTimeoutMs);
    QFETCH(int, expectedHangUpMs);

    storeConsentAndQueue(true);
    m_server->setAnswer(answer);
    UsageConfiguration configuration = this->configuration();
    if (!trusted)
        configuration.extraCertificateAuthorities.clear();
    configuration.sendDelay = 100ms;
    configuration.retryInterval = 300ms;
    configuration.requestTimeout = std::chrono::milliseconds(requestTimeoutMs);
    configuration.resourceTimeout = std::chrono::milliseconds(resourceTimeoutMs);
    auto settings = openSettings();
    UsageStatistics statistics(settings.get(), configuration);
    statistics.begin();
    const QList<PendingUsage> queued = statistics.pending();
    QCOMPARE(queued.size(), 1);

    // A second attempt shows that the first one ended and the retry came round.
    if (trusted)
        QTRY_VERIFY_WITH_TIMEOUT(m_server->requestsTo(TestHttpsServer::endpointPath).size() >= 2,
                                 15000);
    else
        QTRY_VERIFY_WITH_TIMEOUT(m_server->connectionCount() >= 2, 15000);
    QCOMPARE(statistics.pending(), queued);
    QCOMPARE(storedQueue(), queued);
    if (answer == Answer::Redirect)
        QVERIFY(!m_server->requestsTo(TestHttpsServer::redirectedPath).isEmpty());
    if (!trusted) {
        QVERIFY(m_server->requests().isEmpty());
        return;
    }
    if (expectedHangUpMs > 0) {
        QVERIFY(!m_server->hangUpDelays().isEmpty());
        const auto hangUp = m_server->hangUpDelays().first();
        QVERIFY2(hangUp >= std::chrono::milliseconds(expectedHangUpMs * 9 / 10) &&
                     hangUp < std::chrono::milliseconds(expectedHangUpMs + 5000),
                 qPrintable(QString::number(hangUp.count())));
    }

    m_server->setAnswer(Answer::Accepted);
    QTRY_VERIFY_WITH_TIMEOUT(statistics.pending().isEmpty(), 15000);
    QCOMPARE(storedQueue(), QList<PendingUsage>());
    QCOMPARE(receivedReports().last(), queued.first().report);
}

void UsageStatisticsTest::withdrawingConsentMidRequestStopsEverything() {
    storeConsentAndQueue(true);
    m_server->setAnswer(Answer::Silent);
    UsageConfiguration configuration = this->configuration();
    configuration.sendDelay = 100ms;
    configuration.retryInterval = 300ms;
    auto settings = openSettings();
    UsageStatistics statistics(settings.get(), configuration);
    statistics.begin();
    QTRY_COMPARE_WITH_TIMEOUT(m_server->requests().size(), 1, 10000);

    statistics.setConsent(false);
    QVERIFY(statistics.pending().isEmpty());
    QVERIFY(!openSettings()->contains(QLatin1String(UsageStore::queueKey)));
    QCOMPARE(openSettings()->value(QLatin1String(UsageStore::consentKey)), QVariant(false));
    // The request under way is aborted, not left to its 15-second time-out.
    QTRY_COMPARE_WITH_TIMEOUT(m_server->hangUpDelays().size(), 1, 3000);

    statistics.recordAction();
    QTest::qWait(1500);
    QCOMPARE(m_server->connectionCount(), 1);
    QCOMPARE(m_server->requests().size(), 1);
    QVERIFY(statistics.pending().isEmpty());
}

void UsageStatisticsTest::killedProcessLeavesReportThatIsDeliveredOnce() {
    storeConsentAndQueue(true);
    QProcess child;
    child.start(QStringLiteral(USAGE_CHILD_PATH),
                {settingsPath(), QStringLiteral("https://127.0.0.1:9/usage/receive.php")});
    QVERIFY(child.waitForStarted());
    QVERIFY(child.waitForReadyRead(30000));
    const QByteArray line = child.readLine().trimmed();
    QVERIFY2(line.startsWith("persisted "), line.constData());
    const QString childSession = QString::fromLatin1(line.mid(10));
    child.kill(); // SIGKILL: no clean-up of any kind
    QVERIFY(child.waitForFinished());
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);

    const std::optional<QList<PendingUsage>> left = storedQueue();
    QVERIFY(left);
    QCOMPARE(left->size(), 1);
    QCOMPARE(left->first().report, (UsageReport{QStringLiteral("Quillmarch"), childSession, 1}));

    UsageConfiguration configuration = this->configuration();
    configuration.retryInterval = 300ms;
    auto settings = openSettings();
    UsageStatistics statistics(settings.get(), configuration);
    statistics.begin();
    QTRY_VERIFY_WITH_TIMEOUT(statistics.pending().isEmpty(), 10000);
    QTest::qWait(1500); // several retry rounds

    const QList<UsageReport> reports = receivedReports();
    QCOMPARE(reports.size(), 2);
    QCOMPARE(reports.at(0), left->first().report);
    QCOMPARE(reports.at(1).session_id, statistics.sessionID());
}

QTEST_GUILESS_MAIN(UsageStatisticsTest)
#include "tst_usagestatistics.moc"
