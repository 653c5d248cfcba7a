// The macOS backend's decisions, run against a stand-in for the system calls: which tap events
// become clicks and keys, the tap's life, the pointer's coordinates on several screens and the
// overlay window's level.
#include "platform/MacDesktopServices.h"
#include "platform/QuartzEvents.h"
#include "tools/Error.h"

#include <QGuiApplication>
#include <QTest>
#include <QWindow>

namespace {

struct FakeTapState {
    quint64 mask = 0;
    QuartzSystem::TapHandler handler;
    bool enabled = false;
    int switchedOn = 0;
    bool destroyed = false;
};

class FakeTap : public QuartzTap {
public:
    explicit FakeTap(FakeTapState &state)
        : m_state(state) {}
    ~FakeTap() override { m_state.destroyed = true; }
    void setEnabled(bool enabled) override {
        m_state.enabled = enabled;
        m_state.switchedOn += enabled ? 1 : 0;
    }

private:
    FakeTapState &m_state;
};

class FakeQuartz : public QuartzSystem {
public:
    bool captureAccess = false, captureGranted = false, listenAccess = false, listenGranted = false,
         tapAllowed = true;
    qreal height = 900;
    QPointF cursor;
    FakeTapState tap;
    QList<qint64> levels;
    quint64 behavior = 0;

    bool preflightScreenCaptureAccess() override { return false; }
    bool requestScreenCaptureAccess() override { return false; }
    bool preflightListenEventAccess() override { return false; }
    bool requestListenEventAccess() override { return false; }
    qreal mainDisplayHeight() const override { return height; }
    QPointF cursorLocation() const override { return cursor; }
    std::unique_ptr<QuartzTap> listenOnlyTap(quint64 mask, TapHandler handler) override {
        if (!tapAllowed)
            return nullptr;
        tap.mask = mask;
        tap.handler = std::move(handler);
        return std::make_unique<FakeTap>(tap);
    }
    void setWindowLevel(QWindow &, qint64 level, quint64 collectionBehavior) override {
        levels.append(level);
        behavior = collectionBehavior;
    }
};

using Events = QList<std::pair<int, int>>; // (type, key code) as the handler saw them

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
        auto *quartz = new FakeQuartz;
        MacDesktopServices desktop{std::unique_ptr<QuartzSystem>(quartz)};
        Events seen;
        const auto token = desktop.addGlobalMonitor(clicksAndKeys, [&](const InputEvent &event) {
            seen.append({event.type, event.keyCode});
        });
        QVERIFY(token);
        QCOMPARE(quartz->tap.mask, quint64(1034)); // left, right mouse down and key down
        QCOMPARE(quartz->tap.switchedOn, 1);

        quartz->tap.handler(type, keyCode);
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
        auto *quartz = new FakeQuartz;
        MacDesktopServices desktop{std::unique_ptr<QuartzSystem>(quartz)};
        Events seen;
        desktop.addGlobalMonitor(eventMaskBit(InputEvent::KeyDown), [&](const InputEvent &event) {
            seen.append({event.type, event.keyCode});
        });
        QCOMPARE(quartz->tap.mask, quint64(1) << 10);
        quartz->tap.handler(QuartzEvents::leftMouseDown, -1);
        quartz->tap.handler(QuartzEvents::keyDown, 53);
        QCOMPARE(seen, (Events{{10, 53}}));
    }

    // Removing the monitor silences it at once, even from inside its own handler; the tap is
    // released on a later turn of the event loop.
    void removal() {
        auto *quartz = new FakeQuartz;
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
        quartz->tap.handler(QuartzEvents::leftMouseDown, -1);
        quartz->tap.handler(QuartzEvents::leftMouseDown, -1);
        QCOMPARE(calls, 1);
        QVERIFY(!quartz->tap.enabled);
        QVERIFY(!quartz->tap.destroyed);
        QTRY_VERIFY(quartz->tap.destroyed);
        desktop.removeMonitor(*local);
        QCOMPARE(desktop.activeMonitorCount(), 0);
    }

    // Without Input Monitoring macOS gives no tap: adding the monitor fails with the reason.
    void tapRefused() {
        auto *quartz = new FakeQuartz;
        quartz->tapAllowed = false;
        MacDesktopServices desktop{std::unique_ptr<QuartzSystem>(quartz)};
        QString description;
        try {
            desktop.addGlobalMonitor(clicksAndKeys, [](const InputEvent &) {});
        } catch (const PlatformError &error) {
            description = error.description();
        }
        QCOMPARE(description, "macOS did not let Quillmarch observe clicks. Allow Input "
                              "Monitoring for Quillmarch in System Settings → Privacy & "
                              "Security, then reopen the app.");
        QCOMPARE(desktop.activeMonitorCount(), 0);
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
        auto *system = new FakeQuartz;
        system->cursor = quartz;
        MacDesktopServices desktop{std::unique_ptr<QuartzSystem>(system)};
        QTEST(desktop.pointerLocation(), "expected");
    }

    // The overlay gets the toolkit's flags and the overlay level on every space, again each time
    // it is shown (the toolkit sets its own level then).
    void overlayWindow() {
        auto *quartz = new FakeQuartz;
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
