#pragma once

#include "platform/QtDesktopServices.h"
#include "platform/QuartzSystem.h"

#include <map>

// The macOS backend: permissions from CoreGraphics, clicks and keys from a listen-only event
// tap, screens from AppKit keyed by their CGDirectDisplayID, captures through ScreenCaptureKit's
// screenshot call (macOS 14 and later) or CoreGraphics (before), never on the main thread and
// never making it wait. Built on every platform around a QuartzSystem so its decisions are
// tested everywhere; only QuartzSystem::create() is macOS code.
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

    // Each NSScreen with its frame, backing scale and display identifier, and the toolkit's
    // screen at the same place.
    QList<DesktopScreen> screens() const override;
    // Windows are always composited on macOS; the overlay needs no picture of the screen.
    QImage screenSnapshot(const DesktopScreen &) const override { return {}; }
    QCoro::Task<QList<CaptureDisplay>> capturableDisplays() override;
    QCoro::Task<QImage> capture(quint32 displayId, QRectF sourceRect, QSize pixelSize) override;

    // A session tap sees the input of every application, this one's included. Throws a
    // PlatformError when Input Monitoring is not allowed (the preflight check decides: a tap
    // may be created and still be denied the key events) or when macOS refuses the tap.
    std::optional<MonitorToken> addGlobalMonitor(EventMask mask, InputHandler handler) override;
    // Already covered by the global monitor; a separate one would report each press twice.
    std::optional<MonitorToken> addLocalMonitor(EventMask mask, InputHandler handler) override;

    QPointF pointerLocation() const override;

    void prepareOverlayWindow(QWindow &window) override;

private:
    QCoro::Task<QImage> screenshot(quint32 displayId, QRectF sourceRect, QSize pixelSize);
    QCoro::Task<QImage> displayImage(quint32 displayId, QRect wholePoints);

    std::shared_ptr<QuartzSystem> m_quartz; // shared with overlay windows and capture jobs
    // ScreenCaptureKit's filters from the last shareable-content answer, by display.
    std::map<quint32, std::shared_ptr<QuartzScreenshotSource>> m_sources;
};
