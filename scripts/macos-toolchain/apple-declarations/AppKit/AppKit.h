// AppKit, as far as the macOS backend uses it (see ../README.md).
#pragma once

#include <CoreGraphics/CoreGraphics.h>
#include <Foundation/Foundation.h>

typedef CGRect NSRect;
typedef NSInteger NSWindowLevel;

typedef NSUInteger NSWindowCollectionBehavior;
enum : NSUInteger {
    NSWindowCollectionBehaviorDefault = 0,
    NSWindowCollectionBehaviorCanJoinAllSpaces = 1 << 0,
    NSWindowCollectionBehaviorFullScreenAuxiliary = 1 << 8
};

@class NSWindow;

@interface NSResponder : NSObject
@end

@interface NSView : NSResponder
@property(readonly, assign) NSWindow *window;
@end

@interface NSWindow : NSResponder
@property NSWindowLevel level;
@property NSWindowCollectionBehavior collectionBehavior;
@end

@interface NSScreen : NSObject
@property(class, readonly, copy) NSArray<NSScreen *> *screens;
@property(readonly) NSRect frame;
@property(readonly) CGFloat backingScaleFactor;
@property(readonly, copy) NSDictionary<NSString *, id> *deviceDescription;
@end
