#include "usage/PendingUsage.h"
#include "usage/UsageQueue.h"
#include "usage/UsageReport.h"
#include "usage/UsageResponse.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTest>
#include <QTimeZone>

class UsageFormatsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void encodesReportsQueuesAndSessions() {
        const UsageReport report{QStringLiteral("Quillmarch"),
                                 QStringLiteral("0f8fad5b-d9cb-469f-a165-70867728950e"), 2};
        const QByteArray body = report.encoded();
        QVERIFY(!body.contains(' ') && !body.contains('\n'));
        QCOMPARE(UsageReport::fromJson(QJsonDocument::fromJson(body).object()), report);

        // "created" counts seconds, with fraction, since 2001-01-01 UTC.
        const QDateTime created(QDate(2001, 1, 1), QTime(0, 0, 1, 500), QTimeZone::utc());
        const std::optional<QByteArray> bytes =
            UsageQueue::encode({PendingUsage{{"Quillmarch", "s", 0}, created}});
        QVERIFY2(bytes && bytes->contains(R"("created":1.5)"), bytes.value_or("").constData());
        QCOMPARE(UsageQueue::decode(*bytes).value().value(0).created, created);

        static const QRegularExpression version4(QStringLiteral(
            "^[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}$"));
        const QString session = UsageReport::newSessionID();
        QVERIFY2(version4.match(session).hasMatch(), qPrintable(session));
        QVERIFY(session != UsageReport::newSessionID());
    }

    void decodesStoredQueueStrictly_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("entries"); // -1: the whole queue fails
        const QByteArray good =
            R"({"report":{"app":"Quillmarch","session_id":"a","action_count":3},"created":790000000.25})";
        const auto queue = [&](const QByteArray &next) { return "[" + good + "," + next + "]"; };
        const auto withReport = [&](const QByteArray &report) {
            return queue(R"({"report":)" + report + R"(,"created":790000000})");
        };
        const auto withCount = [&](const QByteArray &count) {
            return withReport(R"({"app":"Q","session_id":"b","action_count":)" + count + "}");
        };
        QTest::newRow("two good entries") << queue(good) << 2;
        QTest::newRow("empty queue") << QByteArray("[]") << 0;
        QTest::newRow("unknown members ignored")
            << withReport(R"({"app":"Q","session_id":"b","action_count":0,"x":1},"y":[])") << 2;
        QTest::newRow("whole-valued number count") << withCount("7.0") << 2;
        QTest::newRow("fractional count") << withCount("1.5") << -1;
        QTest::newRow("count as text") << withCount(R"("7")") << -1;
        QTest::newRow("count beyond 64 bits") << withCount("1e19") << -1;
        QTest::newRow("app as number")
            << withReport(R"({"app":1,"session_id":"b","action_count":1})") << -1;
        QTest::newRow("session missing") << withReport(R"({"app":"Q","action_count":1})") << -1;
        QTest::newRow("report as text") << queue(R"({"report":"x","created":1})") << -1;
        const QByteArray report = R"({"report":{"app":"Q","session_id":"b","action_count":1})";
        QTest::newRow("created as text") << queue(report + R"(,"created":"1"})") << -1;
        QTest::newRow("entry not an object") << queue("3") << -1;
        QTest::newRow("top level an object") << good << -1;
        QTest::newRow("malformed") << QByteArray("[{") << -1;
    }

    void decodesStoredQueueStrictly() {
        QFETCH(QByteArray, stored);
        QFETCH(int, entries);
        const std::optional<QList<PendingUsage>> queue = UsageQueue::decode(stored);
        QCOMPARE(queue ? queue->size() : -1, entries);
        if (entries > 0) { // the first entry read intact, and written back the same way
            QCOMPARE(queue->first().report, (UsageReport{QStringLiteral("Quillmarch"), "a", 3}));
            QCOMPARE(queue->first().created,
                     PendingUsage::fromSecondsSinceReferenceDate(790000000.25));
            QCOMPARE(UsageQueue::decode(*UsageQueue::encode(*queue)), queue);
        }
    }

    void expiresAtExactlyThirtyDays() {
        const QDateTime now(QDate(2026, 3, 1), QTime(12, 0), QTimeZone::utc());
        const QList<PendingUsage> queue{
            PendingUsage{{"Quillmarch", "30d", 0}, now.addSecs(-2'592'000)},
            PendingUsage{{"Quillmarch", "29d23h59m59s", 0}, now.addSecs(-2'591'999)}};
        QCOMPARE(UsageQueue::trimmed(queue, now), queue.mid(1));
    }

    // Statuses, redirects, transport failures and bodies that are not JSON are judged in the
    // end-to-end test against the local server; these are the bodies it never sends.
    void judgesResponseBodies_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("accepted with further members")
            << QByteArray(R"({"accepted":true,"id":1})") << true;
        QTest::newRow("top-level array") << QByteArray("[true]") << false;
        QTest::newRow("no accepted member") << QByteArray("{}") << false;
        QTest::newRow("accepted false") << QByteArray(R"({"accepted":false})") << false;
    }

    void judgesResponseBodies() {
        QFETCH(QByteArray, body);
        QFETCH(bool, accepted);
        const QUrl endpoint(QStringLiteral("https://stats.example/usage/receive.php"));
        QCOMPARE((UsageResponse{true, 200, endpoint, body}.isAccepted(endpoint)), accepted);
    }
};

QTEST_GUILESS_MAIN(UsageFormatsTest)
#include "tst_usageformats.moc"
