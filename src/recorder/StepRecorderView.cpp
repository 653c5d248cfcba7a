#include "recorder/StepRecorderView.h"

#include "recorder/SelectionPanel.h"
#include "recorder/StepGeometry.h"
#include "recorder/StepPreview.h"
#include "recorder/StepRecorder.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>

namespace {

const QString explanationText = QStringLiteral(
    "Images stay in memory until copied or saved. Closing this window discards them. Keep private "
    "content outside the selected area. The first click inside the area ends each step; the click "
    "still reaches the target app.");

QFont scaledFont(const QFont &base, qreal factor, bool bold = false) {
    QFont font = base;
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * factor);
    else
        font.setPixelSize(qRound(font.pixelSize() * factor));
    font.setBold(bold);
    return font;
}

QIcon recordIcon() {
    const QIcon themed = QIcon::fromTheme(QStringLiteral("media-record"));
    if (!themed.isNull())
        return themed;
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 3));
    painter.drawEllipse(QRectF(3, 3, 26, 26));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(10, 10, 12, 12));
    return QIcon(pixmap);
}

void useSecondaryStyle(QLabel *label) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::PlaceholderText));
    label->setPalette(palette);
}

} // namespace

StepRecorderView::StepRecorderView(QWidget *parent)
    : StepRecorderView(DesktopServices::createDefault(), parent) {}

StepRecorderView::StepRecorderView(std::shared_ptr<DesktopServices> desktop, QWidget *parent)
    : QWidget(parent) {
    const bool translucent = desktop->windowsCanBeTranslucent();
    const std::weak_ptr<DesktopServices> weakDesktop = desktop;
    m_recorder = new StepRecorder(
        desktop,
        [translucent, weakDesktop](const DesktopScreen &screen,
                                   SelectionOverlay::Finished finished) {
            const auto desktop = weakDesktop.lock();
            const QImage backdrop =
                translucent || !desktop ? QImage() : desktop->screenSnapshot(screen);
            auto *panel = new SelectionPanel(screen, std::move(finished), backdrop);
            if (desktop)
                panel->prepare(*desktop);
            return panel;
        },
        this);
    m_recorder->setSaveLocationChooser(
        [this](const QString &suggestedName) { return chooseSaveLocation(suggestedName); });

    setMinimumSize(680, 500);
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(14);
    layout->setContentsMargins(20, 20, 20, 20);

    auto *title = new QLabel(QStringLiteral("Step Recorder"));
    title->setFont(scaledFont(font(), 1.3, true));
    layout->addWidget(title);

    auto *controls = new QHBoxLayout;
    m_record = new QPushButton(recordIcon(), QStringLiteral("Record Step"));
    // The prominent button: filled with the accent colour.
    QPalette accent = m_record->palette();
    accent.setColor(QPalette::Button, accent.color(QPalette::Highlight));
    accent.setColor(QPalette::ButtonText, accent.color(QPalette::HighlightedText));
    m_record->setPalette(accent);
    m_record->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"));
    m_clear = new QPushButton(QStringLiteral("Clear All Steps"));
    controls->addWidget(m_record);
    controls->addWidget(m_cancel);
    controls->addWidget(m_clear);
    controls->addStretch();
    layout->addLayout(controls);

    m_status = new QLabel;
    m_status->setFont(scaledFont(font(), 0.92));
    m_status->setTextFormat(Qt::PlainText);
    useSecondaryStyle(m_status);
    layout->addWidget(m_status);

    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scroll->setFrameShape(QFrame::NoFrame);
    m_stepList = new QWidget;
    m_stepLayout = new QVBoxLayout(m_stepList);
    m_stepLayout->setSpacing(20);
    m_stepLayout->setContentsMargins(0, 0, 0, 0);
    m_stepLayout->addStretch();
    scroll->setWidget(m_stepList);
    layout->addWidget(scroll, 1);

    auto *explanation = new QLabel(explanationText);
    explanation->setWordWrap(true);
    explanation->setFont(scaledFont(font(), 0.77));
    useSecondaryStyle(explanation);
    layout->addWidget(explanation);

    connect(m_record, &QPushButton::clicked, m_recorder, &StepRecorder::recordStep);
    connect(m_cancel, &QPushButton::clicked, m_recorder, &StepRecorder::cancel);
    connect(m_clear, &QPushButton::clicked, m_recorder, [this] { m_recorder->setSteps({}); });
    connect(m_recorder, &StepRecorder::armedChanged, this, &StepRecorderView::updateControls);
    connect(m_recorder, &StepRecorder::selectingChanged, this, &StepRecorderView::updateControls);
    connect(m_recorder, &StepRecorder::stepsChanged, this, &StepRecorderView::updateControls);
    connect(m_recorder, &StepRecorder::stepsChanged, this, &StepRecorderView::rebuildSteps);
    connect(m_recorder, &StepRecorder::messageChanged, this,
            [this] { m_status->setText(m_recorder->message()); });
    connect(m_recorder, &StepRecorder::errorChanged, this, &StepRecorderView::updateAlert);

    m_status->setText(m_recorder->message());
    updateControls();
}

StepRecorderView::~StepRecorderView() {
    m_recorder->cancel();
}

void StepRecorderView::hideEvent(QHideEvent *event) {
    // Closed or hidden by the program. Minimising is the window system hiding it
    // (spontaneous): the steps stay.
    if (!event->spontaneous()) {
        m_recorder->cancel();
        m_recorder->setSteps({});
    }
    QWidget::hideEvent(event);
}

void StepRecorderView::updateControls() {
    const bool armed = m_recorder->armed();
    const bool busy = armed || m_recorder->selecting();
    m_record->setEnabled(!busy);
    m_cancel->setVisible(busy);
    m_clear->setEnabled(!armed && !m_recorder->steps().isEmpty());
}

void StepRecorderView::rebuildSteps() {
    // Later, not now: the list changes from inside a click on one of its own buttons.
    while (m_stepLayout->count() > 1) {
        QLayoutItem *item = m_stepLayout->takeAt(0);
        item->widget()->hide();
        item->widget()->deleteLater();
        delete item;
    }
    const QList<RecordedStep> steps = m_recorder->steps();
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const RecordedStep step = steps[i];
        auto *entry = new QWidget;
        auto *entryLayout = new QVBoxLayout(entry);
        entryLayout->setContentsMargins(0, 0, 0, 0);

        auto *row = new QHBoxLayout;
        auto *label = new QLabel(QStringLiteral("Step %1").arg(i + 1));
        label->setFont(scaledFont(font(), 1.0, true));
        auto *copy = new QPushButton(QStringLiteral("Copy Image"));
        auto *save = new QPushButton(QStringLiteral("Save PNG…"));
        auto *remove = new QPushButton(QStringLiteral("Remove"));
        row->addWidget(label);
        row->addStretch();
        row->addWidget(copy);
        row->addWidget(save);
        row->addWidget(remove);
        entryLayout->addLayout(row);
        entryLayout->addWidget(new StepPreview(step.image()));

        connect(copy, &QPushButton::clicked, m_recorder, [this, step] { m_recorder->copy(step); });
        connect(save, &QPushButton::clicked, m_recorder, [this, step] { m_recorder->save(step); });
        connect(remove, &QPushButton::clicked, m_recorder, [this, step] {
            QList<RecordedStep> remaining = m_recorder->steps();
            remaining.removeIf([&](const RecordedStep &s) { return s.id() == step.id(); });
            m_recorder->setSteps(remaining);
        });
        m_stepLayout->insertWidget(int(i), entry);
    }
}

void StepRecorderView::updateAlert() {
    const std::optional<QString> error = m_recorder->error();
    if (!error) {
        if (m_alert)
            m_alert->close();
        return;
    }
    if (m_alert) {
        m_alert->setText(*error);
        return;
    }
    m_alert = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Step Recorder"), *error,
                              QMessageBox::Ok, this);
    m_alert->setAttribute(Qt::WA_DeleteOnClose);
    // However the alert goes away, the error is cleared.
    connect(m_alert, &QMessageBox::finished, m_recorder,
            [this] { m_recorder->setError(std::nullopt); });
    m_alert->open();
}

QString StepRecorderView::chooseSaveLocation(const QString &suggestedName) {
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("PNG image (*.png)"));
    dialog.setDefaultSuffix(QStringLiteral("png"));
    dialog.selectFile(suggestedName);
    while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        const QString chosen = dialog.selectedFiles().constFirst();
        const QString path = StepGeometry::pngFilePath(chosen);
        // The dialog asked about replacing the name typed, not the one written.
        if (path == chosen || !QFileInfo::exists(path) ||
            QMessageBox::question(this, QStringLiteral("Step Recorder"),
                                  QStringLiteral("“%1” already exists. Do you want to replace it?")
                                      .arg(QFileInfo(path).fileName())) == QMessageBox::Yes)
            return path;
        dialog.selectFile(QFileInfo(path).fileName());
    }
    return {};
}
