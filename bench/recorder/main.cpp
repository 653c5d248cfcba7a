// Prints what recording costs on X11 at two pixels per point: the time one capture of a
// 1000 x 700 point area takes, the CPU time the capture loop uses per second while armed, and
// the delay from a click to the new step.
// Uses $DISPLAY, or starts its own Xvfb when DISPLAY is not set. Needs xdotool.
#include "../common/Median.h"
#include "platform/DesktopServices.h"
#include "platform/X11ScreenGrabber.h"
#include "recorder/StepImage.h"
#include "recorder/StepRecorder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

const QRect areaOnScreen(100, 100, 1000, 700); // toolkit coordinates
constexpr int rounds = 15;

double processCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// CPU seconds of another process, from /proc (user + system clock ticks).
double otherCpuSeconds(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) /
           double(sysconf(_SC_CLK_TCK));
}

// Answers the selection at once, as if the user had dragged `area` and pressed Return.
class InstantOverlay : public SelectionOverlay {
public:
    InstantOverlay(const DesktopScreen &screen, Finished finished)
        : m_finished(std::move(finished))
        , m_screenHeight(screen.frame.height()) {}
    void present() override {
        const Finished finished = m_finished;
        const QRectF view(areaOnScreen.x(), m_screenHeight - areaOnScreen.bottom() - 1,
                          areaOnScreen.width(), areaOnScreen.height());
        QTimer::singleShot(0, [finished, view] { finished(view); });
    }
    void dismiss() override { delete this; }

private:
    Finished m_finished;
    qreal m_screenHeight;
};

class Pattern : public QWidget {
protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        for (int y = 0; y < height(); y += 20)
            for (int x = 0; x < width(); x += 20)
                painter.fillRect(x, y, 20, 20, QColor::fromHsv((x + y) % 360, 200, 220));
    }
};

} // namespace

int main(int argc, char *argv[]) {
    QProcess xvfb;
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        // The first display number nobody holds, from 97 on.
        int number = 97;
        while (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
            ++number;
        const QString display = QStringLiteral(":%1").arg(number);
        xvfb.start(QStringLiteral("Xvfb"), {display, QStringLiteral("-screen"), QStringLiteral("0"),
                                            QStringLiteral("2400x1800x24"),
                                            QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(number);
        if (!xvfb.waitForStarted() ||
            !QTest::qWaitFor([&] { return QFile::exists(socket); }, 10000)) {
            std::fprintf(stderr, "Xvfb could not be started on %s\n", qPrintable(display));
            return 1;
        }
        qputenv("DISPLAY", display.toLocal8Bit());
        QThread::msleep(200);
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    if (qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR"))
        qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    const qreal scale = QGuiApplication::primaryScreen()->devicePixelRatio();

    Pattern target;
    target.setGeometry(0, 0, 1400, 950);
    target.show();
    if (!QTest::qWaitForWindowExposed(&target))
        return 1;

    auto desktop = DesktopServices::createDefault();
    StepRecorder recorder(desktop,
                          [](const DesktopScreen &screen, SelectionOverlay::Finished done) {
                              return new InstantOverlay(screen, std::move(done));
                          });

    QList<double> cpuPerSecond;
    QList<double> serverCpuPerSecond;
    QList<double> clickDelays;
    QList<double> spawnTimes;
    // One capture of the area's pixels, the copy and conversion included.
    X11ScreenGrabber grabber(qgetenv("DISPLAY"));
    const QRect native(areaOnScreen.topLeft() * scale, areaOnScreen.size() * scale);
    QList<double> grabTimes;
    for (int i = 0; i < 20; ++i) {
        QElapsedTimer grab;
        grab.start();
        if (grabber.grab(native).isNull()) {
            std::fprintf(stderr,
                         "the screen could not be read (is it 2200 x 1600 pixels or more?)\n");
            return 1;
        }
        grabTimes.append(grab.nsecsElapsed() / 1e6);
    }

    // Turning a capture into a step, on the GUI thread at the click.
    const QImage capture = grabber.grab(native);
    QList<double> composeTimes;
    for (int i = 0; i < 20; ++i) {
        QElapsedTimer compose;
        compose.start();
        const QImage step = composeStepImage(capture, QRectF(0, 0, 1000, 700), QPointF(500, 350));
        composeTimes.append(compose.nsecsElapsed() / 1e6);
    }

    const QPoint click = areaOnScreen.center() * scale; // xdotool speaks in device pixels
    QProcess::execute(
        QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QString::number(click.x()), QString::number(click.y())});
    for (int round = 0; round < rounds; ++round) {
        recorder.recordStep();
        if (!QTest::qWaitFor([&] { return recorder.hasCapture(); }, 5000)) {
            std::fprintf(stderr, "never became ready: %s\n", qPrintable(recorder.message()));
            return 1;
        }
        if (round < 3) {
            // While armed: the loop re-captures every 0.12 s.
            const double cpu0 = processCpuSeconds();
            const double server0 = otherCpuSeconds(xvfb.processId());
            QElapsedTimer wall;
            wall.start();
            QTest::qWait(2000);
            const double seconds = wall.nsecsElapsed() / 1e9;
            cpuPerSecond.append((processCpuSeconds() - cpu0) / seconds);
            serverCpuPerSecond.append((otherCpuSeconds(xvfb.processId()) - server0) / seconds);
        }
        // The delay from the click to the step, less the time xdotool itself takes to start.
        QElapsedTimer timer;
        timer.start();
        QProcess clicker;
        bool stepped = false;
        QMetaObject::Connection connection =
            QObject::connect(&recorder, &StepRecorder::stepsChanged, [&] { stepped = true; });
        clicker.start(QStringLiteral("xdotool"), {QStringLiteral("click"), QStringLiteral("1")});
        if (!QTest::qWaitFor([&] { return stepped; }, 5000)) {
            std::fprintf(stderr, "no step after the click\n");
            return 1;
        }
        clickDelays.append(timer.nsecsElapsed() / 1e6);
        QObject::disconnect(connection);
        clicker.waitForFinished();

        QElapsedTimer spawn;
        spawn.start();
        QProcess probe;
        probe.setStandardOutputFile(QProcess::nullDevice());
        probe.start(QStringLiteral("xdotool"), {QStringLiteral("getmouselocation")});
        probe.waitForFinished();
        spawnTimes.append(spawn.nsecsElapsed() / 1e6);
    }

    std::printf("One capture of a 1000 x 700 point area at scale %g (%d x %d pixels): median "
                "%.1f ms, max %.1f ms\n",
                scale, native.width(), native.height(), median(grabTimes),
                *std::max_element(grabTimes.begin(), grabTimes.end()));
    std::printf("Step image from that capture (ring drawn, GUI thread): median %.1f ms\n",
                median(composeTimes));
    std::printf("Capture loop while armed on that area (captures on a worker thread):\n");
    std::printf("  recorder process CPU: %.1f ms per second (median of %lld runs)\n",
                median(cpuPerSecond) * 1000, qsizetype(cpuPerSecond.size()));
    if (xvfb.processId() > 0)
        std::printf("  X server CPU:         %.1f ms per second\n",
                    median(serverCpuPerSecond) * 1000);
    std::printf("Click to step (%d clicks, less the %.1f ms median xdotool start-up):\n", rounds,
                median(spawnTimes));
    const double startup = median(spawnTimes);
    QList<double> net;
    for (double delay : clickDelays)
        net.append(std::max(0.0, delay - startup));
    std::printf("  median %.1f ms, max %.1f ms (raw median %.1f ms)\n", median(net),
                *std::max_element(net.begin(), net.end()), median(clickDelays));

    if (xvfb.processId() > 0) {
        xvfb.terminate();
        xvfb.waitForFinished();
    }
    return 0;
}
