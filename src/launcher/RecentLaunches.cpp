#include "launcher/RecentLaunches.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSettings>

namespace {

const QString storeKey = QStringLiteral("recentLaunches");

} // namespace

RecentLaunches::RecentLaunches(QSettings *store, QObject *parent)
    : QObject(parent)
    , m_store(store) {
    // Kept as one JSON text: an INI file keeps that intact whatever the entries hold.
    const QVariant stored = store->value(storeKey);
    if (stored.typeId() != QMetaType::QString)
        return;
    const QJsonArray array = QJsonDocument::fromJson(stored.toString().toUtf8()).array();
    for (const QJsonValue &value : array) {
        if (const std::optional<RecentLaunch> entry = RecentLaunch::fromJson(value.toObject());
            entry && m_entries.size() < capacity)
            m_entries << *entry;
    }
}

void RecentLaunches::add(const RecentLaunch &launch) {
    m_entries.removeIf([&](const RecentLaunch &entry) { return entry.sameLaunch(launch); });
    m_entries.prepend(launch);
    if (m_entries.size() > capacity)
        m_entries.resize(capacity);
    QJsonArray array;
    for (const RecentLaunch &entry : std::as_const(m_entries))
        array << entry.toJson();
    m_store->setValue(storeKey,
                      QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact)));
    Q_EMIT entriesChanged();
}
