#pragma once

#include "platform/QtDesktopServices.h"
#include "platform/QuartzSystem.h"

// The macOS backend: permissions from CoreGraphics, clicks and keys from a listen-only event
// tap, the pointer from Quartz; screens and captures stay with the toolkit (QScreen captures
// need the Screen Recording permission). Built on every platform around a QuartzSystem so its
// decisions are tested everywhere; only QuartzSystem::create() is macOS code.
class MacDesktopServices : public QtDesktopServices {
public:
    // NSScreenSaverWindowLevel: above normal, floating, menu and status windows.
    static constexpr qint64 overlayLevel = 1000;
    // NSWindowCollectionBehaviorCanJoinAllSpaces | NSWindowCollectionBehaviorFullScreenAuxiliary:
    // on every desktop, and over full-screen applications.
    static constexpr quint64 overlayCollectionBehavior = 1 | 256;

    explicit MacDesktopServices(std::unique_ptr<QuartzSystem> quartz);
    ~MacDesktopServices() override;

    bool screenCaptureAllowed() override;
    bool requestScreenCapture() override;
    bool inputObservationAllowed() override;
    bool requestInputObservation() override;

    // A session tap sees the input of every application, this one's included. Throws a
    // PlatformError when macOS refuses the tap.
    std::optional<MonitorToken> addGlobalMonitor(EventMask mask, InputHandler handler) override;
    // Already covered by the global monitor; a separate one would report each press twice.
    std::optional<MonitorToken> addLocalMonitor(EventMask mask, InputHandler handler) override;

    QPointF pointerLocation() const override;

    void prepareOverlayWindow(QWindow &window) override;

private:
    std::shared_ptr<QuartzSystem> m_quartz; // shared with the overlay windows it prepared
};
