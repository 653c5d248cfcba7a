#include "tools/DeviceList.h"
#include "tools/Error.h"

#include <QTest>

namespace {

const QByteArray valid = R"("udid":"1","name":"n","state":"Shutdown","isAvailable":true)";

// One runtime's devices with the given names and the udids "1", "2", ….
QByteArray report(const QStringList &names) {
    QStringList devices;
    for (const QString &name : names)
        devices << QStringLiteral(R"({"udid":"%1","name":"%2","state":"","isAvailable":true})")
                       .arg(devices.size() + 1)
                       .arg(name);
    return (R"({"devices":{"rt":[)" + devices.join(',') + "]}}").toUtf8();
}

// Two runtimes (their members sorted by name, as JSON objects are read), an unavailable device
// and members the decoder does not know.
const QByteArray toolReport = R"({"devices":{
    "rt.B":[{"udid":"B1","name":"iPhone 16","state":"Shutdown","isAvailable":true,"logPath":"/l",
             "dataPathSize":12,"extra":{"k":[1,null]}},
            {"udid":"B2","name":"iPad","state":"Shutdown","isAvailable":false,
             "availabilityError":"runtime profile not found"}],
    "rt.A":[{"udid":"A1","name":"iPhone 16","state":"Booted","isAvailable":true},
            {"udid":"A2","name":"Apple TV","state":"Shutdown","isAvailable":true}]}})";

} // namespace

class DeviceListTest : public QObject {
    Q_OBJECT

private slots:
    void availableDevices_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QStringList>("expected"); // udids in order, or the error's description

        // By name across runtimes, unavailable devices left out, equal names in flattened order,
        // unknown members ignored.
        QTest::newRow("tool report") << toolReport << QStringList{"A2", "A1", "B1"};
        QTest::newRow("case-sensitive code-point order")
            << report({"iPhone", "apple", "Zebra"}) << QStringList{"3", "2", "1"};
        QTest::newRow("compared after canonical composition")
            << report({"E\u0301cran", "Fenster", "\u00C9cran"}) << QStringList{"2", "1", "3"};
        QTest::newRow("characters beyond U+FFFF after U+E000")
            << report({"😀 Phone", "\uE000 Phone", "\uFF21 Phone"}) << QStringList{"2", "3", "1"};

        const QString format =
            QStringLiteral("The data couldn’t be read because it isn’t in the correct format.");
        const QString missing = QStringLiteral("The data couldn’t be read because it is missing.");
        const auto fails = [](const char *name, const QByteArray &json, const QString &error) {
            QTest::newRow(name) << json << QStringList{error};
        };
        // Qt words the parser's complaint; only our part of the text is fixed.
        fails("not JSON", "devices: none", format + " The JSON is not valid…");
        fails("top level is an array", R"([{"devices":{}}])",
              format + " Expected an object at the top level.");
        fails("no devices member", R"({"runtimes":{}})", missing + " No value for “devices”.");
        fails("device is a string", R"({"devices":{"rt":["iPhone"]}})",
              format + " Expected an object at “devices › rt › 0”.");
        fails("isAvailable as a string",
              R"({"devices":{"rt":[{"udid":"1","name":"n","state":"","isAvailable":"true"}]}})",
              format + " Expected a boolean at “devices › rt › 0 › isAvailable”.");
        fails("state is null",
              R"({"devices":{"rt":[{"udid":"1","name":"n","state":null,"isAvailable":true}]}})",
              missing + " No value for “devices › rt › 0 › state”.");
        fails("second device wrong, first fine",
              R"({"devices":{"a":[{)" + valid + R"(}],"b":[{)" + valid + R"(},{}]}})",
              missing + " No value for “devices › b › 1 › udid”.");
    }

    void availableDevices() {
        QFETCH(QByteArray, json);
        QFETCH(QStringList, expected);
        QStringList udids;
        try {
            for (const SimulatorDevice &device : DeviceList::decode(json).availableDevices())
                udids << device.udid;
        } catch (const PlatformError &error) {
            udids << error.description();
        }
        const QString expectedText = expected.value(0);
        if (expected.size() == 1 && expectedText.endsWith(QChar(u'…')))
            QVERIFY2(udids.value(0).startsWith(expectedText.chopped(1)),
                     qPrintable(udids.value(0)));
        else
            QCOMPARE(udids, expected);
    }

    void lookupAcrossRuntimes() {
        const DeviceList list = DeviceList::decode(toolReport);
        QCOMPARE(list.flattened().size(), 4);
        const SimulatorDevice booted{"A1", "iPhone 16", "Booted", true};
        QCOMPARE(list.device(booted.udid), booted);
        QCOMPARE(list.device("B2").value().isAvailable, false);
        QVERIFY(!list.device("A").has_value());
        // The same udid under two runtimes: the first runtime's device.
        const QByteArray twice = R"({"devices":{"b":[{)" + valid + R"(}],"a":[{)" +
                                 QByteArray(valid).replace("\"n\"", "\"First\"") + "}]}}";
        QCOMPARE(DeviceList::decode(twice).device("1").value().name, QStringLiteral("First"));
    }
};

QTEST_GUILESS_MAIN(DeviceListTest)
#include "tst_devicelist.moc"
