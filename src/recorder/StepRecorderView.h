#pragma once

#include "platform/DesktopServices.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QLabel;
class QMessageBox;
class QPushButton;
class QVBoxLayout;
class StepRecorder;

// The step recorder window's content. It owns its recorder; closing or hiding the window stops
// recording and discards the steps.
class StepRecorderView : public QWidget {
    Q_OBJECT

public:
    explicit StepRecorderView(QWidget *parent = nullptr);
    explicit StepRecorderView(std::shared_ptr<DesktopServices> desktop, QWidget *parent = nullptr);
    ~StepRecorderView() override;

    StepRecorder *recorder() const { return m_recorder; }

protected:
    void hideEvent(QHideEvent *event) override;

private:
    void updateControls();
    void rebuildSteps();
    void updateAlert();
    QString chooseSaveLocation(const QString &suggestedName);

    StepRecorder *m_recorder;
    QPushButton *m_record;
    QPushButton *m_cancel;
    QPushButton *m_clear;
    QLabel *m_status;
    QWidget *m_stepList;
    QVBoxLayout *m_stepLayout;
    QPointer<QMessageBox> m_alert;
};
