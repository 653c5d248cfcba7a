// The window and the overlay view: controls per state, the step list, the alert, closing; the
// overlay's drag, clipping and keys.
#include "FakeDesktop.h"
#include "recorder/AreaSelectionView.h"
#include "recorder/SelectionPanel.h"
#include "recorder/StepRecorder.h"
#include "recorder/StepRecorderView.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

namespace {

// The buttons with this text, top to bottom.
QList<QPushButton *> buttons(QWidget *parent, const QString &text) {
    QList<QPushButton *> found = parent->findChildren<QPushButton *>();
    found.removeIf([&text](QPushButton *candidate) { return candidate->text() != text; });
    std::sort(found.begin(), found.end(), [](QPushButton *a, QPushButton *b) {
        return a->mapTo(a->window(), QPoint()).y() < b->mapTo(b->window(), QPoint()).y();
    });
    return found;
}

QStringList stepLabels(QWidget *parent) {
    QStringList labels;
    for (const QLabel *label : parent->findChildren<QLabel *>())
        if (label->isVisible() && label->text().startsWith(QStringLiteral("Step ")) &&
            label->text().size() < 10)
            labels.append(label->text());
    labels.sort();
    return labels;
}

// Presses Record Step and returns the view of the one overlay that opens.
AreaSelectionView *openOverlay(StepRecorderView &view) {
    QTest::mouseClick(buttons(&view, QStringLiteral("Record Step")).value(0), Qt::LeftButton);
    QList<SelectionPanel *> panels;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (auto *panel = qobject_cast<SelectionPanel *>(window); panel && panel->isVisible())
            panels.append(panel);
    return panels.size() == 1 ? panels.constFirst()->view() : nullptr;
}

} // namespace

class TestStepRecorderView : public QObject {
    Q_OBJECT

private:
    std::shared_ptr<FakeDesktop> m_desktop;
    std::unique_ptr<StepRecorderView> m_view;

    StepRecorder *recorder() const { return m_view->recorder(); }
    QPushButton *button(const QString &text) const { return buttons(m_view.get(), text).value(0); }

    // Drag in the overlay's widget coordinates (y downwards), then Return.
    void selectAndArm(QPoint from, QPoint to) {
        AreaSelectionView *overlay = openOverlay(*m_view);
        QVERIFY(overlay);
        QTest::mousePress(overlay, Qt::LeftButton, {}, from);
        QTest::mouseMove(overlay, to);
        QTest::mouseRelease(overlay, Qt::LeftButton, {}, to);
        QTest::keyClick(overlay, Qt::Key_Return);
        QVERIFY(recorder()->armed());
    }

private slots:
    void init() {
        m_desktop = std::make_shared<FakeDesktop>();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        m_desktop->screenList = {DesktopScreen{QRectF(0, 0, screen.width(), screen.height()), 1.0,
                                               7u, QGuiApplication::primaryScreen()}};
        m_view = std::make_unique<StepRecorderView>(m_desktop);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    }

    void cleanup() { m_view.reset(); }

    void controlsFollowTheState() {
        QPushButton *record = button(QStringLiteral("Record Step"));
        QPushButton *cancel = button(QStringLiteral("Cancel"));
        QPushButton *clear = button(QStringLiteral("Clear All Steps"));
        QVERIFY(record && cancel && clear);
        QVERIFY(record->isEnabled() && cancel->isHidden() && !clear->isEnabled()); // no steps

        recorder()->setSteps({RecordedStep(QImage(10, 10, QImage::Format_RGB32))});
        AreaSelectionView *overlay = openOverlay(*m_view);
        QVERIFY(overlay);
        QVERIFY(!record->isEnabled() && !cancel->isHidden() && clear->isEnabled()); // selecting
        QTest::keyClick(overlay, Qt::Key_Escape);
        QVERIFY(record->isEnabled());

        selectAndArm({100, 100}, {300, 250});
        QVERIFY(!record->isEnabled() && !cancel->isHidden() && !clear->isEnabled()); // armed
        QTest::mouseClick(cancel, Qt::LeftButton);
        QVERIFY(!recorder()->armed());
        QVERIFY(cancel->isHidden());
        QTest::mouseClick(clear, Qt::LeftButton);
        QVERIFY(recorder()->steps().isEmpty());
    }

    // Removing renumbers the rest, and the button goes only after its own click is over.
    // Hiding the window (closing hides it too) stops recording, then discards the steps.
    void removingRenumbersAndHidingDiscards() {
        const QImage image(30, 20, QImage::Format_RGB32);
        const QList<RecordedStep> steps = {RecordedStep(image), RecordedStep(image),
                                           RecordedStep(image)};
        recorder()->setSteps(steps);
        const QList<QPushButton *> removes = buttons(m_view.get(), QStringLiteral("Remove"));
        QCOMPARE(removes.size(), 3);
        bool deletedDuringClick = false;
        connect(removes[1], &QObject::destroyed, this, [&] { deletedDuringClick = true; });
        QTest::mouseClick(removes[1], Qt::LeftButton);
        QVERIFY(!deletedDuringClick);
        QCOMPARE(recorder()->steps().size(), 2);
        QCOMPARE(recorder()->steps()[1].id(), steps[2].id());
        QTRY_COMPARE(stepLabels(m_view.get()), QStringList({"Step 1", "Step 2"}));

        selectAndArm({100, 100}, {300, 250});
        QTRY_COMPARE(m_desktop->activeMonitorCount(), 1);
        m_view->hide();
        QCOMPARE(m_desktop->activeMonitorCount(), 0);
        QVERIFY(!recorder()->armed());
        QVERIFY(recorder()->steps().isEmpty());
        QCOMPARE(recorder()->message(), QStringLiteral("Recording stopped."));
    }

    // The alert goes, and the error with it, whether dismissed with OK or Escape.
    void alertShowsAndClearsTheError() {
        for (const bool byEscape : {false, true}) {
            recorder()->setError(QStringLiteral("Capture failed: first"));
            auto *alert = m_view->findChild<QMessageBox *>();
            QTRY_VERIFY(alert && alert->isVisible());
            QCOMPARE(alert->windowTitle(), QStringLiteral("Step Recorder"));
            QCOMPARE(alert->text(), QStringLiteral("Capture failed: first"));
            if (byEscape)
                QTest::keyClick(alert, Qt::Key_Escape);
            else
                QTest::mouseClick(alert->button(QMessageBox::Ok), Qt::LeftButton);
            QCOMPARE(recorder()->error(), std::nullopt);
            QTRY_VERIFY(!m_view->findChild<QMessageBox *>());
        }
    }

    void overlayDragAndKeys() {
        AreaSelectionView view;
        view.resize(800, 600);
        std::vector<std::optional<QRectF>> reports;
        view.setFinished([&](std::optional<QRectF> rect) { reports.push_back(rect); });

        QTest::keyClick(&view, Qt::Key_Return); // before any drag: the zero rectangle
        // Right to left and upwards, ending beyond the screen's top-left corner: clipped.
        QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(300, 200));
        QTest::mouseMove(&view, QPoint(-50, -40));
        QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(-50, -40));
        QTest::keyClick(&view, Qt::Key_Enter, Qt::KeypadModifier); // keypad Enter: nothing
        QTest::keyClick(&view, Qt::Key_A);
        QTest::keyClick(&view, Qt::Key_Return);
        QTest::keyClick(&view, Qt::Key_Escape);
        QCOMPARE(reports, (std::vector<std::optional<QRectF>>{QRectF(), QRectF(0, 400, 300, 200),
                                                              std::nullopt}));
    }
};

QTEST_MAIN(TestStepRecorderView)
#include "tst_step_recorder_view.moc"
