#include "platform/QtDesktopServices.h"

#include "platform/GlobalCoordinates.h"
#include "tools/Error.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>

namespace {

GlobalCoordinates desktopCoordinates() {
    const QScreen *primary = QGuiApplication::primaryScreen();
    return GlobalCoordinates(primary ? QRectF(primary->geometry()) : QRectF());
}

int keyCodeFor(const QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        return HardwareKey::Escape;
    case Qt::Key_Return:
        return HardwareKey::Return;
    case Qt::Key_Enter:
        return HardwareKey::KeypadEnter;
    default:
        return HardwareKey::Unknown;
    }
}

// Watches the application's own mouse and key presses; every event is passed on unchanged.
class ApplicationInputFilter : public InputMonitor {
public:
    ApplicationInputFilter(EventMask mask, InputHandler handler)
        : m_mask(mask)
        , m_handler(std::move(handler)) {
        QCoreApplication::instance()->installEventFilter(this);
    }

    void stop() override {
        QCoreApplication::instance()->removeEventFilter(this);
        m_mask = 0;
    }

    bool eventFilter(QObject *watched, QEvent *event) override {
        // Each press reaches the filter once per widget on its way; the window sees it once.
        if (!watched->isWindowType())
            return false;
        std::optional<InputEvent> seen;
        if (event->type() == QEvent::MouseButtonPress) {
            const auto button = static_cast<QMouseEvent *>(event)->button();
            if (button == Qt::LeftButton)
                seen = InputEvent{InputEvent::LeftMouseDown, HardwareKey::Unknown, std::nullopt};
            else if (button == Qt::RightButton)
                seen = InputEvent{InputEvent::RightMouseDown, HardwareKey::Unknown, std::nullopt};
        } else if (event->type() == QEvent::KeyPress) {
            seen = InputEvent{InputEvent::KeyDown, keyCodeFor(static_cast<QKeyEvent *>(event)),
                              std::nullopt};
        }
        if (seen && (m_mask & eventMaskBit(seen->type)))
            m_handler(*seen);
        return false;
    }

private:
    EventMask m_mask;
    InputHandler m_handler;
};

} // namespace

QtDesktopServices::QtDesktopServices() = default;
QtDesktopServices::~QtDesktopServices() = default;

quint32 QtDesktopServices::displayIdentifier(const QScreen *screen) {
    // FNV-1a: stable across runs, unlike the toolkit's seeded hash.
    quint32 hash = 2166136261u;
    for (const char byte : screen->name().toUtf8()) {
        hash ^= quint8(byte);
        hash *= 16777619u;
    }
    return hash;
}

QScreen *QtDesktopServices::screenWithIdentifier(quint32 displayId) {
    const QList<QScreen *> all = QGuiApplication::screens();
    for (QScreen *screen : all) {
        if (displayIdentifier(screen) == displayId)
            return screen;
    }
    return nullptr;
}

QList<DesktopScreen> QtDesktopServices::screens() const {
    const GlobalCoordinates coordinates = desktopCoordinates();
    QList<DesktopScreen> result;
    const QList<QScreen *> all = QGuiApplication::screens();
    for (QScreen *screen : all) {
        result.append(DesktopScreen{coordinates.fromToolkit(QRectF(screen->geometry())),
                                    screen->devicePixelRatio(), displayIdentifier(screen), screen});
    }
    return result;
}

QImage QtDesktopServices::screenSnapshot(const DesktopScreen &screen) const {
    if (!screen.qtScreen)
        return {};
    return grabScreenArea(screen.qtScreen, QRect(QPoint(0, 0), screen.qtScreen->size())).toImage();
}

QCoro::Task<QList<CaptureDisplay>> QtDesktopServices::capturableDisplays() {
    QList<CaptureDisplay> result;
    const QList<QScreen *> all = QGuiApplication::screens();
    for (const QScreen *screen : all)
        result.append(CaptureDisplay{displayIdentifier(screen)});
    co_return result;
}

QCoro::Task<QImage> QtDesktopServices::capture(quint32 displayId, QRectF sourceRect,
                                               QSize pixelSize) {
    QScreen *screen = screenWithIdentifier(displayId);
    if (!screen)
        throw PlatformError(QStringLiteral("The display is no longer available."));
    QImage image = grabScreenArea(screen, sourceRect.toAlignedRect()).toImage();
    if (image.isNull())
        throw PlatformError(QStringLiteral("The screen could not be read."));
    if (image.size() != pixelSize)
        image = image.scaled(pixelSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(1.0);
    co_return image.convertToFormat(QImage::Format_RGB32);
}

QPixmap QtDesktopServices::grabScreenArea(QScreen *screen, const QRect &area) const {
    // Window 0 stands for the whole screen; the area is relative to the screen.
    return screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
}

std::optional<MonitorToken> QtDesktopServices::addGlobalMonitor(EventMask, InputHandler) {
    throw PlatformError(
        QStringLiteral("Clicks in other applications cannot be observed on this platform (%1).")
            .arg(QGuiApplication::platformName()));
}

std::optional<MonitorToken> QtDesktopServices::addLocalMonitor(EventMask mask,
                                                               InputHandler handler) {
    return keepMonitor(std::make_unique<ApplicationInputFilter>(mask, std::move(handler)));
}

void QtDesktopServices::removeMonitor(MonitorToken token) {
    // A handler may be running right now (it may have asked for its own removal).
    const auto found = m_monitors.find(token);
    if (found == m_monitors.end())
        return;
    InputMonitor *monitor = found->second.release();
    monitor->stop();
    monitor->deleteLater();
    m_monitors.erase(found);
}

MonitorToken QtDesktopServices::keepMonitor(std::unique_ptr<InputMonitor> monitor) {
    const MonitorToken token = m_nextToken++;
    m_monitors.emplace(token, std::move(monitor));
    return token;
}

QPointF QtDesktopServices::pointerLocation() const {
    return desktopCoordinates().fromToolkit(QPointF(QCursor::pos()));
}
