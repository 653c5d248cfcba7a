// The localization check's run state: newest run wins, a superseded or cleared run never
// writes, and the check follows the bundle the launcher detected languages of.
#include "launcher/Launcher.h"
#include "launcher/LocalizationCheckModel.h"
#include "metadata/BundleFixture.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <QCoroTask>

namespace {

// A Mac app with an English table of `keys` strings and a French copy lacking `gap` of them,
// spread over `tables` tables.
QString makeApp(const QString &root, const QString &name, int tables, int keys, int gap) {
    const QString app = root + QLatin1Char('/') + name + QStringLiteral(".app");
    BundleFixture::writeFile(
        app + QStringLiteral("/Contents/Info.plist"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
        "<key>CFBundleDevelopmentRegion</key><string>en</string></dict></plist>");
    for (int t = 0; t < tables; ++t) {
        QByteArray english;
        QByteArray french;
        for (int k = 0; k < keys; ++k) {
            const QByteArray pair = "\"key." + QByteArray::number(k) + "\" = \"Text\";\n";
            english += pair;
            if (t > 0 || k >= gap)
                french += pair;
        }
        const QString file = QStringLiteral("/Table%1.strings").arg(t);
        BundleFixture::writeFile(app + QStringLiteral("/Contents/Resources/en.lproj") + file,
                                 english);
        BundleFixture::writeFile(app + QStringLiteral("/Contents/Resources/fr.lproj") + file,
                                 french);
    }
    return app;
}

} // namespace

class LocalizationCheckModelTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;

private Q_SLOTS:
    void newestRunWins() {
        // The first bundle takes far longer to read, so its run ends after the second one's.
        const QString slow = makeApp(m_root.path(), QStringLiteral("Slow"), 40, 2000, 7);
        const QString quick = makeApp(m_root.path(), QStringLiteral("Quick"), 1, 10, 3);
        LocalizationCheckModel model;
        QSignalSpy reports(&model, &LocalizationCheckModel::reportChanged);
        QCoro::Task<> first = model.check(slow);
        QCoro::Task<> second = model.check(quick);
        QCoro::waitFor(std::move(second));
        QCoro::waitFor(std::move(first));
        QVERIFY(!model.checking());
        QVERIFY(model.report());
        QCOMPARE(model.report()->bundlePath, quick);
        QCOMPARE(model.report()->summary(), QStringLiteral("1 problem — fr: 3 strings missing"));
        // Written once, by the newest run; the superseded one never writes.
        QCOMPARE(reports.size(), 1);
    }

    void clearSupersedesRunningCheck() {
        const QString app = makeApp(m_root.path(), QStringLiteral("Cleared"), 10, 500, 1);
        LocalizationCheckModel model;
        QCoro::Task<> run = model.check(app);
        QVERIFY(model.checking());
        model.clear();
        QVERIFY(!model.checking());
        QCoro::waitFor(std::move(run));
        QVERIFY(!model.checking());
        QVERIFY(!model.report());

        // A path that is no bundle ends in a failure text, not in a report.
        QCoro::waitFor(model.check(m_root.filePath(QStringLiteral("Missing.app"))));
        QVERIFY(!model.report());
        QVERIFY(!model.failure().isEmpty());
    }

    void followsDetectedBundle() {
        const QString app = makeApp(m_root.path(), QStringLiteral("Followed"), 2, 20, 5);
        QSettings store(m_root.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
        Launcher launcher(&store, DeveloperToolPaths{"/nonexistent/xcrun", "/nonexistent/open"});
        LocalizationCheckModel model(&launcher);
        launcher.setMacMode(true);
        launcher.setMacApp(QUrl::fromLocalFile(app));
        QCoro::waitFor(launcher.detectLanguages());
        QCOMPARE(launcher.detectedBundlePath(), app);
        QTRY_VERIFY(model.report().has_value());
        QCOMPARE(model.report()->summary(), QStringLiteral("1 problem — fr: 5 strings missing"));

        // Detecting again (here: no app any more) clears the report until a bundle is found.
        launcher.setMacApp(QUrl());
        QCoro::waitFor(launcher.detectLanguages());
        QVERIFY(launcher.detectedBundlePath().isEmpty());
        QVERIFY(!model.report());
        QVERIFY(!model.checking());
    }
};

QTEST_GUILESS_MAIN(LocalizationCheckModelTest)
#include "tst_localization_check_model.moc"
