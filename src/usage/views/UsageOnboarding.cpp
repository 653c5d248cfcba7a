#include "usage/views/UsageOnboarding.h"

#include "usage/UsageStatistics.h"
#include "usage/views/UsageConsentView.h"

#include <QCloseEvent>
#include <QDialog>
#include <QEvent>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// A window-modal sheet that only its own buttons can close: Escape and the window's close
// button are ignored until the owner releases it.
class ConsentSheet : public QDialog {
public:
    ConsentSheet(UsageStatistics *statistics, QWidget *parent)
        : QDialog(parent,
#ifdef Q_OS_MACOS
                  Qt::Sheet
#else
                  Qt::Dialog
#endif
                      | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
        setObjectName(QStringLiteral("usageConsentSheet"));
        setWindowTitle(tr("Quillmarch"));
        setWindowModality(Qt::WindowModal);
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSizeConstraint(QLayout::SetFixedSize);
        layout->addWidget(new UsageConsentView(statistics, this));
    }

    void release() {
        m_released = true;
    }

    void reject() override {
        if (m_released)
            QDialog::reject();
    }

protected:
    void paintEvent(QPaintEvent *event) override {
        QDialog::paintEvent(event);
        // A hairline edge sets the sheet off from the window it covers.
        QPainter painter(this);
        QColor edge = palette().color(QPalette::WindowText);
        edge.setAlphaF(0.3);
        painter.setPen(edge);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }

    void closeEvent(QCloseEvent *event) override {
        if (m_released)
            QDialog::closeEvent(event);
        else
            event->ignore();
    }

private:
    bool m_released = false;
};

} // namespace

UsageOnboarding::UsageOnboarding(QWidget *content, UsageStatistics *statistics)
    : QObject(content)
    , m_content(content)
    , m_statistics(statistics ? statistics : UsageStatistics::shared()) {
    content->installEventFilter(this);
    connect(m_statistics, &UsageStatistics::consentChanged, this, &UsageOnboarding::follow);
    if (content->isVisible()) {
        m_appeared = true;
        QTimer::singleShot(0, this, [this] {
            m_statistics->begin();
            follow();
        });
    }
}

bool UsageOnboarding::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_content && event->type() == QEvent::Paint && !m_appeared) {
        m_appeared = true;
        // Once the window has been drawn on screen: start the session, then ask if still
        // undecided. The sheet drops down over a finished window, and the window's first paint
        // does not wait for the sheet to be built.
        QTimer::singleShot(0, this, [this] {
            m_statistics->begin();
            follow();
        });
    }
    return QObject::eventFilter(watched, event);
}

void UsageOnboarding::follow() {
    if (m_appeared && !m_statistics->consent().has_value())
        present();
    else
        dismiss();
}

void UsageOnboarding::present() {
    if (m_sheet)
        return;
    auto *sheet = new ConsentSheet(m_statistics, m_content->window());
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    // The window's commands stay reachable through the sheet that blocks the window.
    sheet->addActions(m_content->window()->actions());
    m_sheet = sheet;
    sheet->adjustSize();
#ifndef Q_OS_MACOS
    // Drop down from the top of the window, centred, as a sheet does.
    const QRect frame = m_content->window()->geometry();
    sheet->move(frame.left() + (frame.width() - sheet->width()) / 2, frame.top() + 28);
#endif
    sheet->open();
}

void UsageOnboarding::dismiss() {
    if (!m_sheet)
        return;
    auto *sheet = static_cast<ConsentSheet *>(m_sheet.data());
    sheet->release();
    sheet->close();
}

UsageOnboarding *usageOnboarding(QWidget *content, UsageStatistics *statistics) {
    return new UsageOnboarding(content, statistics);
}
