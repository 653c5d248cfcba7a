#pragma once

#include "launcher/RecentLaunch.h"

#include <QList>
#include <QObject>

class QSettings;

// The last launches, newest first, remembered across restarts under "recentLaunches".
class RecentLaunches : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<RecentLaunch> entries READ entries NOTIFY entriesChanged)

public:
    static constexpr qsizetype capacity = 10;

    // Reads the stored list; a stored value that does not read as one counts as empty, and an
    // entry that does not read is skipped. `store` must outlive this object.
    explicit RecentLaunches(QSettings *store, QObject *parent = nullptr);

    QList<RecentLaunch> entries() const { return m_entries; }

    // Puts the launch first; an earlier entry for the same launch moves up instead of repeating,
    // and the oldest entries beyond the capacity are dropped.
    void add(const RecentLaunch &launch);

Q_SIGNALS:
    void entriesChanged();

private:
    QSettings *m_store;
    QList<RecentLaunch> m_entries;
};
