#include "platform/DesktopServices.h"

#include "platform/QtDesktopServices.h"
#ifdef QUILLMARCH_HAVE_X11
#include "platform/X11DesktopServices.h"
#endif
#ifdef QUILLMARCH_HAVE_QUARTZ
#include "platform/MacDesktopServices.h"
#endif

#include <QGuiApplication>
#include <QWindow>

std::shared_ptr<DesktopServices> DesktopServices::createDefault() {
#ifdef QUILLMARCH_HAVE_X11
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        return std::make_shared<X11DesktopServices>();
#endif
#ifdef QUILLMARCH_HAVE_QUARTZ
    if (QGuiApplication::platformName() == QLatin1String("cocoa"))
        return std::make_shared<MacDesktopServices>(QuartzSystem::create());
#endif
    return std::make_shared<QtDesktopServices>();
}

void DesktopServices::prepareOverlayWindow(QWindow &window) {
    // Bypassing the window manager keeps X11 window managers from framing, placing or
    // stacking the overlay below panels; other platforms ignore that hint.
    window.setFlags(window.flags() | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                    Qt::BypassWindowManagerHint | Qt::NoDropShadowWindowHint);
}
