// The recorder on the macOS backend, with a stand-in for the system calls: the permission
// questions asked in one pass, and a step recorded on a second display left of, above or right
// of the main one at 1x and 2x, through ScreenCaptureKit (macOS 14) and CoreGraphics (13). The
// stand-in's pixels name their place on the display, so the step shows which pixels were read.
#include "FakeDesktop.h"
#include "platform/FakeQuartz.h"
#include "platform/MacDesktopServices.h"
#include "recorder/StepRecorder.h"

#include <QTest>
#include <QTimer>

namespace {

const QString readyText =
    QStringLiteral("Ready — click inside the selected area to capture this step.");

} // namespace

class TestMacRecording : public QObject {
    Q_OBJECT

private:
    FakeQuartz *m_quartz = nullptr;

    // The user's answer on the overlay of screen `index`, which closes every overlay.
    void answer(const QRectF &rect, int index) {
        const SelectionOverlay::Finished finished = m_overlays.at(index)->finished;
        m_overlays.clear();
        finished(rect);
    }

    std::unique_ptr<StepRecorder> m_recorder;
    QList<FakeOverlay *> m_overlays;
    int m_overlaysAlive = 0;
    std::atomic<int> m_heartbeat{0};
    QTimer m_heartbeatTimer;

    void makeRecorder() {
        m_quartz = new FakeQuartz;
        m_quartz->heartbeat = &m_heartbeat;
        m_quartz->screenList = {QuartzScreen{1u, QRectF(0, 0, 1440, 900), 2.0}};
        auto desktop =
            std::make_shared<MacDesktopServices>(std::unique_ptr<QuartzSystem>(m_quartz));
        m_recorder = std::make_unique<StepRecorder>(
            desktop, [this](const DesktopScreen &, SelectionOverlay::Finished finished) {
                auto *overlay = new FakeOverlay(std::move(finished), &m_overlaysAlive);
                m_overlays.append(overlay);
                return overlay;
            });
    }

private slots:
    void initTestCase() {
        // The main loop's pulse, which the stand-in's captures wait for before they answer.
        m_heartbeatTimer.setInterval(5);
        connect(&m_heartbeatTimer, &QTimer::timeout, this, [this] { ++m_heartbeat; });
        m_heartbeatTimer.start();
    }

    void init() {
        m_overlays.clear();
        makeRecorder();
    }

    void cleanup() {
        m_recorder.reset();
        QCOMPARE(m_overlaysAlive, 0);
    }

    // What each permission answers, held up front or on request; every question is asked on
    // the first Record Step, and what is missing is told in one message.
    void permissions_data() {
        QTest::addColumn<bool>("held");
        QTest::addColumn<bool>("screenGranted");
        QTest::addColumn<bool>("inputGranted");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("error"); // empty: the overlays are shown
        const QStringList askedBoth = {"preflightScreen", "requestScreen", "preflightListen",
                                       "requestListen"};
        QTest::newRow("first time, both refused")
            << false << false << false << askedBoth
            << QStringLiteral("Allow Screen Recording and Input Monitoring for Quillmarch in "
                              "System Settings → Privacy & Security, then quit and reopen "
                              "Quillmarch: macOS applies both only after a restart.");
        QTest::newRow("screen recording refused")
            << false << false << true << askedBoth
            << QStringLiteral("Allow Screen Recording for Quillmarch in System Settings → "
                              "Privacy & Security. You may need to quit and reopen Quillmarch.");
        QTest::newRow("input monitoring refused")
            << false << true << false << askedBoth
            << QStringLiteral("Allow Input Monitoring for Quillmarch in System Settings → "
                              "Privacy & Security, then reopen the app if requested.");
        QTest::newRow("both granted on request")
            << false << true << true
            << askedBoth + QStringList{"preflightScreen", "preflightListen"} << QString();
        QTest::newRow("both held") << true << false << false
                                   << QStringList{"preflightScreen", "preflightListen",
                                                  "preflightScreen", "preflightListen"}
                                   << QString();
    }
    void permissions() {
        QFETCH(bool, held);
        QFETCH(QString, error);
        m_quartz->captureAccess = m_quartz->listenAccess = held;
        QFETCH(bool, screenGranted);
        QFETCH(bool, inputGranted);
        m_quartz->captureGranted = screenGranted;
        m_quartz->listenGranted = inputGranted;
        m_recorder->recordStep();
        QTEST(m_quartz->calls, "calls");
        QCOMPARE(m_recorder->error(), error.isEmpty() ? std::nullopt : std::optional(error));
        QCOMPARE(m_recorder->selecting(), error.isEmpty());
        QCOMPARE(m_overlaysAlive, error.isEmpty() ? 1 : 0);
        m_recorder->cancel();
    }

    // The area (100.5, 40, 300, 150) in the second display's own points, lower-left origin.
    // `corner`: its first pixel on that display (top-left origin); `wholePoints`: what
    // CoreGraphics is asked for.
    void secondDisplay_data() {
        QTest::addColumn<int>("version");
        QTest::addColumn<QRectF>("frame");
        QTest::addColumn<qreal>("scale");
        QTest::addColumn<QPoint>("corner");
        QTest::addColumn<QRect>("wholePoints");
        struct Display {
            const char *name;
            QRectF frame;
            qreal scale;
            QPoint corner;
            QRect wholePoints;
        };
        const Display displays[] = {
            {"left, 1x", QRectF(-1920, 0, 1920, 1080), 1.0, QPoint(101, 890),
             QRect(101, 890, 300, 150)},
            {"left, 2x", QRectF(-1512, -82, 1512, 982), 2.0, QPoint(201, 1584),
             QRect(100, 792, 301, 150)},
            {"above, 1x", QRectF(0, 900, 2560, 1440), 1.0, QPoint(101, 1250),
             QRect(101, 1250, 300, 150)},
            {"above, 2x", QRectF(200, 900, 1728, 1117), 2.0, QPoint(201, 1854),
             QRect(100, 927, 301, 150)},
            {"right, 1x", QRectF(1440, -180, 1680, 1050), 1.0, QPoint(101, 860),
             QRect(101, 860, 300, 150)},
            {"right, 2x", QRectF(1440, 300, 1512, 945), 2.0, QPoint(201, 1510),
             QRect(100, 755, 301, 150)},
        };
        for (const int version : {14, 13}) {
            for (const Display &display : displays) {
                QTest::addRow("%s, macOS %d", display.name, version)
                    << version << display.frame << display.scale << display.corner
                    << display.wholePoints;
            }
        }
    }
    void secondDisplay() {
        QFETCH(int, version);
        QFETCH(QRectF, frame);
        QFETCH(qreal, scale);
        QFETCH(QPoint, corner);
        QFETCH(QRect, wholePoints);
        m_quartz->captureAccess = m_quartz->listenAccess = true;
        m_quartz->version = version;
        m_quartz->screenList.append(QuartzScreen{2u, frame, scale});
        m_quartz->cursor = QPointF(-5000, -5000); // the click is placed by its event

        m_recorder->recordStep();
        QCOMPARE(m_overlays.size(), 2);
        const QRectF local(100.5, 40, 300, 150);
        answer(local, 1);
        QCOMPARE(m_recorder->area(), local.translated(frame.topLeft()));
        QTRY_VERIFY(m_recorder->hasCapture());
        QCOMPARE(m_recorder->message(), readyText);

        const QSize size = (QSizeF(300, 150) * scale).toSize();
        {
            const QMutexLocker lock(&m_quartz->mutex);
            const FakeQuartz::Request &request = m_quartz->requests.first();
            QCOMPARE(request.displayId, 2u);
            if (version >= 14) {
                QCOMPARE(request.rect, QRectF(QPointF(corner) / scale, QSizeF(300, 150)));
                QCOMPARE(request.pixelSize, size);
            } else {
                QCOMPARE(request.rect, QRectF(wholePoints));
            }
            QVERIFY(!m_quartz->mainLoopRanMeanwhile.contains(false));
            QVERIFY(!m_quartz->answeredOffMainThread.contains(false));
        }

        // A click in the middle of the area, in Quartz coordinates (main display 900 high).
        const QPointF middle = m_recorder->area()->center();
        m_quartz->tap.handler(1, -1, QPointF(middle.x(), 900 - middle.y()));
        QCOMPARE(m_recorder->steps().size(), 1);
        const QImage image = m_recorder->steps().first().image();
        QCOMPARE(image.size(), size);
        QCOMPARE(FakeQuartzPixels::decode(image.pixel(0, 0)), corner);
        QCOMPARE(FakeQuartzPixels::decode(image.pixel(size.width() - 1, size.height() - 1)),
                 corner + QPoint(size.width() - 1, size.height() - 1));
    }

    // A failed screenshot ends recording with the system's own description.
    void captureFailure() {
        m_quartz->captureAccess = m_quartz->listenAccess = true;
        m_quartz->captureError = QStringLiteral("The user declined TCCs for application.");
        m_recorder->recordStep();
        answer(QRectF(10, 10, 100, 100), 0);
        QTRY_VERIFY(!m_recorder->armed());
        QCOMPARE(m_recorder->error(),
                 QStringLiteral("Capture failed: The user declined TCCs for application."));
    }
};

QTEST_MAIN(TestMacRecording)
#include "tst_mac_recording.moc"
