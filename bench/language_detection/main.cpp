// Measures how long language detection keeps the main thread busy for a Mac app whose resource
// folder holds many entries: the bare AppLanguages::read call (which detection runs on a
// worker), the longest pause of the event loop while Launcher::detectLanguages runs (a 1 ms
// heartbeat timer notes every gap; on a busy machine it also counts waiting for a core), and
// the CPU time the main thread spent from start to finish (heartbeats included).
//
// Usage: language_detection_bench [entries=50000] [rounds=20]
#include "../common/ThreadCpu.h"
#include "launcher/Launcher.h"
#include "metadata/AppLanguages.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <QCoroTask>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

// A Mac app with `entries` names in Contents/Resources: 40 .lproj folders, the rest plain files.
bool makeBundle(const QString &path, int entries) {
    const QString resources = path + QStringLiteral("/Contents/Resources");
    if (!QDir().mkpath(resources))
        return false;
    QFile info(path + QStringLiteral("/Contents/Info.plist"));
    if (!info.open(QIODevice::WriteOnly))
        return false;
    info.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
               "<key>CFBundleDevelopmentRegion</key><string>en</string>"
               "<key>CFBundleLocalizations</key><array><string>en</string><string>de</string>"
               "</array></dict></plist>\n");
    info.close();
    const int folders = std::min(40, entries);
    for (int i = 0; i < folders; ++i)
        if (!QDir().mkpath(resources + QStringLiteral("/l%1.lproj").arg(i)))
            return false;
    for (int i = folders; i < entries; ++i) {
        QFile file(resources + QStringLiteral("/image-%1.png").arg(i));
        if (!file.open(QIODevice::WriteOnly))
            return false;
    }
    return true;
}

struct Figures {
    double min = 0, median = 0, max = 0;
};

Figures summarize(QList<double> samples) {
    std::sort(samples.begin(), samples.end());
    return {samples.first(), samples[samples.size() / 2], samples.last()};
}

void print(const char *what, const Figures &f) {
    std::printf("%-52s min %7.2f ms   median %7.2f ms   max %7.2f ms\n", what, f.min, f.median,
                f.max);
}

// Runs one detection from the event loop and returns the longest gap between heartbeats;
// `cpuMs` gets the main thread's CPU time over the whole run.
double longestPauseDuringDetection(Launcher &launcher, double *cpuMs) {
    QElapsedTimer clock;
    double longest = 0;
    qint64 last = 0;
    QTimer heartbeat;
    heartbeat.setInterval(1);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, double(now - last) / 1e6);
        last = now;
    });
    bool finished = false;
    QObject::connect(&launcher, &Launcher::loadingLanguagesChanged, [&] {
        if (!launcher.loadingLanguages())
            finished = true;
    });
    double cpuStart = 0;
    clock.start();
    heartbeat.start();
    QTimer::singleShot(5, &launcher, [&] {
        cpuStart = threadCpuMs();
        launcher.detectLanguages();
    });
    while (!finished)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    *cpuMs = threadCpuMs() - cpuStart;
    // One more beat so that a pause ending with the detection is counted too.
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    heartbeat.stop();
    QObject::disconnect(&launcher, &Launcher::loadingLanguagesChanged, nullptr, nullptr);
    return longest;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int entries = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 50000;
    const int rounds = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 20;

    QTemporaryDir dir;
    const QString bundle = dir.filePath(QStringLiteral("Large App.app"));
    if (!dir.isValid() || entries < 1 || rounds < 1 || !makeBundle(bundle, entries)) {
        std::fprintf(stderr, "could not create the sample bundle\n");
        return 1;
    }
    std::printf("bundle with %d entries in Contents/Resources, %d rounds\n", entries, rounds);

    QList<double> reads;
    qsizetype languages = 0;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        languages = AppLanguages::read(bundle).size();
        reads << double(timer.nsecsElapsed()) / 1e6;
    }
    std::printf("first AppLanguages::read                             %7.2f ms\n", reads.first());
    print("AppLanguages::read", summarize(reads));

    QSettings store(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    Launcher launcher(&store, DeveloperToolPaths{});
    launcher.setMacMode(true);
    launcher.setMacApp(QUrl::fromLocalFile(bundle));
    QList<double> pauses, cpu;
    for (int i = 0; i < rounds; ++i) {
        double ms = 0;
        pauses << longestPauseDuringDetection(launcher, &ms);
        cpu << ms;
    }
    print("longest event-loop pause during detectLanguages", summarize(pauses));
    print("main-thread CPU time during detectLanguages", summarize(cpu));
    std::printf("languages found: %lld (%s)\n", qlonglong(languages),
                qPrintable(launcher.languageMessage()));
    return 0;
}
