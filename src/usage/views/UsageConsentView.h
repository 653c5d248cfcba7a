#pragma once

#include <QWidget>

class UsageStatistics;

// The content of the consent sheet: what is shared, with whom, and the two decisions.
class UsageConsentView : public QWidget {
    Q_OBJECT

public:
    // `statistics`: the process-wide service when null.
    explicit UsageConsentView(UsageStatistics *statistics = nullptr, QWidget *parent = nullptr);

    UsageStatistics *statistics() const { return m_statistics; }

private:
    UsageStatistics *m_statistics;
};
