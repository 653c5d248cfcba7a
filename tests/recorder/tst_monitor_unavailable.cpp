// A recorder armed on a desktop that cannot observe other applications' clicks must say so
// instead of showing "Ready" and waiting for a click it will never see.
#include "FakeDesktop.h"
#include "platform/QtDesktopServices.h"
#include "recorder/StepRecorder.h"
#include "tools/Error.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

namespace {

// A fake whose global monitor cannot be added: it returns none or throws a reason.
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

class TestMonitorUnavailable : public QObject {
    Q_OBJECT

private slots:
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
        std::shared_ptr<DesktopServices> desktop;
        if (backend == "toolkit") {
            desktop = std::make_shared<QtDesktopServices>();
        } else {
            auto blind = std::make_shared<BlindDesktop>();
            if (backend == "throws")
                blind->reason = QStringLiteral("Input Monitoring is switched off.");
            desktop = blind;
        }

        std::vector<SelectionOverlay::Finished> answers;
        int overlaysAlive = 0;
        StepRecorder recorder(desktop,
                              [&](const DesktopScreen &, SelectionOverlay::Finished finished) {
                                  answers.push_back(finished);
                                  return new FakeOverlay(std::move(finished), &overlaysAlive);
                              });
        QStringList messages;
        connect(&recorder, &StepRecorder::messageChanged, this,
                [&] { messages.append(recorder.message()); });

        recorder.recordStep();
        QVERIFY(!answers.empty());
        const auto answer = answers.front();
        answer(QRectF(0, 0, 100, 100)); // arms; the toolkit backend fails right there

        QTRY_VERIFY(recorder.error().has_value());
        QTEST(*recorder.error(), "expected");
        QVERIFY(!recorder.armed());
        QVERIFY(!recorder.monitoring());
        QVERIFY(!recorder.hasCapture());
        QCOMPARE(recorder.message(), QStringLiteral("Recording stopped."));
        QCOMPARE(desktop->activeMonitorCount(), 0);
        QVERIFY2(!messages.contains(QStringLiteral(
                     "Ready — click inside the selected area to capture this step.")),
                 qPrintable(messages.join(" | ")));
        if (auto *blind = dynamic_cast<BlindDesktop *>(desktop.get()))
            QCOMPARE(blind->captureCount, 0);
        QCOMPARE(overlaysAlive, 0);
    }
};

QTEST_MAIN(TestMonitorUnavailable)
#include "tst_monitor_unavailable.moc"
