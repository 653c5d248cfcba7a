#pragma once

#include <QCompleter>

class Launcher;
class QLineEdit;
class QStringListModel;

// Completions for the region field: the locales ICU knows for the launcher's chosen language,
// offered as the user types; the field stays free text. The list is worked out when the field
// gets focus or a key after a change of language, so a window opens without touching ICU's
// locale data.
class RegionCompleter : public QCompleter {
    Q_OBJECT

public:
    RegionCompleter(Launcher *launcher, QLineEdit *field);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Launcher *m_launcher;
    QLineEdit *m_field;
    QStringListModel *m_codes;
    bool m_stale = true;
};
