// Generates the stand-in's sample simulator device set into the folder given as argument,
// replacing whatever was there. The output is the same on every run. With a second argument
// N, the set also gets a booted device with N apps (see LargeDevice.h).
#include "LargeDevice.h"
#include "SampleSetWriter.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication application(argc, argv);
    const int largeDeviceApps = argc == 3 ? QString::fromLocal8Bit(argv[2]).toInt() : 0;
    if (argc < 2 || argc > 3 || (argc == 3 && largeDeviceApps < 1)) {
        std::fprintf(stderr, "usage: %s <output folder> [apps on a large device]\n", argv[0]);
        return 64;
    }
    const QString root = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir(root).removeRecursively();
    QString error;
    if (!QDir().mkpath(root) || !writeSampleSet(root, &error) ||
        (largeDeviceApps > 0 && !addLargeDevice(root, largeDeviceApps, &error))) {
        std::fprintf(stderr, "cannot generate the device set in %s: %s\n", qPrintable(root),
                     qPrintable(error));
        return 1;
    }
    return 0;
}
