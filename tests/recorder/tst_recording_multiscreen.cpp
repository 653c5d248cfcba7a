// End-to-end recording on an X server with two monitors side by side, each scaled by the
// toolkit as QT_SCREEN_SCALE_FACTORS says: synthetic input through xdotool (XTest, in native
// pixels), the overlays on screen, XInput2 raw events observed, captures read back.
#include "platform/GlobalCoordinates.h"
#include "platform/X11DesktopServices.h"
#include "recorder/SelectionPanel.h"
#include "recorder/StepRecorder.h"
#include "recorder/StepRecorderView.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <sys/socket.h>

namespace {

const QColor targetColour(20, 120, 40);
const QColor ringRed(255, 59, 48);

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

// A point given in points from the screen's top-left corner, in native pixels for xdotool.
QString at(const QScreen *screen, QPointF local) {
    const QPointF native = local * screen->devicePixelRatio();
    return QStringLiteral("%1 %2")
        .arg(screen->geometry().x() + qRound(native.x()))
        .arg(screen->geometry().y() + qRound(native.y()));
}

QString click(const QScreen *screen, QPointF local, int button = 1) {
    return QStringLiteral("mousemove %1 click %2").arg(at(screen, local)).arg(button);
}

QString drag(const QScreen *screen, QPointF from, QPointF to) {
    return QStringLiteral("mousemove %1 mousedown 1 mousemove %2 mousemove %3 mouseup 1")
        .arg(at(screen, from), at(screen, (from + to) / 2), at(screen, to));
}

// The recorder's coordinates of a rectangle given in points from the screen's top-left corner.
QRectF recorderRect(const QScreen *screen, QRectF local) {
    const GlobalCoordinates coordinates(QRectF(QGuiApplication::primaryScreen()->geometry()));
    return coordinates.fromToolkit(local.translated(screen->geometry().topLeft()));
}

// Whether the pixel whose square contains `point` has about that colour.
bool near(const QImage &image, QPointF point, const QColor &colour, int tolerance) {
    const QRgb found = image.pixel(qFloor(point.x()), qFloor(point.y()));
    return qAbs(qRed(found) - colour.red()) <= tolerance &&
           qAbs(qGreen(found) - colour.green()) <= tolerance &&
           qAbs(qBlue(found) - colour.blue()) <= tolerance;
}

// The descriptors of this process's sockets: X connections among them.
QSet<int> openSockets() {
    QSet<int> sockets;
    for (const QString &fd : QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::System))
        if (QFileInfo(QStringLiteral("/proc/self/fd/") + fd)
                .symLinkTarget()
                .contains(QLatin1String("socket:")))
            sockets.insert(fd.toInt());
    return sockets;
}

} // namespace

class TestRecordingMultiscreen : public QObject {
    Q_OBJECT

private:
    QScreen *m_first = nullptr;
    QScreen *m_second = nullptr;
    std::shared_ptr<DesktopServices> m_desktop;
    std::unique_ptr<StepRecorderView> m_view;
    std::unique_ptr<TargetWindow> m_target;

    StepRecorder *recorder() const { return m_view->recorder(); }

    void pressRecordStep() {
        auto *record = m_view->findChild<QPushButton *>();
        QVERIFY(record && record->text() == QStringLiteral("Record Step"));
        QTest::mouseClick(record, Qt::LeftButton);
        QTRY_COMPARE(recorder()->overlayCount(), 2);
        for (QWidget *window : QApplication::topLevelWidgets())
            if (qobject_cast<SelectionPanel *>(window) && window->isVisible())
                QVERIFY(QTest::qWaitForWindowExposed(window));
    }

    // Record Step, drag the area (points from the second screen's corner), Return; `extra`
    // runs in the same xdotool call right after Return.
    void armOnSecondScreen(const QRectF &local, const QString &extra = {}) {
        pressRecordStep();
        QVERIFY(xdotool(drag(m_second, local.topLeft(), local.bottomRight()) +
                        QStringLiteral(" key Return ") + extra));
        QTRY_VERIFY(recorder()->armed());
        QCOMPARE(*recorder()->area(), recorderRect(m_second, local));
        QTRY_VERIFY_WITH_TIMEOUT(recorder()->hasCapture(), 5000);
    }

private slots:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        const QList<QScreen *> screens = QGuiApplication::screens();
        QCOMPARE(screens.size(), 2);
        m_first = screens[0];
        m_second = screens[1];
        QCOMPARE(m_second->name(), QStringLiteral("DUMMY1"));
        QCOMPARE(m_second->geometry().topLeft(), QPoint(1280, 0)); // native origin kept
        qInfo("scale factors %g and %g", m_first->devicePixelRatio(), m_second->devicePixelRatio());
        m_target = std::make_unique<TargetWindow>();
        m_target->setGeometry(
            QRect(m_second->geometry().topLeft() + QPoint(20, 20), QSize(500, 400)));
        m_target->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_target.get()));
        QCOMPARE(m_target->screen(), m_second);
    }

    void init() {
        m_desktop = DesktopServices::createDefault();
        QVERIFY(dynamic_cast<X11DesktopServices *>(m_desktop.get()));
        m_view = std::make_unique<StepRecorderView>(m_desktop);
        m_view->move(m_first->geometry().topLeft());
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        m_target->raise(); // at 2 the window is wider than the first monitor
    }

    void cleanup() {
        m_view.reset();
        QTest::qWait(50);
    }

    // The capture comes from the second screen's own pixels at its density, a click on the last
    // native column inside the area counts, and the ring sits where the click landed.
    void stepOnTheSecondScreen() {
        const qreal f = m_second->devicePixelRatio();
        const QRectF area(40, 40, 400, 300);
        // A click right after Return comes before the first capture: nothing is taken.
        armOnSecondScreen(area, click(m_second, {100, 100}));
        QTest::qWait(200);
        QVERIFY(recorder()->steps().isEmpty());

        // Outside, on the right edge, on the top edge (both outside), the middle button.
        const QStringList ignored = {click(m_second, {460, 200}), click(m_second, {440, 200}),
                                     click(m_second, {200, 40}), click(m_second, {200, 200}, 2)};
        for (const QString &click : ignored) {
            QVERIFY(xdotool(click));
            QTest::qWait(150); // the pointer is read when the click is handled
            QVERIFY2(recorder()->steps().isEmpty(), qPrintable(click));
            QVERIFY(recorder()->armed());
        }

        const int pressesBefore = m_target->presses;
        const int lastColumn = m_second->geometry().x() + qRound(440 * f) - 1;
        const int middleRow = m_second->geometry().y() + qRound(190 * f);
        QVERIFY(xdotool(QStringLiteral("mousemove %1 %2 click 1").arg(lastColumn).arg(middleRow)));
        QTRY_COMPARE(recorder()->steps().size(), 1);
        QTRY_COMPARE(m_target->presses, pressesBefore + 1); // observed, not taken
        QCOMPARE(m_desktop->activeMonitorCount(), 0);

        const QImage image = recorder()->steps().constFirst().image();
        QCOMPARE(image.size(), QSize(qRound(400 * f), qRound(300 * f)));
        for (const QPointF corner : {QPointF(1, 1), QPointF(image.width() - 2, image.height() - 2)})
            QVERIFY(near(image, corner, targetColour, 2));
        const QPointF centre(image.width() - 1, 150 * f);
        const qreal r = 20 * f;
        QVERIFY(near(image, centre - QPointF(r, 0), ringRed, 40));
        QVERIFY(near(image, centre - QPointF(22.25 * f, 0), Qt::white, 60));
        QVERIFY(near(image, centre - QPointF(10 * f, 0), targetColour, 2));
    }

    // Whichever overlay was shown last, a press moves the keyboard to the overlay under the
    // pointer, also after another window took the focus.
    void keysGoToTheOverlayPressedLast() {
        pressRecordStep();
        m_target->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), m_target.get());
        QVERIFY(xdotool(drag(m_first, {50, 50}, {250, 200})));
        QTRY_COMPARE(QApplication::activeWindow()->screen(), m_first); // a user is this slow
        QVERIFY(xdotool(QStringLiteral("key Return")));
        QTRY_VERIFY(recorder()->armed());
        QCOMPARE(*recorder()->area(), recorderRect(m_first, QRectF(50, 50, 200, 150)));
        QTRY_VERIFY(recorder()->hasCapture()); // the monitors are in place
        QVERIFY(xdotool(QStringLiteral("key Escape")));
        QTRY_VERIFY(!recorder()->armed());

        pressRecordStep();
        m_target->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), m_target.get());
        QVERIFY(xdotool(click(m_second, {300, 300})));
        QTRY_VERIFY(qobject_cast<SelectionPanel *>(QApplication::activeWindow()));
        QVERIFY(xdotool(QStringLiteral("key Escape")));
        QTRY_VERIFY(!recorder()->selecting());
        QCOMPARE(recorder()->message(),
                 QStringLiteral("Selection cancelled. Choose an area at least 30 × 30 points."));
    }

    // An open menu grabs the pointer and the keyboard; clicks into it and Escape still count.
    void clicksAndEscapeDuringAGrab() {
        for (const QString &input :
             {click(m_second, {112, 112}, 3), QStringLiteral("key Escape")}) {
            armOnSecondScreen(QRectF(40, 40, 400, 300));
            QMenu menu;
            menu.addAction(QStringLiteral("Open"));
            menu.addAction(QStringLiteral("Close"));
            menu.popup(m_second->geometry().topLeft() + QPoint(100, 100));
            QVERIFY(QTest::qWaitForWindowExposed(&menu));
            QTest::qWait(150);
            QVERIFY(xdotool(input));
            QTRY_VERIFY2(!recorder()->armed(), qPrintable(input));
            QCOMPARE(recorder()->steps().size(), 1); // the click took one, Escape none
        }
    }

    // The observer's own connection breaks: recording ends with an error, the steps stay.
    void lostObserverConnection() {
        recorder()->setSteps({RecordedStep(QImage(10, 10, QImage::Format_RGB32))});
        const QSet<int> before = openSockets();
        armOnSecondScreen(QRectF(40, 40, 400, 300));
        const QSet<int> added = openSockets() - before;
        QCOMPARE(added.size(), 1);
        QCOMPARE(::shutdown(*added.begin(), SHUT_RDWR), 0);
        QTRY_VERIFY(!recorder()->armed());
        QCOMPARE(recorder()->error(),
                 std::optional(QStringLiteral(
                     "Recording stopped: clicks and keys can no longer be observed (the "
                     "connection to the window system was lost).")));
        QCOMPARE(recorder()->steps().size(), 1);
        QCOMPARE(m_desktop->activeMonitorCount(), 0);
    }

    // Sessions the backend cannot serve are refused before any overlay shows.
    void unsupportedSessions() {
        qputenv("WAYLAND_DISPLAY", "wayland-1");
        QTest::mouseClick(m_view->findChild<QPushButton *>(), Qt::LeftButton);
        qunsetenv("WAYLAND_DISPLAY");
        QCOMPARE(recorder()->overlayCount(), 0);
        QVERIFY(recorder()->error().value_or(QString()).contains(QLatin1String("X11 session")));
        QVERIFY(X11DesktopServices::sessionProblem(false, 2).value_or(QString()).contains(
            QLatin1String("2 separate X screens")));
        QCOMPARE(X11DesktopServices::sessionProblem(false, 1), std::nullopt);
    }
};

QTEST_MAIN(TestRecordingMultiscreen)
#include "tst_recording_multiscreen.moc"
