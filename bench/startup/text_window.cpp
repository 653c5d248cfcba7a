// A second floor for start-up: the bare window plus one label and one push button, which is
// what any window with text and a styled control pays for (fonts, shaping, glyph rendering,
// the style's control images) before it shows a single thing of its own.
#include "StartupProbe.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdlib>

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    StartupProbe::FirstPaint probe(argc > 1 ? atoi(argv[1]) : 1000);
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Target app"), &window));
    layout->addWidget(new QPushButton(QStringLiteral("Launch"), &window));
    layout->addStretch();
    window.resize(760, 610);
    window.show();
    return application.exec();
}
