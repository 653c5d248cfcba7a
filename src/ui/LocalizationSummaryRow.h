#pragma once

#include <QPointer>
#include <QWidget>

class LocalizationCheckModel;
class LocalizationReportSheet;
class QLabel;
class QPushButton;

// One line under the language picker: what the localization check found ("2 problems — fr: 12
// strings missing; nb: no .lproj folder") and a button that opens the full report in a sheet.
// Hidden while there is nothing to say.
class LocalizationSummaryRow : public QWidget {
    Q_OBJECT

public:
    explicit LocalizationSummaryRow(LocalizationCheckModel *check, QWidget *parent = nullptr);

    // The text the line shows before it is elided to the width.
    QString summary() const { return m_summary; }
    // Opens the report sheet over the window; nothing when there is no report.
    void showReport();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Summary text, caution or check mark, and the report button from the check's state.
    void showCheckResult();
    void updateElidedText();
    void updateLinkStyle();

    LocalizationCheckModel *m_check;
    QLabel *m_icon;
    QLabel *m_text;
    QPushButton *m_showReport;
    QString m_summary;
    bool m_problems = false;
    bool m_styling = false;
    QPointer<LocalizationReportSheet> m_sheet;
};
