#pragma once

#include <QImage>
#include <QList>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QWindow>

#include <functional>
#include <memory>
#include <optional>

// An event tap that only listens: it sees events on their way and can neither alter, delay
// nor swallow them. It stops when destroyed.
class QuartzTap {
public:
    virtual ~QuartzTap() = default;
    virtual void setEnabled(bool enabled) = 0;
};

// One NSScreen.
struct QuartzScreen {
    // deviceDescription "NSScreenNumber": the screen's CGDirectDisplayID; none when missing.
    std::optional<quint32> displayId;
    QRectF frame;             // points, origin at the lower-left corner of the primary screen, y up
    qreal backingScale = 1.0; // backingScaleFactor: pixels per point
};

// A captured image, or why there is none (the system's own description).
struct QuartzImage {
    QImage image;
    QString error;
};

// ScreenCaptureKit's content filter for one whole display (SCContentFilter).
class QuartzScreenshotSource {
public:
    using Handler = std::function<void(QuartzImage)>;
    virtual ~QuartzScreenshotSource() = default;
    // SCScreenshotManager captureImageWithFilter:configuration:completionHandler: with the
    // configuration's source rectangle (display points, origin at the display's top-left
    // corner) and output size (pixels), cursor hidden. Returns at once; `done` runs on a thread
    // of the system's choosing.
    virtual void capture(const QRectF &sourceRect, const QSize &pixelSize, Handler done) = 0;
};

// One display that ScreenCaptureKit offers for capture.
struct QuartzShareableDisplay {
    quint32 displayId = 0; // SCDisplay displayID
    std::shared_ptr<QuartzScreenshotSource> source;
};

struct QuartzShareableContent {
    QList<QuartzShareableDisplay> displays;
    QString error;
};

// The CoreGraphics, AppKit and ScreenCaptureKit calls the macOS backend makes, and nothing
// else: every decision around them (which permission, which capture API, which pixels, which
// thread) lives in MacDesktopServices and QuartzCapture, which run (and are tested) on every
// platform. The real implementation exists only in macOS builds.
class QuartzSystem {
public:
    // Called on the main thread with the event's CGEventType, for key events its virtual key
    // code, and CGEventGetLocation of the event (Quartz global display coordinates: points,
    // origin at the top-left corner of the main display, y down).
    using TapHandler = std::function<void(quint32 type, qint64 keyCode, QPointF location)>;
    using ShareableHandler = std::function<void(QuartzShareableContent)>;

    virtual ~QuartzSystem() = default;

    // CGPreflightScreenCaptureAccess, CGRequestScreenCaptureAccess,
    // CGPreflightListenEventAccess, CGRequestListenEventAccess.
    virtual bool preflightScreenCaptureAccess() = 0;
    virtual bool requestScreenCaptureAccess() = 0;
    virtual bool preflightListenEventAccess() = 0;
    virtual bool requestListenEventAccess() = 0;

    // The major version of the running macOS (NSProcessInfo operatingSystemVersion).
    virtual int majorSystemVersion() const = 0;

    // NSScreen screens, in their order (the primary screen first).
    virtual QList<QuartzScreen> screens() const = 0;

    // The main display's height in points (CGDisplayBounds of CGMainDisplayID).
    virtual qreal mainDisplayHeight() const = 0;
    // The pointer now, in Quartz global display coordinates (top-left origin, points).
    virtual QPointF cursorLocation() const = 0;

    // A listen-only session event tap for the CGEventMask `mask`, serviced by the main run
    // loop; null when the system refuses one.
    virtual std::unique_ptr<QuartzTap> listenOnlyTap(quint64 mask, TapHandler handler) = 0;

    // SCShareableContent getShareableContentExcludingDesktopWindows:NO onScreenWindowsOnly:YES
    // (macOS 14 and later here). Returns at once; `done` runs on a thread of the system's
    // choosing.
    virtual void shareableContent(ShareableHandler done) = 0;

    // CGGetActiveDisplayList: the displays CoreGraphics can capture (before macOS 14).
    virtual QList<quint32> activeDisplays() const = 0;
    // CGDisplayCreateImageForRect with `rect` (whole points, relative to the display's top-left
    // corner): every pixel of it, at the display's density; a null image when it fails. Blocks
    // until the image is there, so it is called on a worker thread, never the main one.
    virtual QImage displayImage(quint32 displayId, const QRect &rect) const = 0;

    // Sets the NSWindow of `window` to the given level and collection behavior.
    virtual void setWindowLevel(QWindow &window, qint64 level, quint64 collectionBehavior) = 0;

    // The real calls; defined only where Apple's frameworks are.
    static std::unique_ptr<QuartzSystem> create();
};
