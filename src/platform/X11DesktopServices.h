#pragma once

#include "platform/QtDesktopServices.h"
#include "platform/X11ScreenGrabber.h"

// The X11 backend: screens through the toolkit; captures read from the root window in native
// pixels on the application's thread pool; input observed through XInput2 raw events on the root
// window. X11 asks for no permissions, so both checks pass.
class X11DesktopServices : public QtDesktopServices {
public:
    X11DesktopServices();

    // Refuses a Wayland session (the root window holds no pixels of Wayland windows and raw
    // events cover only X11 clients), a display made of several X screens and a pixel layout
    // the grabber cannot read.
    std::optional<QString> unavailableReason() const override;

    bool windowsCanBeTranslucent() const override;
    QImage screenSnapshot(const DesktopScreen &screen) const override;
    QCoro::Task<QList<CaptureDisplay>> capturableDisplays() override;
    QCoro::Task<QImage> capture(quint32 displayId, QRectF sourceRect, QSize pixelSize) override;

    // Raw events report every press on the display, including those sent to this
    // application's own windows.
    std::optional<MonitorToken> addGlobalMonitor(EventMask mask, InputHandler handler) override;
    // Already covered by the global monitor; a separate one would report each press twice.
    std::optional<MonitorToken> addLocalMonitor(EventMask mask, InputHandler handler) override;

    // Read in native pixels, so positions between two points survive on HiDPI screens.
    QPointF pointerLocation() const override;

    // The decision behind unavailableReason(), from what the session shows.
    static std::optional<QString> sessionProblem(bool waylandSession, int xScreenCount);

private:
    X11ScreenGrabber m_grabber;
};
