#pragma once

#include "platform/DesktopServices.h"

#include <optional>

// How Quartz (CoreGraphics) event-tap events become the recorder's input events. The numbers
// are CoreGraphics' own (CGEventType, CGEventMask, virtual key codes), so this runs and is
// tested on every platform; only the tap itself is macOS code.
namespace QuartzEvents {

// CGEventType values.
constexpr quint32 leftMouseDown = 1;   // kCGEventLeftMouseDown
constexpr quint32 rightMouseDown = 3;  // kCGEventRightMouseDown
constexpr quint32 keyDown = 10;        // kCGEventKeyDown
constexpr quint32 otherMouseDown = 25; // kCGEventOtherMouseDown: middle and extra buttons
constexpr quint32 tapDisabledByTimeout = 0xFFFFFFFE;   // kCGEventTapDisabledByTimeout
constexpr quint32 tapDisabledByUserInput = 0xFFFFFFFF; // kCGEventTapDisabledByUserInput

// The CGEventMask for the types in `mask` that a tap can report (bit n stands for type n).
quint64 tapMask(EventMask mask);

// The input event for a Quartz event of `type` with `keyCode` (the event's
// kCGKeyboardEventKeycode field; ignored for mouse events), or none when `mask` does not ask
// for it. Only the left and right buttons count as clicks.
std::optional<InputEvent> inputEvent(quint32 type, qint64 keyCode, EventMask mask);

// Whether the system has switched the tap off (it does when a callback was slow, or on the
// user's secure input) and it must be switched on again to keep observing.
bool tapSwitchedOff(quint32 type);

} // namespace QuartzEvents
