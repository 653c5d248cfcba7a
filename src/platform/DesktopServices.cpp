#include "platform/DesktopServices.h"

#include "platform/QtDesktopServices.h"
#ifdef QUILLMARCH_HAVE_X11
#include "platform/X11DesktopServices.h"
#endif

#include <QGuiApplication>

std::shared_ptr<DesktopServices> DesktopServices::createDefault() {
#ifdef QUILLMARCH_HAVE_X11
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        return std::make_shared<X11DesktopServices>();
#endif
    return std::make_shared<QtDesktopServices>();
}
