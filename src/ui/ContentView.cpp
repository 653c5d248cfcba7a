#include "ui/ContentView.h"

#include "launcher/Launcher.h"
#include "launcher/LocalizationCheckModel.h"
#include "style/LinkStyle.h"
#include "style/ProminentStyle.h"
#include "style/Symbols.h"
#include "style/Typography.h"
#include "ui/AlertExcerpt.h"
#include "ui/BusyIndicator.h"
#include "ui/GalleryActivity.h"
#include "ui/GalleryButton.h"
#include "ui/GroupedForm.h"
#include "ui/HeaderAppIcon.h"
#include "ui/InstalledAppPicker.h"
#include "ui/LanguagePicker.h"
#include "ui/LaunchOptionsButton.h"
#include "ui/LocalizationSummaryRow.h"
#include "ui/RecentLaunchesButton.h"
#include "ui/RegionCompleter.h"
#include "ui/SegmentedControl.h"
#include "usage/UsageStatistics.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using Typography::Role;

namespace {

QLabel *caption(const QString &text, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText); // messages may quote names from the app's bundle
    Typography::apply(label, Role::Caption);
    Typography::makeSecondary(label);
    label->setWordWrap(true);
    return label;
}

// A control with its explanatory caption right underneath, as one form field.
QWidget *withCaption(QWidget *control, QLabel *captionLabel, QWidget *parent) {
    auto *field = new QWidget(parent);
    auto *layout = new QVBoxLayout(field);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(control);
    layout->addWidget(captionLabel);
    return field;
}

} // namespace

ContentView::ContentView(Launcher *launcher, UsageStatistics *statistics, QWidget *parent)
    : QWidget(parent)
    , m_launcher(launcher)
    , m_statistics(statistics ? statistics : UsageStatistics::shared()) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(20);
    buildHeader(layout);
    buildForm(layout);
    buildFooter(layout);
    bindLauncher();
}

// Detection belongs to the launcher, which every window shares: closing this window leaves a
// detection running that another window waits for.
ContentView::~ContentView() = default;

void ContentView::buildHeader(QVBoxLayout *layout) {
    auto *header = new QHBoxLayout;
    header->setSpacing(14);
    header->addWidget(new HeaderAppIcon(this), 0, Qt::AlignVCenter);
    auto *titles = new QVBoxLayout;
    titles->setSpacing(2);
    auto *title = new QLabel(tr("Quillmarch"), this);
    Typography::apply(title, Role::LargeTitle);
    titles->addWidget(title);
    auto *subtitle = new QLabel(tr("Apps. Simulators. Languages."), this);
    Typography::makeSecondary(subtitle);
    titles->addWidget(subtitle);
    header->addLayout(titles);
    header->addStretch();
    m_busy = new BusyIndicator(this);
    m_busy->setObjectName(QStringLiteral("busyIndicator"));
    m_busy->setVisible(false);
    connect(m_busy, &BusyIndicator::stopRequested, this, [this] { m_launcher->stop(); });
    header->addWidget(m_busy, 0, Qt::AlignVCenter);
    // Escape stops the running operation too (while one runs, nothing else uses the key).
    auto *stopShortcut = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    stopShortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(stopShortcut, &QShortcut::activated, this, [this] { m_launcher->stop(); });
    m_recent = new RecentLaunchesButton(m_launcher, this);
    m_recent->setObjectName(QStringLiteral("recentLaunches"));
    connect(m_recent, &RecentLaunchesButton::relaunchRequested, this,
            [this](const RecentLaunch &launch) {
                m_statistics->recordAction(); // a launch like any other
                m_launcher->perform(
                    [launcher = m_launcher, launch] { return launcher->launchRecent(launch); });
            });
    header->addWidget(m_recent, 0, Qt::AlignVCenter);
    layout->addLayout(header);
}

void ContentView::buildForm(QVBoxLayout *layout) {
    m_form = new GroupedForm;
    m_form->setObjectName(QStringLiteral("form"));
    QFormLayout *rows = m_form->form();
    // Slightly tighter than other forms: the window's default size also holds the localization
    // check's line under the language caption.
    rows->setVerticalSpacing(8);

    m_destination = new SegmentedControl({tr("iOS / iPadOS Simulator"), tr("macOS")}, m_form);
    m_destination->setObjectName(QStringLiteral("destination"));
    m_destination->setAccessibleName(tr("Destination"));
    connect(m_destination, &SegmentedControl::activated, this,
            [this](int index) { m_launcher->setMacMode(index == 1); });
    rows->addRow(tr("Destination"), m_destination);

    // Mac mode: the chosen bundle and the button that chooses it.
    auto *macApp = new QWidget(m_form);
    auto *macAppLayout = new QHBoxLayout(macApp);
    macAppLayout->setContentsMargins(0, 0, 0, 0);
    macAppLayout->setSpacing(8);
    m_macAppIcon = new QLabel(macApp);
    m_macAppIcon->setFixedSize(24, 24);
    macAppLayout->addWidget(m_macAppIcon);
    m_macAppName = new QLabel(macApp);
    m_macAppName->setObjectName(QStringLiteral("macAppName"));
    m_macAppName->setTextFormat(Qt::PlainText);
    m_macAppName->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    macAppLayout->addWidget(m_macAppName, 1);
    auto *chooseApp = new QPushButton(tr("Choose App…"), macApp);
    chooseApp->setObjectName(QStringLiteral("chooseMacApp"));
    chooseApp->setAutoDefault(false);
    connect(chooseApp, &QPushButton::clicked, this, [this] { m_launcher->chooseMacApp(); });
    macAppLayout->addWidget(chooseApp);
    m_macAppRow = withCaption(
        macApp,
        caption(tr("Quit the existing Mac app first if it only permits one instance."), m_form),
        m_form);
    rows->addRow(tr("App"), m_macAppRow);

    // Simulator mode.
    m_simulator = new QComboBox(m_form);
    m_simulator->setObjectName(QStringLiteral("simulator"));
    m_simulator->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_simulator->setMinimumContentsLength(24);
    connect(m_simulator, &QComboBox::activated, this, [this](int index) {
        m_launcher->setDeviceID(m_simulator->itemData(index).toString());
    });
    rows->addRow(tr("Simulator"), m_simulator);

    m_simulatorButtons = new QWidget(m_form);
    auto *buttons = new QHBoxLayout(m_simulatorButtons);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(8);
    auto *refresh = m_refreshButton = new QPushButton(tr("Refresh Simulators"), m_simulatorButtons);
    refresh->setObjectName(QStringLiteral("refreshSimulators"));
    refresh->setAutoDefault(false);
    connect(refresh, &QPushButton::clicked, this, [this] {
        m_launcher->perform([launcher = m_launcher] { return launcher->refresh(); });
    });
    buttons->addWidget(refresh);
    // "&&" shows a literal ampersand rather than marking a mnemonic.
    m_bootButton = new QPushButton(tr("Boot && Load Apps"), m_simulatorButtons);
    m_bootButton->setAccessibleName(tr("Boot & Load Apps"));
    m_bootButton->setObjectName(QStringLiteral("bootAndLoadApps"));
    m_bootButton->setAutoDefault(false);
    connect(m_bootButton, &QPushButton::clicked, this, [this] {
        m_launcher->perform([launcher = m_launcher] { return launcher->loadApps(); });
    });
    buttons->addWidget(m_bootButton);
    buttons->addStretch();
    for (QPushButton *button : {refresh, m_bootButton})
        button->setMinimumWidth(button->sizeHint().width() + 16); // room around the text
    rows->addRow(nullptr, m_simulatorButtons);

    m_onlyMyApps = new QCheckBox(tr("Only My Apps"), m_form);
    m_onlyMyApps->setObjectName(QStringLiteral("onlyMyApps"));
    connect(m_onlyMyApps, &QCheckBox::clicked, this,
            [this](bool checked) { m_launcher->setOnlyMyApps(checked); });
    rows->addRow(nullptr, m_onlyMyApps);

    m_appPicker = new InstalledAppPicker(m_form);
    m_appPicker->setObjectName(QStringLiteral("appPicker"));
    connect(m_appPicker, &InstalledAppPicker::picked, this,
            [this](const QString &bundleID) { m_launcher->setBundleID(bundleID); });
    m_noMyAppsCaption = caption(
        tr("Choose your apps in Settings → My Apps. Load this simulator's apps first."), m_form);
    m_noMyAppsCaption->setObjectName(QStringLiteral("noMyAppsCaption"));
    m_appRow = withCaption(m_appPicker, m_noMyAppsCaption, m_form);
    rows->addRow(tr("Installed app"), m_appRow);

    m_manageMyApps = new QPushButton(tr("Manage My Apps…"), m_form);
    m_manageMyApps->setObjectName(QStringLiteral("manageMyApps"));
    m_manageMyApps->setFlat(true);
    m_manageMyApps->setCursor(Qt::PointingHandCursor);
    m_manageMyApps->setAutoDefault(false);
    updateLinkStyle();
    m_manageMyApps->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(m_manageMyApps, &QPushButton::clicked, this, &ContentView::manageMyAppsRequested);
    rows->addRow(nullptr, m_manageMyApps);

    m_languagePicker = new LanguagePicker(m_form);
    m_languagePicker->setObjectName(QStringLiteral("languagePicker"));
    connect(m_languagePicker, &LanguagePicker::picked, this,
            [this](const QString &code) { m_launcher->setLanguage(code); });
    m_languageCaption = caption(QString(), m_form);
    m_languageCaption->setObjectName(QStringLiteral("languageCaption"));
    m_launchOptions = new LaunchOptionsButton(m_launcher, m_form);
    m_launchOptions->setObjectName(QStringLiteral("launchOptions"));
    auto *language = new QWidget(m_form);
    auto *languageLayout = new QHBoxLayout(language);
    languageLayout->setContentsMargins(0, 0, 0, 0);
    languageLayout->setSpacing(8);
    languageLayout->addWidget(m_languagePicker, 1);
    languageLayout->addWidget(m_launchOptions);
    rows->addRow(tr("Language"), withCaption(language, m_languageCaption, m_form));
    // The localization check's line goes right under the language caption, in the same field.
    auto *localizationCheck = new LocalizationCheckModel(m_launcher, this);
    localizationCheck->setObjectName(QStringLiteral("localizationCheck"));
    QWidget *languageField = m_languageCaption->parentWidget();
    languageField->layout()->addWidget(
        new LocalizationSummaryRow(localizationCheck, languageField));

    m_region = new QLineEdit(m_form);
    m_region->setObjectName(QStringLiteral("region"));
    m_region->setPlaceholderText(QStringLiteral("de_CH"));
    m_region->setAccessibleName(tr("Region / locale"));
    m_region->setCompleter(new RegionCompleter(m_launcher, m_region));
    // Every change of the text is the region launched: typed, pasted, or a completion picked
    // or only highlighted with the arrow keys (which sets the text without an edit signal).
    connect(m_region, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_launcher->setLocale(text); });
    rows->addRow(tr("Region / locale"),
                 withCaption(m_region,
                             caption(tr("The app must include the selected localization. Xcode "
                                        "schemes stay unchanged."),
                                     m_form),
                             m_form));

    // The form scrolls rather than clips when the window is at its smallest.
    auto *scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *content = new QWidget;
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    // Handed over while still empty: the scroll area lays out the widget it is given, and the
    // form is laid out when the window is shown anyway.
    scroll->setWidget(content);
    contentLayout->addWidget(m_form);
    contentLayout->addStretch();
    content->setAutoFillBackground(false);
    scroll->viewport()->setAutoFillBackground(false);
    layout->addWidget(scroll, 1);
}

void ContentView::buildFooter(QVBoxLayout *layout) {
    auto *launchRow = new QHBoxLayout;
    m_galleryButton = new GalleryButton(m_launcher, this);
    m_galleryButton->setFixedHeight(28);
    m_galleryButton->setMinimumWidth(m_galleryButton->sizeHint().width() + 16);
    launchRow->addWidget(m_galleryButton);
    launchRow->addStretch();
    m_nextLanguageButton = new QPushButton(tr("Launch in Next Language"), this);
    m_nextLanguageButton->setObjectName(QStringLiteral("launchInNextLanguage"));
    m_nextLanguageButton->setAutoDefault(false);
    m_nextLanguageButton->setFixedHeight(28);
    m_nextLanguageButton->setMinimumWidth(m_nextLanguageButton->sizeHint().width() + 16);
    // Ctrl+] here, Cmd+] on macOS.
    m_nextLanguageButton->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_BracketRight));
    m_nextLanguageButton->setToolTip(
        tr("Select the next language and launch (%1)")
            .arg(m_nextLanguageButton->shortcut().toString(QKeySequence::NativeText)));
    connect(m_nextLanguageButton, &QPushButton::clicked, this, &ContentView::nextLanguageClicked);
    launchRow->addWidget(m_nextLanguageButton);
    m_launchButton = new QPushButton(tr("Launch App"), this);
    m_launchButton->setObjectName(QStringLiteral("launchApp"));
    m_launchButton->setAutoDefault(false);
    m_launchButton->setFixedSize(320, 28);
    m_launchButton->setIcon(Symbols::icon(QStringLiteral("play.fill"), Qt::white));
    m_launchButton->setIconSize(QSize(12, 12));
    m_launchButton->setStyleSheet(ProminentStyle::buttonStyleSheet(12));
    connect(m_launchButton, &QPushButton::clicked, this, &ContentView::launchClicked);
    launchRow->addWidget(m_launchButton);
    layout->addLayout(launchRow);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setTextFormat(Qt::PlainText); // names apps and languages as the bundle gives them
    Typography::apply(m_status, Role::Callout);
    Typography::makeSecondary(m_status);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status->setWordWrap(true);
    layout->addWidget(m_status);

    layout->addWidget(caption(tr("Select a built .app for macOS, or an app already installed in "
                                 "the simulator. Xcode is required for simulator support."),
                              this));
}

void ContentView::bindLauncher() {
    Launcher *l = m_launcher;
    connect(l, &Launcher::macModeChanged, this, &ContentView::updateMode);
    connect(l, &Launcher::macAppChanged, this, &ContentView::updateMacApp);
    connect(l, &Launcher::devicesChanged, this, &ContentView::updateDevices);
    connect(l, &Launcher::deviceIDChanged, this, &ContentView::updateDeviceSelection);
    connect(l, &Launcher::deviceIDChanged, this, &ContentView::clearAppsForNewDevice);
    connect(l, &Launcher::onlyMyAppsChanged, this, &ContentView::updateAppPicker);
    connect(l, &Launcher::visibleAppsChanged, this, &ContentView::updateAppPicker);
    connect(l, &Launcher::bundleIDChanged, this, &ContentView::updateAppPicker);
    connect(l, &Launcher::supportedLanguagesChanged, this, &ContentView::updateLanguage);
    connect(l, &Launcher::languageChanged, this, &ContentView::updateLanguage);
    connect(l, &Launcher::loadingLanguagesChanged, this, &ContentView::updateLanguage);
    connect(l, &Launcher::languageMessageChanged, this, &ContentView::updateLanguage);
    connect(l, &Launcher::localeChanged, this, [this] {
        if (m_region->text() != m_launcher->locale())
            m_region->setText(m_launcher->locale());
    });
    connect(l, &Launcher::statusChanged, this, [this] { m_status->setText(m_launcher->status()); });
    connect(l, &Launcher::errorChanged, this, &ContentView::showError);
    connect(l, &Launcher::languageSelectionIDChanged, this, [this] {
        if (m_appeared)
            restartLanguageDetection();
    });
    for (auto signal : {&Launcher::busyChanged, &Launcher::loadingLanguagesChanged,
                        &Launcher::languageChanged, &Launcher::macModeChanged,
                        &Launcher::deviceIDChanged, &Launcher::supportedLanguagesChanged})
        connect(l, signal, this, &ContentView::updateEnabled);
    connect(GalleryActivity::of(l), &GalleryActivity::runningChanged, this,
            &ContentView::updateEnabled);

    updateMode();
    updateMacApp();
    updateDevices();
    updateAppPicker();
    updateLanguage();
    m_region->setText(l->locale());
    m_status->setText(l->status());
    updateEnabled();
}

void ContentView::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (m_appeared)
        return;
    m_appeared = true;
    m_startPending = true;
    if (m_launcher->error())
        showError();
}

void ContentView::paintEvent(QPaintEvent *event) {
    QWidget::paintEvent(event);
    if (!m_startPending)
        return;
    m_startPending = false;
    // When first shown: load the device list and look at the current selection's languages.
    // Started once the window has been drawn, so that its first paint does not wait for the
    // tool's thread and process to start.
    QTimer::singleShot(0, this, [this] {
        m_launcher->perform([launcher = m_launcher] { return launcher->refresh(); });
        restartLanguageDetection();
    });
}

void ContentView::changeEvent(QEvent *event) {
    if (event->type() == QEvent::PaletteChange && !m_styling) {
        m_styling = true; // restyling must not re-enter through its own palette change
        updateLinkStyle();
        m_styling = false;
    }
    QWidget::changeEvent(event);
}

void ContentView::updateLinkStyle() {
    m_manageMyApps->setStyleSheet(LinkStyle::buttonStyleSheet(palette(), Qt::AlignLeft));
}

void ContentView::restartLanguageDetection() {
    // The other windows follow the same key: one detection serves them all.
    m_launcher->ensureLanguageDetection();
}

void ContentView::setAlertsHeld(bool held) {
    if (m_alertsHeld == held)
        return;
    m_alertsHeld = held;
    if (!held && m_launcher->error())
        showError();
}

void ContentView::clearAppsForNewDevice() {
    // No app of the previous device stays selected.
    m_launcher->setApps({});
    m_launcher->setBundleID(QString());
}

void ContentView::launchClicked() {
    // The click counts whether or not the launch succeeds.
    m_statistics->recordAction();
    m_launcher->perform([launcher = m_launcher] { return launcher->launch(); });
}

void ContentView::nextLanguageClicked() {
    m_statistics->recordAction(); // a launch like any other
    m_launcher->perform([launcher = m_launcher] { return launcher->launchInNextLanguage(); });
}

void ContentView::showError() {
    const std::optional<QString> error = m_launcher->error();
    if (!error) {
        if (m_alert)
            m_alert->close();
        return;
    }
    if (!isVisible() || m_alertsHeld)
        return; // shown when the view appears, or when the alerts are released
    if (!m_alert) {
        m_alert = new QMessageBox(QMessageBox::Warning, tr("Quillmarch"), QString(),
                                  QMessageBox::Ok, window());
        m_alert->setObjectName(QStringLiteral("errorAlert"));
        m_alert->setWindowModality(Qt::WindowModal);
        m_alert->setAttribute(Qt::WA_DeleteOnClose);
        m_alert->setTextFormat(Qt::PlainText); // tool output is never markup
    }
    // A tool may fail with megabytes of output: the alert shows its beginning, the details
    // hold all of it.
    const QString excerpt = AlertExcerpt::of(*error);
    m_alert->setText(excerpt);
    m_alert->setDetailedText(excerpt == *error ? QString() : *error);
    if (m_alert->isVisible())
        return;
    // However the alert goes away, the error is dismissed with it.
    connect(m_alert, &QMessageBox::finished, this, [this] { m_launcher->setError(std::nullopt); });
    m_alert->open();
}

void ContentView::updateMode() {
    const bool mac = m_launcher->macMode();
    m_destination->setCurrentIndex(mac ? 1 : 0);
    QFormLayout *rows = m_form->form();
    rows->setRowVisible(m_macAppRow, mac);
    rows->setRowVisible(m_simulator, !mac);
    rows->setRowVisible(m_simulatorButtons, !mac);
    rows->setRowVisible(m_onlyMyApps, !mac);
    rows->setRowVisible(m_appRow, !mac);
    rows->setRowVisible(m_manageMyApps, !mac);
}

void ContentView::updateMacApp() {
    const QUrl app = m_launcher->macApp();
    if (app.isEmpty()) {
        m_macAppIcon->clear();
        m_macAppIcon->setVisible(false);
        m_macAppName->setText(tr("No app selected"));
        return;
    }
    const QString path = app.toLocalFile();
    const QIcon icon = QFileIconProvider().icon(QFileInfo(path));
    m_macAppIcon->setPixmap(icon.pixmap(QSize(24, 24), devicePixelRatioF()));
    m_macAppIcon->setVisible(true);
    m_macAppName->setText(QFileInfo(path).fileName());
}

void ContentView::updateDevices() {
    m_simulator->clear();
    m_simulator->addItem(tr("Choose a simulator"), QString());
    for (const SimulatorDevice &device : m_launcher->devices())
        m_simulator->addItem(device.name + QStringLiteral(" · ") + device.udid.left(8),
                             device.udid);
    updateDeviceSelection();
}

void ContentView::updateDeviceSelection() {
    // A remembered device that is not (yet) listed shows no entry.
    m_simulator->setCurrentIndex(m_simulator->findData(m_launcher->deviceID()));
}

void ContentView::updateAppPicker() {
    const QList<InstalledApp> visible = m_launcher->visibleApps();
    m_onlyMyApps->setChecked(m_launcher->onlyMyApps());
    m_appPicker->setApps(visible);
    m_appPicker->setSelection(m_launcher->bundleID());
    m_noMyAppsCaption->setVisible(m_launcher->onlyMyApps() && visible.isEmpty());
}

void ContentView::updateLanguage() {
    m_languagePicker->setLanguages(m_launcher->supportedLanguages());
    m_languagePicker->setSelection(m_launcher->language());
    m_languagePicker->setHeld(m_launcher->loadingLanguages() ||
                              m_launcher->supportedLanguages().isEmpty());
    m_languageCaption->setText(m_launcher->loadingLanguages() ? tr("Reading app languages…")
                                                              : m_launcher->languageMessage());
}

void ContentView::updateEnabled() {
    const bool busy = m_launcher->busy();
    m_busy->setVisible(busy);
    m_form->setEnabled(!busy);
    m_bootButton->setEnabled(!m_launcher->deviceID().isEmpty());
    const bool launchable = !busy && !m_launcher->loadingLanguages() &&
                            !m_launcher->language().isEmpty() &&
                            (m_launcher->macMode() || !m_launcher->deviceID().isEmpty());
    m_launchButton->setEnabled(launchable);
    m_nextLanguageButton->setEnabled(!busy && !m_launcher->loadingLanguages() &&
                                     !m_launcher->supportedLanguages().isEmpty() &&
                                     (m_launcher->macMode() || !m_launcher->deviceID().isEmpty()));
    m_recent->setEnabled(!busy);
    m_refreshButton->setEnabled(true);
    // While a gallery drives a device, the operations that would drive one too wait for it.
    holdForGallery({m_refreshButton, m_bootButton, m_launchButton, m_nextLanguageButton, m_recent},
                   m_launcher);
}
