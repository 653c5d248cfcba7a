#include "platform/MacDesktopServices.h"

#include "platform/QuartzCoordinates.h"
#include "platform/QuartzEvents.h"
#include "tools/Error.h"

namespace {

const QString tapRefusedText =
    QStringLiteral("macOS did not let Quillmarch observe clicks. Allow Input Monitoring for "
                   "Quillmarch in System Settings → Privacy & Security, then reopen the app.");

// Reports the tap's left and right clicks and key presses; switches the tap back on when the
// system has switched it off.
class TapMonitor : public InputMonitor {
public:
    TapMonitor(QuartzSystem &quartz, EventMask mask, InputHandler handler)
        : m_mask(mask)
        , m_handler(std::move(handler)) {
        m_tap = quartz.listenOnlyTap(QuartzEvents::tapMask(mask),
                                     [this](quint32 type, qint64 keyCode) { seen(type, keyCode); });
        if (m_tap)
            m_tap->setEnabled(true);
    }

    bool listening() const { return m_tap != nullptr; }

    void stop() override {
        m_stopped = true;
        if (m_tap)
            m_tap->setEnabled(false);
    }

private:
    void seen(quint32 type, qint64 keyCode) {
        if (m_stopped)
            return;
        if (QuartzEvents::tapSwitchedOff(type)) {
            m_tap->setEnabled(true);
            return;
        }
        if (const auto event = QuartzEvents::inputEvent(type, keyCode, m_mask))
            m_handler(*event);
    }

    EventMask m_mask;
    InputHandler m_handler;
    std::unique_ptr<QuartzTap> m_tap;
    bool m_stopped = false;
};

// A monitor that never fires: stands for the in-application monitor.
class CoveredMonitor : public InputMonitor {
public:
    void stop() override {}
};

} // namespace

MacDesktopServices::MacDesktopServices(std::unique_ptr<QuartzSystem> quartz)
    : m_quartz(std::move(quartz)) {}

MacDesktopServices::~MacDesktopServices() = default;

bool MacDesktopServices::screenCaptureAllowed() {
    return m_quartz->preflightScreenCaptureAccess();
}

bool MacDesktopServices::requestScreenCapture() {
    return m_quartz->requestScreenCaptureAccess();
}

bool MacDesktopServices::inputObservationAllowed() {
    return m_quartz->preflightListenEventAccess();
}

bool MacDesktopServices::requestInputObservation() {
    return m_quartz->requestListenEventAccess();
}

std::optional<MonitorToken> MacDesktopServices::addGlobalMonitor(EventMask mask,
                                                                 InputHandler handler) {
    auto monitor = std::make_unique<TapMonitor>(*m_quartz, mask, std::move(handler));
    if (!monitor->listening())
        throw PlatformError(tapRefusedText);
    return keepMonitor(std::move(monitor));
}

std::optional<MonitorToken> MacDesktopServices::addLocalMonitor(EventMask, InputHandler) {
    return keepMonitor(std::make_unique<CoveredMonitor>());
}

QPointF MacDesktopServices::pointerLocation() const {
    return QuartzCoordinates(m_quartz->mainDisplayHeight()).toModel(m_quartz->cursorLocation());
}

void MacDesktopServices::prepareOverlayWindow(QWindow &window) {
    QtDesktopServices::prepareOverlayWindow(window);
    m_quartz->setWindowLevel(window, overlayLevel, overlayCollectionBehavior);
    // The toolkit may set the level that matches the window's flags again when it shows the
    // window; the overlay level is put back right after. A frameless toolkit window can become
    // the key window by itself, so clicking the overlay gives it the keyboard.
    QObject::connect(
        &window, &QWindow::visibleChanged, &window, [quartz = m_quartz, &window](bool visible) {
            if (visible)
                quartz->setWindowLevel(window, overlayLevel, overlayCollectionBehavior);
        });
}
