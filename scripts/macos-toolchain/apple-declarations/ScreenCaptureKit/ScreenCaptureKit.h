// ScreenCaptureKit, as far as the macOS backend uses it (see ../README.md), with the macOS
// version each interface appeared in, so a call outside an availability check is reported.
#pragma once

#include <CoreGraphics/CoreGraphics.h>
#include <Foundation/Foundation.h>

#define QUILLMARCH_MACOS(version) __attribute__((availability(macos, introduced = version)))

QUILLMARCH_MACOS(12.3)
@interface SCDisplay : NSObject
@property(readonly) CGDirectDisplayID displayID;
@end

QUILLMARCH_MACOS(12.3)
@interface SCWindow : NSObject
@end

QUILLMARCH_MACOS(12.3)
@interface SCShareableContent : NSObject
+ (void)getShareableContentExcludingDesktopWindows:(BOOL)excludeDesktopWindows
                               onScreenWindowsOnly:(BOOL)onScreenWindowsOnly
                                 completionHandler:
                                     (void (^)(SCShareableContent *shareableContent,
                                               NSError *error))completionHandler;
@property(readonly) NSArray<SCDisplay *> *displays;
@end

QUILLMARCH_MACOS(12.3)
@interface SCContentFilter : NSObject
- (instancetype)initWithDisplay:(SCDisplay *)display
               excludingWindows:(NSArray<SCWindow *> *)excluded;
@end

QUILLMARCH_MACOS(12.3)
@interface SCStreamConfiguration : NSObject
@property size_t width;
@property size_t height;
@property CGRect sourceRect;
@property BOOL showsCursor;
@end

QUILLMARCH_MACOS(14.0)
@interface SCScreenshotManager : NSObject
+ (void)captureImageWithFilter:(SCContentFilter *)contentFilter
                 configuration:(SCStreamConfiguration *)config
             completionHandler:(void (^)(CGImageRef sampleBuffer, NSError *error))completionHandler;
@end

#undef QUILLMARCH_MACOS
