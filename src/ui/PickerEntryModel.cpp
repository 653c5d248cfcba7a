#include "ui/PickerEntryModel.h"

#include <QSet>

void PickerEntryModel::setEntries(QList<PickerEntry> entries) {
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
}

void PickerEntryModel::setMarkedKey(const QString &key) {
    if (key == m_markedKey)
        return;
    m_markedKey = key;
    if (!m_entries.isEmpty())
        Q_EMIT dataChanged(index(0), index(rowCount() - 1), {MarkedRole});
}

void PickerEntryModel::setCheckedKeys(const QSet<QString> &keys) {
    if (keys == m_checkedKeys)
        return;
    m_checkedKeys = keys;
    if (!m_entries.isEmpty())
        Q_EMIT dataChanged(index(0), index(rowCount() - 1), {Qt::CheckStateRole});
}

int PickerEntryModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant PickerEntryModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    const PickerEntry &entry = m_entries.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return entry.title;
    case Qt::AccessibleTextRole:
        return entry.subtitle.isEmpty() ? entry.title
                                        : entry.title + QStringLiteral(", ") + entry.subtitle;
    case Qt::DecorationRole:
        return entry.icon.isNull() ? QVariant() : QVariant(entry.icon);
    case KeyRole:
        return entry.key;
    case SubtitleRole:
        return entry.subtitle;
    case MarkedRole:
        return !m_markedKey.isNull() && entry.key == m_markedKey;
    case Qt::CheckStateRole:
        if (!m_checkable)
            return {};
        return m_checkedKeys.contains(entry.key) ? Qt::Checked : Qt::Unchecked;
    default:
        return {};
    }
}

Qt::ItemFlags PickerEntryModel::flags(const QModelIndex &index) const {
    Qt::ItemFlags result = QAbstractListModel::flags(index);
    if (m_checkable)
        result |= Qt::ItemIsUserCheckable;
    return result;
}

bool PickerEntryModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (!m_checkable || role != Qt::CheckStateRole || !index.isValid() ||
        index.row() >= m_entries.size())
        return false;
    // The model does not keep the new state: the owner writes it through and calls
    // setCheckedKeys with what the launcher now holds.
    Q_EMIT checkToggled(m_entries.at(index.row()).key, value.toInt() == Qt::Checked);
    return true;
}
