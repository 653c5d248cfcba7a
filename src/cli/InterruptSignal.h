#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a Qt signal on the main thread (the handler only writes the
// signal number to a pipe). One instance per process.
class InterruptSignal : public QObject {
    Q_OBJECT

public:
    explicit InterruptSignal(QObject *parent = nullptr);
    ~InterruptSignal() override;

Q_SIGNALS:
    void received(int signal);

private:
    void readPending();

    int m_readEnd = -1;
    QSocketNotifier *m_notifier = nullptr;
};
