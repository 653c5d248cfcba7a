// Fills a gallery window with 40 languages' screenshots (1290 × 2796 PNGs, as a large phone
// captures them), one arriving every 40 ms, which is faster than any device takes them, while a
// 1 ms timer on the main thread notes every gap between its ticks, from the first shot until the
// last thumbnail is painted. The gap in the main thread's own CPU time is how long the window
// was busy and could not answer input; the wall-clock gap adds the time it waited for a core,
// which depends on what else the machine runs (its load average is printed with it). Prints
// medians, 99th percentiles and maxima in milliseconds, and the longest events delivered.
#include "common/Median.h"
#include "common/ThreadCpu.h"
#include "gallery/GalleryShot.h"
#include "launcher/Launcher.h"
#include "ui/GalleryGrid.h"
#include "ui/GalleryTarget.h"
#include "ui/GalleryTileModel.h"
#include "ui/GalleryWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMetaEnum>
#include <QPaintEvent>
#include <QPainter>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr QSize captureSize(1290, 2796);
constexpr int distinctImages = 8;

const QStringList languages = {
    "ar",    "bg", "ca", "cs",    "da", "de", "el", "en",      "en-GB",   "es",
    "es-MX", "fi", "fr", "fr-CA", "he", "hi", "hr", "hu",      "id",      "it",
    "ja",    "ko", "lt", "ms",    "nb", "nl", "pl", "pt-BR",   "pt-PT",   "ro",
    "ru",    "sk", "sv", "th",    "tr", "uk", "vi", "zh-Hans", "zh-Hant", "zh-HK"};

// A screen with a status bar, a navigation title, list rows with text and a tab bar: about as
// costly to decode as a real app's screenshot.
QImage screen(int variant) {
    QImage image(captureSize, QImage::Format_RGB32);
    image.fill(QColor::fromHsv((variant * 45) % 360, 18, 250));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font;
    font.setPixelSize(48);
    painter.setFont(font);
    painter.drawText(QRect(60, 40, 1170, 90), Qt::AlignVCenter, QStringLiteral("9:41"));
    font.setPixelSize(96);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(60, 260, 1170, 140), Qt::AlignVCenter,
                     QStringLiteral("Notes %1").arg(variant));
    font.setPixelSize(52);
    font.setBold(false);
    painter.setFont(font);
    for (int row = 0; row < 14; ++row) {
        const int top = 460 + row * 150;
        painter.fillRect(QRect(60, top, 1170, 130), QColor::fromHsv((row * 27) % 360, 40, 255));
        painter.drawText(
            QRect(100, top, 1100, 130), Qt::AlignVCenter,
            QStringLiteral("Row %1 · the quick brown fox jumps %2").arg(row).arg(variant));
    }
    painter.fillRect(QRect(0, 2600, 1290, 196), QColor(240, 240, 244));
    return image;
}

// Times every event the main thread delivers, to name the longest ones.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;
    struct Slow {
        double ms;
        QString what;
    };
    std::vector<Slow> slowest;
    bool recording = false;

    bool notify(QObject *receiver, QEvent *event) override {
        if (!recording)
            return QApplication::notify(receiver, event);
        // The receiver may be gone afterwards (a deferred delete): only its class is kept.
        const QMetaObject *receiverClass = receiver->metaObject();
        const double start = threadCpuMs();
        const bool result = QApplication::notify(receiver, event);
        const double ms = threadCpuMs() - start;
        if (ms > 2) {
            QString what =
                QString::fromLatin1(QMetaEnum::fromType<QEvent::Type>().valueToKey(event->type())) +
                QStringLiteral(" to ") + QString::fromLatin1(receiverClass->className());
            if (event->type() == QEvent::Paint) {
                const QRect area = static_cast<QPaintEvent *>(event)->rect();
                what += QStringLiteral(" (%1 × %2)").arg(area.width()).arg(area.height());
            }
            slowest.push_back({ms, what});
        }
        return result;
    }
};

double percentile(std::vector<double> samples, double fraction) {
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    return samples[std::min(samples.size() - 1, size_t(fraction * double(samples.size())))];
}

} // namespace

int main(int argc, char **argv) {
    TimedApplication application(argc, argv);
    QTemporaryDir folder;
    if (!folder.isValid())
        return 1;

    // The captures, written before anything is measured.
    std::printf("writing %d screenshots of %d × %d …\n", distinctImages, captureSize.width(),
                captureSize.height());
    QList<QString> files;
    for (int variant = 0; variant < distinctImages; ++variant) {
        const QString file = folder.filePath(QStringLiteral("screen%1.png").arg(variant));
        QThreadPool::globalInstance()->start([file, variant] { screen(variant).save(file); });
        files.append(file);
    }
    QThreadPool::globalInstance()->waitForDone();

    QSettings store(folder.filePath(QStringLiteral("launcher.ini")), QSettings::IniFormat);
    Launcher launcher(&store, DeveloperToolPaths{});
    GalleryTarget target;
    target.device = {QStringLiteral("6F0F3A61-2C8B-4E7D-9A15-3B1E0C4D5A01"),
                     QStringLiteral("iPhone 16 Pro")};
    target.app = {QStringLiteral("com.example.QuillNotes"), QStringLiteral("Quill Notes"), {}};
    target.languages = languages;
    auto *window = new GalleryWindow(&launcher, target);
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return 1;
    QTest::qWait(300);
    GalleryGrid *grid = window->grid();

    // The main thread's heartbeat.
    std::vector<double> gaps;
    std::vector<double> cpuGaps;
    QElapsedTimer clock;
    double last = 0;
    double lastCpu = threadCpuMs();
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    heartbeat.setInterval(1);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const double now = clock.nsecsElapsed() / 1e6;
        const double cpu = threadCpuMs();
        gaps.push_back(now - last);
        cpuGaps.push_back(cpu - lastCpu);
        last = now;
        lastCpu = cpu;
    });

    int arrived = 0;
    QTimer arrivals;
    arrivals.setInterval(40);
    QObject::connect(&arrivals, &QTimer::timeout, [&] {
        GalleryShot shot;
        shot.language = languages.at(arrived);
        shot.imageFile = files.at(arrived % distinctImages);
        shot.settled = arrived % 9 != 4;
        shot.seconds = 1.2 + arrived % 5 * 0.3;
        grid->setShot(arrived, shot);
        ++arrived;
        grid->setCapturing(arrived);
        if (arrived == languages.size())
            arrivals.stop();
    });

    application.recording = true;
    clock.start();
    lastCpu = threadCpuMs();
    heartbeat.start();
    arrivals.start();
    const bool filled = QTest::qWaitFor(
        [&] {
            if (arrived < languages.size() || grid->pendingThumbnails() > 0)
                return false;
            for (int row = 0; row < languages.size(); ++row)
                if (grid->tiles()->thumbnail(row).isNull())
                    return false;
            return true;
        },
        120000);
    QTest::qWait(100); // the last thumbnails' paint
    heartbeat.stop();
    const double total = clock.nsecsElapsed() / 1e6;
    if (!filled) {
        std::printf("the window did not fill\n");
        return 1;
    }

    std::printf("Gallery window filling with %lld languages (%s platform, %.0f ms)\n",
                static_cast<long long>(languages.size()),
                qPrintable(QGuiApplication::platformName()), total);
    const auto print = [](const char *what, const std::vector<double> &samples) {
        std::printf("%-34s median %6.2f ms   p99 %6.2f ms   max %6.2f ms\n", what, median(samples),
                    percentile(samples, 0.99), *std::max_element(samples.begin(), samples.end()));
    };
    print("main-thread gap, its own CPU time", cpuGaps);
    double load = 0;
    if (FILE *loadFile = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(loadFile, "%lf", &load) != 1)
            load = 0;
        std::fclose(loadFile);
    }
    print("main-thread gap, wall clock", gaps);
    std::printf("(%zu ticks; load average %.1f on %d cores)\n", gaps.size(), load,
                QThread::idealThreadCount());
    std::printf("longest events (main-thread CPU time):%s\n",
                application.slowest.empty() ? " none over 2 ms" : "");
    std::sort(application.slowest.begin(), application.slowest.end(),
              [](const auto &a, const auto &b) { return a.ms > b.ms; });
    for (size_t i = 0; i < std::min<size_t>(4, application.slowest.size()); ++i)
        std::printf("  %.2f ms  %s\n", application.slowest[i].ms,
                    qPrintable(application.slowest[i].what));
    delete window;
    return 0;
}
