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
    void reportEncodesCompactlyWithExactlyItsThreeMembers();
    void createdIsSecondsSinceTwoThousandOne();
    void sessionIdentifiersAreLowerCaseVersionFourUuids();
    void decodesStoredQueueStrictly_data();
    void decodesStoredQueueStrictly();
    void expiresAtExactlyThirtyDays();
    void judgesResponses_data();
    void judgesResponses();
};

namespace {

const QDateTime someTime = QDateTime(QDate(2026, 3, 1), QTime(12, 0), QTimeZone::utc());

PendingUsage entry(const QString &session, qint64 count, const QDateTime &created) {
    return PendingUsage{UsageReport{QStringLiteral("Quillmarch"), session, count}, created};
}

} // namespace

void UsageFormatsTest::reportEncodesCompactlyWithExactlyItsThreeMembers() {
    const UsageReport report{QStringLiteral("Quillmarch"),
                             QStringLiteral("0f8fad5b-d9cb-469f-a165-70867728950e"), 2};
    const QByteArray body = report.encoded();
    QVERIFY(!body.contains(' '));
    QVERIFY(!body.contains('\n'));
    const QJsonObject object = QJsonDocument::fromJson(body).object();
    QCOMPARE(object.keys(), (QStringList{QStringLiteral("action_count"), QStringLiteral("app"),
                                         QStringLiteral("session_id")}));
    QCOMPARE(UsageReport::fromJson(object), report);
    QVERIFY(!body.contains("created"));
}

void UsageFormatsTest::createdIsSecondsSinceTwoThousandOne() {
    const QDateTime created = QDateTime(QDate(2001, 1, 1), QTime(0, 0, 1, 500), QTimeZone::utc());
    const std::optional<QByteArray> bytes =
        UsageQueue::encode({entry(QStringLiteral("s"), 0, created)});
    QVERIFY(bytes);
    QVERIFY2(bytes->contains(R"("created":1.5)"), bytes->constData());
    const std::optional<QList<PendingUsage>> decoded = UsageQueue::decode(*bytes);
    QVERIFY(decoded);
    QCOMPARE(decoded->value(0).created, created);
    // Unix time minus 978,307,200.
    QCOMPARE(PendingUsage::secondsSinceReferenceDate(someTime),
             double(someTime.toSecsSinceEpoch() - 978307200));
}

void UsageFormatsTest::sessionIdentifiersAreLowerCaseVersionFourUuids() {
    static const QRegularExpression form(
        QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}$"));
    const QString first = UsageReport::newSessionID();
    QVERIFY2(form.match(first).hasMatch(), qPrintable(first));
    QVERIFY(first != UsageReport::newSessionID());
}

void UsageFormatsTest::decodesStoredQueueStrictly_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("entries"); // -1: the whole queue fails

    const QByteArray good =
        R"({"report":{"app":"Quillmarch","session_id":"a","action_count":3},"created":790000000.25})";
    auto queue = [&](const QByteArray &second) { return "[" + good + "," + second + "]"; };
    auto withReport = [](const QByteArray &report) {
        return R"({"report":)" + report + R"(,"created":790000000})";
    };

    QTest::newRow("two good entries") << queue(good) << 2;
    QTest::newRow("empty queue") << QByteArray("[]") << 0;
    QTest::newRow("unknown members ignored")
        << queue(
               R"({"report":{"app":"Q","session_id":"b","action_count":0,"x":1},"created":1,"y":[]})")
        << 2;
    QTest::newRow("whole-valued number count")
        << queue(withReport(R"({"app":"Q","session_id":"b","action_count":7.0})")) << 2;
    QTest::newRow("fractional count")
        << queue(withReport(R"({"app":"Q","session_id":"b","action_count":1.5})")) << -1;
    QTest::newRow("count as text")
        << queue(withReport(R"({"app":"Q","session_id":"b","action_count":"7"})")) << -1;
    QTest::newRow("count beyond 64 bits")
        << queue(withReport(R"({"app":"Q","session_id":"b","action_count":1e19})")) << -1;
    QTest::newRow("count missing") << queue(withReport(R"({"app":"Q","session_id":"b"})")) << -1;
    QTest::newRow("app as number")
        << queue(withReport(R"({"app":1,"session_id":"b","action_count":1})")) << -1;
    QTest::newRow("session missing") << queue(withReport(R"({"app":"Q","action_count":1})")) << -1;
    QTest::newRow("report as text") << queue(R"({"report":"x","created":1})") << -1;
    QTest::newRow("created missing")
        << queue(R"({"report":{"app":"Q","session_id":"b","action_count":1}})") << -1;
    QTest::newRow("created as text")
        << queue(R"({"report":{"app":"Q","session_id":"b","action_count":1},"created":"1"})") << -1;
    QTest::newRow("entry not an object") << queue("3") << -1;
    QTest::newRow("top level an object") << good << -1;
    QTest::newRow("malformed") << QByteArray("[{") << -1;
    QTest::newRow("empty bytes") << QByteArray() << -1;
}

void UsageFormatsTest::decodesStoredQueueStrictly() {
    QFETCH(QByteArray, stored);
    QFETCH(int, entries);
    const std::optional<QList<PendingUsage>> queue = UsageQueue::decode(stored);
    QCOMPARE(queue.has_value(), entries >= 0);
    if (queue && entries > 0) {
        QCOMPARE(queue->size(), entries);
        QCOMPARE(queue->first().report.action_count, 3);
        QCOMPARE(queue->first().created, PendingUsage::fromSecondsSinceReferenceDate(790000000.25));
        // What was read is written back the same way.
        QCOMPARE(UsageQueue::decode(*UsageQueue::encode(*queue)), queue);
    }
}

void UsageFormatsTest::expiresAtExactlyThirtyDays() {
    const QList<PendingUsage> queue{
        entry(QStringLiteral("30d"), 0, someTime.addSecs(-2'592'000)),
        entry(QStringLiteral("29d23h59m59s"), 0, someTime.addSecs(-2'591'999))};
    const QList<PendingUsage> kept = UsageQueue::trimmed(queue, someTime);
    QCOMPARE(kept.size(), 1);
    QCOMPARE(kept.first().report.session_id, QStringLiteral("29d23h59m59s"));
}

void UsageFormatsTest::judgesResponses_data() {
    QTest::addColumn<bool>("completed");
    QTest::addColumn<int>("status");
    QTest::addColumn<QUrl>("url");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("accepted");

    const QUrl endpoint(QStringLiteral("https://stats.example/usage/receive.php"));
    const QByteArray yes = R"({"accepted":true,"id":12})";
    QTest::newRow("accepted with further members") << true << 200 << endpoint << yes << true;
    QTest::newRow("status 201") << true << 201 << endpoint << yes << false;
    QTest::newRow("status 204") << true << 204 << endpoint << yes << false;
    QTest::newRow("status 500") << false << 500 << endpoint << yes << false;
    QTest::newRow("transport failure") << false << 200 << endpoint << yes << false;
    QTest::newRow("after a redirect")
        << true << 200 << QUrl(QStringLiteral("https://stats.example/usage/moved.php")) << yes
        << false;
    QTest::newRow("not JSON") << true << 200 << endpoint << QByteArray("accepted") << false;
    QTest::newRow("top-level array") << true << 200 << endpoint << QByteArray("[true]") << false;
    QTest::newRow("no accepted member") << true << 200 << endpoint << QByteArray("{}") << false;
    QTest::newRow("accepted false")
        << true << 200 << endpoint << QByteArray(R"({"accepted":false})") << false;
    QTest::newRow("accepted as text")
        << true << 200 << endpoint << QByteArray(R"({"accepted":"true"})") << false;
    QTest::newRow("accepted as number")
        << true << 200 << endpoint << QByteArray(R"({"accepted":1})") << false;
}

void UsageFormatsTest::judgesResponses() {
    QFETCH(bool, completed);
    QFETCH(int, status);
    QFETCH(QUrl, url);
    QFETCH(QByteArray, body);
    QFETCH(bool, accepted);
    const UsageResponse response{completed, status, url, body};
    QCOMPARE(response.isAccepted(QUrl(QStringLiteral("https://stats.example/usage/receive.php"))),
             accepted);
}

QTEST_GUILESS_MAIN(UsageFormatsTest)
#include "tst_usageformats.moc"
