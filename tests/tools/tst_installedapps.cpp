#include "tools/Error.h"
#include "tools/InstalledApps.h"
#include "tools/PropertyList.h"

#include <QFile>
#include <QPixmap>
#include <QTest>

namespace {

QIcon noIcon(const QVariantMap &) {
    return QIcon();
}

QStringList namesOf(const QList<InstalledApp> &apps) {
    QStringList names;
    for (const InstalledApp &app : apps)
        names << app.name;
    return names;
}

QStringList idsOf(const QList<InstalledApp> &apps) {
    QStringList ids;
    for (const InstalledApp &app : apps)
        ids << app.id;
    return ids;
}

QByteArray xmlReport(const QByteArray &entries) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + entries +
           "</dict></plist>\n";
}

QByteArray toolReport() {
    QFile file(QStringLiteral(TOOLS_TEST_DATA "/apps/listapps.txt"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class InstalledAppsTest : public QObject {
    Q_OBJECT

private slots:
    void namesAndOrder_data() {
        QTest::addColumn<QByteArray>("report");
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<QStringList>("names");

        QTest::newRow("tool report")
            << toolReport()
            << QStringList{"com.example.rocket",  "com.apple.mobilecal",    "com.example.bare",
                           "com.example.elan",    "com.apple.Maps",         "com.example.notes2",
                           "com.example.notes10", "com.apple.mobilesafari", "com.apple.Preferences",
                           "com.example.ditu"}
            << QStringList{"🚀 Rocket", "Calendar", "com.example.bare", "élan",     "Maps",
                           "Notes 2",  "notes 10", "Safari",           "Settings", "地图"};
        QTest::newRow("display name before bundle name")
            << QByteArray(R"({ a = { CFBundleDisplayName = Shown; CFBundleName = Bundle; }; })")
            << QStringList{"a"} << QStringList{"Shown"};
        QTest::newRow("display name that is not text")
            << xmlReport("<key>a</key><dict><key>CFBundleDisplayName</key><integer>7</integer>"
                         "<key>CFBundleName</key><string>Bundle</string></dict>")
            << QStringList{"a"} << QStringList{"Bundle"};
        QTest::newRow("no name that is text")
            << xmlReport("<key>com.x.y</key><dict><key>CFBundleName</key><array/></dict>")
            << QStringList{"com.x.y"} << QStringList{"com.x.y"};
        QTest::newRow("empty display name kept, sorts first")
            << QByteArray(
                   R"({ a = { CFBundleName = Alpha; }; b = { CFBundleDisplayName = ""; CFBundleName = Beta; }; })")
            << QStringList{"b", "a"} << QStringList{"", "Alpha"};
        QTest::newRow("digit runs by value")
            << QByteArray(
                   R"({ a = { CFBundleName = "Item 10"; }; b = { CFBundleName = "Item 2"; }; c = { CFBundleName = "Item 1"; }; })")
            << QStringList{"c", "b", "a"} << QStringList{"Item 1", "Item 2", "Item 10"};
        QTest::newRow("case ignored, equal names stable (upper first)")
            << QByteArray(
                   R"({ a = { CFBundleName = Maps; }; b = { CFBundleName = maps; }; c = { CFBundleName = apple; }; })")
            << QStringList{"c", "a", "b"} << QStringList{"apple", "Maps", "maps"};
        QTest::newRow("accents still count")
            << QByteArray(
                   R"({ a = { CFBundleName = "r\U00e9sum\U00e9"; }; b = { CFBundleName = Resume; }; c = { CFBundleName = resume; }; })")
            << QStringList{"b", "c", "a"} << QStringList{"Resume", "resume", "résumé"};
        QTest::newRow("empty report") << QByteArray("{ }") << QStringList() << QStringList();
    }

    void namesAndOrder() {
        QFETCH(QByteArray, report);
        QFETCH(QStringList, ids);
        QFETCH(QStringList, names);
        const QList<InstalledApp> apps = InstalledApps::decode(report, noIcon);
        QCOMPARE(namesOf(apps), names);
        QCOMPARE(idsOf(apps), ids);
    }

    void wrongShape_data() {
        QTest::addColumn<QByteArray>("report");

        QTest::newRow("top level array") << QByteArray("( { CFBundleName = A; } )");
        QTest::newRow("top level integer")
            << xmlReport("").replace("<dict></dict>", "<integer>1</integer>");
        QTest::newRow("one entry an array among valid ones")
            << QByteArray("{ a = { CFBundleName = A; }; b = ( x ); c = { CFBundleName = C; }; }");
        QTest::newRow("one entry a string") << QByteArray("{ a = { CFBundleName = A; }; b = B; }");
    }

    void wrongShape() {
        QFETCH(QByteArray, report);
        try {
            InstalledApps::decode(report, noIcon);
            QFAIL("decoded");
        } catch (const ToolFailure &failure) {
            QCOMPARE(failure.message(), QStringLiteral("Could not read installed apps."));
        }
    }

    void readerErrorsPropagate() {
        QVERIFY_THROWS_EXCEPTION(PropertyList::ParseError,
                                 InstalledApps::decode("{ a = { CFBundleName = A; ", noIcon));
        QVERIFY_THROWS_EXCEPTION(
            PropertyList::ParseError,
            InstalledApps::decode("<?xml version=\"1.0\"?><plist><dict>", noIcon));
    }

    void iconLoaderGetsEachInformationDictionary() {
        QList<QVariantMap> seen;
        const auto loader = [&seen](const QVariantMap &info) {
            seen << info;
            QPixmap pixmap(int(seen.size()), 1); // tells the icons apart by width
            pixmap.fill(Qt::red);
            return QIcon(pixmap);
        };
        const QList<InstalledApp> apps = InstalledApps::decode(toolReport(), loader);
        QCOMPARE(seen.size(), apps.size());
        for (const InstalledApp &app : apps) {
            const int call = app.icon.availableSizes().value(0).width() - 1;
            QVERIFY(call >= 0 && call < seen.size());
            QCOMPARE(seen[call].value("CFBundleIdentifier").toString(), app.id);
            QVERIFY(seen[call].value("Path").toString().endsWith(".app"));
        }
    }
};

QTEST_MAIN(InstalledAppsTest)
#include "tst_installedapps.moc"
