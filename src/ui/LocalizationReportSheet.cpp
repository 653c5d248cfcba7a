#include "ui/LocalizationReportSheet.h"

#include "metadata/AppLanguages.h"
#include "style/Symbols.h"
#include "style/Typography.h"
#include "ui/PlainText.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using Typography::Role;

namespace {

QTableWidgetItem *cell(const QString &text, Qt::Alignment alignment = Qt::AlignLeft) {
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

// Names from the bundle, never read as markup.
QLabel *plainLabel(const QString &text, QWidget *parent) {
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

// The missing keys, or why files of the table could not be read.
QString details(const LocalizationTable &table) {
    QStringList parts;
    for (const UnreadableFile &file : table.unreadableFiles)
        parts << QObject::tr("%1 could not be read: %2").arg(file.fileName, file.reason);
    if (table.incomplete && table.unreadableFiles.isEmpty())
        parts << QObject::tr("Compared with a table that could not be read in full");
    if (!table.missingKeys.isEmpty())
        parts << table.missingKeys.join(QStringLiteral(", "));
    else if (table.referenceFolder.isEmpty() && table.keyCount > 0)
        parts << QObject::tr("No table of this name to compare with");
    return parts.join(QStringLiteral("; "));
}

} // namespace

LocalizationReportSheet::LocalizationReportSheet(LocalizationReport report, QWidget *parent)
    : QDialog(parent)
    , m_report(std::move(report))
    , m_languages(new QListWidget(this))
    , m_languageTitle(plainLabel(QString(), this))
    , m_languageProblems(plainLabel(QString(), this))
    , m_tables(new QTableWidget(this)) {
    setObjectName(QStringLiteral("localizationReport"));
    setWindowTitle(tr("Localization Check"));
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(720, 440);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 16);
    layout->setSpacing(12);

    auto *title =
        plainLabel(tr("Localizations of %1").arg(QFileInfo(m_report.bundlePath).fileName()), this);
    Typography::apply(title, Role::Title2);
    layout->addWidget(title);
    QStringList folders;
    for (const QString &folder : std::as_const(m_report.referenceFolders))
        folders << folder + QStringLiteral(".lproj");
    const QString reference =
        folders.isEmpty() ? tr("no string tables to compare with")
                          : tr("string tables compared with %1").arg(folders.join(tr(", else ")));
    auto *subtitle =
        plainLabel((m_report.developmentLanguage.isEmpty()
                        ? tr("No development language declared")
                        : tr("Development language %1")
                              .arg(AppLanguages::label(m_report.developmentLanguage))) +
                       QStringLiteral(" · ") + reference,
                   this);
    Typography::apply(subtitle, Role::Callout);
    Typography::makeSecondary(subtitle);
    layout->addWidget(subtitle);
    auto *summary = plainLabel(m_report.summary(), this);
    summary->setObjectName(QStringLiteral("reportSummary"));
    summary->setWordWrap(true);
    summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(summary);

    auto *body = new QHBoxLayout;
    body->setSpacing(12);
    m_languages->setObjectName(QStringLiteral("reportLanguages"));
    m_languages->setFixedWidth(210);
    m_languages->setIconSize(QSize(14, 14));
    m_languages->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_languages->setTextElideMode(Qt::ElideRight);
    m_caution = Symbols::icon(QStringLiteral("exclamationmark.triangle"), Typography::caution());
    m_fine = Symbols::icon(QStringLiteral("checkmark"), Typography::tint());
    for (const LanguageLocalization &language : std::as_const(m_report.languages)) {
        auto *item = new QListWidgetItem(language.problems().isEmpty() ? m_fine : m_caution,
                                         AppLanguages::label(language.language), m_languages);
        const int count = int(language.problems().size());
        item->setToolTip(PlainText::toolTip(
            AppLanguages::label(language.language) + QStringLiteral(" · ") +
            (count == 0 ? tr("no problems") : tr("%n problem(s)", nullptr, count))));
    }
    body->addWidget(m_languages);

    auto *detail = new QVBoxLayout;
    detail->setSpacing(6);
    Typography::apply(m_languageTitle, Role::Headline);
    detail->addWidget(m_languageTitle);
    m_languageProblems->setObjectName(QStringLiteral("languageProblems"));
    m_languageProblems->setWordWrap(true);
    m_languageProblems->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Typography::apply(m_languageProblems, Role::Callout);
    detail->addWidget(m_languageProblems);
    m_tables->setObjectName(QStringLiteral("reportTables"));
    m_tables->setColumnCount(5);
    m_tables->setHorizontalHeaderLabels(
        {tr("Table"), tr("Strings"), tr("Missing"), tr("Compared With"), tr("Details")});
    m_tables->verticalHeader()->hide();
    m_tables->setShowGrid(false);
    m_tables->setAlternatingRowColors(true);
    m_tables->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tables->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tables->setWordWrap(false);
    m_tables->setIconSize(QSize(14, 14));
    m_tables->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_tables->verticalHeader()->setDefaultSectionSize(m_tables->fontMetrics().height() + 10);
    m_tables->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_tables->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_tables->horizontalHeader()->setStretchLastSection(true);
    detail->addWidget(m_tables, 1);
    body->addLayout(detail, 1);
    layout->addLayout(body, 1);

    // Copy on the leading edge, Done on the trailing one, as sheets place them.
    auto *buttons = new QHBoxLayout;
    auto *copy = new QPushButton(tr("Copy Report"), this);
    copy->setObjectName(QStringLiteral("copyReport"));
    copy->setAutoDefault(false);
    connect(copy, &QPushButton::clicked, this, &LocalizationReportSheet::copyReport);
    buttons->addWidget(copy);
    buttons->addStretch();
    auto *done = new QPushButton(tr("Done"), this);
    done->setDefault(true);
    done->setMinimumWidth(done->sizeHint().width() + 24);
    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(done);
    layout->addLayout(buttons);

    connect(m_languages, &QListWidget::currentRowChanged, this,
            &LocalizationReportSheet::showLanguage);
    // Open on the first language with a problem, so the sheet starts where the work is.
    int first = 0;
    for (int row = 0; row < m_report.languages.size(); ++row) {
        if (!m_report.languages[row].problems().isEmpty()) {
            first = row;
            break;
        }
    }
    if (!m_report.languages.isEmpty())
        m_languages->setCurrentRow(first);
}

void LocalizationReportSheet::copyReport() {
    QGuiApplication::clipboard()->setText(m_report.text());
}

void LocalizationReportSheet::showLanguage(int row) {
    m_tables->setRowCount(0);
    if (row < 0 || row >= m_report.languages.size()) {
        m_languageTitle->clear();
        m_languageProblems->clear();
        return;
    }
    const LanguageLocalization &language = m_report.languages[row];
    m_languageTitle->setText(AppLanguages::label(language.language) +
                             (language.development ? tr(" — development language") : QString()));
    QStringList problems = language.problems();
    if (!language.folderFailure.isEmpty())
        problems << language.folderFailure;
    m_languageProblems->setText(problems.isEmpty() ? tr("No problems found.")
                                                   : problems.join(QLatin1Char('\n')));
    if (language.hasFolder && language.folderFailure.isEmpty() && language.tables.isEmpty())
        m_languageProblems->setText(m_languageProblems->text() + QLatin1Char('\n') +
                                    tr("%1.lproj holds no string tables.").arg(language.language));
    m_tables->setRowCount(int(language.tables.size()));
    for (int i = 0; i < language.tables.size(); ++i) {
        const LocalizationTable &table = language.tables[i];
        const QString strings =
            table.referenceFolder.isEmpty()
                ? QString::number(table.keyCount)
                : tr("%1 of %2").arg(table.keyCount).arg(table.referenceKeyCount);
        const int missing = int(table.missingKeys.size());
        m_tables->setItem(i, 0, cell(table.name));
        m_tables->setItem(i, 1, cell(strings, Qt::AlignRight));
        m_tables->setItem(
            i, 2, cell(missing ? QString::number(missing) : QStringLiteral("—"), Qt::AlignRight));
        m_tables->setItem(i, 3,
                          cell(table.referenceFolder.isEmpty()
                                   ? QStringLiteral("—")
                                   : table.referenceFolder + QStringLiteral(".lproj")));
        auto *detailCell = cell(details(table));
        detailCell->setToolTip(PlainText::toolTip(details(table)));
        m_tables->item(i, 0)->setIcon(missing || table.incomplete ? m_caution : m_fine);
        m_tables->setItem(i, 4, detailCell);
    }
}

void LocalizationReportSheet::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
#ifndef Q_OS_MACOS
    // Where the platform has no sheets: hang from the top of the window, centred.
    if (const QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr) {
        const QRect area = owner->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + 12);
    }
#endif
}

void LocalizationReportSheet::paintEvent(QPaintEvent *event) {
    QDialog::paintEvent(event);
#ifndef Q_OS_MACOS
    // A hairline sets the sheet off from the window it hangs over.
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
#endif
}
