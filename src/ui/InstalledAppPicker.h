#pragma once

#include "tools/InstalledApp.h"
#include "ui/PickerButton.h"

#include <QList>

// Chooses one installed app by bundle identifier through a searchable panel that lists the
// apps with their icons.
class InstalledAppPicker : public PickerButton {
    Q_OBJECT

public:
    explicit InstalledAppPicker(QWidget *parent = nullptr);

    QList<InstalledApp> apps() const { return m_apps; }
    void setApps(const QList<InstalledApp> &apps);
    QString selection() const { return m_selection; }
    void setSelection(const QString &bundleID);

Q_SIGNALS:
    // The user picked an app.
    void picked(const QString &bundleID);

protected:
    SearchPopup *makePopup() override;
    void updateMatches() override;

private:
    void updateLabel();

    QList<InstalledApp> m_apps;
    QString m_selection;
};
