#include "ui/QuillmarchApp.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmarch"));
    QApplication::setOrganizationName(QStringLiteral("Quillmarch"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillmarch"));

    QuillmarchApp app;
    app.newMainWindow();
    return application.exec();
}
