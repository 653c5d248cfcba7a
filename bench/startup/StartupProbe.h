#pragma once

// Linked into both start-up programs: notes when the first top-level window has been painted,
// waits for the start-up to settle, then prints one line for the driver and quits:
//   painted <CLOCK_MONOTONIC ns at first paint> rss <resident kB>
// The driver reads the clock just before it starts the program.

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>

namespace StartupProbe {

inline qint64 monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

inline qint64 residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

class FirstPaint : public QObject {
public:
    explicit FirstPaint(int settleMs)
        : m_settleMs(settleMs) {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint && !m_seen && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->isWindow()) {
            m_seen = true;
            // Runs once the paint in progress has finished.
            QTimer::singleShot(0, this, [this] {
                const qint64 painted = monotonicNs();
                QTimer::singleShot(m_settleMs, this, [painted] {
                    std::printf("painted %lld rss %lld\n", qlonglong(painted),
                                qlonglong(residentKb()));
                    std::fflush(stdout);
                    QCoreApplication::exit(0);
                });
            });
        }
        return false;
    }

private:
    int m_settleMs;
    bool m_seen = false;
};

} // namespace StartupProbe
