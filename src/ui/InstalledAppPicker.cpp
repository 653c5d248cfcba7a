#include "ui/InstalledAppPicker.h"

#include "ui/PickerMatching.h"
#include "ui/SearchPopup.h"

InstalledAppPicker::InstalledAppPicker(QWidget *parent)
    : PickerButton(parent) {
    setAccessibleName(tr("Installed app"));
    updateLabel();
}

SearchPopup *InstalledAppPicker::makePopup() {
    auto *panel =
        new SearchPopup(tr("Search apps by name or bundle ID"), QSize(400, 340), 28, this);
    panel->setSelectedKey(m_selection);
    connect(panel, &SearchPopup::picked, this, [this](const QString &bundleID) {
        setSelection(bundleID);
        Q_EMIT picked(bundleID);
    });
    return panel;
}

void InstalledAppPicker::setApps(const QList<InstalledApp> &apps) {
    m_apps = apps;
    updateLabel();
    if (const SearchPopup *panel = madePopup(); panel && panel->isVisible())
        updateMatches();
}

void InstalledAppPicker::setSelection(const QString &bundleID) {
    m_selection = bundleID;
    if (SearchPopup *panel = madePopup())
        panel->setSelectedKey(bundleID);
    updateLabel();
}

void InstalledAppPicker::updateLabel() {
    setHasEntries(!m_apps.isEmpty());
    if (m_apps.isEmpty()) {
        setLabel({}, tr("No apps available"));
        return;
    }
    for (const InstalledApp &app : std::as_const(m_apps)) {
        if (app.id == m_selection) {
            setLabel(app.icon, app.name);
            return;
        }
    }
    setLabel({}, tr("Choose an app"));
}

void InstalledAppPicker::updateMatches() {
    QStringList names;
    QStringList ids;
    names.reserve(m_apps.size());
    ids.reserve(m_apps.size());
    for (const InstalledApp &app : std::as_const(m_apps)) {
        names.append(app.name);
        ids.append(app.id);
    }
    QList<PickerEntry> entries;
    for (int index : PickerMatching::matchingApps(names, ids, popup()->query())) {
        const InstalledApp &app = m_apps.at(index);
        entries.append({app.id, app.name, app.id, app.icon});
    }
    popup()->setMatches(std::move(entries));
}
