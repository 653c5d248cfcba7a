// Stress figures for the developer-tool runner: a 100 MB report, and 500 commands in a row
// (then 500 more, eight at a time), checking that no descriptor and no zombie stays behind.
// Prints the figures; exits non-zero when a check fails.

#include "tools/DeveloperCommand.h"
#include "tools/Error.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <QCoroTask>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <time.h>
#include <unistd.h>

namespace {

constexpr qsizetype bigSize = 100 * 1024 * 1024;
const QByteArray bigLine = "0123456789abcde\n"; // divides bigSize evenly

int failures = 0;

void check(bool ok, const char *what) {
    if (!ok) {
        ++failures;
        std::printf("  CHECK FAILED: %s\n", what);
    }
}

int openDescriptorCount() {
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot).size());
}

int zombieChildCount() {
    int zombies = 0;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!entry.front().isDigit() || !stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[0] == "Z" && fields[1].toInt() == getpid())
            ++zombies;
    }
    return zombies;
}

// CPU time the calling (main) thread has used; unlike wall time it ignores other load.
qint64 mainThreadCpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

bool isBigReport(const QByteArray &output) {
    if (output.size() != bigSize)
        return false;
    for (qsizetype at = 0; at < output.size(); at += bigLine.size()) {
        if (memcmp(output.constData() + at, bigLine.constData(), size_t(bigLine.size())) != 0)
            return false;
    }
    return true;
}

QStringList bigReportCommand(bool failing) {
    QStringList arguments;
    arguments << QStringLiteral("-c")
              << QStringLiteral("yes 0123456789abcde | head -c %1; exit %2")
                     .arg(bigSize)
                     .arg(failing ? 1 : 0);
    return arguments;
}

QCoro::Task<> bigReport() {
    // A main-thread timer shows whether the event loop kept running while a command ran.
    QElapsedTimer sinceTick;
    sinceTick.start();
    qint64 longestGap = 0;
    qint64 mainThreadCpu = 0;
    bool awaiting = false;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 gap = sinceTick.restart();
        if (awaiting)
            longestGap = std::max(longestGap, gap);
    });
    ticker.start(10);

    for (int round = 1; round <= 3; ++round) {
        QElapsedTimer timer;
        timer.start();
        sinceTick.restart();
        awaiting = true;
        const qint64 cpuBefore = mainThreadCpuMicroseconds();
        const QByteArray output =
            co_await DeveloperCommand::run(bigReportCommand(false), QStringLiteral("/bin/sh"));
        awaiting = false;
        const qint64 elapsed = timer.elapsed();
        mainThreadCpu = std::max(mainThreadCpu, mainThreadCpuMicroseconds() - cpuBefore);
        check(isBigReport(output), "100 MB report returned whole");
        std::printf("100 MB report, round %d: %lld ms (%.0f MB/s), %lld bytes\n", round,
                    static_cast<long long>(elapsed), 100.0 * 1000 / std::max<qint64>(elapsed, 1),
                    static_cast<long long>(output.size()));
    }

    QElapsedTimer timer;
    timer.start();
    QString message;
    try {
        sinceTick.restart();
        awaiting = true;
        co_await DeveloperCommand::run(bigReportCommand(true), QStringLiteral("/bin/sh"));
        check(false, "100 MB failure reported as a failure");
    } catch (const ToolFailure &failure) {
        message = failure.message();
    }
    awaiting = false;
    std::printf("100 MB failure message (decoded as UTF-8): %lld ms\n",
                static_cast<long long>(timer.elapsed()));
    check(message.size() == bigSize && message.startsWith(QLatin1String(bigLine)) &&
              message.endsWith(QLatin1String(bigLine)),
          "100 MB failure message whole");
    std::printf(
        "Longest main-thread timer gap (10 ms timer) while awaiting the 100 MB runs: %lld ms\n",
        static_cast<long long>(longestGap));
    std::printf("Main-thread CPU time around one 100 MB run (most): %.1f ms\n",
                double(mainThreadCpu) / 1000);
}

QCoro::Task<> oneSmallCommand(int index, int *completed) {
    QStringList arguments;
    arguments << QStringLiteral("command") << QString::number(index);
    const QByteArray output =
        co_await DeveloperCommand::run(arguments, QStringLiteral("/bin/echo"));
    check(output == "command " + QByteArray::number(index) + '\n', "small command output");
    ++*completed;
}

QCoro::Task<> sequentialCommands(int count) {
    QElapsedTimer timer;
    timer.start();
    int completed = 0;
    for (int i = 0; i < count; ++i)
        co_await oneSmallCommand(i, &completed);
    std::printf("%d commands in a row: %lld ms (%.2f ms each)\n", completed,
                static_cast<long long>(timer.elapsed()), double(timer.elapsed()) / count);
}

QCoro::Task<> concurrentCommands(int count, int width) {
    QElapsedTimer timer;
    timer.start();
    int completed = 0;
    for (int started = 0; started < count;) {
        std::vector<QCoro::Task<>> batch;
        for (int i = 0; i < width && started < count; ++i)
            batch.push_back(oneSmallCommand(started++, &completed));
        for (QCoro::Task<> &task : batch)
            co_await task;
    }
    std::printf("%d commands, %d at a time: %lld ms\n", completed, width,
                static_cast<long long>(timer.elapsed()));
}

QCoro::Task<> stress() {
    int warmUp = 0;
    co_await oneSmallCommand(0, &warmUp); // one-time allocations happen here
    const int descriptorsBefore = openDescriptorCount();
    std::printf("Open descriptors before: %d, zombie children before: %d\n", descriptorsBefore,
                zombieChildCount());

    co_await bigReport();
    co_await sequentialCommands(500);
    co_await concurrentCommands(500, 8);

    const int descriptorsAfter = openDescriptorCount();
    const int zombies = zombieChildCount();
    std::printf("Open descriptors after: %d, zombie children after: %d\n", descriptorsAfter,
                zombies);
    check(descriptorsAfter == descriptorsBefore, "no descriptor left open");
    check(zombies == 0, "no zombie left behind");
    std::printf(failures ? "FAILED (%d checks)\n" : "OK\n", failures);
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCoro::waitFor(stress());
    return failures ? 1 : 0;
}
