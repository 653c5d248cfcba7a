#pragma once

#include "platform/DesktopServices.h"
#include "recorder/RecordedStep.h"
#include "recorder/SelectionOverlay.h"

#include <QCoroTask>
#include <QObject>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CaptureTask;

// The model behind the step recorder window. Record Step shows an overlay on every screen; once
// an area is confirmed the recorder keeps a fresh capture of it, and the next click inside the
// area turns the capture taken before the click into a step with a ring where the click landed.
// Clicks and keys are only observed, so the click still reaches the application underneath.
//
// Every arming and every reset draws a new session token; the capture loop compares its own
// token after each suspension and drops its work when they differ.
class StepRecorder : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<RecordedStep> steps READ steps WRITE setSteps NOTIFY stepsChanged)
    Q_PROPERTY(QString message READ message NOTIFY messageChanged)
    Q_PROPERTY(bool armed READ armed NOTIFY armedChanged)
    Q_PROPERTY(bool selecting READ selecting NOTIFY selectingChanged)
    Q_PROPERTY(std::optional<QString> error READ error WRITE setError NOTIFY errorChanged)

public:
    // Creates the overlay for one screen; the overlay is released through its dismiss().
    using OverlayFactory =
        std::function<SelectionOverlay *(const DesktopScreen &, SelectionOverlay::Finished)>;
    // Asks where to save a PNG, suggesting a file name; an empty result means cancelled. Input
    // observed while it runs is ignored. A name ending in another extension is given .png.
    using SaveLocationChooser = std::function<QString(const QString &suggestedName)>;

    StepRecorder(std::shared_ptr<DesktopServices> desktop, OverlayFactory overlays,
                 QObject *parent = nullptr);
    ~StepRecorder() override;

    QList<RecordedStep> steps() const { return m_steps; }
    void setSteps(const QList<RecordedStep> &steps);
    QString message() const { return m_message; }
    bool armed() const { return m_armed; }
    bool selecting() const { return m_selecting; }
    std::optional<QString> error() const { return m_error; }
    void setError(const std::optional<QString> &error);

    // Whether a capture of the armed area is ready (the Ready state).
    bool hasCapture() const { return m_latest.has_value(); }
    std::optional<QRectF> area() const { return m_area; }
    int overlayCount() const { return int(m_panels.size()); }
    bool monitoring() const { return m_monitor || m_localMonitor; }

    void recordStep();
    void cancel();
    void copy(const RecordedStep &step);
    void save(const RecordedStep &step);

    void setSaveLocationChooser(SaveLocationChooser chooser);

signals:
    void stepsChanged();
    void messageChanged();
    void armedChanged();
    void selectingChanged();
    void errorChanged();

private:
    bool checkPermissions();
    void selectArea();
    void selectionFinished(const DesktopScreen &screen, const std::optional<QRectF> &rect);
    void closeSelection();
    void arm();
    void installMonitors();
    void observed(const InputEvent &event);
    void clicked(const QPointF &point);
    QCoro::Task<> captureLoop(QUuid token, DesktopScreen screen, QRectF area,
                              std::shared_ptr<CaptureTask> task);

    void setMessage(const QString &message);
    void setArmed(bool armed);
    void setSelecting(bool selecting);

    std::shared_ptr<DesktopServices> m_desktop;
    OverlayFactory m_overlays;
    SaveLocationChooser m_chooseSaveLocation;

    QList<RecordedStep> m_steps;
    QString m_message;
    bool m_armed = false;
    bool m_selecting = false;
    std::optional<QString> m_error;
    std::vector<SelectionOverlay *> m_panels;
    std::optional<QRectF> m_area;
    std::optional<DesktopScreen> m_screen;
    std::optional<MonitorToken> m_monitor;
    std::optional<MonitorToken> m_localMonitor;
    std::shared_ptr<CaptureTask> m_captureTask;
    std::optional<QImage> m_latest;
    QUuid m_session = QUuid::createUuid();
    int m_modalDialogs = 0; // the save dialog is open
};
