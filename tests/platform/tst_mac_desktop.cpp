// The macOS backend's decisions, run against a stand-in for the system calls: which tap events
// become clicks and keys and where a click happened, the tap's life, when monitoring is refused,
// the pointer's coordinates on several screens and the overlay window's level.
#include "platform/FakeQuartz.h"
#include "platform/MacDesktopServices.h"
#include "platform/QuartzEvents.h"
#include "tools/Error.h"

#include <QGuiApplication>
#include <QTest>
#include <QWindow>

namespace {

using Events = QList<std::pair<int, int>>; // (type, key code) as the handler saw them

// A stand-in with Input Monitoring allowed; the desktop owns it.
FakeQuartz *listeningQuartz() {
    auto *quartz = new FakeQuartz;
    quartz->listenAccess = true;
    return quartz;
}

} // namespace

class TestMacDesktop : public QObject {
    Q_OBJECT

private slots:
    // Each tap event as (type, key code) and what the recorder's handler receives for it.
    void tapEvents_data() {
        QTest::addColumn<quint32>("type");
        QTest::addColumn<qint64>("keyCode");
        QTest::addColumn<int>("expectedType"); // -1: nothing reported
        QTest::addColumn<int>("expectedKey");
        using namespace QuartzEvents;
        const int none = -1, unknown = HardwareKey::Unknown;
        QTest::newRow("left button") << leftMouseDown << qint64(-1) << 1 << unknown;
        QTest::newRow("right button") << rightMouseDown << qint64(-1) << 3 << unknown;
        QTest::newRow("middle button") << otherMouseDown << qint64(-1) << none << none;
        QTest::newRow("Escape") << keyDown << qint64(53) << 10 << 53;
        QTest::newRow("Return") << keyDown << qint64(36) << 10 << 36;
        QTest::newRow("keypad Enter") << keyDown << qint64(76) << 10 << 76;
        QTest::newRow("letter A") << keyDown << qint64(0) << 10 << 0;
        QTest::newRow("key code out of range") << keyDown << qint64(300) << 10 << unknown;
        QTest::newRow("key up") << quint32(11) << qint64(53) << none << none;
        QTest::newRow("left button up") << quint32(2) << qint64(-1) << none << none;
        QTest::newRow("mouse moved") << quint32(5) << qint64(-1) << none << none;
        QTest::newRow("tap switched off: timeout")
            << tapDisabledByTimeout << qint64(-1) << none << none;
        QTest::newRow("tap switched off: user input")
            << tapDisabledByUserInput << qint64(-1) << none << none;
    }
    void tapEvents() {
        QFETCH(quint32, type);
        QFETCH(qint64, keyCode);
        auto *quartz = listeningQuartz();
        MacDesktopServices desktop{std::unique_ptr<QuartzSystem>(quartz)};
        Events seen;
        const auto token = desktop.addGlobalMonitor(clicksAndKeys, [&](const InputEvent &event) {
            seen.append({event.type, event.keyCode});
        });
        QVERIFY(token);
        QCOMPARE(quartz->tap.mask, quint64(1034)); // left, right mouse down and key down
        QCOMPARE(quartz->tap.switchedOn, 1);

        quartz->tap.handler(type, keyCode, QPointF());
        QFETCH(int, expectedType);
        QFETCH(int, expectedKey);
        const Events expected = expectedType < 0 ? Events() : Events{{expectedType, expectedKey}};
        QCOMPARE(seen, expected);
        // A tap the system switched off is switched on again, and only then.
        QCOMPARE(quartz->tap.switchedOn, QuartzEvents::tapSwitchedOff(type) ? 2 : 1);
        desktop.removeMonitor(*token);
    }

    // A mask asks for part of the events: the tap is told, and the rest is not reported.
    void partialMask() {
        auto *quartz = listeningQuartz();
        MacDesktopServices desktop{std::unique_ptr<QuartzSystem>(quartz)};
        Events seen;
        desktop.addGlobalMonitor(eventMaskBit(InputEvent::KeyDown), [&](const InputEvent &event) {
            seen.append({event.type, event.keyCode});
        });
        QCOMPARE(quartz->tap.mask, quint64(1) << 10);
        quartz->tap.handler(QuartzEvents::leftMouseDown, -1, QPointF());
        quartz->tap.handler(QuartzEvents::keyDown, 53, QPointF());
        QCOMPARE(seen, (Events{{10, 53}}));
    }

    // Removing the monitor silences it at once, even from inside its own handler; the tap is
    // released on a later turn of the event loop.
    void removal() {
        auto *quartz = listeningQuartz();
        MacDesktopServices desktop{std::unique_ptr<QuartzSystem>(quartz)};
        int calls = 0;
        std::optional<MonitorToken> token;
        token = desktop.addGlobalMonitor(clicksAndKeys, [&](const InputEvent &) {
            ++calls;
            desktop.removeMonitor(*token);
        });
        const auto local = desktop.addLocalMonitor(clicksAndKeys, [](const InputEvent &) {});
        QVERIFY(local);
        QCOMPARE(desktop.activeMonitorCount(), 2);
        quartz->tap.handler(QuartzEvents::leftMouseDown, -1, QPointF());
        quartz->tap.handler(QuartzEvents::leftMouseDown, -1, QPointF());
        QCOMPARE(calls, 1);
        QVERIFY(!quartz->tap.enabled);
        QVERIFY(!quartz->tap.destroyed);
        QTRY_VERIFY(quartz->tap.destroyed);
        desktop.removeMonitor(*local);
        QCOMPARE(desktop.activeMonitorCount(), 0);
    }

    // The preflight check decides whether Input Monitoring is allowed (a tap can exist while
    // key events are withheld); a tap refused although it is allowed gets its own text.
    void monitoringRefused_data() {
        QTest::addColumn<bool>("allowed");
        QTest::addColumn<bool>("tapCreated");
        QTest::addColumn<QString>("reason");
        const QString notAllowed =
            QStringLiteral("Allow Input Monitoring for Quillmarch in System Settings → Privacy & "
                           "Security, then quit and reopen Quillmarch.");
        QTest::newRow("not allowed, no tap") << false << false << notAllowed;
        QTest::newRow("not allowed, a tap all the same") << false << true << notAllowed;
        QTest::newRow("allowed, no tap")
            << true << false
            << QStringLiteral("macOS did not let Quillmarch observe clicks and keys although "
                              "Input Monitoring is allowed. Quit and reopen Quillmarch; if that "
                              "does not help, remove Quillmarch from Input Monitoring in System "
                              "Settings → Privacy & Security and add it again.");
    }
    void monitoringRefused() {
        QFETCH(bool, allowed);
        QFETCH(bool, tapCreated);
        auto *quartz = new FakeQuartz;
        quartz->listenAccess = allowed;
        quartz->tapAllowed = tapCreated;
        MacDesktopServices desktop{std::unique_ptr<QuartzSystem>(quartz)};
        QString description;
        try {
            desktop.addGlobalMonitor(clicksAndKeys, [](const InputEvent &) {});
        } catch (const PlatformError &error) {
            description = error.description();
        }
        QTEST(description, "reason");
        QCOMPARE(desktop.activeMonitorCount(), 0);
    }

    // A click is placed where the event happened (CGEventGetLocation, Quartz coordinates), not
    // where the pointer is when the handler runs; a key press carries no place.
    void clickLocation() {
        auto *quartz = listeningQuartz();
        quartz->cursor = QPointF(5, 5);
        MacDesktopServices desktop{std::unique_ptr<QuartzSystem>(quartz)};
        QList<std::optional<QPointF>> seen;
        desktop.addGlobalMonitor(clicksAndKeys,
                                 [&](const InputEvent &event) { seen.append(event.location); });
        quartz->tap.handler(QuartzEvents::rightMouseDown, -1, QPointF(-300.5, -120));
        quartz->tap.handler(QuartzEvents::keyDown, 53, QPointF(10, 10));
        QCOMPARE(seen, (QList<std::optional<QPointF>>{QPointF(-300.5, 1020), std::nullopt}));
    }

    // Quartz points (top-left of the main display, y down) against the recorder's (lower-left,
    // y up). The main display is 1440 × 900; the others sit around it.
    void pointer_data() {
        QTest::addColumn<QPointF>("quartz");
        QTest::addColumn<QPointF>("expected");
        QTest::newRow("main display, top-left corner") << QPointF(0, 0) << QPointF(0, 900);
        QTest::newRow("main display, inside") << QPointF(100, 250) << QPointF(100, 650);
        QTest::newRow("main display, last row") << QPointF(1439, 899) << QPointF(1439, 1);
        QTest::newRow("display to the right") << QPointF(2000, 300) << QPointF(2000, 600);
        QTest::newRow("display above") << QPointF(300, -200) << QPointF(300, 1100);
        QTest::newRow("display below") << QPointF(300, 1000) << QPointF(300, -100);
        QTest::newRow("display to the left, fractional")
            << QPointF(-640.5, 120.25) << QPointF(-640.5, 779.75);
    }
    void pointer() {
        QFETCH(QPointF, quartz);
        auto *system = listeningQuartz();
        system->cursor = quartz;
        MacDesktopServices desktop{std::unique_ptr<QuartzSystem>(system)};
        QTEST(desktop.pointerLocation(), "expected");
    }

    // The overlay gets the toolkit's flags and the overlay level on every space, again each time
    // it is shown (the toolkit sets its own level then).
    void overlayWindow() {
        auto *quartz = listeningQuartz();
        MacDesktopServices desktop{std::unique_ptr<QuartzSystem>(quartz)};
        QWindow window;
        desktop.prepareOverlayWindow(window);
        QVERIFY(window.flags().testFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint));
        QVERIFY(!window.flags().testFlag(Qt::WindowDoesNotAcceptFocus));
        QCOMPARE(quartz->levels, QList<qint64>{1000});
        QCOMPARE(quartz->behavior, quint64(257));
        window.show();
        QCOMPARE(quartz->levels, (QList<qint64>{1000, 1000}));
        window.hide();
        QCOMPARE(quartz->levels.size(), 2);
    }
};

QTEST_MAIN(TestMacDesktop)
#include "tst_mac_desktop.moc"
