// The gallery model driving the stand-in developer tools through the real command runner.
#include "GalleryFixture.h"

#include "gallery/GalleryTexts.h"
#include "gallery/ScreenComparison.h"
#include "tools/Error.h"

#include <QCoroTask>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <tuple>
#include <utility>

namespace {

const QString iPad = QString::fromLatin1(StandinDeviceSet::iPadPro);
const QString iPhone = QString::fromLatin1(StandinDeviceSet::iPhone16Pro);

bool waitForEnd(LanguageGallery &gallery) {
    return QTest::qWaitFor([&] { return !gallery.running(); }, 60000);
}

// "fr settled", "de unsettled", or the language and the first line of its error.
QString summary(const GalleryShot &shot) {
    if (shot.error)
        return shot.language + QStringLiteral(": ") + shot.error->section(QLatin1Char('\n'), 0, 0);
    return shot.language +
           (shot.settled ? QStringLiteral(" settled") : QStringLiteral(" unsettled"));
}

QStringList summaries(const QList<GalleryShot> &shots) {
    QStringList lines;
    for (const GalleryShot &shot : shots)
        lines << summary(shot);
    return lines;
}

} // namespace

class LanguageGalleryTest : public QObject {
    Q_OBJECT

private slots:
    void keepsTheSettledScreen_data();
    void keepsTheSettledScreen();
    void failuresStayWithTheirLanguage_data();
    void failuresStayWithTheirLanguage();
    void restoresTheDevice_data();
    void restoresTheDevice();
    void refusesSettingsThatCannotRun_data();
    void refusesSettingsThatCannotRun();
    void runsDevicesTogether();
    void namesAndRegions_data();
    void namesAndRegions();
};

void LanguageGalleryTest::keepsTheSettledScreen_data() {
    QTest::addColumn<QString>("launchScreenMs");
    QTest::addColumn<QString>("deepLink");
    QTest::newRow("no launch screen, only the animation") << "0" << QString();
    QTest::newRow("deep link after the launch screen") << "300"
                                                       << "quillnotes://settings";
}

void LanguageGalleryTest::keepsTheSettledScreen() {
    QFETCH(QString, launchScreenMs);
    QFETCH(QString, deepLink);
    GalleryFixture fixture;
    qputenv("QUILLMARCH_STANDIN_LAUNCH_SCREEN_MS", launchScreenMs.toLatin1());
    GallerySettings settings = fixture.settings({QStringLiteral("fr")});
    settings.deepLink = deepLink;

    LanguageGallery gallery;
    QSignalSpy shots(&gallery, &LanguageGallery::shotFinished);
    gallery.start(settings);
    QVERIFY(gallery.running());
    QVERIFY(waitForEnd(gallery));
    QCOMPARE(shots.size(), 1);
    const GalleryShot shot = gallery.shots(iPad).value(0);
    QCOMPARE(summary(shot), QStringLiteral("fr settled"));
    QCOMPARE(shot.region, QStringLiteral("fr_FR"));
    QVERIFY(shot.seconds >= 0.4);

    // Long after the launch, the stand-in shows the app's resting screen: the kept capture is
    // that screen, not the launch screen and not a frame of the animation.
    const QString later = QDir(QFileInfo(shot.imageFile).path()).filePath("later.png");
    fixture.xcrun({"simctl", "io", iPad, "screenshot", "--type=png", later});
    QVERIFY(ScreenComparison::sameScreen(QImage(shot.imageFile), QImage(later)));

    qputenv("QUILLMARCH_STANDIN_LAUNCH_SCREEN_MS", "60000");
    const QString launching = QDir(QFileInfo(shot.imageFile).path()).filePath("launching.png");
    fixture.xcrun({"simctl", "launch", iPad, "com.example.QuillNotes", "-AppleLanguages", "(fr)"});
    fixture.xcrun({"simctl", "io", iPad, "screenshot", "--type=png", launching});
    QVERIFY(!ScreenComparison::sameScreen(QImage(shot.imageFile), QImage(launching)));
}

void LanguageGalleryTest::failuresStayWithTheirLanguage_data() {
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("bundle");
    QTest::addColumn<QByteArray>(
        "failLaunchWith"); // the stand-in fails launches with this argument
    QTest::addColumn<QStringList>("expected");

    const QByteArray none;
    QTest::newRow("one launch refused")
        << iPhone << "com.example.QuillNotes" << QByteArray("(fr)")
        << QStringList{"de settled", "fr: launch refused", "pt-BR settled"};
    const QString refused =
        QStringLiteral("An error was encountered processing the command "
                       "(domain=FBSOpenApplicationServiceErrorDomain, code=4):");
    QTest::newRow("app not installed")
        << iPad << "com.example.Missing" << none
        << QStringList{"de: " + refused, "fr: " + refused, "pt-BR: " + refused};
    QTest::newRow("unknown device")
        << "NOPE"
        << "com.example.QuillNotes" << none
        << QStringList{"de: Invalid device: NOPE", "fr: Invalid device: NOPE",
                       "pt-BR: Invalid device: NOPE"};
}

void LanguageGalleryTest::failuresStayWithTheirLanguage() {
    QFETCH(QString, device);
    QFETCH(QString, bundle);
    QFETCH(QByteArray, failLaunchWith);
    QFETCH(QStringList, expected);
    GalleryFixture fixture;
    if (!failLaunchWith.isEmpty()) {
        qputenv("QUILLMARCH_STANDIN_FAIL_LAUNCH", "launch refused");
        qputenv("QUILLMARCH_STANDIN_FAIL_LAUNCH_ONLY_WITH", failLaunchWith);
    }
    GallerySettings settings = fixture.settings(
        {QStringLiteral("de"), QStringLiteral("fr"), QStringLiteral("pt-BR")}, device);
    settings.bundleID = bundle;

    LanguageGallery gallery;
    gallery.start(settings);
    QVERIFY(waitForEnd(gallery));
    qunsetenv("QUILLMARCH_STANDIN_FAIL_LAUNCH");
    qunsetenv("QUILLMARCH_STANDIN_FAIL_LAUNCH_ONLY_WITH");

    const QList<GalleryShot> shots = gallery.shots(device);
    QCOMPARE(summaries(shots), expected);
    for (const GalleryShot &shot : shots)
        QCOMPARE(shot.hasImage(), !shot.error.has_value());
    QCOMPARE(gallery.finishedCount(), 3);
    QCOMPARE(gallery.progress(), 1.0);
    QCOMPARE(fixture.look(device.startsWith("NOPE") ? iPad : device),
             QStringLiteral("live status bar, light"));
}

void LanguageGalleryTest::restoresTheDevice_data() {
    QTest::addColumn<QString>("ending");
    QTest::newRow("stopped") << "stop";
    QTest::newRow("stopped and awaited") << "stopAndRestore";
    QTest::newRow("gallery destroyed") << "destroy";
    QTest::newRow("every capture fails") << "fail";
}

void LanguageGalleryTest::restoresTheDevice() {
    QFETCH(QString, ending);
    GalleryFixture fixture;
    fixture.xcrun({"simctl", "ui", iPad, "appearance", "dark"});
    if (ending == QLatin1String("fail"))
        qputenv("QUILLMARCH_STANDIN_FAIL_IO", "No display");
    GallerySettings settings = fixture.settings(
        {QStringLiteral("en"), QStringLiteral("de"), QStringLiteral("fr"), QStringLiteral("es")});
    settings.appearance = GalleryAppearance::Light;

    auto gallery = std::make_unique<LanguageGallery>();
    QSignalSpy finished(gallery.get(), &LanguageGallery::finished);
    gallery->start(settings);
    // Wait until the device is dressed and the first language has been taken.
    QVERIFY(QTest::qWaitFor([&] { return gallery->finishedCount() >= 1; }, 30000));
    if (ending != QLatin1String("fail"))
        QCOMPARE(fixture.look(iPad), QStringLiteral("status bar 9:41, light"));

    if (ending == QLatin1String("stop")) {
        gallery->stop();
        QVERIFY(finished.wait(30000));
        QVERIFY(gallery->wasStopped());
        QVERIFY(gallery->finishedCount() < 4);
        QVERIFY(gallery->status().startsWith(QStringLiteral("Stopped after ")));
    } else if (ending == QLatin1String("stopAndRestore")) {
        bool restored = false;
        [](LanguageGallery *g, bool *done) -> QCoro::Task<> {
            co_await g->stopAndRestore();
            *done = true;
        }(gallery.get(), &restored);
        QVERIFY(QTest::qWaitFor([&] { return restored; }, 30000));
        QVERIFY(!gallery->running());
    } else if (ending == QLatin1String("destroy")) {
        gallery.reset();
        QVERIFY(QTest::qWaitFor(
            [&] { return fixture.look(iPad) == QLatin1String("live status bar, dark"); }, 30000));
    } else { // every capture fails
        QVERIFY(finished.wait(60000));
        QCOMPARE(gallery->finishedCount(), 4);
    }
    qunsetenv("QUILLMARCH_STANDIN_FAIL_IO");
    QCOMPARE(fixture.look(iPad), QStringLiteral("live status bar, dark"));
    if (gallery)
        QVERIFY(gallery->restoreFailures().isEmpty());

    // Nothing is issued after the restore: the last commands put the device back.
    QTest::qWait(300);
    const QList<StandinDeviceSet::Command> commands = fixture.set.commands(QStringLiteral("xcrun"));
    QCOMPARE(commands.value(commands.size() - 2).arguments,
             (QStringList{"simctl", "status_bar", iPad, "clear"}));
    QCOMPARE(commands.last().arguments, (QStringList{"simctl", "ui", iPad, "appearance", "dark"}));
}

void LanguageGalleryTest::refusesSettingsThatCannotRun_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("message");
    const std::pair<const char *, const char *> rows[] = {
        {"devices", "Choose a simulator first."},
        {"bundle", "Choose an installed app or enter its bundle ID."},
        {"languages", "Choose at least one language."},
        {"timeout", "The settle time-out must be at least as long as the settle period."},
        {"twice", "A gallery is already being taken."}};
    for (const auto &[change, message] : rows)
        QTest::newRow(change) << QString::fromLatin1(change) << QString::fromLatin1(message);
}

void LanguageGalleryTest::refusesSettingsThatCannotRun() {
    QFETCH(QString, change);
    QFETCH(QString, message);
    GalleryFixture fixture;
    GallerySettings settings = fixture.settings({QStringLiteral("en")});
    if (change == QLatin1String("devices"))
        settings.devices.clear();
    else if (change == QLatin1String("bundle"))
        settings.bundleID = QStringLiteral(" ");
    else if (change == QLatin1String("languages"))
        settings.languages.clear();
    else if (change == QLatin1String("timeout"))
        settings.timeout = settings.settlePeriod / 2;

    LanguageGallery gallery;
    if (change == QLatin1String("twice"))
        gallery.start(settings);
    try {
        gallery.start(settings);
        QFAIL("started");
    } catch (const ToolFailure &failure) {
        QCOMPARE(failure.message(), message);
    }
    QCOMPARE(gallery.running(), change == QLatin1String("twice"));
    if (gallery.running())
        QVERIFY(waitForEnd(gallery));
}

void LanguageGalleryTest::runsDevicesTogether() {
    GalleryFixture fixture;
    GallerySettings settings =
        fixture.settings({QStringLiteral("en"), QStringLiteral("de"), QStringLiteral("zh-Hans")});
    settings.devices = {{iPad, QStringLiteral("iPad Pro 13-inch (M4)")},
                        {iPhone, QStringLiteral("iPhone 16 Pro")}};
    LanguageGallery gallery;
    QStringList lines;
    connect(&gallery, &LanguageGallery::statusChanged, this, [&] { lines << gallery.status(); });
    gallery.start(settings);
    QVERIFY(waitForEnd(gallery));
    QCOMPARE(gallery.totalCount(), 6);
    QCOMPARE(summaries(gallery.shots(iPad)),
             (QStringList{"en settled", "de settled", "zh-Hans settled"}));
    QCOMPARE(summaries(gallery.shots(iPhone)), summaries(gallery.shots(iPad)));
    QCOMPARE(gallery.status(), QStringLiteral("Captured 6 languages."));
    QVERIFY2(
        lines.contains(QString::fromUtf8("1 of 6 — English (en_US) on iPad Pro 13-inch (M4)")) ||
            lines.contains(QString::fromUtf8("1 of 6 — English (en_US) on iPhone 16 Pro")),
        qPrintable(lines.join('\n')));
    QVERIFY(lines.contains(
                QString::fromUtf8("6 of 6 — 中文（简体） (zh_CN) on iPad Pro 13-inch (M4)")) ||
            lines.contains(QString::fromUtf8("6 of 6 — 中文（简体） (zh_CN) on iPhone 16 Pro")));
    // The two devices overlapped: the second device's first launch came before the first
    // device's last one.
    QStringList launches;
    for (const auto &command : fixture.set.commands(QStringLiteral("xcrun"))) {
        if (command.arguments.value(1) == QLatin1String("launch"))
            launches << command.arguments.value(3);
    }
    QCOMPARE(launches.size(), 6);
    const QStringList early = launches.mid(0, 5);
    QCOMPARE(QSet<QString>(early.begin(), early.end()).size(), 2);
}

void LanguageGalleryTest::namesAndRegions_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("region");   // the likely one
    QTest::addColumn<QString>("progress"); // 4 of 12 in that region
    const std::tuple<const char *, const char *, const char *> rows[] = {
        {"de", "de_DE", "4 of 12 — Deutsch (de_DE)"},
        {"pt-BR", "pt_BR", "4 of 12 — Português (Brasil) (pt_BR)"},
        {"ar", "ar_EG", "4 of 12 — العربية (ar_EG)"},
        {"zh-Hans", "zh_CN", "4 of 12 — 中文（简体） (zh_CN)"},
        {"qq-Zzzz", "qq_Zzzz", "4 of 12 — qq-Zzzz (qq_Zzzz)"}}; // unknown to ICU
    for (const auto &[language, region, progress] : rows)
        QTest::newRow(language) << QString::fromLatin1(language) << QString::fromLatin1(region)
                                << QString::fromUtf8(progress);
}

void LanguageGalleryTest::namesAndRegions() {
    QFETCH(QString, language);
    QFETCH(QString, region);
    QFETCH(QString, progress);
    QCOMPARE(GalleryRegions::likely(language), region);
    GallerySettings settings;
    QCOMPARE(settings.regionFor(language), region);
    settings.region = QStringLiteral("en_GB");
    QCOMPARE(settings.regionFor(language), QStringLiteral("en_GB"));
    QCOMPARE(GalleryTexts::progressLine(4, 12, language, region), progress);
}

QTEST_GUILESS_MAIN(LanguageGalleryTest)
#include "tst_language_gallery.moc"
