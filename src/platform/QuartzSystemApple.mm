// The macOS calls behind QuartzSystem, one framework call per operation: CoreGraphics for the
// permissions, the pointer, the listen-only event tap and the capture before macOS 14; AppKit
// for the screens and the window level; ScreenCaptureKit for the shareable displays and the
// screenshot. What to ask for, which capture to use, and on which thread, is decided in
// MacDesktopServices and QuartzCapture. Built with ARC (see src/platform/CMakeLists.txt); the
// bridged casts also compile without it.
#include "platform/QuartzSystem.h"

#import <AppKit/AppKit.h>
#import <CoreGraphics/CoreGraphics.h>
#import <ScreenCaptureKit/ScreenCaptureKit.h>

#include <dlfcn.h>

namespace {

// The pixels of a CoreGraphics image, drawn into sRGB (the colour space PNG files are read in).
QImage imageFrom(CGImageRef image) {
    if (!image)
        return {};
    const size_t width = CGImageGetWidth(image);
    const size_t height = CGImageGetHeight(image);
    QImage result(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
    if (result.isNull())
        return {};
    CGColorSpaceRef space = CGColorSpaceCreateWithName(kCGColorSpaceSRGB);
    CGContextRef context = CGBitmapContextCreate(
        result.bits(), width, height, 8, size_t(result.bytesPerLine()), space,
        CGBitmapInfo(kCGImageAlphaPremultipliedFirst) | kCGBitmapByteOrder32Little);
    CGColorSpaceRelease(space);
    if (!context)
        return {};
    CGContextDrawImage(context, CGRectMake(0, 0, CGFloat(width), CGFloat(height)), image);
    CGContextRelease(context);
    return result;
}

QString describe(NSError *error) {
    return error ? QString::fromNSString([error localizedDescription]) : QString();
}

// A session event tap that only listens, serviced by the main run loop (the toolkit runs it),
// so the handler runs on the main thread.
class AppleTap : public QuartzTap {
public:
    AppleTap(quint64 mask, QuartzSystem::TapHandler handler)
        : m_handler(std::move(handler)) {
        m_port =
            CGEventTapCreate(kCGSessionEventTap, kCGTailAppendEventTap, kCGEventTapOptionListenOnly,
                             CGEventMask(mask), &AppleTap::tapped, this);
        if (!m_port)
            return;
        m_source = CFMachPortCreateRunLoopSource(kCFAllocatorDefault, m_port, 0);
        CFRunLoopAddSource(CFRunLoopGetMain(), m_source, kCFRunLoopCommonModes);
    }

    ~AppleTap() override {
        if (m_port)
            CGEventTapEnable(m_port, false);
        if (m_source) {
            CFRunLoopRemoveSource(CFRunLoopGetMain(), m_source, kCFRunLoopCommonModes);
            CFRelease(m_source);
        }
        if (m_port) {
            CFMachPortInvalidate(m_port);
            CFRelease(m_port);
        }
    }

    bool exists() const { return m_port != nullptr; }

    void setEnabled(bool enabled) override { CGEventTapEnable(m_port, enabled); }

private:
    static CGEventRef tapped(CGEventTapProxy, CGEventType type, CGEventRef event, void *tap) {
        // Only key events carry a key code; the tap-switched-off notices may come without an
        // event.
        const qint64 keyCode = type == kCGEventKeyDown && event
                                   ? CGEventGetIntegerValueField(event, kCGKeyboardEventKeycode)
                                   : -1;
        const QPointF location =
            event ? QPointF::fromCGPoint(CGEventGetLocation(event)) : QPointF();
        static_cast<AppleTap *>(tap)->m_handler(quint32(type), keyCode, location);
        return event; // a listen-only tap's answer is ignored: the event goes on unchanged
    }

    QuartzSystem::TapHandler m_handler;
    CFMachPortRef m_port = nullptr;
    CFRunLoopSourceRef m_source = nullptr;
};

// One display's content filter; each capture configures and takes one screenshot.
class AppleScreenshotSource : public QuartzScreenshotSource {
public:
    explicit AppleScreenshotSource(SCContentFilter *filter)
        : m_filter(filter) {}

    void capture(const QRectF &sourceRect, const QSize &pixelSize, Handler done) override {
        if (@available(macOS 14.0, *)) {
            SCStreamConfiguration *configuration = [[SCStreamConfiguration alloc] init];
            [configuration setSourceRect:sourceRect.toCGRect()];
            [configuration setWidth:size_t(pixelSize.width())];
            [configuration setHeight:size_t(pixelSize.height())];
            [configuration setShowsCursor:NO];
            [SCScreenshotManager captureImageWithFilter:m_filter
                                          configuration:configuration
                                      completionHandler:^(CGImageRef image, NSError *error) {
                                        done(QuartzImage{imageFrom(image), describe(error)});
                                      }];
        } else {
            done(QuartzImage{{}, QStringLiteral("Screenshots need macOS 14 or later.")});
        }
    }

private:
    SCContentFilter *m_filter;
};

class AppleQuartzSystem : public QuartzSystem {
public:
    bool preflightScreenCaptureAccess() override { return CGPreflightScreenCaptureAccess(); }
    bool requestScreenCaptureAccess() override { return CGRequestScreenCaptureAccess(); }
    bool preflightListenEventAccess() override { return CGPreflightListenEventAccess(); }
    bool requestListenEventAccess() override { return CGRequestListenEventAccess(); }

    int majorSystemVersion() const override {
        return int([[NSProcessInfo processInfo] operatingSystemVersion].majorVersion);
    }

    QList<QuartzScreen> screens() const override {
        QList<QuartzScreen> result;
        NSArray<NSScreen *> *screens = [NSScreen screens];
        for (NSUInteger i = 0; i < [screens count]; ++i) {
            NSScreen *screen = [screens objectAtIndex:i];
            QuartzScreen entry;
            entry.frame = QRectF::fromCGRect([screen frame]);
            entry.backingScale = [screen backingScaleFactor];
            id number = [[screen deviceDescription] objectForKey:@"NSScreenNumber"];
            if ([number isKindOfClass:[NSNumber class]])
                entry.displayId = quint32([number unsignedIntValue]);
            result.append(entry);
        }
        return result;
    }

    qreal mainDisplayHeight() const override {
        return CGDisplayBounds(CGMainDisplayID()).size.height;
    }

    QPointF cursorLocation() const override {
        // An event made from no source carries the current pointer position.
        CGEventRef event = CGEventCreate(nullptr);
        if (!event)
            return {};
        const CGPoint location = CGEventGetLocation(event);
        CFRelease(event);
        return QPointF::fromCGPoint(location);
    }

    std::unique_ptr<QuartzTap> listenOnlyTap(quint64 mask, TapHandler handler) override {
        auto tap = std::make_unique<AppleTap>(mask, std::move(handler));
        if (!tap->exists())
            return nullptr;
        return tap;
    }

    void shareableContent(ShareableHandler done) override {
        [SCShareableContent
            getShareableContentExcludingDesktopWindows:NO
                                   onScreenWindowsOnly:YES
                                     completionHandler:^(SCShareableContent *content,
                                                         NSError *error) {
                                       QuartzShareableContent answer;
                                       answer.error = describe(error);
                                       NSArray<SCDisplay *> *displays =
                                           content ? [content displays] : nil;
                                       for (NSUInteger i = 0; i < [displays count]; ++i) {
                                           SCDisplay *display = [displays objectAtIndex:i];
                                           SCContentFilter *filter = [[SCContentFilter alloc]
                                                initWithDisplay:display
                                               excludingWindows:[NSArray array]];
                                           answer.displays.append(QuartzShareableDisplay{
                                               quint32([display displayID]),
                                               std::make_shared<AppleScreenshotSource>(filter)});
                                       }
                                       done(std::move(answer));
                                     }];
    }

    QList<quint32> activeDisplays() const override {
        CGDirectDisplayID displays[32];
        CGDisplayCount count = 0;
        if (CGGetActiveDisplayList(32, displays, &count) != kCGErrorSuccess)
            return {};
        return QList<quint32>(displays, displays + count);
    }

    QImage displayImage(quint32 displayId, const QRect &rect) const override {
        // Looked up at run time: the call is gone from the macOS 15 SDK, and only macOS 13
        // comes here, where it exists.
        using CreateImageForRect = CGImageRef (*)(CGDirectDisplayID, CGRect);
        static const auto createImage = reinterpret_cast<CreateImageForRect>(
            dlsym(RTLD_DEFAULT, "CGDisplayCreateImageForRect"));
        if (!createImage)
            return {};
        CGImageRef image = createImage(displayId, QRectF(rect).toCGRect());
        const QImage result = imageFrom(image);
        if (image)
            CGImageRelease(image);
        return result;
    }

    void setWindowLevel(QWindow &window, qint64 level, quint64 collectionBehavior) override {
        // The toolkit's native handle of a window is its NSView.
        NSView *view = (__bridge NSView *)reinterpret_cast<void *>(window.winId());
        NSWindow *nativeWindow = [view window];
        if (!nativeWindow)
            return;
        [nativeWindow setLevel:NSWindowLevel(level)];
        [nativeWindow setCollectionBehavior:NSWindowCollectionBehavior(collectionBehavior)];
    }
};

} // namespace

std::unique_ptr<QuartzSystem> QuartzSystem::create() {
    return std::make_unique<AppleQuartzSystem>();
}
