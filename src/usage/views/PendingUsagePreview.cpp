#include "usage/views/PendingUsagePreview.h"

#include "style/Typography.h"
#include "usage/UsageStatistics.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QVBoxLayout>

using Typography::Role;

namespace {

// Room for three queued sessions before the box scrolls; the pane keeps its height whatever
// the queue holds.
constexpr int visibleLines = 6;

} // namespace

PendingUsagePreview::PendingUsagePreview(UsageStatistics *statistics, QWidget *parent)
    : QWidget(parent)
    , m_statistics(statistics)
    , m_endpoint(new QLabel(this))
    , m_pages(new QStackedWidget(this))
    , m_nothing(new QLabel(tr("Nothing is waiting to be sent."), this))
    , m_text(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("pendingUsagePreview"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    auto *heading = new QLabel(tr("What will be sent"), this);
    Typography::apply(heading, Role::Headline);
    layout->addWidget(heading);

    m_endpoint->setObjectName(QStringLiteral("pendingUsageEndpoint"));
    m_endpoint->setText(tr("POST %1").arg(m_statistics->endpoint().toString()));
    m_endpoint->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Typography::apply(m_endpoint, Role::Caption);
    Typography::makeSecondary(m_endpoint);
    layout->addWidget(m_endpoint);

    m_nothing->setObjectName(QStringLiteral("nothingWaiting"));
    m_nothing->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Typography::apply(m_nothing, Role::Callout);
    Typography::makeSecondary(m_nothing);
    m_pages->addWidget(m_nothing);

    m_text->setObjectName(QStringLiteral("pendingBodies"));
    m_text->setReadOnly(true);
    m_text->setWordWrapMode(QTextOption::WrapAnywhere);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPixelSize(11);
    m_text->setFont(mono);
    m_pages->addWidget(m_text);
    const int frame = 2 * m_text->frameWidth();
    const int margins = int(2 * m_text->document()->documentMargin());
    m_pages->setFixedHeight(QFontMetrics(mono).lineSpacing() * visibleLines + frame + margins);
    layout->addWidget(m_pages);

    connect(m_statistics, &UsageStatistics::pendingChanged, this, &PendingUsagePreview::update);
    connect(m_statistics, &UsageStatistics::consentChanged, this, &PendingUsagePreview::update);
    update();
}

void PendingUsagePreview::update() {
    QStringList bodies;
    if (m_statistics->consent().value_or(false)) {
        for (const PendingUsage &entry : m_statistics->pending())
            bodies.append(QString::fromUtf8(entry.report.encoded()));
    }
    if (bodies == m_bodies && m_pages->currentIndex() == (bodies.isEmpty() ? 0 : 1))
        return;
    m_bodies = bodies;
    // Each body exactly as the request carries it, set apart by an empty line; wrapped only on
    // screen.
    m_text->setPlainText(bodies.join(QStringLiteral("\n\n")));
    m_pages->setCurrentIndex(bodies.isEmpty() ? 0 : 1);
}
