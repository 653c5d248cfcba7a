#include "ui/SettingsWindow.h"

#include "ui/MyAppsSettings.h"
#include "ui/Symbols.h"
#include "usage/views/UsageStatisticsSettings.h"

#include <QTabWidget>
#include <QVBoxLayout>

SettingsWindow::SettingsWindow(Launcher *launcher, UsageStatistics *statistics, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_tabs(new QTabWidget(this)) {
    setObjectName(QStringLiteral("settingsWindow"));
    setWindowTitle(tr("Settings"));
    const QColor symbolColor = palette().color(QPalette::WindowText);
    m_tabs->setDocumentMode(true);
    m_tabs->addTab(new MyAppsSettings(launcher, m_tabs),
                   Symbols::icon(QStringLiteral("app.badge"), symbolColor), tr("My Apps"));
    m_tabs->addTab(new UsageStatisticsSettings(statistics, m_tabs),
                   Symbols::icon(QStringLiteral("hand.raised"), symbolColor), tr("Privacy"));
    m_tabs->setIconSize(QSize(16, 16));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(m_tabs);
}

void SettingsWindow::showMyApps() {
    m_tabs->setCurrentIndex(0);
    show();
    raise();
    activateWindow();
}
