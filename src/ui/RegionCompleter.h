#pragma once

#include <QCompleter>

class Launcher;
class QStringListModel;

// Completions for the region field: the locales ICU knows for the launcher's chosen language,
// offered as the user types; the field stays free text.
class RegionCompleter : public QCompleter {
    Q_OBJECT

public:
    explicit RegionCompleter(Launcher *launcher, QObject *parent = nullptr);

private:
    void update();

    Launcher *m_launcher;
    QStringListModel *m_codes;
};
