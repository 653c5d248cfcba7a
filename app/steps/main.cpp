#include "recorder/StepRecorderView.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmarch"));
    StepRecorderView view;
    view.setWindowTitle(QStringLiteral("Step Recorder"));
    view.resize(720, 640);
    view.show();
    return app.exec();
}
