#pragma once

#include <QAbstractListModel>
#include <QIcon>
#include <QList>
#include <QString>

// One row of a picker or of the My Apps list.
struct PickerEntry {
    QString key;      // what choosing the row selects: a bundle identifier or a language code
    QString title;    // the main line
    QString subtitle; // the secondary line; empty for one-line rows
    QIcon icon;       // null for rows without an icon
};

// The rows of a picker list. Rows are only drawn when scrolled into view, so long lists stay
// cheap. Checkable models also carry a check state per row (the My Apps list).
class PickerEntryModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role { KeyRole = Qt::UserRole + 1, SubtitleRole, MarkedRole };

    using QAbstractListModel::QAbstractListModel;

    void setEntries(QList<PickerEntry> entries);
    const QList<PickerEntry> &entries() const { return m_entries; }
    // The row whose key equals `key` shows the checkmark.
    void setMarkedKey(const QString &key);
    // Rows whose key is in `keys` show a ticked checkbox; used with `setCheckable(true)`.
    void setCheckedKeys(const QSet<QString> &keys);
    void setCheckable(bool checkable) { m_checkable = checkable; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

Q_SIGNALS:
    // The user switched a row's checkbox.
    void checkToggled(const QString &key, bool checked);

private:
    QList<PickerEntry> m_entries;
    QString m_markedKey;
    QSet<QString> m_checkedKeys;
    bool m_checkable = false;
};
