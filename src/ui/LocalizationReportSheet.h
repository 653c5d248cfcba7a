#pragma once

#include "metadata/LocalizationReport.h"

#include <QDialog>
#include <QIcon>

class QLabel;
class QListWidget;
class QTableWidget;

// The full localization report in a sheet over the main window: the languages on the left, the
// selected language's problems and string tables on the right, and the whole report copyable
// as text.
class LocalizationReportSheet : public QDialog {
    Q_OBJECT

public:
    explicit LocalizationReportSheet(LocalizationReport report, QWidget *parent = nullptr);

    const LocalizationReport &report() const { return m_report; }
    // Puts the report's text on the clipboard.
    void copyReport();
    void showLanguage(int row);

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    LocalizationReport m_report;
    QIcon m_caution;
    QIcon m_fine;
    QListWidget *m_languages;
    QLabel *m_languageTitle;
    QLabel *m_languageProblems;
    QTableWidget *m_tables;
};
