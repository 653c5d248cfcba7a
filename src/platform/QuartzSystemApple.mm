// The macOS calls behind QuartzSystem, one framework call per operation: CoreGraphics for the
// permissions, the pointer and the listen-only event tap; AppKit for the window level. What to
// ask for and what the answers mean is decided in MacDesktopServices.
#include "platform/QuartzSystem.h"

#import <AppKit/AppKit.h>
#include <CoreGraphics/CoreGraphics.h>

namespace {

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
        // Only key events carry a key code; the tap-switched-off notices may come without an event.
        const qint64 keyCode = type == kCGEventKeyDown && event
                                   ? CGEventGetIntegerValueField(event, kCGKeyboardEventKeycode)
                                   : -1;
        static_cast<AppleTap *>(tap)->m_handler(quint32(type), keyCode);
        return event; // a listen-only tap's answer is ignored: the event goes on unchanged
    }

    QuartzSystem::TapHandler m_handler;
    CFMachPortRef m_port = nullptr;
    CFRunLoopSourceRef m_source = nullptr;
};

class AppleQuartzSystem : public QuartzSystem {
public:
    bool preflightScreenCaptureAccess() override { return CGPreflightScreenCaptureAccess(); }
    bool requestScreenCaptureAccess() override { return CGRequestScreenCaptureAccess(); }
    bool preflightListenEventAccess() override { return CGPreflightListenEventAccess(); }
    bool requestListenEventAccess() override { return CGRequestListenEventAccess(); }

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
        return {location.x, location.y};
    }

    std::unique_ptr<QuartzTap> listenOnlyTap(quint64 mask, TapHandler handler) override {
        auto tap = std::make_unique<AppleTap>(mask, std::move(handler));
        if (!tap->exists())
            return nullptr;
        return tap;
    }

    void setWindowLevel(QWindow &window, qint64 level, quint64 collectionBehavior) override {
        // The toolkit's native handle of a window is its NSView.
        NSView *view = reinterpret_cast<NSView *>(window.winId());
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
