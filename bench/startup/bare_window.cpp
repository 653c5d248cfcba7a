// The floor for start-up: a bare Qt Widgets window of the main window's default size.
#include "StartupProbe.h"

#include <QApplication>

#include <QWidget>
#include <cstdlib>

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    StartupProbe::FirstPaint probe(argc > 1 ? atoi(argv[1]) : 1000);
    QWidget window;
    window.resize(760, 610);
    window.show();
    return application.exec();
}
