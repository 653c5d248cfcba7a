// Core Graphics, as far as the macOS backend uses it (see ../README.md).
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <stddef.h>

typedef double CGFloat;

struct CGPoint {
    CGFloat x;
    CGFloat y;
};
typedef struct CGPoint CGPoint;

struct CGSize {
    CGFloat width;
    CGFloat height;
};
typedef struct CGSize CGSize;

struct CGRect {
    CGPoint origin;
    CGSize size;
};
typedef struct CGRect CGRect;

static inline CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat width, CGFloat height) {
    CGRect rect;
    rect.origin.x = x;
    rect.origin.y = y;
    rect.size.width = width;
    rect.size.height = height;
    return rect;
}

typedef uint32_t CGDirectDisplayID;
typedef uint32_t CGDisplayCount;

enum CGError : int32_t { kCGErrorSuccess = 0, kCGErrorFailure = 1000 };
typedef enum CGError CGError;

// Images and bitmap contexts.
typedef struct CGImage *CGImageRef;
typedef struct CGColorSpace *CGColorSpaceRef;
typedef struct CGContext *CGContextRef;

enum CGImageAlphaInfo : uint32_t {
    kCGImageAlphaNone = 0,
    kCGImageAlphaPremultipliedLast = 1,
    kCGImageAlphaPremultipliedFirst = 2,
    kCGImageAlphaLast = 3,
    kCGImageAlphaFirst = 4,
    kCGImageAlphaNoneSkipLast = 5,
    kCGImageAlphaNoneSkipFirst = 6,
    kCGImageAlphaOnly = 7
};
typedef enum CGImageAlphaInfo CGImageAlphaInfo;

typedef uint32_t CGBitmapInfo;
enum : uint32_t {
    kCGBitmapAlphaInfoMask = 0x1F,
    kCGBitmapByteOrderDefault = (0 << 12),
    kCGBitmapByteOrder16Little = (1 << 12),
    kCGBitmapByteOrder32Little = (2 << 12),
    kCGBitmapByteOrder16Big = (3 << 12),
    kCGBitmapByteOrder32Big = (4 << 12)
};

// Events and event taps.
typedef struct __CGEvent *CGEventRef;
typedef struct __CGEventTapProxy *CGEventTapProxy;
typedef struct __CGEventSource *CGEventSourceRef;
typedef uint64_t CGEventMask;

enum CGEventType : uint32_t {
    kCGEventNull = 0,
    kCGEventLeftMouseDown = 1,
    kCGEventLeftMouseUp = 2,
    kCGEventRightMouseDown = 3,
    kCGEventRightMouseUp = 4,
    kCGEventMouseMoved = 5,
    kCGEventKeyDown = 10,
    kCGEventKeyUp = 11,
    kCGEventOtherMouseDown = 25,
    kCGEventTapDisabledByTimeout = 0xFFFFFFFE,
    kCGEventTapDisabledByUserInput = 0xFFFFFFFF
};
typedef enum CGEventType CGEventType;

enum CGEventTapLocation : uint32_t {
    kCGHIDEventTap = 0,
    kCGSessionEventTap = 1,
    kCGAnnotatedSessionEventTap = 2
};
typedef enum CGEventTapLocation CGEventTapLocation;

enum CGEventTapPlacement : uint32_t { kCGHeadInsertEventTap = 0, kCGTailAppendEventTap = 1 };
typedef enum CGEventTapPlacement CGEventTapPlacement;

enum CGEventTapOptions : uint32_t {
    kCGEventTapOptionDefault = 0,
    kCGEventTapOptionListenOnly = 1
};
typedef enum CGEventTapOptions CGEventTapOptions;

enum CGEventField : uint32_t { kCGKeyboardEventKeycode = 9 };
typedef enum CGEventField CGEventField;

typedef CGEventRef (*CGEventTapCallBack)(CGEventTapProxy proxy, CGEventType type,
                                         CGEventRef event, void *userInfo);

extern "C" {
// Privacy.
bool CGPreflightScreenCaptureAccess(void);
bool CGRequestScreenCaptureAccess(void);
bool CGPreflightListenEventAccess(void);
bool CGRequestListenEventAccess(void);

// Displays.
CGDirectDisplayID CGMainDisplayID(void);
CGRect CGDisplayBounds(CGDirectDisplayID display);
CGError CGGetActiveDisplayList(uint32_t maxDisplays, CGDirectDisplayID *activeDisplays,
                               uint32_t *displayCount);

// Images and bitmap contexts.
extern const CFStringRef kCGColorSpaceSRGB;
size_t CGImageGetWidth(CGImageRef image);
size_t CGImageGetHeight(CGImageRef image);
void CGImageRelease(CGImageRef image);
CGColorSpaceRef CGColorSpaceCreateWithName(CFStringRef name);
void CGColorSpaceRelease(CGColorSpaceRef space);
CGContextRef CGBitmapContextCreate(void *data, size_t width, size_t height,
                                   size_t bitsPerComponent, size_t bytesPerRow,
                                   CGColorSpaceRef space, uint32_t bitmapInfo);
void CGContextDrawImage(CGContextRef c, CGRect rect, CGImageRef image);
void CGContextRelease(CGContextRef c);

// Events and event taps.
CGEventRef CGEventCreate(CGEventSourceRef source);
CGPoint CGEventGetLocation(CGEventRef event);
int64_t CGEventGetIntegerValueField(CGEventRef event, CGEventField field);
CFMachPortRef CGEventTapCreate(CGEventTapLocation tap, CGEventTapPlacement place,
                               CGEventTapOptions options, CGEventMask eventsOfInterest,
                               CGEventTapCallBack callback, void *userInfo);
void CGEventTapEnable(CFMachPortRef tap, bool enable);
}
