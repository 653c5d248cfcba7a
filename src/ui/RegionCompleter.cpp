#include "ui/RegionCompleter.h"

#include "launcher/Launcher.h"
#include "launcher/RegionCompletions.h"

#include <QEvent>
#include <QLineEdit>
#include <QStringListModel>

RegionCompleter::RegionCompleter(Launcher *launcher, QLineEdit *field)
    : QCompleter(field)
    , m_launcher(launcher)
    , m_field(field)
    , m_codes(new QStringListModel(this)) {
    setModel(m_codes);
    setCaseSensitivity(Qt::CaseInsensitive);
    setCompletionMode(QCompleter::PopupCompletion);
    setMaxVisibleItems(10);
    connect(launcher, &Launcher::languageChanged, this, [this] { m_stale = true; });
    field->installEventFilter(this);
}

bool RegionCompleter::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_field && m_stale &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::KeyPress)) {
        m_stale = false;
        m_codes->setStringList(RegionCompletions::forLanguage(m_launcher->language()));
    }
    return QCompleter::eventFilter(watched, event);
}
