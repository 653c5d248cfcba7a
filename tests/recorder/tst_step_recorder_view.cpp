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

QPushButton *button(QWidget *parent, const QString &text) {
    const QList<QPushButton *> buttons = parent->findChildren<QPushButton *>();
    for (QPushButton *candidate : buttons) {
        if (candidate->text() == text)
            return candidate;
    }
    return nullptr;
}

QStringList stepLabels(QWidget *parent) {
    QStringList labels;
    const QList<QLabel *> all = parent->findChildren<QLabel *>();
    for (const QLabel *label : all) {
        if (label->text().startsWith(QStringLiteral("Step ")) && label->text().size() < 10)
            labels.append(label->text());
    }
    labels.sort();
    return labels;
}

AreaSelectionView *openOverlay(StepRecorderView &view) {
    QTest::mouseClick(button(&view, QStringLiteral("Record Step")), Qt::LeftButton);
    const QList<SelectionPanel *> panels =
        QApplication::topLevelWidgets().isEmpty() ? QList<SelectionPanel *>() : [] {
            QList<SelectionPanel *> found;
            const QList<QWidget *> windows = QApplication::topLevelWidgets();
            for (QWidget *window : windows) {
                if (auto *panel = qobject_cast<SelectionPanel *>(window);
                    panel && panel->isVisible())
                    found.append(panel);
            }
            return found;
        }();
    return panels.size() == 1 ? panels.constFirst()->view() : nullptr;
}

} // namespace

class TestStepRecorderView : public QObject {
    Q_OBJECT

private:
    std::shared_ptr<FakeDesktop> m_desktop;
    std::unique_ptr<StepRecorderView> m_view;

    StepRecorder *recorder() const { return m_view->recorder(); }

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
        QPushButton *record = button(m_view.get(), QStringLiteral("Record Step"));
        QPushButton *cancel = button(m_view.get(), QStringLiteral("Cancel"));
        QPushButton *clear = button(m_view.get(), QStringLiteral("Clear All Steps"));
        QVERIFY(record && cancel && clear);
        QVERIFY(record->isEnabled());
        QVERIFY(cancel->isHidden());
        QVERIFY(!clear->isEnabled()); // no steps

        recorder()->setSteps({RecordedStep(QImage(10, 10, QImage::Format_RGB32))});
        AreaSelectionView *overlay = openOverlay(*m_view);
        QVERIFY(overlay);
        QVERIFY(!record->isEnabled());
        QVERIFY(!cancel->isHidden());
        QVERIFY(clear->isEnabled()); // selecting with steps
        QTest::keyClick(overlay, Qt::Key_Escape);
        QVERIFY(record->isEnabled());

        selectAndArm({100, 100}, {300, 250});
        QVERIFY(!record->isEnabled());
        QVERIFY(!cancel->isHidden());
        QVERIFY(!clear->isEnabled());
        QCOMPARE(recorder()->area(),
                 std::optional(QRectF(100, m_view->screen()->geometry().height() - 250, 200, 150)));
        QTest::mouseClick(cancel, Qt::LeftButton);
        QVERIFY(!recorder()->armed());
        QVERIFY(cancel->isHidden());
        QTest::mouseClick(clear, Qt::LeftButton);
        QVERIFY(recorder()->steps().isEmpty());
    }

    void removingRenumbers() {
        QImage image(30, 20, QImage::Format_RGB32);
        image.fill(Qt::gray);
        const QList<RecordedStep> steps = {RecordedStep(image), RecordedStep(image),
                                           RecordedStep(image)};
        recorder()->setSteps(steps);
        QCOMPARE(stepLabels(m_view.get()), QStringList({"Step 1", "Step 2", "Step 3"}));
        QList<QPushButton *> removes;
        for (QPushButton *b : m_view->findChildren<QPushButton *>()) {
            if (b->text() == QStringLiteral("Remove"))
                removes.append(b);
        }
        QCOMPARE(removes.size(), 3);
        // Layout order is list order: find the second entry's button by position.
        std::sort(removes.begin(), removes.end(), [](QPushButton *a, QPushButton *b) {
            return a->mapTo(a->window(), QPoint()).y() < b->mapTo(b->window(), QPoint()).y();
        });
        QTest::mouseClick(removes[1], Qt::LeftButton);
        QCOMPARE(recorder()->steps().size(), 2);
        QCOMPARE(recorder()->steps()[1].id(), steps[2].id());
        QCOMPARE(stepLabels(m_view.get()), QStringList({"Step 1", "Step 2"}));
        QString suggested;
        recorder()->setSaveLocationChooser([&](const QString &name) {
            suggested = name;
            return QString();
        });
        recorder()->save(steps[2]);
        QCOMPARE(suggested, QStringLiteral("Step-2.png"));
    }

    void alertShowsAndClearsTheError() {
        recorder()->setError(QStringLiteral("Capture failed: first"));
        auto *alert = m_view->findChild<QMessageBox *>();
        QVERIFY(alert);
        QTRY_VERIFY(alert->isVisible());
        QCOMPARE(alert->windowTitle(), QStringLiteral("Step Recorder"));
        QCOMPARE(alert->text(), QStringLiteral("Capture failed: first"));
        QTest::mouseClick(alert->button(QMessageBox::Ok), Qt::LeftButton);
        QCOMPARE(recorder()->error(), std::nullopt);
        QTRY_VERIFY(!m_view->findChild<QMessageBox *>());

        recorder()->setError(QStringLiteral("second"));
        alert = m_view->findChild<QMessageBox *>();
        QVERIFY(alert);
        QCOMPARE(alert->text(), QStringLiteral("second"));
        QTest::keyClick(alert, Qt::Key_Escape);
        QCOMPARE(recorder()->error(), std::nullopt);
    }

    void closingStopsThenDiscards() {
        recorder()->setSteps({RecordedStep(QImage(10, 10, QImage::Format_RGB32))});
        selectAndArm({100, 100}, {300, 250});
        QTRY_COMPARE(m_desktop->activeMonitorCount(), 1);
        m_view->close();
        QCOMPARE(m_desktop->activeMonitorCount(), 0);
        QVERIFY(!recorder()->armed());
        QVERIFY(recorder()->steps().isEmpty());
        QCOMPARE(recorder()->message(), QStringLiteral("Recording stopped."));
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
        QCOMPARE(view.selection(), QRectF(0, 400, 300, 200));
        QTest::keyClick(&view, Qt::Key_Enter, Qt::KeypadModifier); // keypad Enter: nothing
        QTest::keyClick(&view, Qt::Key_A);
        QTest::keyClick(&view, Qt::Key_Return);
        // A click without movement: an empty rectangle at the click point.
        QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(500, 100));
        QCOMPARE(view.selection(), QRectF(500, 500, 0, 0));
        QTest::keyClick(&view, Qt::Key_Escape);

        QCOMPARE(reports.size(), size_t(3));
        QCOMPARE(reports[0], std::optional(QRectF()));
        QCOMPARE(reports[1], std::optional(QRectF(0, 400, 300, 200)));
        QCOMPARE(reports[2], std::nullopt);
    }
};

QTEST_MAIN(TestStepRecorderView)
#include "tst_step_recorder_view.moc"
