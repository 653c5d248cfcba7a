// The recorder's rules against a desktop the test controls: permissions, selection, the capture
// loop's session checks and cadence, clicks, Escape, failures, copy and save.
#include "FakeDesktop.h"
#include "platform/QtDesktopServices.h"
#include "recorder/StepRecorder.h"
#include "tools/Error.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString stoppedText = QStringLiteral("Recording stopped.");
const QString cancelledText =
    QStringLiteral("Selection cancelled. Choose an area at least 30 × 30 points.");
const QString stepText =
    QStringLiteral("Step %1 captured. Record Step lets you select a new area.");

const QString readyText =
    QStringLiteral("Ready — click inside the selected area to capture this step.");

QImage filled(const QColor &colour) {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A desktop whose global monitor cannot be added: it returns none or throws a reason.
class BlindDesktop : public FakeDesktop {
public:
    std::optional<QString> reason;

    std::optional<MonitorToken> addGlobalMonitor(EventMask, InputHandler) override {
        if (reason)
            throw PlatformError(*reason);
        return std::nullopt;
    }
};
} // namespace

class TestStepRecorder : public QObject {
    Q_OBJECT

private:
    std::shared_ptr<FakeDesktop> m_desktop;
    std::unique_ptr<StepRecorder> m_recorder;
    QList<FakeOverlay *> m_overlays;
    int m_overlaysAlive = 0;

    // The user's answer on the overlay of screen `index` (view coordinates).
    void answer(const std::optional<QRectF> &rect, int index = 0) {
        const SelectionOverlay::Finished finished = m_overlays.at(index)->finished;
        m_overlays.clear();
        finished(rect);
    }

    // Confirms an area; with `held`, the first capture waits for releaseCaptures().
    void armOn(const QRectF &rect, bool held = false) {
        m_desktop->holdCaptures = held;
        m_recorder->recordStep();
        QVERIFY(m_recorder->selecting());
        answer(rect);
        QVERIFY(m_recorder->armed());
        if (held)
            QTRY_COMPARE(m_desktop->activeMonitorCount(), 1);
    }

    void armAndWaitForReady(const QRectF &rect = QRectF(0, 0, 100, 100)) {
        armOn(rect);
        QTRY_VERIFY(m_recorder->hasCapture());
        QCOMPARE(m_recorder->message(), readyText);
    }

    void makeRecorder(std::shared_ptr<DesktopServices> desktop) {
        m_overlays.clear();
        m_recorder = std::make_unique<StepRecorder>(
            std::move(desktop), [this](const DesktopScreen &, SelectionOverlay::Finished finished) {
                auto *overlay = new FakeOverlay(std::move(finished), &m_overlaysAlive);
                m_overlays.append(overlay);
                return overlay;
            });
    }

private slots:
    void init() {
        m_desktop = std::make_shared<FakeDesktop>();
        makeRecorder(m_desktop);
    }

    void cleanup() {
        m_recorder.reset();
        QCOMPARE(m_overlaysAlive, 0);
        QCOMPARE(m_desktop->activeMonitorCount(), 0);
    }

    // Neither permission is held up front: each is granted on request or refused. Two screens;
    // the answer comes from the second, (1600, 200, 800, 600) at two pixels a point.
    void recordStep_data() {
        QTest::addColumn<bool>("screenGranted");
        QTest::addColumn<bool>("inputGranted");
        QTest::addColumn<std::optional<QRectF>>("answer");
        QTest::addColumn<std::optional<QRectF>>("area");
        QTest::addColumn<QString>("message"); // empty: unchanged
        QTest::addColumn<QString>("error");
        const std::optional<QRectF> none;
        QTest::newRow("screen refused")
            << false << true << none << none << QString()
            << QStringLiteral("Allow Screen Recording for Quillmarch in System Settings → Privacy "
                              "& Security. You may need to quit and reopen Quillmarch.");
        QTest::newRow("input refused")
            << true << false << none << none << QString()
            << QStringLiteral("Allow Input Monitoring for Quillmarch in System Settings → Privacy "
                              "& Security, then reopen the app if requested.");
        QTest::newRow("30 x 30")
            << true << true << std::optional(QRectF(100, 50, 30, 30))
            << std::optional(QRectF(1700, 250, 30, 30))
            << QStringLiteral("Preparing capture… Wait for Ready before clicking. Escape cancels.")
            << QString();
        QTest::newRow("29.5 wide") << true << true << std::optional(QRectF(10, 10, 29.5, 30))
                                   << none << cancelledText << QString();
        QTest::newRow("Escape") << true << true << none << none << cancelledText << QString();
    }
    void recordStep() {
        QFETCH(bool, screenGranted);
        QFETCH(bool, inputGranted);
        QFETCH(std::optional<QRectF>, answer);
        QFETCH(std::optional<QRectF>, area);
        QFETCH(QString, message);
        QFETCH(QString, error);
        m_desktop->captureAllowed = m_desktop->inputAllowed = false;
        m_desktop->captureGrantedOnRequest = screenGranted;
        m_desktop->inputGrantedOnRequest = inputGranted;
        m_desktop->screenList.append(DesktopScreen{QRectF(1600, 200, 800, 600), 2.0, 9u, nullptr});
        const QString before = m_recorder->message();
        m_recorder->recordStep();
        m_recorder->recordStep(); // while selecting: nothing
        QCOMPARE(m_recorder->error(), error.isEmpty() ? std::nullopt : std::optional(error));
        if (error.isEmpty()) {
            QCOMPARE(m_overlaysAlive, 2);
            QCOMPARE(m_recorder->message(), stoppedText);
            this->answer(answer, 1);
        }
        QCOMPARE(m_overlaysAlive, 0); // every screen's overlay goes
        QVERIFY(!m_recorder->selecting());
        QCOMPARE(m_recorder->armed(), area.has_value());
        QCOMPARE(m_recorder->message(), message.isEmpty() ? before : message);
        if (area)
            QCOMPARE(m_recorder->area(), area);
    }

    // A click before the first capture takes nothing; numbers follow the list's length.
    void clickAfterReadyTakesTheNextNumber() {
        m_recorder->setSteps({RecordedStep(filled(Qt::green)), RecordedStep(filled(Qt::green))});
        armOn(QRectF(100, 100, 200, 100), true);
        m_desktop->click({150, 150});
        QCOMPARE(m_recorder->steps().size(), 2);
        m_desktop->releaseCaptures();
        QTRY_VERIFY(m_recorder->hasCapture());
        m_desktop->click({150, 150});
        QCOMPARE(m_recorder->steps().constLast().image().size(), QSize(200, 100));
        QCOMPARE(m_recorder->message(), stepText.arg(3));
    }

    void capturesRepeatUntilEscape() {
        armAndWaitForReady();
        const int start = m_desktop->captureCount;
        QTest::qWait(600); // one capture every 0.12 s
        const int during = m_desktop->captureCount - start;
        QVERIFY2(during >= 3 && during <= 6, qPrintable(QString::number(during)));
        m_recorder->recordStep(); // while armed: nothing
        QCOMPARE(m_overlaysAlive, 0);
        m_desktop->key(HardwareKey::Return); // any other key: nothing
        QVERIFY(m_recorder->armed());
        m_desktop->key(HardwareKey::Escape);
        QVERIFY(!m_recorder->armed());
        QCOMPARE(m_recorder->message(), stoppedText);
        QVERIFY(!m_recorder->hasCapture());
        const int atEscape = m_desktop->captureCount;
        QTest::qWait(300);
        QCOMPARE(m_desktop->captureCount, atEscape);
    }

    void lateCaptureIsDroppedAndDestructionIsSafe() {
        armOn(QRectF(0, 0, 100, 100), true);
        m_recorder->cancel();
        m_desktop->releaseCaptures();
        QTest::qWait(50);
        QVERIFY(!m_recorder->hasCapture());
        QCOMPARE(m_recorder->message(), stoppedText);

        // Destroyed while a capture is pending: the capture's completion finds nothing.
        armOn(QRectF(0, 0, 100, 100), true);
        m_recorder.reset();
        QCOMPARE(m_desktop->activeMonitorCount(), 0);
        m_desktop->releaseCaptures();
        QTest::qWait(50);
    }

    void disconnectedDisplayFails() {
        m_desktop->displays.clear();
        armOn(QRectF(0, 0, 100, 100));
        QTRY_VERIFY(!m_recorder->armed());
        QCOMPARE(m_recorder->error(),
                 std::optional(QStringLiteral("Capture failed: The selected display is no longer "
                                              "connected. Select a new area.")));
        QCOMPARE(m_recorder->message(), stoppedText);
    }

    void copyAndSave() {
        m_recorder->copy(RecordedStep(filled(Qt::green)));
        QCOMPARE(m_recorder->message(), QStringLiteral("Image copied. Paste it into your reply."));
        QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(40, 30));

        const QList<RecordedStep> steps = {RecordedStep(filled(Qt::green)),
                                           RecordedStep(filled(Qt::green))};
        m_recorder->setSteps(steps);
        QTemporaryDir dir;
        QString suggested;
        QString answer; // empty: the dialog is cancelled
        m_recorder->setSaveLocationChooser([&](const QString &name) {
            suggested = name;
            return answer;
        });
        m_recorder->save(steps[1]);
        QCOMPARE(suggested, QStringLiteral("Step-2.png"));

        // Another extension typed: the file gets .png, and PNG bytes.
        answer = dir.filePath(QStringLiteral("shot.jpg"));
        m_recorder->save(steps[0]);
        m_recorder->save(RecordedStep(filled(Qt::red))); // replaces the file
        const QString png = dir.filePath(QStringLiteral("shot.png"));
        QCOMPARE(QImageReader(png).format(), QByteArray("png"));
        QCOMPARE(QColor(QImage(png).pixel(0, 0)), QColor(Qt::red));
        QVERIFY(!QFile::exists(answer));
        QCOMPARE(m_recorder->error(), std::nullopt);

        // A failed write leaves the earlier file whole and reports the failure.
        m_recorder->save(RecordedStep(QImage()));
        QCOMPARE(m_recorder->error(),
                 std::optional(QStringLiteral("Could not encode the screenshot.")));
        QCOMPARE(QColor(QImage(png).pixel(0, 0)), QColor(Qt::red));
        m_recorder->setError(std::nullopt);
        answer = dir.filePath(QStringLiteral("missing/Step-1.png"));
        m_recorder->save(steps[0]);
        QVERIFY(!m_recorder->error().value_or(QString()).isEmpty());
    }

    // Armed where other applications' clicks cannot be observed, the recorder says so instead
    // of showing Ready and waiting for a click it will never see.
    void armedWithoutGlobalMonitor_data() {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none returned") << "none"
                                       << "Capture failed: Clicks in other applications cannot be "
                                          "observed on this system.";
        QTest::newRow("reason thrown") << "throws"
                                       << "Capture failed: Input Monitoring is switched off.";
        QTest::newRow("toolkit backend") << "toolkit"
                                         << "Capture failed: Clicks in other applications cannot "
                                            "be observed on this platform (offscreen).";
    }
    void armedWithoutGlobalMonitor() {
        QFETCH(QString, backend);
        std::shared_ptr<DesktopServices> desktop = std::make_shared<QtDesktopServices>();
        if (backend != "toolkit") {
            auto blind = std::make_shared<BlindDesktop>();
            if (backend == "throws")
                blind->reason = QStringLiteral("Input Monitoring is switched off.");
            desktop = blind;
        }
        makeRecorder(desktop);
        QStringList messages;
        const QObject scope; // ends the connection with this function
        connect(m_recorder.get(), &StepRecorder::messageChanged, &scope,
                [&] { messages.append(m_recorder->message()); });

        m_recorder->recordStep();
        answer(QRectF(0, 0, 100, 100)); // arms; the toolkit backend fails right there
        QTRY_VERIFY(m_recorder->error().has_value());
        QTEST(*m_recorder->error(), "expected");
        QVERIFY(!m_recorder->armed() && !m_recorder->hasCapture());
        QCOMPARE(m_recorder->message(), stoppedText);
        QCOMPARE(desktop->activeMonitorCount(), 0);
        QVERIFY2(!messages.contains(readyText), qPrintable(messages.join(" | ")));
    }

    // A click inside the area, or Escape, on the open save dialog belongs to the dialog.
    void inputIgnoredWhileTheSaveDialogRuns() {
        armAndWaitForReady();
        m_recorder->setSaveLocationChooser([this](const QString &) {
            m_desktop->click({50, 50});
            m_desktop->key(HardwareKey::Escape);
            return QString();
        });
        m_recorder->save(RecordedStep(filled(Qt::green)));
        QVERIFY(m_recorder->steps().isEmpty());
        QVERIFY(m_recorder->armed());
        m_desktop->click({50, 50});
        QCOMPARE(m_recorder->steps().size(), 1);
    }
};

QTEST_MAIN(TestStepRecorder)
#include "tst_step_recorder.moc"
