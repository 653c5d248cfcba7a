#include "platform/X11DesktopServices.h"

#include "platform/GlobalCoordinates.h"
#include "platform/NativePixels.h"
#include "platform/X11InputObserver.h"
#include "tools/Error.h"

#include <QCoroFuture>
#include <QCoroTimer>
#include <QGuiApplication>

#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>

namespace {

// Without a compositor, windows uncovered by a closed overlay repaint only after their owners
// handle the expose events; a capture taken before that shows the overlay's leftovers.
constexpr std::chrono::milliseconds repaintAllowance{150};

// A monitor that never fires: stands for the in-application monitor.
class SilentMonitor : public InputMonitor {
public:
    void stop() override {}
};

Display *applicationDisplay() {
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

xcb_connection_t *applicationConnection() {
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

QByteArray applicationDisplayName() {
    // The display the application itself talks to (it may come from -display, not $DISPLAY).
    Display *display = applicationDisplay();
    return display ? QByteArray(DisplayString(display)) : QByteArray();
}

QRect nativeScreenRect(const QScreen *screen) {
    return NativePixels::screenRect(screen->geometry(), screen->devicePixelRatio());
}

} // namespace

X11DesktopServices::X11DesktopServices()
    : m_grabber(applicationDisplayName()) {}

std::optional<QString> X11DesktopServices::sessionProblem(bool waylandSession, int xScreenCount) {
    if (waylandSession)
        return QStringLiteral(
            "Step recording needs an X11 session. In a Wayland session Quillmarch can neither "
            "see clicks in other apps nor read their windows. Log out and choose an X11 (Xorg) "
            "session to record steps.");
    if (xScreenCount > 1)
        return QStringLiteral(
                   "Step recording needs a single X screen, but this display has %1 separate X "
                   "screens. "
                   "Set up your monitors as one X screen (RandR or Xinerama) to record steps.")
            .arg(xScreenCount);
    return std::nullopt;
}

std::optional<QString> X11DesktopServices::unavailableReason() const {
    xcb_connection_t *connection = applicationConnection();
    const int screens = connection ? xcb_setup_roots_length(xcb_get_setup(connection)) : 1;
    if (auto problem = sessionProblem(!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"), screens))
        return problem;
    return m_grabber.problem();
}

bool X11DesktopServices::windowsCanBeTranslucent() const {
    Display *display = applicationDisplay();
    if (!display)
        return false;
    // A compositing manager owns the _NET_WM_CM_Sn selection of the screen it manages.
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(DefaultScreen(display));
    const Atom selection = XInternAtom(display, name.constData(), False);
    return XGetSelectionOwner(display, selection) != 0;
}

QImage X11DesktopServices::screenSnapshot(const DesktopScreen &screen) const {
    if (!screen.qtScreen)
        return {};
    QImage image = m_grabber.grab(nativeScreenRect(screen.qtScreen));
    image.setDevicePixelRatio(screen.qtScreen->devicePixelRatio());
    return image;
}

QCoro::Task<QList<CaptureDisplay>> X11DesktopServices::capturableDisplays() {
    co_await QCoro::sleepFor(repaintAllowance);
    co_return co_await QtDesktopServices::capturableDisplays();
}

QCoro::Task<QImage> X11DesktopServices::capture(quint32 displayId, QRectF sourceRect,
                                                QSize pixelSize) {
    const QScreen *screen = screenWithIdentifier(displayId);
    if (!screen)
        throw PlatformError(QStringLiteral("The display is no longer available."));
    QRect native =
        NativePixels::rect(screen->geometry().topLeft(), screen->devicePixelRatio(), sourceRect);
    native.setSize(pixelSize);
    if (const std::optional<QString> problem = m_grabber.problem())
        throw PlatformError(*problem);
    QImage image = co_await m_grabber.grabInBackground(native);
    if (image.isNull())
        throw PlatformError(QStringLiteral("The screen could not be read."));
    co_return image;
}

std::optional<MonitorToken> X11DesktopServices::addGlobalMonitor(EventMask mask,
                                                                 InputHandler handler) {
    return keepMonitor(std::make_unique<X11InputObserver>(mask, std::move(handler)));
}

std::optional<MonitorToken> X11DesktopServices::addLocalMonitor(EventMask, InputHandler) {
    return keepMonitor(std::make_unique<SilentMonitor>());
}

QPointF X11DesktopServices::pointerLocation() const {
    xcb_connection_t *connection = applicationConnection();
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (!connection || !primary)
        return QtDesktopServices::pointerLocation();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_query_pointer_reply_t *reply =
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), nullptr);
    if (!reply)
        return QtDesktopServices::pointerLocation();
    const QPoint native(reply->root_x, reply->root_y);
    std::free(reply);
    const GlobalCoordinates coordinates{QRectF(primary->geometry())};
    const QList<QScreen *> all = QGuiApplication::screens();
    for (const QScreen *screen : all) {
        if (nativeScreenRect(screen).contains(native))
            return coordinates.fromToolkit(NativePixels::toPoints(
                screen->geometry().topLeft(), screen->devicePixelRatio(), QPointF(native)));
    }
    return QtDesktopServices::pointerLocation();
}
