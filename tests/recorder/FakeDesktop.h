#pragma once

// A desktop whose permissions, displays and captures the test decides, for the paths a real X
// server cannot produce (refused permissions, a display that goes away, a capture that is still
// pending when recording stops). Input is delivered by the test through the stored handlers.

#include "platform/DesktopServices.h"
#include "recorder/SelectionOverlay.h"

#include <QCoroSignal>
#include <QCoroTimer>
#include <QObject>

#include <map>

class FakeDesktop : public QObject, public DesktopServices {
    Q_OBJECT

public:
    bool captureAllowed = true;
    bool captureGrantedOnRequest = false;
    bool inputAllowed = true;
    bool inputGrantedOnRequest = false;
    QList<DesktopScreen> screenList = {DesktopScreen{QRectF(0, 0, 1600, 1000), 1.0, 7u, nullptr}};
    QList<CaptureDisplay> displays = {CaptureDisplay{7u}};
    bool holdCaptures = false; // captures wait for releaseCaptures()
    int captureCount = 0;
    QPointF pointer;
    std::map<MonitorToken, InputHandler> monitors;

    bool screenCaptureAllowed() override { return captureAllowed; }
    bool requestScreenCapture() override { return captureGrantedOnRequest; }
    bool inputObservationAllowed() override { return inputAllowed; }
    bool requestInputObservation() override { return inputGrantedOnRequest; }
    QList<DesktopScreen> screens() const override { return screenList; }
    bool windowsCanBeTranslucent() const override { return true; }
    QImage screenSnapshot(const DesktopScreen &) const override { return {}; }

    // Like the real thing, the answers arrive on a later turn of the event loop.
    QCoro::Task<QList<CaptureDisplay>> capturableDisplays() override {
        co_await QCoro::sleepFor(std::chrono::milliseconds(0));
        QList<CaptureDisplay> current = displays; // `co_return member;` would move from it
        co_return current;
    }

    QCoro::Task<QImage> capture(quint32, QRectF, QSize pixelSize) override {
        if (holdCaptures)
            co_await qCoro(this, &FakeDesktop::capturesReleased);
        else
            co_await QCoro::sleepFor(std::chrono::milliseconds(0));
        ++captureCount;
        QImage image(pixelSize, QImage::Format_RGB32);
        image.fill(Qt::blue);
        co_return image;
    }

    std::optional<MonitorToken> addGlobalMonitor(EventMask, InputHandler handler) override {
        monitors.emplace(m_next, std::move(handler));
        return m_next++;
    }
    std::optional<MonitorToken> addLocalMonitor(EventMask, InputHandler) override {
        return std::nullopt; // the global monitor stands for both
    }
    void removeMonitor(MonitorToken token) override { monitors.erase(token); }
    int activeMonitorCount() const override { return int(monitors.size()); }
    QPointF pointerLocation() const override { return pointer; }

    void releaseCaptures() { emit capturesReleased(); }

    void deliver(const InputEvent &event) {
        const auto copy = monitors; // a handler may remove its monitor
        for (const auto &[token, handler] : copy)
            handler(event);
    }
    void click(QPointF at, InputEvent::Type type = InputEvent::LeftMouseDown) {
        pointer = at;
        deliver(InputEvent{type, HardwareKey::Unknown, std::nullopt});
    }
    void key(int code) { deliver(InputEvent{InputEvent::KeyDown, code, std::nullopt}); }

signals:
    void capturesReleased();

private:
    MonitorToken m_next = 1;
};

// Overlays that only remember their callbacks, so the test can answer for the user.
class FakeOverlay : public SelectionOverlay {
public:
    explicit FakeOverlay(SelectionOverlay::Finished finished, int *alive)
        : finished(std::move(finished))
        , m_alive(alive) {
        ++*m_alive;
    }
    ~FakeOverlay() override { --*m_alive; }
    void present() override {}
    void dismiss() override { delete this; }
    SelectionOverlay::Finished finished;

private:
    int *m_alive;
};
