#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>

class QWidget;
class UsageStatistics;

// Starts the usage session when the main window's content first appears, and keeps the
// consent sheet over that window exactly while the user has not decided.
class UsageOnboarding : public QObject {
    Q_OBJECT

public:
    // `statistics`: the process-wide service when null. Owned by `content`.
    explicit UsageOnboarding(QWidget *content, UsageStatistics *statistics = nullptr);

    UsageStatistics *statistics() const { return m_statistics; }
    // The consent sheet while it is presented, otherwise null.
    QDialog *sheet() const { return m_sheet; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void follow();
    void present();
    void dismiss();

    QWidget *m_content;
    UsageStatistics *m_statistics;
    QPointer<QDialog> m_sheet;
    bool m_appeared = false;
};

// Applies UsageOnboarding to `content` (the main window's content) with the process-wide
// usage statistics service unless another is given.
UsageOnboarding *usageOnboarding(QWidget *content, UsageStatistics *statistics = nullptr);
