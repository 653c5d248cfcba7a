// Start-up of the app against a bare Qt Widgets window built in the same tree, measured in the
// same run, alternating: time from exec to the first painted main window, and resident memory
// one second after that (once the start-up refresh has run); a window with one label and one
// button is measured too, as the floor for any window that shows text. Each program gets a private
// settings and data folder, so the app starts as on a first run (consent sheet included).
//
// Usage: startup_bench [rounds=10] [probe]    (needs DISPLAY or runs on the offscreen platform)
// A second app probe (startup_quillmarch_probe of another build, e.g. an earlier commit) is
// measured in the same rounds, so that two builds compare on an equally loaded machine.
#include "../common/Median.h"
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

qint64 monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

struct Sample {
    double paintMs = 0;
    double rssMb = 0;
};

bool runOnce(const QString &program, Sample *sample) {
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
    if (!environment.contains(QStringLiteral("DISPLAY")) &&
        !environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    const qint64 started = monotonicNs();
    process.start(program, {});
    if (!process.waitForFinished(60000))
        return false;
    for (const QByteArray &line : process.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 4 && fields[0] == "painted") {
            sample->paintMs = double(fields[1].toLongLong() - started) / 1e6;
            sample->rssMb = double(fields[3].toLongLong()) / 1024;
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 10;
    const QString folder = QCoreApplication::applicationDirPath();
    const QString bare = folder + QStringLiteral("/startup_bare_window");
    const QString quillmarch = folder + QStringLiteral("/startup_quillmarch_probe");

    const QString text = folder + QStringLiteral("/startup_text_window");

    const QString other = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();

    QList<double> barePaint, bareRss, textPaint, textRss, appPaint, appRss, otherPaint, otherRss;
    for (int i = 0; i < rounds; ++i) {
        Sample b, t, q, o;
        if (!runOnce(bare, &b) || !runOnce(text, &t) || !runOnce(quillmarch, &q) ||
            (!other.isEmpty() && !runOnce(other, &o))) {
            std::fprintf(stderr, "a start-up program did not report\n");
            return 1;
        }
        if (!other.isEmpty()) {
            otherPaint << o.paintMs;
            otherRss << o.rssMb;
        }
        barePaint << b.paintMs;
        bareRss << b.rssMb;
        textPaint << t.paintMs;
        textRss << t.rssMb;
        appPaint << q.paintMs;
        appRss << q.rssMb;
    }
    std::printf("start-up, %d rounds each, medians\n", rounds);
    std::printf("                              exec -> first paint     resident memory\n");
    std::printf("bare Qt window                %8.1f ms             %7.1f MB\n", median(barePaint),
                median(bareRss));
    std::printf("window with a label, a button %8.1f ms             %7.1f MB\n", median(textPaint),
                median(textRss));
    std::printf("Quillmarch                    %8.1f ms             %7.1f MB\n", median(appPaint),
                median(appRss));
    if (!other.isEmpty()) {
        std::printf("the other build's Quillmarch  %8.1f ms             %7.1f MB\n",
                    median(otherPaint), median(otherRss));
        std::printf("  its ratio to the label window %6.2f                %7.2f\n",
                    median(otherPaint) / median(textPaint), median(otherRss) / median(textRss));
    }
    std::printf("ratio to the bare window      %8.2f                %7.2f\n",
                median(appPaint) / median(barePaint), median(appRss) / median(bareRss));
    std::printf("ratio to the label window     %8.2f                %7.2f\n",
                median(appPaint) / median(textPaint), median(appRss) / median(textRss));
    return 0;
}
