#include "ui/LanguagePicker.h"

#include "metadata/AppLanguages.h"
#include "ui/PickerMatching.h"
#include "ui/SearchPopup.h"

LanguagePicker::LanguagePicker(QWidget *parent)
    : PickerButton(parent) {
    setAccessibleName(tr("Language"));
    updateLabel();
}

SearchPopup *LanguagePicker::makePopup() {
    auto *panel = new SearchPopup(tr("Search languages by name or code"), QSize(360, 340), 0, this);
    panel->setSelectedKey(m_selection);
    connect(panel, &SearchPopup::picked, this, [this](const QString &code) {
        setSelection(code);
        Q_EMIT picked(code);
    });
    return panel;
}

void LanguagePicker::setLanguages(const QStringList &codes) {
    m_languages = codes;
    updateLabel();
    if (const SearchPopup *panel = madePopup(); panel && panel->isVisible())
        updateMatches();
}

void LanguagePicker::setSelection(const QString &code) {
    m_selection = code;
    if (SearchPopup *panel = madePopup())
        panel->setSelectedKey(code);
    updateLabel();
}

void LanguagePicker::updateLabel() {
    setHasEntries(!m_languages.isEmpty());
    setLabel({}, m_languages.contains(m_selection) ? AppLanguages::label(m_selection)
                                                   : tr("No languages available"));
}

void LanguagePicker::updateMatches() {
    QList<PickerEntry> entries;
    for (const QString &code :
         PickerMatching::matchingLanguages(m_languages, popup()->query(), &AppLanguages::label))
        entries.append({code, AppLanguages::label(code), QString(), QIcon()});
    popup()->setMatches(std::move(entries));
}
