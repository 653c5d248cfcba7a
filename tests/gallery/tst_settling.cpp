// Deciding when a screen has settled, and what counts as a change, on images made here.
#include "gallery/ScreenComparison.h"
#include "gallery/SettleTracker.h"
#include "tools/Error.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;

Q_DECLARE_METATYPE(QList<int>)

namespace {

// A phone-like screen: a status bar with a clock, a title and a list that can move.
QImage screen(const QString &clock, int listOffset, QSize size = QSize(390, 844)) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(QRect(20, 14, 6 * clock.size(), 16), Qt::black); // the time
    painter.fillRect(QRect(0, 100 + listOffset, size.width(), 40), QColor(230, 230, 235));
    return image;
}

} // namespace

class SettlingTest : public QObject {
    Q_OBJECT

private slots:
    void comparison_data();
    void comparison();
    void filesAgreeWithImages_data();
    void filesAgreeWithImages();
    void unreadableCaptures_data();
    void unreadableCaptures();
    void tracker_data();
    void tracker();
};

void SettlingTest::comparison_data() {
    QTest::addColumn<QImage>("first");
    QTest::addColumn<QImage>("second");
    QTest::addColumn<bool>("same");

    const QImage base = screen(QStringLiteral("9:41"), 0);
    QTest::newRow("identical") << base << base << true;
    QTest::newRow("only the clock ticks") << base << screen(QStringLiteral("10:41"), 0) << true;
    QTest::newRow("content moved") << base << screen(QStringLiteral("9:41"), 1) << false;
    QImage lastRow = base;
    lastRow.setPixel(200, base.height() - 1, qRgb(0, 0, 0));
    QTest::newRow("last row differs") << base << lastRow << false;
    QImage firstCounted = base;
    const int band = ScreenComparison::statusBarBand(base.height());
    firstCounted.setPixel(0, band, qRgb(1, 2, 3));
    QTest::newRow("first row below the band differs") << base << firstCounted << false;
    QImage lastIgnored = base;
    lastIgnored.setPixel(0, band - 1, qRgb(1, 2, 3));
    QTest::newRow("last row of the band differs") << base << lastIgnored << true;
    QTest::newRow("other size") << base << screen(QStringLiteral("9:41"), 0, QSize(390, 845))
                                << false;
    QTest::newRow("other pixel format, same pixels")
        << base << base.convertToFormat(QImage::Format_RGB888) << true;
}

void SettlingTest::comparison() {
    QFETCH(QImage, first);
    QFETCH(QImage, second);
    QFETCH(bool, same);
    QCOMPARE(ScreenComparison::sameScreen(first, second), same);
    QCOMPARE(ScreenComparison::sameScreen(second, first), same);
}

void SettlingTest::filesAgreeWithImages_data() {
    QTest::addColumn<QImage::Format>("format");
    QTest::newRow("RGB") << QImage::Format_RGB32;
    QTest::newRow("RGBA") << QImage::Format_ARGB32;
    QTest::newRow("grey") << QImage::Format_Grayscale8;
    QTest::newRow("16-bit RGB") << QImage::Format_RGBX64;
    QTest::newRow("palette") << QImage::Format_Indexed8;
    QTest::newRow("one bit") << QImage::Format_Mono;
}

void SettlingTest::filesAgreeWithImages() {
    // Every pair of these, written as PNG files in one pixel format, compares as the decoded
    // images do; so do pairs across two formats.
    QFETCH(QImage::Format, format);
    const QList<QImage> images = {
        screen(QStringLiteral("9:41"), 0), screen(QStringLiteral("12:00"), 0),
        screen(QStringLiteral("9:41"), 3), screen(QStringLiteral("9:41"), 0, QSize(390, 845))};
    QTemporaryDir folder;
    QStringList files;
    QList<QImage> written;
    for (qsizetype i = 0; i < images.size(); ++i) {
        files << folder.filePath(QStringLiteral("%1.png").arg(i));
        QVERIFY(images.at(i).convertToFormat(format).save(files.last()));
        written << QImage(files.last());
    }
    files << folder.filePath(QStringLiteral("rgb.png"));
    QVERIFY(images.first().save(files.last()));
    written << QImage(files.last());
    for (qsizetype i = 0; i < files.size(); ++i) {
        for (qsizetype j = 0; j < files.size(); ++j)
            QCOMPARE(ScreenComparison::sameScreenFiles(files.at(i), files.at(j)),
                     ScreenComparison::sameScreen(written.at(i), written.at(j)));
    }
}

void SettlingTest::unreadableCaptures_data() {
    QTest::addColumn<QByteArray>("contents"); // empty: no file at all
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << QByteArray() << "The file “bad.png” doesn’t exist.";
    QTest::newRow("not a PNG") << QByteArray("GIF89a...")
                               << "The screenshot “bad.png” isn’t a PNG image.";
    QTest::newRow("cut short") << QByteArray("CUT")
                               << "The screenshot “bad.png” isn’t a PNG image.";
}

void SettlingTest::unreadableCaptures() {
    QFETCH(QByteArray, contents);
    QFETCH(QString, message);
    QTemporaryDir folder;
    const QString good = folder.filePath(QStringLiteral("good.png"));
    const QString bad = folder.filePath(QStringLiteral("bad.png"));
    QVERIFY(screen(QStringLiteral("9:41"), 0).save(good));
    QVERIFY(screen(QStringLiteral("9:41"), 5).save(bad));
    if (contents == "CUT") {
        QFile file(bad);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.resize(file.size() / 2));
    } else if (contents.isEmpty()) {
        QFile::remove(bad);
    } else {
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    try {
        ScreenComparison::sameScreenFiles(good, bad);
        QFAIL("compared");
    } catch (const PlatformError &error) {
        QCOMPARE(error.description(), message);
    }
}

void SettlingTest::tracker_data() {
    // Captures every 400 ms; each number names what the screen showed. `settledAt` is the
    // index of the capture at which the screen counts as settled, -1 for never.
    QTest::addColumn<int>("periodMs");
    QTest::addColumn<QList<int>>("screens");
    QTest::addColumn<int>("settledAt");

    QTest::newRow("launch screen, animation, app")
        << 1000 << QList<int>{1, 1, 2, 3, 4, 4, 4, 4, 4} << 7;
    QTest::newRow("a change restarts the period")
        << 1000 << QList<int>{1, 2, 2, 2, 3, 3, 3, 3} << 7;
    QTest::newRow("unchanged since the launch needs twice the period")
        << 1000 << QList<int>{1, 1, 1, 1, 1, 1, 1, 1} << 6;
    QTest::newRow("never still") << 1000 << QList<int>{1, 2, 1, 2, 1, 2, 1, 2} << -1;
    QTest::newRow("a lone capture never settles") << 0 << QList<int>{1} << -1;
    QTest::newRow("zero period: two equal captures after a change")
        << 0 << QList<int>{1, 2, 2} << 2;
    QTest::newRow("zero period, unchanged since the launch") << 0 << QList<int>{1, 1} << 1;
}

void SettlingTest::tracker() {
    QFETCH(int, periodMs);
    QFETCH(QList<int>, screens);
    QFETCH(int, settledAt);
    SettleTracker tracker{std::chrono::milliseconds(periodMs)};
    int settled = -1;
    for (int i = 0; i < screens.size() && settled < 0; ++i) {
        const bool same = i > 0 && screens.at(i) == screens.at(i - 1);
        if (tracker.add(std::chrono::milliseconds(i * 400), same))
            settled = i;
    }
    QCOMPARE(settled, settledAt);
}

QTEST_GUILESS_MAIN(SettlingTest)
#include "tst_settling.moc"
