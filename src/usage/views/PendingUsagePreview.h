#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QStackedWidget;
class UsageStatistics;

// "What will be sent": the endpoint and the exact JSON bodies waiting in the queue, one per
// session, as the POST carries them; "Nothing is waiting to be sent." when the queue is empty
// or sharing is off. Follows the queue live.
class PendingUsagePreview : public QWidget {
    Q_OBJECT

public:
    explicit PendingUsagePreview(UsageStatistics *statistics, QWidget *parent = nullptr);

    // The bodies shown, one per line; empty when nothing is waiting.
    QStringList bodies() const { return m_bodies; }

private:
    // The bodies waiting in the queue, or the "nothing waiting" page.
    void showPending();

    UsageStatistics *m_statistics;
    QLabel *m_endpoint;
    QStackedWidget *m_pages;
    QLabel *m_nothing;
    QPlainTextEdit *m_text;
    QStringList m_bodies;
};
