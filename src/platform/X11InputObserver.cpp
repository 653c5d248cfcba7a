#include "platform/X11InputObserver.h"

#include "tools/Error.h"

#include <QGuiApplication>
#include <QSocketNotifier>

#include <algorithm>
#include <mutex>
#include <vector>

// Xlib's macros (None, KeyPress, Bool...) clash with Qt names: include it last.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

namespace {

// X button numbers: 1 left, 2 middle, 3 right, 4-7 wheel.
constexpr int leftButton = 1;
constexpr int rightButton = 3;

int keyCodeForKeysym(KeySym keysym) {
    switch (keysym) {
    case XK_Escape:
        return HardwareKey::Escape;
    case XK_Return:
        return HardwareKey::Return;
    case XK_KP_Enter:
        return HardwareKey::KeypadEnter;
    default:
        return HardwareKey::Unknown;
    }
}

#ifdef QUILLMARCH_HAVE_IO_ERROR_EXIT_HANDLER
// Xlib reports a broken connection to one process-wide handler and then exits, unless the
// display has an exit handler that returns. The observers' connections are answered here; any
// other display goes on to the handler that was installed before (the toolkit's). Xlib calls
// the handler on whichever thread found the connection broken, so the list is guarded.
std::mutex observedMutex;
std::vector<Display *> observedDisplays;
XIOErrorHandler previousIOErrorHandler = nullptr;

bool isObserved(Display *display) {
    const std::lock_guard lock(observedMutex);
    return std::find(observedDisplays.begin(), observedDisplays.end(), display) !=
           observedDisplays.end();
}

int ioErrorHandler(Display *display) {
    if (isObserved(display))
        return 0;
    return previousIOErrorHandler ? previousIOErrorHandler(display) : 0;
}

void connectionLost(Display *, void *observer) {
    static_cast<X11InputObserver *>(observer)->markConnectionLost();
}

void watchConnection(Display *display, X11InputObserver *observer) {
    static const bool installed = [] {
        previousIOErrorHandler = XSetIOErrorHandler(ioErrorHandler);
        return true;
    }();
    Q_UNUSED(installed);
    {
        const std::lock_guard lock(observedMutex);
        observedDisplays.push_back(display);
    }
    XSetIOErrorExitHandler(display, connectionLost, observer);
}

void unwatchConnection(Display *display) {
    const std::lock_guard lock(observedMutex);
    observedDisplays.erase(std::remove(observedDisplays.begin(), observedDisplays.end(), display),
                           observedDisplays.end());
}
#else
// libX11 before 1.8 has no exit handler that returns: a broken connection ends the process, as
// it does for the toolkit's own connection to the same server.
void watchConnection(Display *, X11InputObserver *) {}
void unwatchConnection(Display *) {}
#endif

} // namespace

X11InputObserver::X11InputObserver(EventMask mask, InputHandler handler)
    : m_mask(mask)
    , m_handler(std::move(handler)) {
    // The display the application itself talks to (it may come from -display, not $DISPLAY).
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    m_display = XOpenDisplay(x11 && x11->display() ? DisplayString(x11->display()) : nullptr);
    if (!m_display)
        throw PlatformError(QStringLiteral("The X display cannot be opened to observe input."));
    watchConnection(m_display, this);
    int event = 0;
    int error = 0;
    // 2.2 delivers raw events even while another client grabs the pointer or keyboard (open
    // menus, drags); a 2.0 server answers 2.0 and still reports presses outside grabs.
    int major = 2;
    int minor = 2;
    if (!XQueryExtension(m_display, "XInputExtension", &m_xinputOpcode, &event, &error) ||
        XIQueryVersion(m_display, &major, &minor) != Success) {
        unwatchConnection(m_display);
        XCloseDisplay(m_display);
        m_display = nullptr;
        throw PlatformError(QStringLiteral("The X server cannot report input (XInput 2 missing)."));
    }

    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    if (mask & (eventMaskBit(InputEvent::LeftMouseDown) | eventMaskBit(InputEvent::RightMouseDown)))
        XISetMask(bits, XI_RawButtonPress);
    if (mask & eventMaskBit(InputEvent::KeyDown))
        XISetMask(bits, XI_RawKeyPress);
    // Master devices: one event per press, whichever physical (or XTest) device made it.
    XIEventMask selection{XIAllMasterDevices, int(sizeof bits), bits};
    XISelectEvents(m_display, DefaultRootWindow(m_display), &selection, 1);
    XFlush(m_display);

    m_notifier =
        std::make_unique<QSocketNotifier>(ConnectionNumber(m_display), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] { readEvents(); });
}

X11InputObserver::~X11InputObserver() {
    m_notifier.reset();
    if (m_display) {
        XCloseDisplay(m_display);
        unwatchConnection(m_display);
    }
}

void X11InputObserver::markConnectionLost() {
    m_connectionLost = true;
}

void X11InputObserver::stop() {
    m_stopped = true;
    m_notifier->setEnabled(false);
}

void X11InputObserver::readEvents() {
    // XPending also reads what the socket holds, so the notifier does not fire again for
    // events already queued.
    while (!m_stopped && !m_connectionLost && XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        XGenericEventCookie *cookie = &event.xcookie;
        if (cookie->type != GenericEvent || cookie->extension != m_xinputOpcode ||
            !XGetEventData(m_display, cookie))
            continue;
        const int type = cookie->evtype;
        const int detail = static_cast<XIRawEvent *>(cookie->data)->detail;
        XFreeEventData(m_display, cookie);
        handleRawEvent(type, detail);
    }
    if (m_connectionLost && !m_stopped) {
        stop();
        m_handler(InputEvent{InputEvent::MonitorFailed, HardwareKey::Unknown, std::nullopt});
    }
}

void X11InputObserver::handleRawEvent(int type, int detail) {
    InputEvent seen;
    if (type == XI_RawButtonPress && detail == leftButton) {
        seen.type = InputEvent::LeftMouseDown;
    } else if (type == XI_RawButtonPress && detail == rightButton) {
        seen.type = InputEvent::RightMouseDown;
    } else if (type == XI_RawKeyPress) {
        seen.type = InputEvent::KeyDown;
        seen.keyCode = keyCodeForKeysym(XkbKeycodeToKeysym(m_display, KeyCode(detail), 0, 0));
    } else {
        return;
    }
    if (m_mask & eventMaskBit(seen.type))
        m_handler(seen);
}
