#include "ApplicationIdentity.h"
#include "ui/QuillmarchApp.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    ApplicationIdentity::apply(ApplicationIdentity::quillmarch);
    QApplication::setApplicationDisplayName(QStringLiteral("Quillmarch"));

    QuillmarchApp app;
    app.newMainWindow();
    return application.exec();
}
