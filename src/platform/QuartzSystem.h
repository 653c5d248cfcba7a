#pragma once

#include <QPointF>
#include <QRectF>
#include <QWindow>

#include <functional>
#include <memory>

// An event tap that only listens: it sees events on their way and can neither alter, delay
// nor swallow them. It stops when destroyed.
class QuartzTap {
public:
    virtual ~QuartzTap() = default;
    virtual void setEnabled(bool enabled) = 0;
};

// The CoreGraphics and AppKit calls the macOS backend makes, and nothing else: every decision
// around them lives in MacDesktopServices, which runs (and is tested) on every platform. The
// real implementation exists only in macOS builds.
class QuartzSystem {
public:
    // Called on the main thread with the event's CGEventType and, for key events, its
    // virtual key code.
    using TapHandler = std::function<void(quint32 type, qint64 keyCode)>;

    virtual ~QuartzSystem() = default;

    // CGPreflightScreenCaptureAccess, CGRequestScreenCaptureAccess,
    // CGPreflightListenEventAccess, CGRequestListenEventAccess.
    virtual bool preflightScreenCaptureAccess() = 0;
    virtual bool requestScreenCaptureAccess() = 0;
    virtual bool preflightListenEventAccess() = 0;
    virtual bool requestListenEventAccess() = 0;

    // The main display's height in points (CGDisplayBounds of CGMainDisplayID).
    virtual qreal mainDisplayHeight() const = 0;
    // The pointer now, in Quartz global display coordinates (top-left origin, points).
    virtual QPointF cursorLocation() const = 0;

    // A listen-only session event tap for the CGEventMask `mask`, serviced by the main run
    // loop; null when the system refuses one (no Input Monitoring permission).
    virtual std::unique_ptr<QuartzTap> listenOnlyTap(quint64 mask, TapHandler handler) = 0;

    // Sets the NSWindow of `window` to the given level and collection behavior.
    virtual void setWindowLevel(QWindow &window, qint64 level, quint64 collectionBehavior) = 0;

    // The real calls; defined only where Apple's frameworks are.
    static std::unique_ptr<QuartzSystem> create();
};
