// The localization check's run state: newest run wins, a superseded or cleared run never
// writes, and the check follows the bundle the launcher detected languages of.
#include "launcher/Launcher.h"
#include "launcher/LocalizationCheckModel.h"
#include "metadata/BundleFixture.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <QCoroTask>

#include <memory>
#include <sys/stat.h>

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

// A Mac app whose check reads for a minute or more: two thousand languages, each with the
// English table of two megabytes through a link.
QString makeSlowApp(const QString &root) {
    const QString app = root + QStringLiteral("/Long.app");
    if (QFileInfo::exists(app))
        return app;
    BundleFixture::writeFile(
        app + QStringLiteral("/Contents/Info.plist"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
        "<key>CFBundleDevelopmentRegion</key><string>en</string></dict></plist>");
    QByteArray table;
    for (int k = 0; table.size() < 2 * 1024 * 1024; ++k)
        table += "\"key." + QByteArray::number(k) + "\" = \"Some text to translate\";\n";
    const QString resources = app + QStringLiteral("/Contents/Resources/");
    BundleFixture::writeFile(resources + QStringLiteral("en.lproj/Localizable.strings"), table);
    for (int language = 0; language < 2000; ++language) {
        const QString folder = resources + QStringLiteral("x%1.lproj").arg(language);
        QDir().mkpath(folder);
        QFile::link(QStringLiteral("../en.lproj/Localizable.strings"),
                    folder + QStringLiteral("/Localizable.strings"));
    }
    return app;
}

// Notes when a check's task is done: a check ends once its worker does.
QCoro::Task<> noteEnd(QCoro::Task<> check, std::shared_ptr<bool> ended) {
    co_await std::move(check);
    *ended = true;
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

    // A worker whose check is no longer wanted stops within the file it reads: the pool is
    // free long before the slow bundle could have been read.
    void unwantedCheckStopsReading_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("superseded") << "superseded";
        QTest::newRow("cleared") << "cleared";
        QTest::newRow("model destroyed") << "destroyed";
    }
    void unwantedCheckStopsReading() {
        QFETCH(QString, how);
        const QString slow = makeSlowApp(m_root.path());
        const QString quick = makeApp(m_root.path(), QStringLiteral("Next"), 1, 10, 3);
        auto model = std::make_unique<LocalizationCheckModel>();
        QCoro::waitFor(model->check(quick));
        QVERIFY(model->report());
        const auto ended = std::make_shared<bool>(false);
        QCoro::Task<> reading = noteEnd(model->check(slow), ended);
        QVERIFY(model->checking());
        QVERIFY(!model->report()); // the earlier outcome goes while another bundle is read
        QTest::qWait(200);
        if (how == "superseded")
            QCoro::waitFor(model->check(quick));
        else if (how == "cleared")
            model->clear();
        else
            model.reset();
        QTRY_VERIFY2_WITH_TIMEOUT(*ended, "the check no longer wanted is still reading", 5000);
        if (how == "superseded")
            QCOMPARE(model->report()->bundlePath, quick);
    }

    // The application waits for the pool's threads as it ends: neither a named pipe in the
    // bundle nor a long read may keep it from quitting.
    void quittingEndsWithinASecond_data() {
        QTest::addColumn<QString>("pipe"); // inside the bundle; empty for the slow bundle
        QTest::addColumn<QString>("quitDuring");
        QTest::newRow("named pipe as a table") << "Contents/Resources/fr.lproj/Localizable.strings"
                                               << "check";
        QTest::newRow("named pipe as Info.plist") << "Contents/Info.plist"
                                                  << "detection";
        QTest::newRow("long read") << QString() << "check";
    }
    void quittingEndsWithinASecond() {
        QFETCH(QString, pipe);
        QFETCH(QString, quitDuring);
        QTemporaryDir root;
        const QString app = pipe.isEmpty()
                                ? makeSlowApp(m_root.path())
                                : makeApp(root.path(), QStringLiteral("Piped"), 1, 10, 3);
        if (!pipe.isEmpty()) {
            QFile::remove(app + QLatin1Char('/') + pipe);
            QCOMPARE(::mkfifo(QFile::encodeName(app + QLatin1Char('/') + pipe).constData(), 0600),
                     0);
        }
        QProcess child;
        child.start(QStringLiteral(QUIT_DURING_CHECK), {app, quitDuring});
        QVERIFY(child.waitForStarted());
        const QDeadlineTimer started(60'000);
        while (!child.canReadLine() && !started.hasExpired() && child.state() == QProcess::Running)
            child.waitForReadyRead(100);
        QCOMPARE(child.readLine().trimmed(), QByteArray("quitting"));
        const bool ended = child.waitForFinished(1000);
        if (!ended) {
            child.kill();
            child.waitForFinished();
        }
        QVERIFY2(ended, "still running a second after quitting");
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
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
        // Which goes with the next check, or with clearing.
        QCoro::Task<> again = model.check(app);
        QVERIFY(model.failure().isEmpty());
        QCoro::waitFor(std::move(again));
        QCoro::waitFor(model.check(m_root.filePath(QStringLiteral("Missing.app"))));
        model.clear();
        QVERIFY(model.failure().isEmpty());
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

        // A check made later starts from what the launcher has detected.
        LocalizationCheckModel later(&launcher);
        QTRY_VERIFY(later.report().has_value());
        QCOMPARE(later.report()->bundlePath, app);

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
