// End-to-end recording on a real X server: synthetic input through xdotool (XTest), the overlay
// on screen, XInput2 raw events observed, captures read back from the server.
#include "platform/X11DesktopServices.h"
#include "recorder/SelectionPanel.h"
#include "recorder/StepRecorder.h"
#include "recorder/StepRecorderView.h"

#include <QApplication>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QTest>

namespace {

const QColor targetColour(20, 120, 40);

// An ordinary window of another "application" under the selected area.
class TargetWindow : public QWidget {
public:
    int presses = 0;

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), targetColour); }
    void mousePressEvent(QMouseEvent *) override { ++presses; }
};

bool xdotool(const QString &commands) {
    return QProcess::execute(QStringLiteral("xdotool"), commands.split(QLatin1Char(' '))) == 0;
}

// xdotool speaks in device pixels; the tests in points.
qreal scale() {
    return QGuiApplication::primaryScreen()->devicePixelRatio();
}

QString pixels(QPoint points) {
    return QStringLiteral("%1 %2")
        .arg(qRound(points.x() * scale()))
        .arg(qRound(points.y() * scale()));
}

QString click(QPoint points, int button = 1) {
    return QStringLiteral("mousemove %1 click %2").arg(pixels(points)).arg(button);
}

bool near(QRgb pixel, const QColor &colour, int tolerance) {
    return qAbs(qRed(pixel) - colour.red()) <= tolerance &&
           qAbs(qGreen(pixel) - colour.green()) <= tolerance &&
           qAbs(qBlue(pixel) - colour.blue()) <= tolerance;
}

} // namespace

class TestRecordingX11 : public QObject {
    Q_OBJECT

private:
    std::shared_ptr<DesktopServices> m_desktop;
    std::unique_ptr<StepRecorderView> m_view;
    std::unique_ptr<TargetWindow> m_target;

    StepRecorder *recorder() const { return m_view->recorder(); }

    // Record Step, drag from `from` to `to` on the overlay, Return. `extra` runs in the same
    // xdotool call, right after Return.
    void selectArea(QPoint from, QPoint to, const QString &extra = {}) {
        auto *record = m_view->findChild<QPushButton *>();
        QVERIFY(record && record->text() == QStringLiteral("Record Step"));
        QTest::mouseClick(record, Qt::LeftButton);
        QTRY_COMPARE(recorder()->overlayCount(), 1);
        QTRY_VERIFY(qobject_cast<SelectionPanel *>(QApplication::activeWindow()));
        const QPoint middle = (from + to) / 2;
        QVERIFY(xdotool(QStringLiteral("mousemove %1 mousedown 1 mousemove %2 mousemove %3 "
                                       "mouseup 1 key Return %4")
                            .arg(pixels(from), pixels(middle), pixels(to), extra)
                            .trimmed()));
        QTRY_VERIFY(recorder()->armed());
        QCOMPARE(recorder()->overlayCount(), 0);
    }

    void waitForReady() {
        QTRY_VERIFY_WITH_TIMEOUT(recorder()->hasCapture(), 5000);
        QCOMPARE(recorder()->message(),
                 QStringLiteral("Ready — click inside the selected area to capture this step."));
    }

private slots:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
            QCOMPARE(scale(), qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
        m_target = std::make_unique<TargetWindow>();
        m_target->setGeometry(50, 50, 700, 420);
        m_target->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_target.get()));
    }

    void init() {
        m_desktop = DesktopServices::createDefault();
        QVERIFY(dynamic_cast<X11DesktopServices *>(m_desktop.get()));
        m_view = std::make_unique<StepRecorderView>(m_desktop);
        m_view->setGeometry(760, 0, 680, 500);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    }

    void cleanup() {
        m_view.reset();
        QTest::qWait(50);
    }

    void clickInsideAreaTakesStepWithRing() {
        const int pressesBefore = m_target->presses;
        selectArea({200, 150}, {500, 350});
        const int screenHeight = QGuiApplication::primaryScreen()->geometry().height();
        QCOMPARE(*recorder()->area(), QRectF(200, screenHeight - 350, 300, 200));
        waitForReady();
        QVERIFY(xdotool(click({300, 250})));
        QTRY_COMPARE(recorder()->steps().size(), 1);
        QCOMPARE(recorder()->message(),
                 QStringLiteral("Step 1 captured. Record Step lets you select a new area."));
        QVERIFY(!recorder()->armed());
        QCOMPARE(m_desktop->activeMonitorCount(), 0);
        // The click was observed, not taken: the window underneath got it too.
        QTRY_COMPARE(m_target->presses, pressesBefore + 1);

        // Full pixel density: the area's points times the scale; the ring scales along.
        const int s = qRound(scale());
        const QImage image = recorder()->steps().constFirst().image();
        QCOMPARE(image.size(), QSize(300 * s, 200 * s));
        // The capture shows the window under the area, not the overlay's dim.
        QVERIFY(near(image.pixel(5, 5), targetColour, 2));
        QVERIFY(near(image.pixel(300 * s - 5, 200 * s - 5), targetColour, 2));
        const int c = 100 * s; // the ring's centre: the click point
        QVERIFY(near(image.pixel(c, c), targetColour, 2));
        const QColor red(255, 59, 48);
        const int r = 20 * s;
        for (const QPoint onRing :
             {QPoint(c + r, c), QPoint(c - r - 1, c), QPoint(c, c + r), QPoint(c, c - r - 1)})
            QVERIFY2(near(image.pixel(onRing), red, 40),
                     qPrintable(QString::number(image.pixel(onRing), 16)));
        QVERIFY(near(image.pixel(c + 22 * s, c), Qt::white, 60));
        QVERIFY(near(image.pixel(c + 26 * s, c), targetColour, 2));
    }

    void clicksThatDoNotCount() {
        // A click right after Return comes before the first capture: nothing is taken.
        selectArea({200, 150}, {500, 350}, click({300, 250}));
        waitForReady();
        QTest::qWait(200);
        QVERIFY(recorder()->armed());

        // Outside, on the right and top edges (both outside), and the middle button. The
        // pointer is read when a click is handled, so each click gets handled before the next.
        const QStringList ignored = {click({600, 400}), click({500, 250}), click({300, 150}),
                                     click({300, 250}, 2)};
        for (const QString &click : ignored) {
            QVERIFY(xdotool(click));
            QTest::qWait(150);
            QVERIFY2(recorder()->steps().isEmpty(), qPrintable(click));
            QVERIFY(recorder()->armed());
        }

        // The left edge belongs to the area; the ring sits on the image border.
        QVERIFY(xdotool(click({200, 250})));
        QTRY_COMPARE(recorder()->steps().size(), 1);
    }

    void rightClickCounts() {
        selectArea({200, 150}, {500, 350});
        waitForReady();
        QVERIFY(xdotool(click({400, 300}, 3)));
        QTRY_COMPARE(recorder()->steps().size(), 1);
    }

    void escapeInAnotherWindowStops() {
        selectArea({200, 150}, {500, 350});
        waitForReady();
        m_target->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), m_target.get());
        QVERIFY(xdotool(QStringLiteral("key a")));
        QTest::qWait(200);
        QVERIFY(recorder()->armed());
        QVERIFY(xdotool(QStringLiteral("key Escape")));
        QTRY_VERIFY(!recorder()->armed());
        QCOMPARE(recorder()->message(), QStringLiteral("Recording stopped."));
        QCOMPARE(m_desktop->activeMonitorCount(), 0);
    }

    void escapeOnOverlayCancelsSelection() {
        auto *record = m_view->findChild<QPushButton *>();
        QTest::mouseClick(record, Qt::LeftButton);
        QTRY_VERIFY(qobject_cast<SelectionPanel *>(QApplication::activeWindow()));
        QVERIFY(xdotool(QStringLiteral("key Escape")));
        QTRY_VERIFY(!recorder()->selecting());
        QCOMPARE(recorder()->message(),
                 QStringLiteral("Selection cancelled. Choose an area at least 30 × 30 points."));
    }

    void closingTheWindowRemovesMonitors() {
        selectArea({200, 150}, {500, 350});
        waitForReady();
        QVERIFY(m_desktop->activeMonitorCount() > 0);
        m_view->close();
        QVERIFY(!recorder()->armed());
        QCOMPARE(m_desktop->activeMonitorCount(), 0);
        QVERIFY(xdotool(click({300, 250})));
        QTest::qWait(300);
        QVERIFY(recorder()->steps().isEmpty());
        QVERIFY(!recorder()->hasCapture());
    }
};

QTEST_MAIN(TestRecordingX11)
#include "tst_recording_x11.moc"
