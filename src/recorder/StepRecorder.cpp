#include "recorder/StepRecorder.h"

#include "recorder/CaptureTask.h"
#include "recorder/StepGeometry.h"
#include "recorder/StepImage.h"
#include "tools/Error.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPointer>
#include <QSaveFile>

#include <chrono>

namespace {

const QString chooseAreaText = QStringLiteral("Choose an area, then click once in the target app.");
const QString stoppedText = QStringLiteral("Recording stopped.");
const QString selectionCancelledText =
    QStringLiteral("Selection cancelled. Choose an area at least 30 × 30 points.");
const QString preparingText =
    QStringLiteral("Preparing capture… Wait for Ready before clicking. Escape cancels.");
const QString readyText =
    QStringLiteral("Ready — click inside the selected area to capture this step.");
const QString copiedText = QStringLiteral("Image copied. Paste it into your reply.");
const QString screenRecordingRefused =
    QStringLiteral("Allow Screen Recording for Quillmarch in System Settings → Privacy & Security. "
                   "You may need to quit and reopen Quillmarch.");
const QString inputMonitoringRefused =
    QStringLiteral("Allow Input Monitoring for Quillmarch in System Settings → Privacy & Security, "
                   "then reopen the app if requested.");
const QString bothRefused = QStringLiteral(
    "Allow Screen Recording and Input Monitoring for Quillmarch in System Settings → Privacy & "
    "Security, then quit and reopen Quillmarch: macOS applies both only after a restart.");
const QString displayGoneText =
    QStringLiteral("The selected display is no longer connected. Select a new area.");
const QString monitorLostText =
    QStringLiteral("Recording stopped: clicks and keys can no longer be observed (the connection "
                   "to the window system was lost).");
const QString encodingFailedText = QStringLiteral("Could not encode the screenshot.");
const QString noGlobalMonitorText =
    QStringLiteral("Clicks in other applications cannot be observed on this system.");

constexpr std::chrono::milliseconds captureInterval{120};

QString stepCapturedText(qsizetype count) {
    return QStringLiteral("Step %1 captured. Record Step lets you select a new area.").arg(count);
}

QByteArray encodePng(const QImage &image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (image.isNull() || !writer.write(image))
        return {};
    return bytes;
}

} // namespace

StepRecorder::StepRecorder(std::shared_ptr<DesktopServices> desktop, OverlayFactory overlays,
                           QObject *parent)
    : QObject(parent)
    , m_desktop(std::move(desktop))
    , m_overlays(std::move(overlays))
    , m_message(chooseAreaText) {}

StepRecorder::~StepRecorder() {
    // The window resets the recorder before it goes; this only makes sure nothing outlives it.
    if (m_captureTask)
        m_captureTask->cancel();
    if (m_monitor)
        m_desktop->removeMonitor(*m_monitor);
    if (m_localMonitor)
        m_desktop->removeMonitor(*m_localMonitor);
    for (SelectionOverlay *panel : m_panels)
        panel->dismiss();
}

void StepRecorder::setSteps(const QList<RecordedStep> &steps) {
    if (m_steps == steps)
        return;
    m_steps = steps;
    emit stepsChanged();
}

void StepRecorder::setError(const std::optional<QString> &error) {
    if (m_error == error)
        return;
    m_error = error;
    emit errorChanged();
}

void StepRecorder::setMessage(const QString &message) {
    if (m_message == message)
        return;
    m_message = message;
    emit messageChanged();
}

void StepRecorder::setArmed(bool armed) {
    if (m_armed == armed)
        return;
    m_armed = armed;
    emit armedChanged();
}

void StepRecorder::setSelecting(bool selecting) {
    if (m_selecting == selecting)
        return;
    m_selecting = selecting;
    emit selectingChanged();
}

void StepRecorder::setSaveLocationChooser(SaveLocationChooser chooser) {
    m_chooseSaveLocation = std::move(chooser);
}

bool StepRecorder::checkPermissions() {
    // Both are asked for in one pass: macOS applies a Screen Recording grant only after a
    // restart, so stopping at its refusal would hold the Input Monitoring question back until
    // after that restart, and the user would have to restart twice.
    const bool screen = m_desktop->screenCaptureAllowed() || m_desktop->requestScreenCapture();
    const bool input = m_desktop->inputObservationAllowed() || m_desktop->requestInputObservation();
    if (screen && input)
        return true;
    setError(!screen && !input ? bothRefused
             : !screen         ? screenRecordingRefused
                               : inputMonitoringRefused);
    return false;
}

void StepRecorder::recordStep() {
    if (m_armed || m_selecting)
        return;
    if (const std::optional<QString> reason = m_desktop->unavailableReason()) {
        setError(*reason);
        return;
    }
    if (!checkPermissions())
        return;
    selectArea();
}

void StepRecorder::selectArea() {
    if (!checkPermissions())
        return;
    cancel();
    setSelecting(true);
    QPointer<StepRecorder> self(this);
    const QList<DesktopScreen> screens = m_desktop->screens();
    for (const DesktopScreen &screen : screens) {
        SelectionOverlay *panel = m_overlays(screen, [self, screen](std::optional<QRectF> rect) {
            if (self)
                self->selectionFinished(screen, rect);
        });
        m_panels.push_back(panel);
        panel->present();
    }
}

void StepRecorder::selectionFinished(const DesktopScreen &screen,
                                     const std::optional<QRectF> &rect) {
    closeSelection();
    if (!StepGeometry::isLargeEnough(rect)) {
        setMessage(selectionCancelledText);
        return;
    }
    m_area = rect->translated(screen.frame.topLeft());
    m_screen = screen;
    arm();
}

void StepRecorder::closeSelection() {
    const std::vector<SelectionOverlay *> panels = std::exchange(m_panels, {});
    for (SelectionOverlay *panel : panels)
        panel->dismiss();
    setSelecting(false);
}

void StepRecorder::arm() {
    if (!m_screen || !m_area)
        return;
    m_session = QUuid::createUuid();
    m_latest.reset();
    setArmed(true);
    setMessage(preparingText);
    m_captureTask = CaptureTask::create();
    captureLoop(m_session, *m_screen, *m_area, m_captureTask);
}

QCoro::Task<> StepRecorder::captureLoop(QUuid token, DesktopScreen screen, QRectF area,
                                        std::shared_ptr<CaptureTask> task) {
    // The recorder may go away while the loop is suspended; `self` notices, and `desktop`
    // keeps the platform alive until the pending call returns.
    QPointer<StepRecorder> self(this);
    const std::shared_ptr<DesktopServices> desktop = m_desktop;
    const auto current = [&] { return self && self->m_session == token; };
    try {
        const QList<CaptureDisplay> displays = co_await desktop->capturableDisplays();
        if (!current() || task->isCancelled())
            co_return;

        std::optional<quint32> displayId;
        for (const CaptureDisplay &display : displays) {
            if (screen.displayId && display.displayId == *screen.displayId) {
                displayId = display.displayId;
                break;
            }
        }
        if (!displayId)
            throw ToolFailure(displayGoneText);

        const QRectF source = StepGeometry::captureSourceRect(area, screen.frame);
        const QSize pixelSize = StepGeometry::capturePixelSize(area, screen.scaleFactor);
        installMonitors();

        while (true) {
            if (task->isCancelled() || !current() || !m_armed)
                co_return;
            QImage image = co_await desktop->capture(*displayId, source, pixelSize);
            if (!current() || !m_armed || task->isCancelled())
                co_return;
            m_latest = std::move(image);
            setMessage(readyText);
            co_await task->sleep(captureInterval);
        }
    } catch (...) {
        const std::exception_ptr failure = std::current_exception();
        if (current()) {
            cancel();
            setError(QStringLiteral("Capture failed: ") + userFacingDescription(failure));
        }
    }
}

void StepRecorder::installMonitors() {
    QPointer<StepRecorder> self(this);
    const auto handler = [self](const InputEvent &event) {
        if (self)
            self->observed(event);
    };
    // Armed without a global monitor the recorder would wait for a click it can never see;
    // the capture loop reports the failure instead of "Ready". A backend may also throw an
    // Error naming its own reason.
    m_monitor = m_desktop->addGlobalMonitor(clicksAndKeys, handler);
    if (!m_monitor)
        throw ToolFailure(noGlobalMonitorText);
    m_localMonitor = m_desktop->addLocalMonitor(clicksAndKeys, handler);
}

void StepRecorder::observed(const InputEvent &event) {
    if (event.type == InputEvent::MonitorFailed) {
        cancel();
        setError(monitorLostText);
        return;
    }
    // A click or Escape in one of the recorder's own dialogs belongs to the dialog.
    if (m_modalDialogs > 0)
        return;
    if (event.type == InputEvent::KeyDown) {
        if (event.keyCode == HardwareKey::Escape)
            cancel();
        return;
    }
    clicked(event.location ? *event.location : m_desktop->pointerLocation());
}

void StepRecorder::clicked(const QPointF &point) {
    if (!m_armed || !m_area)
        return;
    if (!StepGeometry::contains(*m_area, point))
        return;
    if (!m_latest)
        return;
    QList<RecordedStep> steps = m_steps;
    steps.append(RecordedStep(composeStepImage(*m_latest, *m_area, point)));
    setSteps(steps);
    cancel();
    setMessage(stepCapturedText(m_steps.size()));
}

void StepRecorder::cancel() {
    m_session = QUuid::createUuid();
    if (const auto task = std::exchange(m_captureTask, {}))
        task->cancel();
    if (const auto monitor = std::exchange(m_monitor, std::nullopt))
        m_desktop->removeMonitor(*monitor);
    if (const auto monitor = std::exchange(m_localMonitor, std::nullopt))
        m_desktop->removeMonitor(*monitor);
    m_latest.reset();
    setArmed(false);
    closeSelection();
    setMessage(stoppedText);
}

void StepRecorder::copy(const RecordedStep &step) {
    QGuiApplication::clipboard()->setImage(step.image());
    setMessage(copiedText);
}

void StepRecorder::save(const RecordedStep &step) {
    const int position = stepPosition(m_steps, step.id()).value_or(1);
    ++m_modalDialogs;
    const QString chosen = m_chooseSaveLocation
                               ? m_chooseSaveLocation(StepGeometry::stepFileName(position))
                               : QString();
    --m_modalDialogs;
    if (chosen.isEmpty())
        return;
    const QString path = StepGeometry::pngFilePath(chosen);
    const QByteArray png = encodePng(step.image());
    if (png.isEmpty()) {
        setError(ToolFailure(encodingFailedText).message());
        return;
    }
    // Written next to the target and renamed over it: an existing file stays intact on failure.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size() || !file.commit())
        setError(file.errorString());
}
