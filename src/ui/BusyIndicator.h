#pragma once

#include <QWidget>

class QPushButton;

// Shown while an operation runs: a small spinning progress indicator (it spins only while
// visible) and a "Stop" button that asks for the operation to end.
class BusyIndicator : public QWidget {
    Q_OBJECT

public:
    explicit BusyIndicator(QWidget *parent = nullptr);

    QPushButton *stopButton() const { return m_stop; }

Q_SIGNALS:
    void stopRequested();

private:
    QPushButton *m_stop;
};
