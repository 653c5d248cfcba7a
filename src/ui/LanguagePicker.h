#pragma once

#include "ui/PickerButton.h"

#include <QStringList>

// Chooses one language code through a searchable panel that lists the languages by name,
// e.g. "German (de)", so a search finds a language by its name or by its code.
class LanguagePicker : public PickerButton {
    Q_OBJECT

public:
    explicit LanguagePicker(QWidget *parent = nullptr);

    QStringList languages() const { return m_languages; }
    void setLanguages(const QStringList &codes);
    QString selection() const { return m_selection; }
    void setSelection(const QString &code);

Q_SIGNALS:
    // The user picked a language.
    void picked(const QString &code);

protected:
    SearchPopup *makePopup() override;
    void updateMatches() override;

private:
    void updateLabel();

    QStringList m_languages;
    QString m_selection;
};
