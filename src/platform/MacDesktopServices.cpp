#include "platform/MacDesktopServices.h"

#include "platform/GlobalCoordinates.h"
#include "platform/PoolJob.h"
#include "platform/QuartzCapture.h"
#include "platform/QuartzCoordinates.h"
#include "platform/QuartzEvents.h"
#include "tools/Error.h"

#include <QCoroFuture>
#include <QGuiApplication>
#include <QPromise>

#include <atomic>

namespace {

const QString inputMonitoringMissingText =
    QStringLiteral("Allow Input Monitoring for Quillmarch in System Settings → Privacy & "
                   "Security, then quit and reopen Quillmarch.");
const QString tapRefusedText =
    QStringLiteral("macOS did not let Quillmarch observe clicks and keys although Input "
                   "Monitoring is allowed. Quit and reopen Quillmarch; if that does not help, "
                   "remove Quillmarch from Input Monitoring in System Settings → Privacy & "
                   "Security and add it again.");
const QString displayGoneText = QStringLiteral("The display is no longer available.");
const QString unreadableText = QStringLiteral("The screen could not be read.");
const QString unansweredText = QStringLiteral("macOS did not answer the capture request.");

// The answer to a system call that arrives on a thread of the system's choosing, as a future
// to await on the main thread. Should the system drop the callback unanswered, the future gets
// `unanswered`: it always gets its one result.
template <typename Answer> class PendingAnswer {
public:
    explicit PendingAnswer(Answer unanswered)
        : m_unanswered(std::move(unanswered)) {
        m_promise.start();
    }
    ~PendingAnswer() {
        if (!m_answered.exchange(true))
            finishWith(std::move(m_unanswered));
    }
    PendingAnswer(const PendingAnswer &) = delete;
    PendingAnswer &operator=(const PendingAnswer &) = delete;

    QFuture<Answer> future() { return m_promise.future(); }
    void answer(Answer answer) {
        if (!m_answered.exchange(true))
            finishWith(std::move(answer));
    }

private:
    void finishWith(Answer answer) {
        m_promise.addResult(std::move(answer));
        m_promise.finish();
    }

    QPromise<Answer> m_promise;
    Answer m_unanswered;
    std::atomic<bool> m_answered{false};
};

// Opaque RGB32 at exactly `size`, the recorder's form of a capture. Done where the image
// arrives, off the main thread.
QImage captureForm(QImage image, const QSize &size) {
    if (image.isNull())
        return {};
    if (image.size() != size)
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(1.0);
    return image.convertToFormat(QImage::Format_RGB32);
}

// Reports the tap's left and right clicks (where the event says they happened) and key
// presses; switches the tap back on when the system has switched it off.
class TapMonitor : public InputMonitor {
public:
    TapMonitor(QuartzSystem &quartz, EventMask mask, InputHandler handler)
        : m_quartz(quartz)
        , m_mask(mask)
        , m_handler(std::move(handler)) {
        m_tap = quartz.listenOnlyTap(QuartzEvents::tapMask(mask),
                                     [this](quint32 type, qint64 keyCode, QPointF location) {
                                         seen(type, keyCode, location);
                                     });
        if (m_tap)
            m_tap->setEnabled(true);
    }

    bool listening() const { return m_tap != nullptr; }

    void stop() override {
        m_stopped = true;
        if (m_tap)
            m_tap->setEnabled(false);
    }

private:
    void seen(quint32 type, qint64 keyCode, QPointF location) {
        if (m_stopped)
            return;
        if (QuartzEvents::tapSwitchedOff(type)) {
            m_tap->setEnabled(true);
            return;
        }
        std::optional<InputEvent> event = QuartzEvents::inputEvent(type, keyCode, m_mask);
        if (!event)
            return;
        // The event's own position: the pointer may have moved on by the time a busy main
        // loop hands the event over.
        if (event->type != InputEvent::KeyDown)
            event->location = QuartzCoordinates(m_quartz.mainDisplayHeight()).toModel(location);
        m_handler(*event);
    }

    QuartzSystem &m_quartz;
    EventMask m_mask;
    InputHandler m_handler;
    std::unique_ptr<QuartzTap> m_tap;
    bool m_stopped = false;
};

// A monitor that never fires: stands for the in-application monitor.
class CoveredMonitor : public InputMonitor {
public:
    void stop() override {}
};

// The toolkit's screen at the place of an AppKit screen frame, or null.
QScreen *toolkitScreenAt(const QRectF &frame) {
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (!primary)
        return nullptr;
    const QRect geometry =
        GlobalCoordinates(QRectF(primary->geometry())).toToolkit(frame).toAlignedRect();
    const QList<QScreen *> all = QGuiApplication::screens();
    for (QScreen *screen : all) {
        if (screen->geometry() == geometry)
            return screen;
    }
    return nullptr;
}

} // namespace

MacDesktopServices::MacDesktopServices(std::unique_ptr<QuartzSystem> quartz)
    : m_quartz(std::move(quartz)) {}

MacDesktopServices::~MacDesktopServices() = default;

bool MacDesktopServices::screenCaptureAllowed() {
    return m_quartz->preflightScreenCaptureAccess();
}

bool MacDesktopServices::requestScreenCapture() {
    return m_quartz->requestScreenCaptureAccess();
}

bool MacDesktopServices::inputObservationAllowed() {
    return m_quartz->preflightListenEventAccess();
}

bool MacDesktopServices::requestInputObservation() {
    return m_quartz->requestListenEventAccess();
}

QList<DesktopScreen> MacDesktopServices::screens() const {
    QList<DesktopScreen> result;
    const QList<QuartzScreen> all = m_quartz->screens();
    for (const QuartzScreen &screen : all) {
        result.append(DesktopScreen{screen.frame, screen.backingScale, screen.displayId,
                                    toolkitScreenAt(screen.frame)});
    }
    return result;
}

QCoro::Task<QList<CaptureDisplay>> MacDesktopServices::capturableDisplays() {
    QList<CaptureDisplay> result;
    if (!QuartzCapture::usesScreenCaptureKit(m_quartz->majorSystemVersion())) {
        const QList<quint32> active = m_quartz->activeDisplays();
        for (const quint32 displayId : active)
            result.append(CaptureDisplay{displayId});
        co_return result;
    }
    auto pending = std::make_shared<PendingAnswer<QuartzShareableContent>>(
        QuartzShareableContent{{}, unansweredText});
    const QFuture<QuartzShareableContent> answer = pending->future();
    m_quartz->shareableContent(
        [pending](QuartzShareableContent content) { pending->answer(std::move(content)); });
    const QuartzShareableContent content = co_await answer;
    if (!content.error.isEmpty())
        throw PlatformError(content.error);
    m_sources.clear();
    for (const QuartzShareableDisplay &display : content.displays) {
        m_sources[display.displayId] = display.source;
        result.append(CaptureDisplay{display.displayId});
    }
    co_return result;
}

QCoro::Task<QImage> MacDesktopServices::capture(quint32 displayId, QRectF sourceRect,
                                                QSize pixelSize) {
    std::optional<qreal> scale;
    const QList<QuartzScreen> all = m_quartz->screens();
    for (const QuartzScreen &screen : all) {
        if (screen.displayId == displayId)
            scale = screen.backingScale;
    }
    if (!scale)
        throw PlatformError(displayGoneText);
    const QuartzCapture::Plan plan = QuartzCapture::plan(sourceRect, pixelSize, *scale);
    QImage image;
    if (QuartzCapture::usesScreenCaptureKit(m_quartz->majorSystemVersion())) {
        image = co_await screenshot(displayId, plan.screenshotSource, pixelSize);
    } else {
        // Named, not temporaries of the awaiting expression: g++ 12 destroys those twice.
        const auto job = [quartz = m_quartz, displayId, plan] {
            const QImage whole = quartz->displayImage(displayId, plan.wholePoints);
            return captureForm(QuartzCapture::cropped(whole, plan), plan.pixels.size());
        };
        const QFuture<QImage> answer = runInPool(job);
        image = co_await answer;
    }
    if (image.isNull())
        throw PlatformError(unreadableText);
    co_return image;
}

QCoro::Task<QImage> MacDesktopServices::screenshot(quint32 displayId, QRectF sourceRect,
                                                   QSize pixelSize) {
    // The content filters of the last shareable-content answer serve every capture of an
    // arming; a display that is not among them asks again.
    if (m_sources.find(displayId) == m_sources.end())
        co_await capturableDisplays();
    const auto found = m_sources.find(displayId);
    if (found == m_sources.end())
        throw PlatformError(displayGoneText);
    auto pending = std::make_shared<PendingAnswer<QuartzImage>>(QuartzImage{{}, unansweredText});
    const QFuture<QuartzImage> answer = pending->future();
    found->second->capture(sourceRect, pixelSize, [pending, pixelSize](QuartzImage captured) {
        captured.image = captureForm(std::move(captured.image), pixelSize);
        pending->answer(std::move(captured));
    });
    const QuartzImage captured = co_await answer;
    if (!captured.error.isEmpty()) {
        m_sources.erase(displayId); // the next capture asks for fresh content
        throw PlatformError(captured.error);
    }
    co_return captured.image;
}

std::optional<MonitorToken> MacDesktopServices::addGlobalMonitor(EventMask mask,
                                                                 InputHandler handler) {
    if (!m_quartz->preflightListenEventAccess())
        throw PlatformError(inputMonitoringMissingText);
    auto monitor = std::make_unique<TapMonitor>(*m_quartz, mask, std::move(handler));
    if (!monitor->listening())
        throw PlatformError(tapRefusedText);
    return keepMonitor(std::move(monitor));
}

std::optional<MonitorToken> MacDesktopServices::addLocalMonitor(EventMask, InputHandler) {
    return keepMonitor(std::make_unique<CoveredMonitor>());
}

QPointF MacDesktopServices::pointerLocation() const {
    return QuartzCoordinates(m_quartz->mainDisplayHeight()).toModel(m_quartz->cursorLocation());
}

void MacDesktopServices::prepareOverlayWindow(QWindow &window) {
    QtDesktopServices::prepareOverlayWindow(window);
    m_quartz->setWindowLevel(window, overlayLevel, overlayCollectionBehavior);
    // The toolkit may set the level that matches the window's flags again when it shows the
    // window; the overlay level is put back right after. A frameless toolkit window can become
    // the key window by itself, so clicking the overlay gives it the keyboard.
    QObject::connect(
        &window, &QWindow::visibleChanged, &window, [quartz = m_quartz, &window](bool visible) {
            if (visible)
                quartz->setWindowLevel(window, overlayLevel, overlayCollectionBehavior);
        });
}
