#include "platform/X11DesktopServices.h"

#include "platform/X11InputObserver.h"

#include <QCoroTimer>
#include <QGuiApplication>
#include <QPixmap>

#include <X11/Xlib.h>

#include <chrono>

namespace {

// Without a compositor, windows uncovered by a closed overlay repaint only after their owners
// handle the expose events; a capture taken before that shows the overlay's leftovers.
constexpr std::chrono::milliseconds repaintAllowance{150};

// A monitor that never fires: stands for the in-application monitor.
class SilentMonitor : public InputMonitor {
public:
    void stop() override {}
};

} // namespace

bool X11DesktopServices::windowsCanBeTranslucent() const {
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return false;
    // A compositing manager owns the _NET_WM_CM_Sn selection of the screen it manages.
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(DefaultScreen(display));
    const Atom selection = XInternAtom(display, name.constData(), False);
    return XGetSelectionOwner(display, selection) != 0;
}

QPixmap X11DesktopServices::grabScreenArea(QScreen *screen, const QRect &area) const {
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return QtDesktopServices::grabScreenArea(screen, area);
    const QRect global = area.translated(screen->geometry().topLeft());
    return screen->grabWindow(WId(DefaultRootWindow(display)), global.x(), global.y(),
                              global.width(), global.height());
}

QCoro::Task<QList<CaptureDisplay>> X11DesktopServices::capturableDisplays() {
    co_await QCoro::sleepFor(repaintAllowance);
    co_return co_await QtDesktopServices::capturableDisplays();
}

std::optional<MonitorToken> X11DesktopServices::addGlobalMonitor(EventMask mask,
                                                                 InputHandler handler) {
    return keepMonitor(std::make_unique<X11InputObserver>(mask, std::move(handler)));
}

std::optional<MonitorToken> X11DesktopServices::addLocalMonitor(EventMask, InputHandler) {
    return keepMonitor(std::make_unique<SilentMonitor>());
}
