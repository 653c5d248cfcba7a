#include "usage/views/UsageConsentView.h"

#include "style/Symbols.h"
#include "style/Typography.h"
#include "usage/UsageStatistics.h"
#include "usage/views/UsageTexts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using Typography::Role;

namespace {

QLabel *paragraph(const QString &text, Role role, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    Typography::apply(label, role);
    label->setWordWrap(true);
    return label;
}

} // namespace

UsageConsentView::UsageConsentView(UsageStatistics *statistics, QWidget *parent)
    : QWidget(parent)
    , m_statistics(statistics ? statistics : UsageStatistics::shared()) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(18);

    auto *titleRow = new QHBoxLayout;
    titleRow->setSpacing(8);
    auto *symbol = new QLabel(this);
    symbol->setPixmap(Symbols::pixmap(QStringLiteral("chart.bar"), QSize(20, 20),
                                      Typography::tint(), devicePixelRatioF()));
    titleRow->addWidget(symbol);
    auto *title = paragraph(tr("Help improve Quillmarch"), Role::Title2, this);
    titleRow->addWidget(title, 1);
    layout->addLayout(titleRow);

    layout->addWidget(
        paragraph(tr("May Quillmarch share simple usage counts?"), Role::Headline, this));
    QString destination =
        tr("Only app starts and Launch button clicks per session are sent to %1 at %2. A random "
           "session number prevents duplicate counts; it changes with every app start.")
            .arg(UsageTexts::recipient(), UsageTexts::host());
    if (const QString note = UsageTexts::buildNote(); !note.isEmpty())
        destination += QLatin1Char(' ') + note;
    layout->addWidget(paragraph(destination, Role::Body, this));
    layout->addWidget(paragraph(
        tr("No device identifier, target app names, window titles, project names, file paths or "
           "contents are collected. Participation is optional and does not change any features."),
        Role::Body, this));
    auto *network = paragraph(
        tr("The server receives your IP address when connecting; hosting access logs may record "
           "it. The statistics table does not store IP addresses. You can turn sharing off in "
           "Settings; unsent reports will then be deleted."),
        Role::Callout, this);
    Typography::makeSecondary(network);
    layout->addWidget(network);

    auto *buttons = new QHBoxLayout;
    auto *decline = new QPushButton(tr("Not now"), this);
    decline->setObjectName(QStringLiteral("declineUsage"));
    auto *allow = new QPushButton(tr("Allow usage statistics"), this);
    allow->setObjectName(QStringLiteral("allowUsage"));
    for (QPushButton *button : {decline, allow}) {
        // Neither decision may be taken by pressing Return by accident.
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(decline, &QPushButton::clicked, this, [this] { m_statistics->setConsent(false); });
    connect(allow, &QPushButton::clicked, this, [this] { m_statistics->setConsent(true); });
    buttons->addWidget(decline);
    buttons->addStretch();
    buttons->addWidget(allow);
    layout->addLayout(buttons);

    // Fixed width; the height is what the wrapped texts need.
    setFixedWidth(490);
    setFixedHeight(layout->heightForWidth(490));
}
