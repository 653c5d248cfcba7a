// The recorder's rules against a desktop the test controls: permissions, selection, the capture
// loop's session checks and cadence, clicks, Escape, failures, copy and save.
#include "FakeDesktop.h"
#include "recorder/StepRecorder.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString readyText =
    QStringLiteral("Ready — click inside the selected area to capture this step.");
const QString stoppedText = QStringLiteral("Recording stopped.");
const QString cancelledText =
    QStringLiteral("Selection cancelled. Choose an area at least 30 × 30 points.");
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

    void armOn(const QRectF &rect) {
        m_recorder->recordStep();
        QVERIFY(m_recorder->selecting());
        answer(rect);
        QVERIFY(m_recorder->armed());
    }

    void armAndWaitForReady(const QRectF &rect) {
        armOn(rect);
        QTRY_VERIFY(m_recorder->hasCapture());
        QCOMPARE(m_recorder->message(), readyText);
    }

private slots:
    void init() {
        m_desktop = std::make_shared<FakeDesktop>();
        m_overlays.clear();
        m_recorder = std::make_unique<StepRecorder>(
            m_desktop, [this](const DesktopScreen &, SelectionOverlay::Finished finished) {
                auto *overlay = new FakeOverlay(std::move(finished), &m_overlaysAlive);
                m_overlays.append(overlay);
                return overlay;
            });
    }

    void cleanup() {
        m_recorder.reset();
        QCOMPARE(m_overlaysAlive, 0);
        QCOMPARE(m_desktop->activeMonitorCount(), 0);
    }

    void permissions_data() {
        QTest::addColumn<bool>("captureAllowed");
        QTest::addColumn<bool>("captureGranted");
        QTest::addColumn<bool>("inputAllowed");
        QTest::addColumn<bool>("inputGranted");
        QTest::addColumn<QString>("error");
        const QString screenText = QStringLiteral(
            "Allow Screen Recording for Quillmarch in System Settings → Privacy & Security. You "
            "may need to quit and reopen Quillmarch.");
        const QString inputText = QStringLiteral(
            "Allow Input Monitoring for Quillmarch in System Settings → Privacy & Security, then "
            "reopen the app if requested.");
        QTest::newRow("both allowed") << true << false << true << false << QString();
        QTest::newRow("granted on request") << false << true << false << true << QString();
        QTest::newRow("screen refused") << false << false << false << false << screenText;
        QTest::newRow("input refused") << true << false << false << false << inputText;
    }
    void permissions() {
        QFETCH(bool, captureAllowed);
        QFETCH(bool, captureGranted);
        QFETCH(bool, inputAllowed);
        QFETCH(bool, inputGranted);
        QFETCH(QString, error);
        m_desktop->captureAllowed = captureAllowed;
        m_desktop->captureGrantedOnRequest = captureGranted;
        m_desktop->inputAllowed = inputAllowed;
        m_desktop->inputGrantedOnRequest = inputGranted;
        const QString before = m_recorder->message();
        m_recorder->recordStep();
        if (error.isEmpty()) {
            QVERIFY(m_recorder->selecting());
            QCOMPARE(m_recorder->message(), stoppedText);
            QCOMPARE(m_recorder->error(), std::nullopt);
        } else {
            QVERIFY(!m_recorder->selecting());
            QCOMPARE(m_recorder->error(), std::optional(error));
            QCOMPARE(m_recorder->message(), before);
        }
    }

    void selection_data() {
        QTest::addColumn<std::optional<QRectF>>("answer");
        QTest::addColumn<bool>("armed");
        QTest::addColumn<QString>("message");
        QTest::newRow("30 x 30") << std::optional(QRectF(10, 10, 30, 30)) << true
                                 << QStringLiteral("Preparing capture… Wait for Ready before "
                                                   "clicking. Escape cancels.");
        QTest::newRow("29.5 wide")
            << std::optional(QRectF(10, 10, 29.5, 30)) << false << cancelledText;
        QTest::newRow("Escape") << std::optional<QRectF>() << false << cancelledText;
    }
    void selection() {
        QFETCH(std::optional<QRectF>, answer);
        QFETCH(bool, armed);
        QFETCH(QString, message);
        m_recorder->recordStep();
        QCOMPARE(m_overlaysAlive, 1);
        this->answer(answer);
        QCOMPARE(m_overlaysAlive, 0);
        QVERIFY(!m_recorder->selecting());
        QCOMPARE(m_recorder->armed(), armed);
        QCOMPARE(m_recorder->message(), message);
    }

    void areaIsMovedToItsScreen() {
        m_desktop->screenList.append(DesktopScreen{QRectF(1600, 200, 800, 600), 2.0, 9u, nullptr});
        m_recorder->recordStep();
        QCOMPARE(m_overlaysAlive, 2);
        answer(QRectF(100, 50, 200, 100), 1);
        QCOMPARE(m_overlaysAlive, 0); // every screen's overlay goes
        QCOMPARE(m_recorder->area(), std::optional(QRectF(1700, 250, 200, 100)));
    }

    void recordStepWhileBusyDoesNothing() {
        m_recorder->recordStep();
        m_recorder->recordStep();
        QCOMPARE(m_overlaysAlive, 1);
        answer(QRectF(0, 0, 100, 100));
        QTRY_VERIFY(m_recorder->hasCapture());
        m_recorder->recordStep();
        QCOMPARE(m_overlaysAlive, 0);
        QVERIFY(m_recorder->hasCapture());
    }

    void clicksBeforeReadyOrOutsideAreIgnored() {
        m_desktop->holdCaptures = true;
        armOn(QRectF(100, 100, 200, 100));
        QTRY_COMPARE(m_desktop->activeMonitorCount(), 1);
        m_desktop->click({150, 150}); // Preparing: no capture yet
        QVERIFY(m_recorder->steps().isEmpty());
        QVERIFY(m_recorder->armed());
        m_desktop->releaseCaptures();
        QTRY_VERIFY(m_recorder->hasCapture());

        m_desktop->click({300, 150}); // right edge
        m_desktop->click({150, 200}); // top edge
        m_desktop->click({50, 50});
        QVERIFY(m_recorder->steps().isEmpty());
        m_desktop->click({100, 100}, InputEvent::RightMouseDown); // lower-left corner, right button
        QCOMPARE(m_recorder->steps().size(), 1);
        QCOMPARE(m_recorder->steps().constFirst().image().size(), QSize(200, 100));
        QVERIFY(!m_recorder->armed());
        QCOMPARE(m_desktop->activeMonitorCount(), 0);
    }

    void stepMessageFollowsTheListLength() {
        armAndWaitForReady(QRectF(0, 0, 100, 100));
        m_desktop->click({50, 50});
        armAndWaitForReady(QRectF(0, 0, 100, 100));
        m_desktop->click({50, 50});
        QCOMPARE(m_recorder->message(),
                 QStringLiteral("Step 2 captured. Record Step lets you select a new area."));
        m_recorder->setSteps({});
        armAndWaitForReady(QRectF(0, 0, 100, 100));
        m_desktop->click({50, 50});
        QCOMPARE(m_recorder->message(),
                 QStringLiteral("Step 1 captured. Record Step lets you select a new area."));
    }

    void escapeStopsOtherKeysDoNot() {
        armAndWaitForReady(QRectF(0, 0, 100, 100));
        QSignalSpy armedChanges(m_recorder.get(), &StepRecorder::armedChanged);
        m_desktop->key(HardwareKey::Return);
        m_desktop->key(HardwareKey::Unknown);
        QVERIFY(m_recorder->armed());
        m_desktop->key(HardwareKey::Escape);
        QVERIFY(!m_recorder->armed());
        QCOMPARE(armedChanges.size(), 1);
        QCOMPARE(m_recorder->message(), stoppedText);
        QVERIFY(!m_recorder->hasCapture());
    }

    void captureCadenceAndCancellation() {
        armAndWaitForReady(QRectF(0, 0, 100, 100));
        const int start = m_desktop->captureCount;
        QTest::qWait(600);
        const int during = m_desktop->captureCount - start;
        QVERIFY2(during >= 3 && during <= 6, qPrintable(QString::number(during)));
        QSignalSpy messages(m_recorder.get(), &StepRecorder::messageChanged);
        QCOMPARE(messages.size(), 0); // "Ready" is announced once
        m_recorder->cancel();
        const int atCancel = m_desktop->captureCount;
        QTest::qWait(300);
        QCOMPARE(m_desktop->captureCount, atCancel);
    }

    void lateCaptureIsDropped() {
        m_desktop->holdCaptures = true;
        armOn(QRectF(0, 0, 100, 100));
        QTRY_COMPARE(m_desktop->activeMonitorCount(), 1);
        m_recorder->cancel();
        m_desktop->releaseCaptures();
        QTest::qWait(50);
        QVERIFY(!m_recorder->hasCapture());
        QCOMPARE(m_recorder->message(), stoppedText);

        // A capture of an earlier arming does not count for the new one.
        armOn(QRectF(0, 0, 100, 100));
        QTRY_COMPARE(m_desktop->activeMonitorCount(), 1);
        m_recorder->cancel();
        armOn(QRectF(0, 0, 100, 100));
        QTRY_COMPARE(m_desktop->activeMonitorCount(), 1);
        m_desktop->holdCaptures = false;
        m_desktop->releaseCaptures(); // both pending captures complete
        QTRY_VERIFY(m_recorder->hasCapture());
        QTest::qWait(50);
        QVERIFY(m_recorder->armed());
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

    void destroyedWhileCapturing() {
        m_desktop->holdCaptures = true;
        armOn(QRectF(0, 0, 100, 100));
        QTRY_COMPARE(m_desktop->activeMonitorCount(), 1);
        m_recorder.reset();
        QCOMPARE(m_desktop->activeMonitorCount(), 0);
        m_desktop->releaseCaptures();
        QTest::qWait(50);
    }

    void copyPutsTheImageOnTheClipboard() {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::green);
        m_recorder->copy(RecordedStep(image));
        QCOMPARE(m_recorder->message(), QStringLiteral("Image copied. Paste it into your reply."));
        QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(40, 30));
    }

    void save() {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::green);
        const QList<RecordedStep> steps = {RecordedStep(image), RecordedStep(image),
                                           RecordedStep(image)};
        m_recorder->setSteps(steps);
        QTemporaryDir dir;
        QString suggested;
        QString answer;
        m_recorder->setSaveLocationChooser([&](const QString &name) {
            suggested = name;
            return answer;
        });
        const QString before = m_recorder->message();

        m_recorder->save(steps[1]); // cancelled
        QCOMPARE(suggested, QStringLiteral("Step-2.png"));
        m_recorder->save(RecordedStep(image)); // not in the list
        QCOMPARE(suggested, QStringLiteral("Step-1.png"));

        answer = dir.filePath(QStringLiteral("Step-1.png"));
        m_recorder->save(steps[0]);
        QCOMPARE(QImage(answer).size(), QSize(40, 30));
        image.fill(Qt::red);
        m_recorder->save(RecordedStep(image)); // replaces the file
        QCOMPARE(QColor(QImage(answer).pixel(0, 0)), QColor(Qt::red));
        QCOMPARE(m_recorder->message(), before);
        QCOMPARE(m_recorder->error(), std::nullopt);

        m_recorder->save(RecordedStep(QImage()));
        QCOMPARE(m_recorder->error(),
                 std::optional(QStringLiteral("Could not encode the screenshot.")));
        QCOMPARE(QColor(QImage(answer).pixel(0, 0)), QColor(Qt::red));

        m_recorder->setError(std::nullopt);
        answer = dir.filePath(QStringLiteral("missing/Step-1.png"));
        m_recorder->save(steps[0]);
        QVERIFY(m_recorder->error().has_value());
        QVERIFY(!m_recorder->error()->isEmpty());
    }
};

QTEST_MAIN(TestStepRecorder)
#include "tst_step_recorder.moc"
