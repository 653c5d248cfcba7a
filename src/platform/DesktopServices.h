#pragma once

#include <QCoroTask>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QScreen>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QWindow;

// Screen geometry in this interface is in points, in global coordinates whose origin is the
// lower-left corner of the primary screen, with y growing upwards.

// One connected screen.
struct DesktopScreen {
    QRectF frame;
    qreal scaleFactor = 1.0;          // pixels per point
    std::optional<quint32> displayId; // none when the screen cannot be identified
    QPointer<QScreen> qtScreen; // the toolkit's screen, for placing windows on it; may be null
};

// A display that can be captured right now.
struct CaptureDisplay {
    quint32 displayId = 0;
};

// Hardware key codes as the recorder knows them; each backend maps its own codes onto these.
namespace HardwareKey {
constexpr int Return = 36;
constexpr int Escape = 53;
constexpr int KeypadEnter = 76;
constexpr int Unknown = -1;
} // namespace HardwareKey

// A mouse-down or key-down seen by a monitor. The type numbers double as bit positions in an
// EventMask. MonitorFailed is reported whatever the mask: the monitor lost its connection to
// the window system and has stopped for good.
struct InputEvent {
    enum Type { LeftMouseDown = 1, RightMouseDown = 3, KeyDown = 10, MonitorFailed = 63 };
    Type type = LeftMouseDown;
    int keyCode = HardwareKey::Unknown; // only for KeyDown
    // Where a mouse-down happened, in global coordinates, when the platform reports it with the
    // event; otherwise the pointer is asked when the event is handled.
    std::optional<QPointF> location;
};

using EventMask = quint64;
constexpr EventMask eventMaskBit(InputEvent::Type type) {
    return EventMask(1) << type;
}
constexpr EventMask clicksAndKeys = eventMaskBit(InputEvent::LeftMouseDown) |
                                    eventMaskBit(InputEvent::RightMouseDown) |
                                    eventMaskBit(InputEvent::KeyDown);

using InputHandler = std::function<void(const InputEvent &)>;
using MonitorToken = quint64;

// The operating-system services the step recorder needs. Monitors only watch input: they never
// alter, delay or swallow an event. Handlers are called on the main thread.
class DesktopServices {
public:
    virtual ~DesktopServices() = default;

    // Permission to capture the screen and to observe other applications' input. The request
    // variants may ask the user; both return whether access is granted now.
    virtual bool screenCaptureAllowed() = 0;
    virtual bool requestScreenCapture() = 0;
    virtual bool inputObservationAllowed() = 0;
    virtual bool requestInputObservation() = 0;
    // Why this session cannot be recorded at all (a sentence for the user), or none.
    virtual std::optional<QString> unavailableReason() const { return std::nullopt; }

    virtual QList<DesktopScreen> screens() const = 0;

    // Whether a translucent window shows what lies beneath it (false on X11 without a
    // compositing manager, where the window's transparent parts come out black).
    virtual bool windowsCanBeTranslucent() const = 0;

    // A picture of the whole screen right now, or a null image when it cannot be taken.
    virtual QImage screenSnapshot(const DesktopScreen &screen) const = 0;

    // The displays that can be captured now.
    virtual QCoro::Task<QList<CaptureDisplay>> capturableDisplays() = 0;

    // One image of `sourceRect` (points, display-local, origin at the display's top-left corner)
    // of the given display, at exactly `pixelSize`. Throws an Error when the capture fails.
    virtual QCoro::Task<QImage> capture(quint32 displayId, QRectF sourceRect, QSize pixelSize) = 0;

    // Input sent to other applications (global) or to this one (local). Returns none, or throws
    // an Error naming the reason, when the platform cannot observe such input.
    virtual std::optional<MonitorToken> addGlobalMonitor(EventMask mask, InputHandler handler) = 0;
    virtual std::optional<MonitorToken> addLocalMonitor(EventMask mask, InputHandler handler) = 0;
    virtual void removeMonitor(MonitorToken token) = 0;
    virtual int activeMonitorCount() const = 0;

    // The pointer position now, in global coordinates.
    virtual QPointF pointerLocation() const = 0;

    // Readies a window that covers one screen during area selection: frameless, above the
    // windows of every other application (and, where the platform has them, on every desktop
    // space and over full-screen applications), and able to take the keyboard. Called once,
    // before the window is first shown.
    virtual void prepareOverlayWindow(QWindow &window);

    // The backend for the running windowing system: X11 when built with it and running on xcb,
    // macOS when built for it, otherwise one that observes no input of other applications.
    static std::shared_ptr<DesktopServices> createDefault();
};
