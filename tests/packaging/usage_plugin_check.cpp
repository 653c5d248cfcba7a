// Loads the usage statistics' network plugin from where an installed program looks for it, and
// makes a transport with it.
//   usage_plugin_check <folder of the installed executable>
#include "usage/UsageTransport.h"
#include "usage/UsageTransportPlugin.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: usage_plugin_check <folder of the installed executable>\n");
        return 2;
    }
    const QString path = UsageTransportPlugin::installedPath(QString::fromLocal8Bit(argv[1]));
    QString error;
    UsageTransportFactory *factory = UsageTransportPlugin::load(path, &error);
    if (!factory) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    if (!factory->create(UsageConfiguration{})) {
        std::fprintf(stderr, "%s made no transport\n", qPrintable(path));
        return 1;
    }
    std::printf("loaded %s\n", qPrintable(path));
    return 0;
}
