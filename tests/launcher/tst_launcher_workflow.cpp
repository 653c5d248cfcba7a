#include <QTest>

class LauncherWorkflowTest : public QObject {
    Q_OBJECT
};

QTEST_GUILESS_MAIN(LauncherWorkflowTest)
#include "tst_launcher_workflow.moc"
