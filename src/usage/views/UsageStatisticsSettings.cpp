#include "usage/views/UsageStatisticsSettings.h"

#include "style/Typography.h"
#include "usage/UsageStatistics.h"
#include "usage/views/PendingUsagePreview.h"
#include "usage/views/UsageTexts.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

using Typography::Role;

UsageStatisticsSettings::UsageStatisticsSettings(UsageStatistics *statistics, QWidget *parent)
    : QWidget(parent)
    , m_statistics(statistics ? statistics : UsageStatistics::shared())
    , m_share(new QCheckBox(tr("Share usage statistics"), this)) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(8);

    m_share->setObjectName(QStringLiteral("shareUsageStatistics"));
    connect(m_share, &QCheckBox::clicked, this,
            [this](bool checked) { m_statistics->setConsent(checked); });
    layout->addWidget(m_share);

    auto *what = new QLabel(
        tr("Shares only app starts and Launch button clicks per session with %1 at %2. No target "
           "app names, projects, paths, contents or device identifiers. Each app start has a new "
           "random session number.")
            .arg(UsageTexts::recipient(), UsageTexts::host()),
        this);
    Typography::apply(what, Role::Callout);
    Typography::makeSecondary(what);
    what->setWordWrap(true);
    layout->addWidget(what);

    auto *off = new QLabel(tr("Turning this off stops reporting and deletes unsent reports. "
                              "Reports already received remain on the server. Hosting access "
                              "logs may contain IP addresses."),
                           this);
    Typography::apply(off, Role::Caption);
    Typography::makeSecondary(off);
    off->setWordWrap(true);
    layout->addWidget(off);
    layout->addSpacing(8);
    layout->addWidget(new PendingUsagePreview(m_statistics, this));
    layout->addStretch();

    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(m_statistics, &UsageStatistics::consentChanged, this,
            &UsageStatisticsSettings::updateToggle);
    updateToggle();
}

QSize UsageStatisticsSettings::sizeHint() const {
    return isHidden() ? QSize(0, 0) : QSize(490, layout()->heightForWidth(490));
}

void UsageStatisticsSettings::updateToggle() {
    // Undecided and declined both show the switch off.
    m_share->setChecked(m_statistics->consent().value_or(false));
}
