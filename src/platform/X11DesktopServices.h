#pragma once

#include "platform/QtDesktopServices.h"

// The X11 backend: screens and captures through the toolkit, input observed through XInput2
// raw events on the root window. X11 asks for no permissions, so both checks pass.
class X11DesktopServices : public QtDesktopServices {
public:
    bool windowsCanBeTranslucent() const override;
    QCoro::Task<QList<CaptureDisplay>> capturableDisplays() override;

    // Raw events report every press on the display, including those sent to this
    // application's own windows.
    std::optional<MonitorToken> addGlobalMonitor(EventMask mask, InputHandler handler) override;
    // Already covered by the global monitor; a separate one would report each press twice.
    std::optional<MonitorToken> addLocalMonitor(EventMask mask, InputHandler handler) override;

protected:
    // Copies from the root window, in the root's (global) coordinates, which name the same
    // pixels whichever screen the area lies on.
    QPixmap grabScreenArea(QScreen *screen, const QRect &area) const override;
};
