#include "tools/DeviceList.h"
#include "tools/Error.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

struct Entry {
    QString runtime;
    QString name;
    QString udid;
    bool available = true;
};

// A report in the tool's shape, with a few of the members the decoder must ignore.
QByteArray report(const QList<Entry> &entries) {
    QJsonObject runtimes;
    for (const Entry &entry : entries) {
        QJsonArray devices = runtimes.value(entry.runtime).toArray();
        devices.append(QJsonObject{{"udid", entry.udid},
                                   {"name", entry.name},
                                   {"state", "Shutdown"},
                                   {"isAvailable", entry.available},
                                   {"dataPathSize", 0},
                                   {"deviceTypeIdentifier", "com.apple.CoreSimulator.x"}});
        runtimes.insert(entry.runtime, devices);
    }
    return QJsonDocument(QJsonObject{{"devices", runtimes}, {"extra", true}}).toJson();
}

QStringList udids(const QList<SimulatorDevice> &devices) {
    QStringList result;
    for (const SimulatorDevice &device : devices)
        result << device.udid;
    return result;
}

const QString ios17 = QStringLiteral("com.apple.CoreSimulator.SimRuntime.iOS-17-5");
const QString ios18 = QStringLiteral("com.apple.CoreSimulator.SimRuntime.iOS-18-1");

} // namespace

class DeviceListTest : public QObject {
    Q_OBJECT

private slots:
    void availableDevicesInOrder_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QStringList>("expected");

        QFile file(QStringLiteral(TOOLS_TEST_DATA "/devices/report.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTest::newRow("tool report, several runtimes")
            << file.readAll()
            << QStringList{
                   "7D0B2E61-4444-4111-B222-000000000006", "F00DCAFE-2222-4CCC-9DDD-000000000004",
                   "5C7A8F2E-0B61-4E0B-9C5F-2D0F6B7E1A01", "5C7A8F2E-3333-4EEE-AFFF-000000000005",
                   "A1B2C3D4-1111-4AAA-8BBB-000000000003"};
        QTest::newRow("names, not identifiers or runtimes")
            << report(
                   {{ios18, "iPhone 15", "1"}, {ios17, "iPad Air", "2"}, {ios18, "Apple TV", "3"}})
            << QStringList{"3", "2", "1"};
        QTest::newRow("case-sensitive code-point order")
            << report({{ios17, "iPhone", "1"}, {ios17, "apple", "2"}, {ios17, "Zebra", "3"}})
            << QStringList{"3", "2", "1"};
        QTest::newRow("unavailable devices left out")
            << report({{ios17, "A", "1", false}, {ios18, "B", "2"}, {ios18, "C", "3", false}})
            << QStringList{"2"};
        QTest::newRow("equal names keep flattened order") << report({{ios18, "iPhone 15", "1"},
                                                                     {ios17, "iPhone 15", "2"},
                                                                     {ios17, "iPhone 15", "3"}})
                                                          << QStringList{"2", "3", "1"};
        QTest::newRow("compared after canonical composition")
            << report({{ios17, "E\u0301cran", "decomposed"},
                       {ios17, "Fenster", "2"},
                       {ios17, "\u00C9cran", "precomposed"}})
            << QStringList{"2", "decomposed", "precomposed"};
        QTest::newRow("characters beyond U+FFFF after U+E000")
            << report({{ios17, "😀 Phone", "astral"},
                       {ios17, "\uE000 Phone", "private use"},
                       {ios17, "\uFF21 Phone", "fullwidth"}})
            << QStringList{"private use", "fullwidth", "astral"};
    }

    void availableDevicesInOrder() {
        QFETCH(QByteArray, json);
        QFETCH(QStringList, expected);
        QCOMPARE(udids(DeviceList::decode(json).availableDevices()), expected);
    }

    void lookupAcrossRuntimes() {
        QFile file(QStringLiteral(TOOLS_TEST_DATA "/devices/report.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const DeviceList list = DeviceList::decode(file.readAll());
        QCOMPARE(list.flattened().size(), 6);
        const SimulatorDevice booted{"A1B2C3D4-1111-4AAA-8BBB-000000000003", "iPhone 16 Pro",
                                     "Booted", true};
        QCOMPARE(list.device(booted.udid), booted);
        QCOMPARE(list.device("0E4D9B13-7F22-4C38-8A50-6B9E3D2C4F02").value().isAvailable, false);
        QVERIFY(!list.device("A1B2C3D4").has_value());

        const DeviceList twice =
            DeviceList::decode(report({{ios18, "Later", "1"}, {ios17, "First", "1"}}));
        QCOMPARE(twice.device("1").value().name, QStringLiteral("First"));
    }

    void rejectsTheWrongShape_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("description");

        const QString format =
            QStringLiteral("The data couldn’t be read because it isn’t in the correct format.");
        const QString missing = QStringLiteral("The data couldn’t be read because it is missing.");
        const QByteArray valid = R"("udid":"1","name":"n","state":"Shutdown","isAvailable":true)";
        const auto device = [&](const QByteArray &members) {
            return R"({"devices":{"rt":[{)" + members + "}]}}";
        };

        QTest::newRow("not JSON") << QByteArray("devices: none") << format;
        QTest::newRow("top level is an array") << QByteArray(R"([{"devices":{}}])")
                                               << format + " Expected an object at the top level.";
        QTest::newRow("no devices member")
            << QByteArray(R"({"runtimes":{}})") << missing + " No value for “devices”.";
        QTest::newRow("runtime value is an object")
            << QByteArray(R"({"devices":{"rt":{}}})")
            << format + " Expected an array at “devices › rt”.";
        QTest::newRow("device is a string")
            << QByteArray(R"({"devices":{"rt":["iPhone"]}})")
            << format + " Expected an object at “devices › rt › 0”.";
        QTest::newRow("isAvailable as a string")
            << device(R"("udid":"1","name":"n","state":"Shutdown","isAvailable":"true")")
            << format + " Expected a boolean at “devices › rt › 0 › isAvailable”.";
        QTest::newRow("name as a number")
            << device(R"("udid":"1","name":15,"state":"Shutdown","isAvailable":true)")
            << format + " Expected a string at “devices › rt › 0 › name”.";
        QTest::newRow("state is null")
            << device(R"("udid":"1","name":"n","state":null,"isAvailable":true)")
            << missing + " No value for “devices › rt › 0 › state”.";
        QTest::newRow("second device wrong, first fine")
            << QByteArray(R"({"devices":{"a":[{)" + valid + R"(}],"b":[{)" + valid + R"(},{}]}})")
            << missing + " No value for “devices › b › 1 › udid”.";
    }

    void rejectsTheWrongShape() {
        QFETCH(QByteArray, json);
        QFETCH(QString, description);
        try {
            DeviceList::decode(json);
            QFAIL("decoded");
        } catch (const PlatformError &error) {
            QVERIFY2(error.description().startsWith(description), qPrintable(error.description()));
        }
    }
};

QTEST_GUILESS_MAIN(DeviceListTest)
#include "tst_devicelist.moc"
