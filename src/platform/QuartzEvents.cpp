#include "platform/QuartzEvents.h"

namespace QuartzEvents {

namespace {
// macOS virtual key codes are 7-bit; the recorder's hardware key codes are those same numbers.
constexpr qint64 highestKeyCode = 127;
} // namespace

quint64 tapMask(EventMask mask) {
    return quint64(mask & clicksAndKeys);
}

std::optional<InputEvent> inputEvent(quint32 type, qint64 keyCode, EventMask mask) {
    std::optional<InputEvent> event;
    switch (type) {
    case leftMouseDown:
        event = InputEvent{InputEvent::LeftMouseDown, HardwareKey::Unknown, std::nullopt};
        break;
    case rightMouseDown:
        event = InputEvent{InputEvent::RightMouseDown, HardwareKey::Unknown, std::nullopt};
        break;
    case keyDown: {
        const bool known = keyCode >= 0 && keyCode <= highestKeyCode;
        event = InputEvent{InputEvent::KeyDown, known ? int(keyCode) : HardwareKey::Unknown,
                           std::nullopt};
        break;
    }
    default:
        return std::nullopt;
    }
    if (!(mask & eventMaskBit(event->type)))
        return std::nullopt;
    return event;
}

bool tapSwitchedOff(quint32 type) {
    return type == tapDisabledByTimeout || type == tapDisabledByUserInput;
}

} // namespace QuartzEvents
