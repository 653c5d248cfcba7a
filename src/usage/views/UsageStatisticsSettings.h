#pragma once

#include <QWidget>

class QCheckBox;
class UsageStatistics;

// The Privacy pane of the settings window: the switch for sharing usage statistics.
class UsageStatisticsSettings : public QWidget {
    Q_OBJECT

public:
    // `statistics`: the process-wide service when null.
    explicit UsageStatisticsSettings(UsageStatistics *statistics = nullptr,
                                     QWidget *parent = nullptr);

    UsageStatistics *statistics() const { return m_statistics; }
    // 490 wide, as tall as the wrapped texts need; nothing while another pane is shown.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

private:
    void updateToggle();

    UsageStatistics *m_statistics;
    QCheckBox *m_share;
};
