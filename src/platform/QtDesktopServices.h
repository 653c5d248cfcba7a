#pragma once

#include "platform/DesktopServices.h"
#include "platform/InputMonitor.h"

#include <map>

// The backend that needs nothing beyond the toolkit: screens and captures come from QScreen, and
// only input sent to this application can be observed: adding a global monitor fails with a
// reason. No permission prompts exist, so both checks pass. Platform backends derive from it.
class QtDesktopServices : public DesktopServices {
public:
    QtDesktopServices();
    ~QtDesktopServices() override;

    bool screenCaptureAllowed() override { return true; }
    bool requestScreenCapture() override { return true; }
    bool inputObservationAllowed() override { return true; }
    bool requestInputObservation() override { return true; }

    QList<DesktopScreen> screens() const override;
    bool windowsCanBeTranslucent() const override { return true; }
    QImage screenSnapshot(const DesktopScreen &screen) const override;
    QCoro::Task<QList<CaptureDisplay>> capturableDisplays() override;
    QCoro::Task<QImage> capture(quint32 displayId, QRectF sourceRect, QSize pixelSize) override;

    std::optional<MonitorToken> addGlobalMonitor(EventMask mask, InputHandler handler) override;
    std::optional<MonitorToken> addLocalMonitor(EventMask mask, InputHandler handler) override;
    void removeMonitor(MonitorToken token) override;
    int activeMonitorCount() const override { return int(m_monitors.size()); }

    QPointF pointerLocation() const override;

    // A stable 32-bit identifier for a screen, derived from its name.
    static quint32 displayIdentifier(const QScreen *screen);
    static QScreen *screenWithIdentifier(quint32 displayId);

protected:
    // The pixels of `area` (points, relative to the screen's top-left corner).
    virtual QPixmap grabScreenArea(QScreen *screen, const QRect &area) const;
    MonitorToken keepMonitor(std::unique_ptr<InputMonitor> monitor);

private:
    std::map<MonitorToken, std::unique_ptr<InputMonitor>> m_monitors;
    MonitorToken m_nextToken = 1;
};
