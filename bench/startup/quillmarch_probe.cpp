// The app exactly as app/quillmarch/main.cpp starts it, with the start-up probe added.
#include "StartupProbe.h"
#include "ui/QuillmarchApp.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    StartupProbe::FirstPaint probe(argc > 1 ? atoi(argv[1]) : 1000);
    QApplication::setApplicationName(QStringLiteral("Quillmarch"));
    QApplication::setOrganizationName(QStringLiteral("Quillmarch"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillmarch"));

    QuillmarchApp app;
    app.newMainWindow();
    return application.exec();
}
