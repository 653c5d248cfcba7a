#include "ui/GalleryWindow.h"

#include "gallery/GalleryExport.h"
#include "gallery/LanguageGallery.h"
#include "metadata/AppLanguages.h"
#include "metadata/Bundle.h"
#include "style/LinkStyle.h"
#include "style/ProminentStyle.h"
#include "style/Symbols.h"
#include "style/Typography.h"
#include "tools/Error.h"
#include "ui/BusyIndicator.h"
#include "ui/GalleryActivity.h"
#include "ui/GalleryGrid.h"
#include "ui/GalleryLabels.h"
#include "ui/GalleryTileModel.h"
#include "ui/GroupedForm.h"
#include "ui/SegmentedControl.h"
#include "ui/ShotImageLoader.h"
#include "ui/ShotViewer.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QThreadPool>
#include <QToolButton>
#include <QVBoxLayout>

using TileState = GalleryTileModel::TileState;
using Typography::Role;

namespace {

// The largest size a screenshot is read at for the large view, in device-independent pixels.
constexpr QSize largeBox(1000, 1600);

QLabel *heading(const QString &text, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    Typography::apply(label, Role::Headline);
    return label;
}

QLabel *caption(const QString &text, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    Typography::apply(label, Role::Caption);
    Typography::makeSecondary(label);
    label->setWordWrap(true);
    return label;
}

QPushButton *button(const QString &text, const QString &name, QWidget *parent) {
    auto *created = new QPushButton(text, parent);
    created->setObjectName(name);
    created->setAutoDefault(false);
    return created;
}

// The development language among the app's languages: the bundle's own when it is one of
// them, otherwise English, otherwise the first.
QString pickDevelopment(const QString &declared, const QStringList &languages) {
    if (languages.contains(declared))
        return declared;
    for (const QString &language : languages)
        if (language.compare(declared, Qt::CaseInsensitive) == 0)
            return language;
    if (languages.contains(QStringLiteral("en")))
        return QStringLiteral("en");
    return languages.value(0);
}

} // namespace

GalleryWindow::GalleryWindow(Launcher *launcher, GalleryTarget target, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_launcher(launcher)
    , m_target(std::move(target))
    , m_activity(GalleryActivity::of(launcher))
    , m_gallery(new LanguageGallery(this))
    , m_largeLoader(new ShotImageLoader(this)) {
    setObjectName(QStringLiteral("galleryWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Language Gallery — %1").arg(m_target.app.name));
    m_activity->track(m_gallery);
    m_development = pickDevelopment(QString(), m_target.languages);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 16);
    layout->setSpacing(14);
    layout->addWidget(buildHeader());
    auto *body = new QHBoxLayout;
    body->setSpacing(16);
    m_choices = buildChoices();
    body->addWidget(m_choices);
    m_pages = new QStackedWidget(this);
    m_grid = new GalleryGrid(m_pages);
    m_grid->setObjectName(QStringLiteral("galleryGrid"));
    m_pages->addWidget(m_grid);
    m_pages->addWidget(buildViewerPage());
    body->addWidget(m_pages, 1);
    layout->addLayout(body, 1);
    layout->addWidget(buildFooter());
    resize(1120, 840);

    connect(m_grid, &GalleryGrid::tileOpened, this, &GalleryWindow::openTile);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &GalleryWindow::updateControls);
    connect(m_largeLoader, &ShotImageLoader::loaded, this,
            [this](const QString &key, const QImage &image, QSize sourceSize) {
                const QStringList parts = key.split(QLatin1Char('/'));
                const int row = parts.value(2).toInt();
                if (parts.value(1).toULongLong() == m_run)
                    m_reading.remove(row);
                if (parts.value(0) == QLatin1String("copy")) {
                    QGuiApplication::clipboard()->setImage(image);
                    showMessage(tr("Copied the screenshot of %1.")
                                    .arg(GalleryLabels::title(m_grid->tiles()->language(row))));
                    return;
                }
                if (parts.value(1).toULongLong() != m_run)
                    return;
                QImage large = image;
                large.setText(
                    QStringLiteral("sourceSize"),
                    QStringLiteral("%1x%2").arg(sourceSize.width()).arg(sourceSize.height()));
                m_large.insert(row, large);
                if (m_openRow >= 0)
                    showOpenTile();
            });
    connect(m_largeLoader, &ShotImageLoader::failed, this,
            [this](const QString &key, const QString &reason) {
                const QStringList parts = key.split(QLatin1Char('/'));
                if (parts.value(1).toULongLong() == m_run)
                    m_reading.remove(parts.value(2).toInt());
                if (parts.value(0) == QLatin1String("copy"))
                    showError(tr("Could not read the screenshot: %1").arg(reason));
            });
    bindGallery();
    languageTicked();
    updateProgress();
    readDevelopmentLanguage();
}

GalleryWindow::~GalleryWindow() {
    // A run still going (or still putting the device back) finishes without its window.
    if (m_gallery && m_activity && m_activity->isActive(m_gallery))
        m_activity->retire(m_gallery);
}

QWidget *GalleryWindow::buildHeader() {
    auto *header = new QWidget(this);
    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);
    auto *icon = new QLabel(header);
    icon->setFixedSize(40, 40);
    const QIcon appIcon = m_target.app.icon;
    icon->setPixmap(appIcon.isNull() ? Symbols::pixmap(QStringLiteral("app.badge"), QSize(36, 36),
                                                       Typography::tint(), devicePixelRatioF())
                                     : appIcon.pixmap(QSize(40, 40), devicePixelRatioF()));
    row->addWidget(icon);
    auto *titles = new QVBoxLayout;
    titles->setSpacing(2);
    auto *title = new QLabel(tr("Language Gallery"), header);
    Typography::apply(title, Role::Title2);
    titles->addWidget(title);
    QString about = tr("%1 on %2").arg(m_target.app.name, m_target.device.name);
    const QString options = LaunchOptionCatalog::withPhrase(m_target.launchOptions);
    if (!options.isEmpty())
        about += options;
    auto *subtitle = new QLabel(about, header);
    subtitle->setObjectName(QStringLiteral("galleryTarget"));
    subtitle->setToolTip(m_target.app.id + QStringLiteral(" · ") + m_target.device.udid);
    Typography::makeSecondary(subtitle);
    titles->addWidget(subtitle);
    row->addLayout(titles);
    row->addStretch();
    m_busy = new BusyIndicator(header);
    m_busy->setVisible(false);
    row->addWidget(m_busy, 0, Qt::AlignVCenter);
    return header;
}

QWidget *GalleryWindow::buildChoices() {
    auto *panel = new GroupedForm(this);
    panel->setObjectName(QStringLiteral("galleryChoices"));
    panel->setFixedWidth(300);
    auto *content = new QWidget(panel);
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    panel->form()->addRow(content);

    auto *languagesHeader = new QHBoxLayout;
    languagesHeader->addWidget(heading(tr("Languages"), content));
    languagesHeader->addStretch();
    auto *all = button(tr("All"), QStringLiteral("tickAllLanguages"), content);
    auto *none = button(tr("None"), QStringLiteral("tickNoLanguage"), content);
    for (QPushButton *choice : {all, none}) {
        choice->setFlat(true);
        choice->setCursor(Qt::PointingHandCursor);
        choice->setStyleSheet(LinkStyle::buttonStyleSheet(palette()));
        m_links.append(choice);
        languagesHeader->addWidget(choice);
    }
    column->addLayout(languagesHeader);

    m_languages = new QListWidget(content);
    m_languages->setObjectName(QStringLiteral("galleryLanguages"));
    m_languages->setAccessibleName(tr("Languages"));
    m_languages->setUniformItemSizes(true);
    m_languages->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_languages->setMinimumHeight(150);
    for (const QString &code : std::as_const(m_target.languages)) {
        auto *item = new QListWidgetItem(GalleryLabels::title(code), m_languages);
        item->setData(Qt::UserRole, code);
        item->setToolTip(AppLanguages::label(code));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Checked);
    }
    column->addWidget(m_languages, 1);
    m_languageCount = caption(QString(), content);
    m_languageCount->setObjectName(QStringLiteral("languageCount"));
    column->addWidget(m_languageCount);
    connect(m_languages, &QListWidget::itemChanged, this, &GalleryWindow::languageTicked);
    const auto tickAll = [this](Qt::CheckState state) {
        const QSignalBlocker blocker(m_languages);
        for (int row = 0; row < m_languages->count(); ++row)
            m_languages->item(row)->setCheckState(state);
        languageTicked();
    };
    connect(all, &QPushButton::clicked, this, [tickAll] { tickAll(Qt::Checked); });
    connect(none, &QPushButton::clicked, this, [tickAll] { tickAll(Qt::Unchecked); });

    column->addSpacing(8);
    column->addWidget(heading(tr("Region"), content));
    m_likelyRegion = new QRadioButton(tr("Each language's likely region"), content);
    m_likelyRegion->setObjectName(QStringLiteral("likelyRegion"));
    m_likelyRegion->setToolTip(tr("de → de_DE, pt-BR → pt_BR, ar → ar_EG"));
    m_likelyRegion->setChecked(true);
    column->addWidget(m_likelyRegion);
    auto *one = new QHBoxLayout;
    one->setSpacing(6);
    m_oneRegion = new QRadioButton(tr("One region:"), content);
    m_oneRegion->setObjectName(QStringLiteral("oneRegion"));
    one->addWidget(m_oneRegion);
    m_region = new QLineEdit(content);
    m_region->setObjectName(QStringLiteral("galleryRegion"));
    m_region->setAccessibleName(tr("Region for every language"));
    m_region->setPlaceholderText(QStringLiteral("en_GB"));
    m_region->setText(m_launcher->locale());
    m_region->setEnabled(false);
    one->addWidget(m_region, 1);
    column->addLayout(one);
    auto *regionRule = new QButtonGroup(content);
    regionRule->addButton(m_likelyRegion);
    regionRule->addButton(m_oneRegion);
    connect(m_oneRegion, &QRadioButton::toggled, m_region, &QWidget::setEnabled);
    connect(m_oneRegion, &QRadioButton::toggled, this, &GalleryWindow::languageTicked);
    connect(m_region, &QLineEdit::textChanged, this, &GalleryWindow::languageTicked);

    column->addSpacing(8);
    column->addWidget(heading(tr("Deep link"), content));
    m_deepLink = new QLineEdit(content);
    m_deepLink->setObjectName(QStringLiteral("deepLink"));
    m_deepLink->setAccessibleName(tr("Deep link"));
    m_deepLink->setPlaceholderText(tr("Optional, e.g. quillnotes://settings"));
    m_deepLink->setClearButtonEnabled(true);
    column->addWidget(m_deepLink);
    column->addWidget(caption(tr("Opened after each launch, to capture another screen."), content));

    column->addSpacing(8);
    column->addWidget(heading(tr("Device"), content));
    m_cleanStatusBar = new QCheckBox(tr("Clean status bar"), content);
    m_cleanStatusBar->setObjectName(QStringLiteral("cleanStatusBar"));
    m_cleanStatusBar->setChecked(true);
    m_cleanStatusBar->setToolTip(tr("9:41, full signal and a charged battery while the gallery "
                                    "runs; put back afterwards"));
    column->addWidget(m_cleanStatusBar);
    column->addSpacing(4);
    column->addWidget(new QLabel(tr("Appearance"), content));
    m_appearance = new SegmentedControl({tr("Unchanged"), tr("Light"), tr("Dark")}, content);
    m_appearance->setObjectName(QStringLiteral("appearance"));
    m_appearance->setAccessibleName(tr("Appearance"));
    m_appearance->setCurrentIndex(0);
    column->addWidget(m_appearance);
    return panel;
}

QWidget *GalleryWindow::buildViewerPage() {
    auto *page = new QWidget(m_pages);
    page->setObjectName(QStringLiteral("galleryViewerPage"));
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    auto *bar = new QHBoxLayout;
    bar->setSpacing(8);
    auto *back = button(tr("All Languages"), QStringLiteral("backToGrid"), page);
    back->setIcon(
        Symbols::icon(QStringLiteral("square.grid.2x2"), palette().color(QPalette::ButtonText)));
    back->setToolTip(tr("Back to every language (Esc)"));
    connect(back, &QPushButton::clicked, this, &GalleryWindow::showGrid);
    bar->addWidget(back);
    bar->addStretch();
    m_viewerTitle = new QLabel(page);
    m_viewerTitle->setObjectName(QStringLiteral("viewerTitle"));
    Typography::apply(m_viewerTitle, Role::Callout);
    Typography::makeSecondary(m_viewerTitle);
    bar->addWidget(m_viewerTitle);
    bar->addStretch();
    m_compare = new SegmentedControl({tr("Single"), tr("Side by Side")}, page);
    m_compare->setObjectName(QStringLiteral("compare"));
    m_compare->setAccessibleName(tr("Compare with the development language"));
    m_compare->setCurrentIndex(0);
    connect(m_compare, &SegmentedControl::activated, this,
            [this](int index) { setSideBySide(index == 1); });
    bar->addWidget(m_compare);
    m_previous = button(QString(), QStringLiteral("previousLanguage"), page);
    m_previous->setIcon(
        Symbols::icon(QStringLiteral("chevron.backward"), palette().color(QPalette::ButtonText)));
    m_previous->setToolTip(tr("Previous language (Left arrow)"));
    m_previous->setAccessibleName(tr("Previous language"));
    connect(m_previous, &QPushButton::clicked, this, [this] { step(-1); });
    m_next = button(QString(), QStringLiteral("nextLanguage"), page);
    m_next->setIcon(
        Symbols::icon(QStringLiteral("chevron.forward"), palette().color(QPalette::ButtonText)));
    m_next->setToolTip(tr("Next language (Right arrow)"));
    m_next->setAccessibleName(tr("Next language"));
    connect(m_next, &QPushButton::clicked, this, [this] { step(1); });
    for (QPushButton *arrow : {m_previous, m_next}) {
        arrow->setFixedWidth(34);
        arrow->setFocusPolicy(Qt::TabFocus);
        bar->addWidget(arrow);
    }
    layout->addLayout(bar);
    m_viewer = new ShotViewer(page);
    m_viewer->setObjectName(QStringLiteral("shotViewer"));
    m_viewer->setFocusPolicy(Qt::StrongFocus);
    layout->addWidget(m_viewer, 1);

    // Arrow keys step through the languages wherever the focus is on this page.
    auto *left = new QShortcut(QKeySequence(Qt::Key_Left), page);
    left->setContext(Qt::WidgetWithChildrenShortcut);
    connect(left, &QShortcut::activated, this, [this] { step(-1); });
    auto *right = new QShortcut(QKeySequence(Qt::Key_Right), page);
    right->setContext(Qt::WidgetWithChildrenShortcut);
    connect(right, &QShortcut::activated, this, [this] { step(1); });
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), page);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &GalleryWindow::showGrid);
    return page;
}

QWidget *GalleryWindow::buildFooter() {
    auto *footer = new QWidget(this);
    auto *layout = new QVBoxLayout(footer);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    auto *progressRow = new QHBoxLayout;
    progressRow->setSpacing(12);
    m_progress = new QProgressBar(footer);
    m_progress->setObjectName(QStringLiteral("galleryProgress"));
    m_progress->setTextVisible(false);
    m_progress->setFixedWidth(220);
    m_progress->setMaximumHeight(8);
    m_progress->setRange(0, 1);
    QPalette progressColors = m_progress->palette();
    progressColors.setColor(QPalette::Highlight, Typography::tint());
    m_progress->setPalette(progressColors);
    m_progress->setValue(0);
    progressRow->addWidget(m_progress, 0, Qt::AlignVCenter);
    m_progressLine = new QLabel(footer);
    m_progressLine->setObjectName(QStringLiteral("galleryStatus"));
    m_progressLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Typography::apply(m_progressLine, Role::Callout);
    Typography::makeSecondary(m_progressLine);
    m_progressLine->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    progressRow->addWidget(m_progressLine, 1);
    layout->addLayout(progressRow);

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    m_export = button(tr("Export…"), QStringLiteral("exportGallery"), footer);
    connect(m_export, &QPushButton::clicked, this, &GalleryWindow::exportGallery);
    buttons->addWidget(m_export);
    m_copy = button(tr("Copy Image"), QStringLiteral("copyImage"), footer);
    connect(m_copy, &QPushButton::clicked, this, &GalleryWindow::copyImage);
    buttons->addWidget(m_copy);
    buttons->addStretch();
    m_stop = button(tr("Stop"), QStringLiteral("stopGallery"), footer);
    connect(m_stop, &QPushButton::clicked, this, &GalleryWindow::stop);
    buttons->addWidget(m_stop);
    m_start = button(tr("Start"), QStringLiteral("startGallery"), footer);
    m_start->setIcon(Symbols::icon(QStringLiteral("play.fill"), Qt::white));
    m_start->setIconSize(QSize(12, 12));
    m_start->setStyleSheet(ProminentStyle::buttonStyleSheet(18));
    connect(m_start, &QPushButton::clicked, this, &GalleryWindow::start);
    buttons->addWidget(m_start);
    for (QPushButton *each : {m_export, m_copy, m_stop, m_start}) {
        each->setFixedHeight(28);
        each->setMinimumWidth(std::max(96, each->sizeHint().width() + 16));
    }
    m_start->setMinimumWidth(140);
    layout->addLayout(buttons);

    auto *copyShortcut = new QShortcut(QKeySequence::Copy, this);
    connect(copyShortcut, &QShortcut::activated, this, [this] {
        if (m_copy->isEnabled())
            copyImage();
    });
    return footer;
}

void GalleryWindow::bindGallery() {
    connect(m_gallery, &LanguageGallery::runningChanged, this, &GalleryWindow::updateControls);
    connect(m_gallery, &LanguageGallery::progressChanged, this, &GalleryWindow::updateProgress);
    connect(m_gallery, &LanguageGallery::statusChanged, this, [this] {
        m_message.clear();
        updateProgress();
    });
    connect(m_gallery, &LanguageGallery::shotFinished, this,
            [this](const QString &, int index, const GalleryShot &shot) {
                m_grid->setShot(index, shot);
                shotFinished(index);
            });
    connect(m_gallery, &LanguageGallery::finished, this, &GalleryWindow::runFinished);
    connect(m_launcher, &Launcher::busyChanged, this, &GalleryWindow::updateControls);
    connect(m_activity, &GalleryActivity::runningChanged, this, &GalleryWindow::updateControls);
}

void GalleryWindow::readDevelopmentLanguage() {
    if (m_target.bundlePath.isEmpty())
        return;
    // Reading the bundle's information list is file work: done on a worker.
    QPointer<GalleryWindow> self(this);
    QThreadPool::globalInstance()->start([self, path = m_target.bundlePath] {
        QString declared;
        if (const std::optional<Bundle> bundle = Bundle::open(path))
            declared = bundle->developmentLocalization().value_or(QString());
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, declared] {
                if (!self)
                    return;
                self->m_development = pickDevelopment(declared, self->m_target.languages);
                if (self->m_openRow >= 0)
                    self->showOpenTile();
            },
            Qt::QueuedConnection);
    });
}

QStringList GalleryWindow::chosenLanguages() const {
    QStringList chosen;
    for (int row = 0; row < m_languages->count(); ++row)
        if (m_languages->item(row)->checkState() == Qt::Checked)
            chosen.append(m_languages->item(row)->data(Qt::UserRole).toString());
    return chosen;
}

GallerySettings GalleryWindow::settings() const {
    GallerySettings settings;
    settings.devices = {m_target.device};
    settings.bundleID = m_target.app.id;
    settings.languages = chosenLanguages();
    settings.region = m_oneRegion->isChecked() ? m_region->text().trimmed() : QString();
    settings.launchOptions = m_target.launchOptions;
    settings.deepLink = m_deepLink->text().trimmed();
    settings.appearance = GalleryAppearance(std::max(0, m_appearance->currentIndex()));
    settings.cleanStatusBar = m_cleanStatusBar->isChecked();
    settings.settlePeriod = m_settlePeriod;
    settings.timeout = m_timeout;
    settings.captureInterval = m_interval;
    settings.tools = m_target.tools;
    return settings;
}

void GalleryWindow::setSettleTimes(std::chrono::milliseconds period,
                                   std::chrono::milliseconds timeout,
                                   std::chrono::milliseconds interval) {
    m_settlePeriod = period;
    m_timeout = timeout;
    m_interval = interval;
}

void GalleryWindow::languageTicked() {
    if (!m_gallery || !m_activity)
        return;
    const QStringList chosen = chosenLanguages();
    m_languageCount->setText(tr("%1 of %2 languages").arg(chosen.size()).arg(m_languages->count()));
    // Before a run the grid previews the tiles the run will fill.
    if (!m_activity->isActive(m_gallery)) {
        const GallerySettings planned = settings();
        QStringList regions;
        for (const QString &language : chosen)
            regions.append(planned.regionFor(language));
        if (m_gallery->devices().isEmpty() || m_gallery->devices().first().shots.isEmpty()) {
            m_grid->reset(chosen, regions);
            newRun();
        }
    }
    updateControls();
}

void GalleryWindow::start() {
    if (!m_start->isEnabled())
        return;
    const GallerySettings chosen = settings();
    QStringList regions;
    for (const QString &language : chosen.languages)
        regions.append(chosen.regionFor(language));
    showGrid();
    m_grid->reset(chosen.languages, regions);
    m_grid->tiles()->setWaiting(true);
    newRun();
    m_message.clear();
    try {
        m_gallery->start(chosen);
    } catch (const Error &failure) {
        m_grid->tiles()->setWaiting(false);
        showError(failure.description());
        return;
    }
    m_grid->setCapturing(0);
    updateProgress();
    updateControls();
}

void GalleryWindow::stop() {
    if (m_gallery)
        m_gallery->stop();
}

void GalleryWindow::shotFinished(int index) {
    if (m_gallery->running())
        m_grid->setCapturing(index + 1);
    if (m_openRow == index || (m_sideBySide && m_grid->tiles()->rowOf(m_development) == index)) {
        loadLarge(index);
        showOpenTile();
    }
    updateControls();
}

void GalleryWindow::runFinished() {
    m_grid->tiles()->setWaiting(false);
    updateProgress();
    updateControls();
}

void GalleryWindow::updateProgress() {
    const int total = m_gallery->totalCount();
    m_progress->setVisible(total > 0); // nothing to show before the first run
    m_progress->setRange(0, std::max(1, total));
    m_progress->setValue(std::min(m_gallery->finishedCount(), std::max(1, total)));
    QString line = m_message.isEmpty() ? m_gallery->status() : m_message;
    if (line.isEmpty())
        line = tr("Each ticked language is launched in turn and captured once its screen has "
                  "settled.");
    m_progressLine->setText(line);
}

void GalleryWindow::showMessage(const QString &text) {
    m_message = text;
    updateProgress();
}

void GalleryWindow::showError(const QString &text) {
    auto *alert =
        new QMessageBox(QMessageBox::Warning, tr("Quillmarch"), text, QMessageBox::Ok, this);
    alert->setObjectName(QStringLiteral("galleryAlert"));
    alert->setTextFormat(Qt::PlainText);
    alert->setWindowModality(Qt::WindowModal);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->open();
}

int GalleryWindow::currentRow() const {
    if (m_openRow >= 0)
        return m_openRow;
    const QModelIndex current = m_grid->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void GalleryWindow::updateControls() {
    if (!m_gallery || !m_activity)
        return;
    const bool active = m_activity->isActive(m_gallery);
    m_busy->setVisible(active);
    m_choices->setEnabled(!active);
    QString reason;
    if (active)
        reason = m_gallery->running() ? tr("The gallery is being taken.")
                                      : tr("The simulator is being put back.");
    else if (m_launcher->busy())
        reason = GalleryActivity::launcherBusyReason();
    else if (m_activity->runningOtherThan(m_gallery))
        reason = GalleryActivity::otherGalleryRunningReason();
    else if (chosenLanguages().isEmpty())
        reason = tr("Tick at least one language.");
    else if (m_oneRegion->isChecked() && m_region->text().trimmed().isEmpty())
        reason = tr("Enter a region such as en_GB, or take each language's likely region.");
    m_start->setEnabled(reason.isEmpty());
    m_start->setToolTip(reason.isEmpty() ? tr("Take a screenshot in each ticked language")
                                         : reason);
    m_stop->setEnabled(m_gallery->running());

    bool anyImage = false;
    for (int row = 0; row < m_grid->tiles()->rowCount(); ++row)
        anyImage =
            anyImage || (m_grid->tiles()->shot(row) && m_grid->tiles()->shot(row)->hasImage());
    QString exportReason;
    if (active)
        exportReason = tr("Export when the gallery is done.");
    else if (m_exporting)
        exportReason = tr("Exporting…");
    else if (!anyImage)
        exportReason = tr("Nothing to export yet.");
    m_export->setEnabled(exportReason.isEmpty());
    m_export->setToolTip(exportReason.isEmpty()
                             ? tr("Write the screenshots, gallery.json and index.html to a folder")
                             : exportReason);
    const std::optional<GalleryShot> shot = m_grid->tiles()->shot(currentRow());
    m_copy->setEnabled(shot && shot->hasImage());
    m_copy->setToolTip(m_copy->isEnabled() ? tr("Copy the full-size screenshot")
                                           : tr("Select a language with a screenshot."));
}

void GalleryWindow::openTile(int row) {
    if (row < 0 || row >= m_grid->tiles()->rowCount())
        return;
    m_openRow = row;
    m_grid->setCurrentIndex(m_grid->tiles()->index(row));
    m_pages->setCurrentIndex(1);
    m_viewer->setFocus();
    showOpenTile();
    updateControls();
}

void GalleryWindow::showGrid() {
    if (m_openRow >= 0)
        m_grid->setCurrentIndex(m_grid->tiles()->index(m_openRow));
    m_openRow = -1;
    m_pages->setCurrentIndex(0);
    m_grid->setFocus();
    updateControls();
}

void GalleryWindow::step(int delta) {
    if (m_openRow < 0)
        return;
    const int row = std::clamp(m_openRow + delta, 0, m_grid->tiles()->rowCount() - 1);
    if (row == m_openRow)
        return;
    m_openRow = row;
    m_grid->setCurrentIndex(m_grid->tiles()->index(row));
    showOpenTile();
    updateControls();
}

void GalleryWindow::setSideBySide(bool on) {
    m_sideBySide = on;
    m_compare->setCurrentIndex(on ? 1 : 0);
    if (m_openRow >= 0)
        showOpenTile();
}

void GalleryWindow::loadLarge(int row) {
    const std::optional<GalleryShot> shot = m_grid->tiles()->shot(row);
    if (!shot || !shot->hasImage())
        return;
    m_large.remove(row);
    m_reading.insert(row);
    m_largeLoader->load(QStringLiteral("large/%1/%2").arg(m_run).arg(row), shot->imageFile,
                        largeBox * devicePixelRatioF());
}

void GalleryWindow::showOpenTile() {
    GalleryTileModel *tiles = m_grid->tiles();
    const int row = m_openRow;
    if (row < 0)
        return;
    const int development = tiles->rowOf(m_development);
    QList<int> rows = {row};
    if (m_sideBySide && development >= 0 && development != row)
        rows = {development, row};

    // Keep the shown images and their neighbours; read what is missing.
    QList<int> wanted = rows;
    wanted << row - 1 << row + 1;
    for (auto it = m_large.begin(); it != m_large.end();)
        it = wanted.contains(it.key()) ? std::next(it) : m_large.erase(it);
    for (int each : std::as_const(wanted)) {
        const std::optional<GalleryShot> shot = tiles->shot(each);
        if (each >= 0 && each < tiles->rowCount() && shot && shot->hasImage() &&
            !m_large.contains(each) && !m_reading.contains(each))
            loadLarge(each);
    }

    QList<ShotViewer::Pane> panes;
    for (int each : std::as_const(rows)) {
        ShotViewer::Pane pane;
        const QImage large = m_large.value(each);
        pane.image = large;
        const QStringList size = large.text(QStringLiteral("sourceSize")).split(QLatin1Char('x'));
        if (size.size() == 2)
            pane.imageSize = QSize(size.at(0).toInt(), size.at(1).toInt());
        const QString language = tiles->language(each);
        const QString region =
            tiles->data(tiles->index(each), GalleryTileModel::RegionRole).toString();
        pane.title = GalleryLabels::title(language) + QStringLiteral(" · ") + region;
        const TileState state = tiles->state(each);
        // A failure's message is shown in place of the image, not again underneath.
        pane.caption =
            state == TileState::Failed ? GalleryTileModel::stateText(state) : tiles->detail(each);
        if (each == development)
            pane.caption += tr(" · development language");
        pane.caution = state == TileState::Failed || state == TileState::NotSettled;
        if (state == TileState::Failed)
            pane.message = tiles->detail(each);
        else if (state == TileState::Waiting || state == TileState::Capturing ||
                 state == TileState::NotTaken)
            pane.message = GalleryTileModel::stateText(state);
        panes.append(pane);
    }
    m_viewer->setPanes(panes);
    m_viewerTitle->setText(tr("%1 of %2").arg(row + 1).arg(tiles->rowCount()));
    m_previous->setEnabled(row > 0);
    m_next->setEnabled(row < tiles->rowCount() - 1);
    m_compare->segment(1)->setToolTip(
        tr("Show %1 beside it at the same scale").arg(GalleryLabels::title(m_development)));
}

void GalleryWindow::copyImage() {
    const int row = currentRow();
    const std::optional<GalleryShot> shot = m_grid->tiles()->shot(row);
    if (!shot || !shot->hasImage())
        return;
    m_largeLoader->load(QStringLiteral("copy/%1/%2").arg(m_run).arg(row), shot->imageFile);
}

void GalleryWindow::exportGallery() {
    if (!m_export->isEnabled())
        return;
    const QString start = m_lastFolder.isEmpty() ? QDir::homePath() : m_lastFolder;
    const QString folder =
        m_chooseFolder ? m_chooseFolder(this)
                       : QFileDialog::getExistingDirectory(this, tr("Export Gallery"), start);
    if (folder.isEmpty())
        return;
    exportTo(folder);
}

QMessageBox *GalleryWindow::replaceQuestion() const {
    return m_replaceQuestion;
}

void GalleryWindow::exportTo(const QString &folder) {
    m_lastFolder = folder;
    if (!GalleryExport::hasContent(folder)) {
        write(folder, false);
        return;
    }
    if (m_replaceQuestion)
        m_replaceQuestion->close();
    m_replaceQuestion = new QMessageBox(
        QMessageBox::Warning, tr("Export Gallery"),
        tr("“%1” is not empty. Replace the gallery in it?").arg(QDir::toNativeSeparators(folder)),
        QMessageBox::Cancel, this);
    m_replaceQuestion->setObjectName(QStringLiteral("replaceQuestion"));
    m_replaceQuestion->setInformativeText(
        tr("The language images, gallery.json and index.html are replaced; other files stay."));
    QPushButton *replace = m_replaceQuestion->addButton(tr("Replace"), QMessageBox::AcceptRole);
    replace->setObjectName(QStringLiteral("replace"));
    m_replaceQuestion->setDefaultButton(QMessageBox::Cancel);
    m_replaceQuestion->setWindowModality(Qt::WindowModal);
    m_replaceQuestion->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_replaceQuestion, &QMessageBox::buttonClicked, this,
            [this, folder, replace](QAbstractButton *clicked) {
                if (clicked == replace)
                    write(folder, true);
            });
    m_replaceQuestion->open();
}

QCoro::Task<> GalleryWindow::write(QString folder, bool replace) {
    QPointer<GalleryWindow> self(this);
    m_exporting = true;
    updateControls();
    const GalleryResult result = m_gallery->result();
    std::optional<QString> failure;
    try {
        co_await GalleryExport::write(result, folder, replace);
    } catch (const Error &error) {
        failure = error.description();
    } catch (const std::exception &error) {
        failure = QString::fromUtf8(error.what());
    }
    if (!self)
        co_return;
    m_exporting = false;
    updateControls();
    if (failure) {
        showError(tr("Could not export the gallery: %1").arg(*failure));
        Q_EMIT exportFailed(*failure);
        co_return;
    }
    showMessage(tr("Exported to %1.").arg(QDir::toNativeSeparators(folder)));
    Q_EMIT exported(folder);
}

void GalleryWindow::closeEvent(QCloseEvent *event) {
    if (m_replaceQuestion)
        m_replaceQuestion->close();
    // The run stops; the device is put back by the gallery, which outlives this window.
    if (m_gallery && m_activity && m_activity->isActive(m_gallery)) {
        disconnect(m_gallery, nullptr, this, nullptr);
        m_activity->retire(m_gallery);
        m_gallery = nullptr;
    }
    QWidget::closeEvent(event);
}

void GalleryWindow::changeEvent(QEvent *event) {
    if (event->type() == QEvent::PaletteChange && !m_styling) {
        m_styling = true; // restyling must not re-enter through its own palette change
        for (QPushButton *link : std::as_const(m_links))
            link->setStyleSheet(LinkStyle::buttonStyleSheet(palette()));
        m_styling = false;
    }
    QWidget::changeEvent(event);
}

void GalleryWindow::newRun() {
    // Images read for an earlier run are dropped when they arrive.
    ++m_run;
    m_large.clear();
    m_reading.clear();
}
