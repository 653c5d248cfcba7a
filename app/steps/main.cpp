#include "ApplicationIdentity.h"
#include "recorder/StepRecorderView.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    ApplicationIdentity::apply(ApplicationIdentity::stepRecorder);
    StepRecorderView view;
    view.setWindowTitle(QStringLiteral("Step Recorder"));
    view.resize(720, 640);
    view.show();
    return app.exec();
}
