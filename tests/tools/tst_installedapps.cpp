#include "tools/Error.h"
#include "tools/InstalledApps.h"
#include "tools/PropertyList.h"

#include <QPixmap>
#include <QTest>

namespace {

QStringList pick(const QList<InstalledApp> &apps, QString InstalledApp::*member) {
    QStringList values;
    for (const InstalledApp &app : apps)
        values << app.*member;
    return values;
}

// The tool's layout: keys sorted, nested containers, quoted paths and escapes.
const QByteArray toolReport = R"({
    "com.example.bare" =     {
        ApplicationType = User;
        Path = "/Apps/Bare Tool.app";
    };
    "com.example.ditu" =     {
        CFBundleDisplayName = "\U5730\U56fe";
        CFBundleName = Ditu;
    };
    "com.example.notes10" =     {
        CFBundleName = "notes 10";
        GroupContainers =         {
        };
    };
    "com.example.notes2" =     {
        CFBundleDisplayName = "Notes 2";
        CFBundleName = Notes;
        SBAppTags =         (
        );
    };
    "com.example.rocket" =     {
        CFBundleDisplayName = "\Ud83d\Ude80 Rocket";
    };
})";

} // namespace

class InstalledAppsTest : public QObject {
    Q_OBJECT

private slots:
    void namesAndOrder_data() {
        QTest::addColumn<QByteArray>("report");
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<QStringList>("names");

        // Display name before bundle name, the identifier without either, digit runs by value.
        QTest::newRow("tool report")
            << toolReport
            << QStringList{"com.example.rocket", "com.example.bare", "com.example.notes2",
                           "com.example.notes10", "com.example.ditu"}
            << QStringList{"🚀 Rocket", "com.example.bare", "Notes 2", "notes 10", "地图"};
        QTest::newRow("names that are not text skipped")
            << QByteArray("{ a = { CFBundleDisplayName = <07>; CFBundleName = Bundle; };"
                          "  b = { CFBundleName = (); }; }")
            << QStringList{"b", "a"} << QStringList{"b", "Bundle"};
        QTest::newRow("empty display name kept, sorts first")
            << QByteArray(R"({ a = { CFBundleName = Alpha; }; b = { CFBundleDisplayName = "";
                              CFBundleName = Beta; }; })")
            << QStringList{"b", "a"} << QStringList{"", "Alpha"};
        QTest::newRow("case ignored, equal names stable")
            << QByteArray("{ a = { CFBundleName = Maps; }; b = { CFBundleName = maps; };"
                          "  c = { CFBundleName = apple; }; }")
            << QStringList{"c", "a", "b"} << QStringList{"apple", "Maps", "maps"};
        QTest::newRow("accents still count")
            << QByteArray(R"({ a = { CFBundleName = "r\U00e9sum\U00e9"; };
                              b = { CFBundleName = Resume; }; c = { CFBundleName = resume; }; })")
            << QStringList{"b", "c", "a"} << QStringList{"Resume", "resume", "résumé"};
        QTest::newRow("empty report") << QByteArray("{ }") << QStringList() << QStringList();

        const QStringList wrongShape{"Could not read installed apps."};
        QTest::newRow("top level array")
            << QByteArray("( { CFBundleName = A; } )") << QStringList() << wrongShape;
        QTest::newRow("one entry not a dictionary")
            << QByteArray("{ a = { CFBundleName = A; }; b = B; }") << QStringList() << wrongShape;
        QTest::newRow("unreadable report is the reader's error")
            << QByteArray("{ a = { CFBundleName = A; ") << QStringList()
            << QStringList{"The data couldn’t be read because it isn’t in the correct format. "
                           "Unexpected end of data at line 1; expected '}'."};
    }

    void namesAndOrder() {
        QFETCH(QByteArray, report);
        QFETCH(QStringList, ids);
        QFETCH(QStringList, names);
        QList<QVariantMap> seen;
        const auto loader = [&seen](const QVariantMap &info) {
            seen << info;
            return QIcon(QPixmap(int(seen.size()), 1)); // tells the icons apart by width
        };
        QList<InstalledApp> apps;
        try {
            apps = InstalledApps::decode(report, loader);
        } catch (const Error &error) { // a failing row names the error instead of the apps
            QCOMPARE(QStringList{error.description()}, names);
            return;
        }
        QCOMPARE(pick(apps, &InstalledApp::name), names);
        QCOMPARE(pick(apps, &InstalledApp::id), ids);
        // Each app keeps the icon made from its own information dictionary.
        const QVariantMap entries = PropertyList::read(report).toMap();
        QCOMPARE(seen.size(), apps.size());
        for (const InstalledApp &app : apps)
            QCOMPARE(seen.value(app.icon.availableSizes().value(0).width() - 1),
                     entries.value(app.id).toMap());
    }
};

QTEST_MAIN(InstalledAppsTest)
#include "tst_installedapps.moc"
