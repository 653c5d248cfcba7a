#pragma once

#include "platform/DesktopServices.h"
#include "platform/InputMonitor.h"

#include <memory>

class QSocketNotifier;
struct _XDisplay;

// Observes button and key presses anywhere on the X display through XInput2 raw events,
// selected on the root window of a connection of its own. Raw events are copies: the input
// still goes where it was going, nothing is grabbed. Events are read on the main thread when
// the connection's descriptor becomes readable. With libX11 1.8 or later a broken connection
// does not end the process: the handler receives one MonitorFailed event instead (older
// libraries have no way to survive it and end the process, as for any X client).
class X11InputObserver : public InputMonitor {
public:
    // Throws PlatformError when the display cannot be opened or lacks XInput 2.
    X11InputObserver(EventMask mask, InputHandler handler);
    ~X11InputObserver() override;

    void stop() override;
    // Called by Xlib when the connection breaks; the next read reports MonitorFailed.
    void markConnectionLost();

private:
    void readEvents();
    void handleRawEvent(int type, int detail);

    EventMask m_mask;
    InputHandler m_handler;
    _XDisplay *m_display = nullptr;
    int m_xinputOpcode = 0;
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_stopped = false;
    bool m_connectionLost = false;
};
