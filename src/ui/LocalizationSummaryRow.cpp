#include "ui/LocalizationSummaryRow.h"

#include "launcher/LocalizationCheckModel.h"
#include "style/LinkStyle.h"
#include "style/Symbols.h"
#include "style/Typography.h"
#include "ui/LocalizationReportSheet.h"
#include "ui/PlainText.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

using Typography::Role;

LocalizationSummaryRow::LocalizationSummaryRow(LocalizationCheckModel *check, QWidget *parent)
    : QWidget(parent)
    , m_check(check)
    , m_icon(new QLabel(this))
    , m_text(new QLabel(this))
    , m_showReport(new QPushButton(tr("Show Report…"), this)) {
    setObjectName(QStringLiteral("localizationSummary"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    m_icon->setFixedSize(12, 12);
    layout->addWidget(m_icon, 0, Qt::AlignVCenter);
    m_text->setObjectName(QStringLiteral("localizationSummaryText"));
    m_text->setTextFormat(Qt::PlainText); // file names and keys from the bundle
    Typography::apply(m_text, Role::Caption);
    m_text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_text->installEventFilter(this);
    layout->addWidget(m_text, 1);
    // A link-like button keeps the line as low as the caption above it.
    m_showReport->setObjectName(QStringLiteral("showLocalizationReport"));
    m_showReport->setAutoDefault(false);
    m_showReport->setFlat(true);
    m_showReport->setCursor(Qt::PointingHandCursor);
    Typography::apply(m_showReport, Role::Caption);
    updateLinkStyle();
    // No taller than the caption above, so the form keeps its height.
    m_showReport->setFixedHeight(m_showReport->fontMetrics().height());
    m_text->setFixedHeight(m_text->fontMetrics().height());
    connect(m_showReport, &QPushButton::clicked, this, &LocalizationSummaryRow::showReport);
    layout->addWidget(m_showReport, 0, Qt::AlignVCenter);

    for (auto signal :
         {&LocalizationCheckModel::checkingChanged, &LocalizationCheckModel::reportChanged,
          &LocalizationCheckModel::failureChanged})
        connect(check, signal, this, &LocalizationSummaryRow::showCheckResult);
    showCheckResult();
}

void LocalizationSummaryRow::showReport() {
    const std::optional<LocalizationReport> report = m_check->report();
    if (!report)
        return;
    if (m_sheet)
        m_sheet->close();
    m_sheet = new LocalizationReportSheet(*report, window());
    m_sheet->open();
}

void LocalizationSummaryRow::showCheckResult() {
    const std::optional<LocalizationReport> report = m_check->report();
    m_problems = false;
    if (m_check->checking()) {
        m_summary = tr("Checking localizations…");
    } else if (!m_check->failure().isEmpty()) {
        m_summary = tr("Could not check localizations: ") + m_check->failure();
    } else if (report && !report->languages.isEmpty()) {
        m_summary = report->summary();
        m_problems = !report->problems().isEmpty();
    } else {
        m_summary.clear();
    }
    m_showReport->setVisible(!m_check->checking() && report && !report->languages.isEmpty());
    m_text->setToolTip(PlainText::toolTip(m_summary));
    if (m_problems) {
        m_text->setForegroundRole(QPalette::WindowText);
        m_icon->setPixmap(Symbols::pixmap(QStringLiteral("exclamationmark.triangle"), QSize(12, 12),
                                          Typography::caution(), devicePixelRatioF()));
    } else {
        Typography::makeSecondary(m_text);
        m_icon->setPixmap(Symbols::pixmap(QStringLiteral("checkmark"), QSize(12, 12),
                                          Typography::tint(), devicePixelRatioF()));
    }
    m_icon->setVisible(report.has_value() && !m_check->checking());
    setVisible(!m_summary.isEmpty());
    updateElidedText();
}

void LocalizationSummaryRow::updateElidedText() {
    // One line: the full text is in the tooltip and in the report.
    const int width = qMax(0, m_text->width());
    m_text->setText(m_text->fontMetrics().elidedText(m_summary, Qt::ElideRight, width));
}

bool LocalizationSummaryRow::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_text && event->type() == QEvent::Resize)
        updateElidedText();
    return QWidget::eventFilter(watched, event);
}

void LocalizationSummaryRow::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        updateElidedText();
    if (event->type() == QEvent::PaletteChange && !m_styling) {
        m_styling = true; // restyling must not re-enter through its own palette change
        updateLinkStyle();
        m_styling = false;
    }
}

void LocalizationSummaryRow::updateLinkStyle() {
    m_showReport->setStyleSheet(LinkStyle::buttonStyleSheet(palette()));
}
