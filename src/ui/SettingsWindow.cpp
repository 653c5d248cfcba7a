#include "ui/SettingsWindow.h"

#include "style/Symbols.h"
#include "ui/MyAppsSettings.h"
#include "usage/views/UsageStatisticsSettings.h"

#include <QTabWidget>
#include <QTimer>
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
    connect(m_tabs, &QTabWidget::currentChanged, this, &SettingsWindow::fitCurrentPane);
    fitCurrentPane();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(m_tabs);
}

void SettingsWindow::fitCurrentPane() {
    // Each pane sets its own size and a hidden pane asks for none, so the window takes the
    // size of the pane on show once the tab widget has hidden the other one.
    QTimer::singleShot(0, this, [this] {
        for (int index = 0; index < m_tabs->count(); ++index)
            m_tabs->widget(index)->updateGeometry();
        m_tabs->updateGeometry();
        adjustSize();
    });
}

void SettingsWindow::showMyApps() {
    m_tabs->setCurrentIndex(0);
    show();
    raise();
    activateWindow();
}
