#include "ui/RegionCompleter.h"

#include "launcher/Launcher.h"
#include "launcher/RegionCompletions.h"

#include <QStringListModel>

RegionCompleter::RegionCompleter(Launcher *launcher, QObject *parent)
    : QCompleter(parent)
    , m_launcher(launcher)
    , m_codes(new QStringListModel(this)) {
    setModel(m_codes);
    setCaseSensitivity(Qt::CaseInsensitive);
    setCompletionMode(QCompleter::PopupCompletion);
    setMaxVisibleItems(10);
    connect(launcher, &Launcher::languageChanged, this, &RegionCompleter::update);
    update();
}

void RegionCompleter::update() {
    m_codes->setStringList(RegionCompletions::forLanguage(m_launcher->language()));
}
