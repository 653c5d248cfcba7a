// Measures the localization check of a Mac app with many languages and large string tables:
// LocalizationCheck::run called directly against its floor (every table file read into memory
// with as many threads as the check uses, measured in the same run), then the main thread's CPU
// time from the start of a check until its report is published, the longest pause of the event
// loop meanwhile (a 1 ms heartbeat timer notes every gap), and the total time. Tables come in
// all three forms: text .strings (UTF-8 and UTF-16), XML and binary .stringsdict; every
// translation lacks a few keys and one table does not parse. A second bundle of the same shape
// is then made the way built apps ship their tables, mostly binary (compiled .strings and
// .stringsdict, a few text tables left), and checked against its floor as well.
//
// Usage: localization_check_bench [languages=40] [tables=30] [keys=2000] [rounds=2]
#include "../common/Median.h"
#include "../common/ThreadCpu.h"
#include "launcher/LocalizationCheckModel.h"
#include "metadata/LocalizationCheck.h"
#include "metadata/StringTables.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <QtConcurrent/QtConcurrentMap>

#include <plist/plist.h>

#include <cstdlib>
#include <functional>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>

namespace {

struct Shape {
    int languages = 40;
    int tables = 30;
    int keys = 2000;
};

// How the tables of a bundle are stored: as a project holds them (two thirds text .strings,
// the rest .stringsdict, half XML and half binary) or as a built app ships them (compiled to
// binary property lists but for one text table in ten).
enum class Storage { Source, Compiled };

bool write(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString languageCode(int index) {
    static const char *const codes[] = {
        "en",      "de",      "fr", "es", "it",    "ja",    "ko",    "nl",     "pt-BR", "pt-PT",
        "zh-Hans", "zh-Hant", "ru", "sv", "da",    "fi",    "nb",    "pl",     "tr",    "cs",
        "hu",      "el",      "he", "ar", "th",    "id",    "ms",    "vi",     "uk",    "ro",
        "sk",      "hr",      "ca", "hi", "en-GB", "en-AU", "fr-CA", "es-419", "es-MX", "bg"};
    constexpr int named = int(sizeof codes / sizeof *codes);
    return index < named ? QString::fromLatin1(codes[index]) : QStringLiteral("x%1").arg(index);
}

QByteArray binaryPlist(const QByteArray &xml) {
    plist_t root = nullptr;
    plist_from_xml(xml.constData(), uint32_t(xml.size()), &root);
    char *bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &bytes, &length);
    QByteArray result(bytes, length);
    std::free(bytes); // libplist 2.2 allocates with malloc
    plist_free(root);
    return result;
}

// A compiled .strings table: a binary dictionary of strings.
QByteArray compiledStrings(const Shape &shape, int t, const std::function<bool(int)> &present) {
    plist_t root = plist_new_dict();
    for (int k = 0; k < shape.keys; ++k) {
        if (!present(k))
            continue;
        const QByteArray key = "screen" + QByteArray::number(t) + ".label" + QByteArray::number(k);
        const QByteArray value =
            "Text number " + QByteArray::number(k) + " for screen " + QByteArray::number(t);
        plist_dict_set_item(root, key.constData(), plist_new_string(value.constData()));
    }
    char *bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &bytes, &length);
    QByteArray result(bytes, length);
    std::free(bytes);
    plist_free(root);
    return result;
}

// Two thirds of the tables are .strings, the rest .stringsdict.
bool isStringsTable(const Shape &shape, int t) {
    return t < shape.tables * 2 / 3;
}

bool isTextTable(const Shape &shape, Storage storage, int t) {
    return isStringsTable(shape, t) && (storage == Storage::Source || t % 10 == 9);
}

// One table file. Language `l` (0 is the development language) lacks keys l, l+97, l+194….
QByteArray tableFile(const Shape &shape, Storage storage, int l, int t) {
    const std::function<bool(int)> present = [&](int k) {
        return l == 0 || k % 97 != l % 97 || t % 3 != 0;
    };
    if (storage == Storage::Compiled && !isTextTable(shape, storage, t) && isStringsTable(shape, t))
        return compiledStrings(shape, t, present);
    if (isTextTable(shape, storage, t)) {
        QString text;
        for (int k = 0; k < shape.keys; ++k) {
            if (present(k))
                text += QStringLiteral("/* Label %1 of screen %2. */\n\"screen%2.label%1\" = "
                                       "\"Text number %1 for screen %2\";\n")
                            .arg(k)
                            .arg(t);
        }
        if (t % 2 == 1) {
            QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
            return encoder.encode(text);
        }
        return text.toUtf8();
    }
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>";
    for (int k = 0; k < shape.keys; ++k) {
        if (present(k))
            xml += "<key>plural" + QByteArray::number(t) + "." + QByteArray::number(k) +
                   "</key><dict><key>NSStringLocalizedFormatKey</key><string>%#@n@</string>"
                   "<key>n</key><dict><key>one</key><string>%d item</string><key>other</key>"
                   "<string>%d items</string></dict></dict>";
    }
    xml += "</dict></plist>\n";
    // A project keeps half of its .stringsdict tables as XML; a built app has them all binary.
    return storage == Storage::Source && t % 2 == 0 ? xml : binaryPlist(xml);
}

bool makeBundle(const QString &path, const Shape &shape, Storage storage) {
    const QString resources = path + QStringLiteral("/Contents/Resources");
    QByteArray info = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                      "<key>CFBundleDevelopmentRegion</key><string>en</string>"
                      "<key>CFBundleLocalizations</key><array>";
    for (int l = 0; l < shape.languages; ++l)
        info += "<string>" + languageCode(l).toUtf8() + "</string>";
    info += "</array></dict></plist>\n";
    if (!QDir().mkpath(resources) || !write(path + QStringLiteral("/Contents/Info.plist"), info))
        return false;
    for (int l = 0; l < shape.languages; ++l) {
        const QString folder =
            resources + QLatin1Char('/') + languageCode(l) + QStringLiteral(".lproj/");
        if (!QDir().mkpath(folder))
            return false;
        for (int t = 0; t < shape.tables; ++t) {
            const bool strings = isStringsTable(shape, t);
            const QString name =
                QStringLiteral("Table%1").arg(t, 2, 10, QLatin1Char('0')) +
                (strings ? QStringLiteral(".strings") : QStringLiteral(".stringsdict"));
            // One table of the last language does not parse.
            const QByteArray bytes = l == shape.languages - 1 && t == 0
                                         ? QByteArray("\"broken\" = \"no semicolon\"\n\"x\"")
                                         : tableFile(shape, storage, l, t);
            if (!write(folder + name, bytes))
                return false;
        }
    }
    return true;
}

// The floor of a check: listing every .lproj folder and reading each table file into memory,
// on as many threads as the check uses. Returns the time in ms; `bytes` gets the total size.
double readTablesMs(const QString &bundle, qint64 &bytes) {
    QElapsedTimer clock;
    clock.start();
    const QString resources = bundle + QStringLiteral("/Contents/Resources");
    QStringList files;
    for (const QString &folder : QDir(resources).entryList({QStringLiteral("*.lproj")},
                                                           QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString path = resources + QLatin1Char('/') + folder;
        for (const QString &file : QDir(path).entryList(
                 {QStringLiteral("*.strings"), QStringLiteral("*.stringsdict")}, QDir::Files))
            files.append(path + QLatin1Char('/') + file);
    }
    QThreadPool pool;
    pool.setMaxThreadCount(QThread::idealThreadCount());
    std::atomic<qint64> total = 0;
    QtConcurrent::blockingMap(&pool, files, [&total](const QString &path) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            total += file.readAll().size();
    });
    bytes = total;
    return double(clock.nsecsElapsed()) / 1e6;
}

// Where the check's time goes: the keys of every table read into sets (StringTables::read on
// every .lproj folder, on as many threads), without comparing them. Returns the time in ms.
double readKeysMs(const QString &bundle) {
    QElapsedTimer clock;
    clock.start();
    const QString resources = bundle + QStringLiteral("/Contents/Resources");
    QStringList folders;
    for (const QString &folder :
         QDir(resources).entryList({QStringLiteral("*.lproj")}, QDir::Dirs | QDir::NoDotAndDotDot))
        folders.append(resources + QLatin1Char('/') + folder);
    QThreadPool pool;
    pool.setMaxThreadCount(QThread::idealThreadCount());
    std::atomic<qint64> keys = 0;
    QtConcurrent::blockingMap(&pool, folders, [&keys](const QString &folder) {
        for (const StringTable &table : StringTables::read(folder))
            keys += table.keys.size();
    });
    return keys > 0 ? double(clock.nsecsElapsed()) / 1e6 : 0;
}

// CPU time of the whole process (all threads), in ms.
double processCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The direct check against its floor, each the median of three runs: wall-clock time and the
// CPU time of all threads (which a busy machine disturbs less).
void compareWithFloor(const QString &label, const QString &bundle) {
    QList<double> checks, floors, checkCpu, floorCpu, reads, readCpu;
    qsizetype problems = 0;
    qint64 bytes = 0;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer clock;
        clock.start();
        double cpu = processCpuMs();
        const LocalizationReport report = LocalizationCheck::run(bundle);
        checks << double(clock.nsecsElapsed()) / 1e6;
        checkCpu << processCpuMs() - cpu;
        problems = report.problems().size();
        cpu = processCpuMs();
        floors << readTablesMs(bundle, bytes);
        floorCpu << processCpuMs() - cpu;
        cpu = processCpuMs();
        reads << readKeysMs(bundle);
        readCpu << processCpuMs() - cpu;
    }
    std::printf("%s: %.0f MB of tables, %d threads\n", qPrintable(label), double(bytes) / 1e6,
                QThread::idealThreadCount());
    std::printf("  LocalizationCheck::run called directly (median of 3)  %8.1f ms (CPU %.1f ms), "
                "%lld problems\n",
                median(checks), median(checkCpu), qlonglong(problems));
    std::printf("  floor: reading every table into memory (median of 3) %8.1f ms (CPU %.1f ms)\n",
                median(floors), median(floorCpu));
    std::printf("  of the check: the keys of every table read into sets  %8.1f ms (CPU %.1f ms)\n",
                median(reads), median(readCpu));
    std::printf("  check / floor                                        %8.1f x (CPU %.1f x)\n",
                median(checks) / std::max(median(floors), 0.001),
                median(checkCpu) / std::max(median(floorCpu), 0.001));
}

struct Round {
    double mainThreadCpu = 0; // ms, without the heartbeat
    double longestPause = 0;  // ms, with the heartbeat
    double total = 0;         // ms, start to published report
    qsizetype problems = 0;
};

// One check from the event loop to its published report.
Round runCheck(const QString &bundle, bool heartbeatOn) {
    LocalizationCheckModel model;
    Round round;
    QElapsedTimer clock;
    qint64 last = 0;
    QTimer heartbeat;
    heartbeat.setInterval(1);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        round.longestPause = std::max(round.longestPause, double(now - last) / 1e6);
        last = now;
    });
    bool finished = false;
    QObject::connect(&model, &LocalizationCheckModel::checkingChanged, [&] {
        if (!model.checking())
            finished = true;
    });
    clock.start();
    if (heartbeatOn)
        heartbeat.start();
    const double cpuBefore = threadCpuMs();
    QCoro::Task<> task = model.check(bundle);
    while (!finished)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    round.mainThreadCpu = threadCpuMs() - cpuBefore;
    round.total = double(clock.nsecsElapsed()) / 1e6;
    if (heartbeatOn) // one more beat so that a pause ending with the check is counted too
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    round.problems = model.report() ? model.report()->problems().size() : -1;
    return round;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const auto argument = [&](int i, int fallback) {
        return argc > i ? QString::fromLocal8Bit(argv[i]).toInt() : fallback;
    };
    const Shape shape{argument(1, 40), argument(2, 30), argument(3, 2000)};
    const int rounds = argument(4, 2);
    QTemporaryDir dir;
    const QString bundle = dir.filePath(QStringLiteral("Large App.app"));
    QElapsedTimer making;
    making.start();
    if (!dir.isValid() || shape.languages < 2 || shape.tables < 3 || shape.keys < 100 ||
        rounds < 1 || !makeBundle(bundle, shape, Storage::Source)) {
        std::fprintf(stderr, "could not create the sample bundle\n");
        return 1;
    }
    std::printf("bundle: %d languages x %d tables x %d keys (%lld strings), written in %.0f ms\n",
                shape.languages, shape.tables, shape.keys,
                qlonglong(shape.languages) * shape.tables * shape.keys, double(making.elapsed()));

    compareWithFloor(QStringLiteral("tables as a project holds them"), bundle);
    {
        QTemporaryDir compiledDir;
        const QString compiled = compiledDir.filePath(QStringLiteral("Compiled App.app"));
        making.restart();
        if (!compiledDir.isValid() || !makeBundle(compiled, shape, Storage::Compiled)) {
            std::fprintf(stderr, "could not create the compiled sample bundle\n");
            return 1;
        }
        std::printf("compiled bundle written in %.0f ms\n", double(making.elapsed()));
        compareWithFloor(QStringLiteral("tables as a built app ships them (mostly binary)"),
                         compiled);
    }

    // The event loop's own longest pause over two idle seconds: what the machine adds anyway.
    {
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        double idlePause = 0;
        QTimer heartbeat;
        heartbeat.setInterval(1);
        QObject::connect(&heartbeat, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            idlePause = std::max(idlePause, double(now - last) / 1e6);
            last = now;
        });
        heartbeat.start();
        while (clock.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        std::printf("longest main-thread pause, idle for 2 s (baseline)    %8.2f ms\n", idlePause);
    }

    QList<double> cpu, pauses, totals;
    for (int i = 0; i < rounds; ++i) {
        const Round quiet = runCheck(bundle, false);
        const Round beating = runCheck(bundle, true);
        cpu << quiet.mainThreadCpu;
        totals << quiet.total;
        pauses << beating.longestPause;
    }
    std::printf("main-thread CPU time per check (median of %d)         %8.2f ms (max %.2f)\n",
                rounds, median(cpu), *std::max_element(cpu.begin(), cpu.end()));
    std::printf("longest main-thread pause during a check (median)    %8.2f ms (max %.2f)\n",
                median(pauses), *std::max_element(pauses.begin(), pauses.end()));
    std::printf("total time, start to published report (median)       %8.1f ms\n", median(totals));
    return 0;
}
