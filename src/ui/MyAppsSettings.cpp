#include "ui/MyAppsSettings.h"

#include "launcher/Launcher.h"
#include "style/Symbols.h"
#include "style/Typography.h"
#include "ui/PickerEntryDelegate.h"
#include "ui/PickerEntryModel.h"
#include "ui/PickerMatching.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QVBoxLayout>

using Typography::Role;

MyAppsSettings::MyAppsSettings(Launcher *launcher, QWidget *parent)
    : QWidget(parent)
    , m_launcher(launcher)
    , m_onlyMyApps(new QCheckBox(tr("Show only My Apps in the app picker"), this))
    , m_search(new QLineEdit(this))
    , m_list(new QListView(this))
    , m_model(new PickerEntryModel(this)) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(12);

    auto *title = new QLabel(tr("My Apps"), this);
    Typography::apply(title, Role::Title2, true);
    layout->addWidget(title);

    auto *intro = new QLabel(tr("Choose the apps you want to test. Your selection is saved by "
                                "bundle ID and applies to every simulator."),
                             this);
    Typography::makeSecondary(intro);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    m_onlyMyApps->setObjectName(QStringLiteral("showOnlyMyApps"));
    connect(m_onlyMyApps, &QCheckBox::clicked, this,
            [this](bool checked) { m_launcher->setOnlyMyApps(checked); });
    layout->addWidget(m_onlyMyApps);

    m_search->setObjectName(QStringLiteral("searchApps"));
    m_search->setPlaceholderText(tr("Search apps"));
    m_search->setAccessibleName(tr("Search apps"));
    m_search->setClearButtonEnabled(true);
    m_search->addAction(
        Symbols::icon(QStringLiteral("magnifyingglass"), Typography::secondaryColor(palette())),
        QLineEdit::LeadingPosition);
    connect(m_search, &QLineEdit::textChanged, this, &MyAppsSettings::updateRows);
    layout->addWidget(m_search);

    m_model->setCheckable(true);
    m_list->setObjectName(QStringLiteral("myAppsList"));
    m_list->setModel(m_model);
    m_list->setItemDelegate(new PickerEntryDelegate(28, m_list));
    m_list->setUniformItemSizes(true);
    m_list->setMouseTracking(true);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setAccessibleName(tr("My Apps"));
    connect(m_model, &PickerEntryModel::checkToggled, this,
            [this](const QString &id, bool included) { m_launcher->setMyApp(id, included); });
    layout->addWidget(m_list, 1);

    auto *hint = new QLabel(tr("To discover more apps, select a simulator in the main window and "
                               "click Boot & Load Apps. Mac apps are selected directly with "
                               "Choose App…."),
                            this);
    Typography::apply(hint, Role::Caption);
    Typography::makeSecondary(hint);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    connect(launcher, &Launcher::appsChanged, this, &MyAppsSettings::updateRows);
    connect(launcher, &Launcher::myAppIDsChanged, this, &MyAppsSettings::updateRows);
    connect(launcher, &Launcher::onlyMyAppsChanged, this,
            [this] { m_onlyMyApps->setChecked(m_launcher->onlyMyApps()); });
    m_onlyMyApps->setChecked(launcher->onlyMyApps());
    updateRows();
}

void MyAppsSettings::updateRows() {
    const QList<InstalledApp> apps = m_launcher->apps();
    const QSet<QString> myApps = m_launcher->myAppIDs();
    const QString search = m_search->text(); // as typed, not trimmed
    QStringList names;
    QStringList ids;
    for (const InstalledApp &app : apps) {
        names.append(app.name);
        ids.append(app.id);
    }

    QList<PickerEntry> rows;
    for (int index : PickerMatching::matchingMyApps(names, ids, search)) {
        const InstalledApp &app = apps.at(index);
        rows.append({app.id, app.name, app.id, app.icon});
    }
    for (const QString &id : PickerMatching::unloadedIdentifiers(myApps, ids, search))
        rows.append({id, id, tr("Not loaded on the current simulator"), QIcon()});

    // Rebuild only when the rows differ, so ticking a box keeps the scroll position.
    bool same = rows.size() == m_model->entries().size();
    for (qsizetype index = 0; same && index < rows.size(); ++index) {
        const PickerEntry &a = rows.at(index);
        const PickerEntry &b = m_model->entries().at(index);
        same = a.key == b.key && a.title == b.title && a.subtitle == b.subtitle &&
               a.icon.cacheKey() == b.icon.cacheKey();
    }
    if (!same)
        m_model->setEntries(std::move(rows));
    m_model->setCheckedKeys(myApps);
}
