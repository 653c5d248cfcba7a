#include "ui/LaunchOptionsButton.h"

#include "launcher/Launcher.h"

#include <QAction>
#include <QMenu>

#include <algorithm>

LaunchOptionsButton::LaunchOptionsButton(Launcher *launcher, QWidget *parent)
    : QPushButton(parent)
    , m_launcher(launcher)
    , m_menu(new QMenu(this)) {
    setAutoDefault(false);
    // No accessible name of its own: the button's text, with the count of options that are on,
    // is what assistive technology reads.
    m_menu->setObjectName(QStringLiteral("launchOptionsMenu"));
    m_menu->setToolTipsVisible(true);
    for (const LaunchOption option : LaunchOptionCatalog::all()) {
        QAction *action = m_menu->addAction(LaunchOptionCatalog::title(option));
        action->setCheckable(true);
        action->setData(QVariant::fromValue(unsigned(option)));
        action->setToolTip(LaunchOptionCatalog::arguments(option).join(QLatin1Char(' ')));
        connect(action, &QAction::toggled, this,
                [this, option](bool on) { m_launcher->setLaunchOption(option, on); });
    }
    setMenu(m_menu);
    // Wide enough for every title with room beside the menu arrow, so the picker next to it
    // keeps its width as options go on and off.
    setText(tr("Options (%1)").arg(LaunchOptionCatalog::all().size()));
    setMinimumWidth(sizeHint().width() + 12);
    connect(launcher, &Launcher::launchOptionsChanged, this, &LaunchOptionsButton::showOptions);
    showOptions();
}

void LaunchOptionsButton::showOptions() {
    const LaunchOptions options = m_launcher->launchOptions();
    for (QAction *action : m_menu->actions()) {
        const QSignalBlocker quiet(action); // showing the model's state is not a user's choice
        action->setChecked(options.testFlag(LaunchOption(action->data().toUInt())));
    }
    const QList<LaunchOption> all = LaunchOptionCatalog::all();
    const auto on = std::count_if(all.begin(), all.end(),
                                  [&](LaunchOption option) { return options.testFlag(option); });
    setText(on == 0 ? tr("Options") : tr("Options (%1)").arg(on));
    setToolTip(on == 0 ? tr("Pseudolanguages and layout checks for the launch")
                       : tr("Launching%1").arg(LaunchOptionCatalog::withPhrase(options)));
}
