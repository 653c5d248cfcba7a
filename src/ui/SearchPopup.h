#pragma once

#include "ui/PickerEntryModel.h"

#include <QFrame>

class QLabel;
class QLineEdit;
class QListView;
class QStackedWidget;

// The anchored panel of a searchable picker: a focused search field above a lazily drawn list
// of matches, or the "no results" placeholder naming the query. The owner supplies the matches
// for each query; the panel picks a row when it is clicked, or the only match on Return, and
// closes on Escape without picking.
class SearchPopup : public QFrame {
    Q_OBJECT

public:
    SearchPopup(const QString &placeholder, QSize size, int iconSide, QWidget *parent);

    QString query() const;
    void setMatches(QList<PickerEntry> matches);
    void setSelectedKey(const QString &key);
    int matchCount() const;

    // Clears the query, shows the panel under `anchor` and focuses the search field.
    void popUp(QWidget *anchor);

    QLineEdit *searchField() const { return m_search; }
    QListView *list() const { return m_list; }

Q_SIGNALS:
    void queryChanged(const QString &query);
    void picked(const QString &key);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void pick(const QModelIndex &index);
    void pickOnlyMatch();
    void updatePlaceholder();

    QLineEdit *m_search;
    QStackedWidget *m_stack;
    QListView *m_list;
    QWidget *m_empty;
    QLabel *m_emptyIcon;
    QLabel *m_emptyTitle;
    PickerEntryModel m_model;
};
