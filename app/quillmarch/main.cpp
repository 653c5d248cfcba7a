#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmarch"));
    QApplication::setOrganizationName(QStringLiteral("Quillmarch"));
    QLabel window(QStringLiteral("Quillmarch"));
    window.resize(760, 610);
    window.show();
    return app.exec();
}
