// Generates the stand-in's sample simulator device set into the folder given as argument,
// replacing whatever was there. The output is the same on every run.
#include "SampleSetWriter.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 64;
    }
    const QString root = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir(root).removeRecursively();
    QString error;
    if (!QDir().mkpath(root) || !writeSampleSet(root, &error)) {
        std::fprintf(stderr, "cannot generate the device set in %s: %s\n", qPrintable(root),
                     qPrintable(error));
        return 1;
    }
    return 0;
}
