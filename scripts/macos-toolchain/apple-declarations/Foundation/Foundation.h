// Foundation, as far as the macOS backend uses it (see ../README.md). The root class, `id`,
// `BOOL` and `nil` come from the Objective-C runtime's own headers.
#pragma once

#include <CoreGraphics/CoreGraphics.h>
#include <objc/NSObject.h>

typedef long NSInteger;
typedef unsigned long NSUInteger;

@class NSString;

@interface NSString : NSObject
@end

@interface NSNumber : NSObject
@property(readonly) unsigned int unsignedIntValue;
@end

@interface NSArray<__covariant ObjectType> : NSObject
+ (instancetype)array;
@property(readonly) NSUInteger count;
- (ObjectType)objectAtIndex:(NSUInteger)index;
@end

@interface NSDictionary<__covariant KeyType, __covariant ObjectType> : NSObject
- (ObjectType)objectForKey:(KeyType)aKey;
@end

@interface NSError : NSObject
@property(readonly, copy) NSString *localizedDescription;
@end

typedef struct {
    NSInteger majorVersion;
    NSInteger minorVersion;
    NSInteger patchVersion;
} NSOperatingSystemVersion;

@interface NSProcessInfo : NSObject
@property(class, readonly, strong) NSProcessInfo *processInfo;
@property(readonly) NSOperatingSystemVersion operatingSystemVersion;
@end
