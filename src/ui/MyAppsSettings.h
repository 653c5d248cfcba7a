#pragma once

#include <QWidget>

class Launcher;
class PickerEntryModel;
class QCheckBox;
class QLineEdit;
class QListView;

// The My Apps pane of the settings window: a checkbox per loaded app and per remembered app
// that is not loaded, and the switch that restricts the app picker to My Apps. Stores nothing
// itself; every change goes to the launcher.
class MyAppsSettings : public QWidget {
    Q_OBJECT

public:
    explicit MyAppsSettings(Launcher *launcher, QWidget *parent = nullptr);

    Launcher *launcher() const { return m_launcher; }
    // 540 × 460 while shown; nothing while another settings pane is shown instead.
    QSize sizeHint() const override { return isHidden() ? QSize(0, 0) : QSize(540, 460); }
    QSize minimumSizeHint() const override { return sizeHint(); }
    bool hasHeightForWidth() const override { return false; } // the size is fixed
    int heightForWidth(int) const override { return sizeHint().height(); }

private:
    void updateRows();

    Launcher *m_launcher;
    QCheckBox *m_onlyMyApps;
    QLineEdit *m_search;
    QListView *m_list;
    PickerEntryModel *m_model;
};
