#include "tools/DeveloperCommand.h"
#include "tools/Error.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <memory>
#include <optional>

namespace {

const QString shell = QStringLiteral("/bin/sh");

// Once finished: the output, or the kind of error followed by its text ("ToolFailure: …").
using Outcome = std::optional<QByteArray>;

QCoro::Task<> observe(QStringList arguments, QString executable, std::shared_ptr<Outcome> outcome,
                      DeveloperCommand::Limits limits = {}) {
    try {
        *outcome = co_await DeveloperCommand::run(arguments, executable, limits);
    } catch (const Stopped &stopped) {
        *outcome = "Stopped: " + stopped.description().toUtf8();
    } catch (const ToolFailure &failure) {
        *outcome = "ToolFailure: " + failure.message().toUtf8();
    } catch (const PlatformError &error) {
        *outcome = "PlatformError: " + error.description().toUtf8();
    }
}

QByteArray runToEnd(const QStringList &arguments, const QString &executable = shell,
                    DeveloperCommand::Limits limits = {}) {
    auto outcome = std::make_shared<Outcome>();
    QCoro::waitFor(observe(arguments, executable, outcome, limits));
    return outcome->value_or("unfinished");
}

QStringList script(const QString &text, const QStringList &extra = {}) {
    return QStringList{QStringLiteral("-c"), text, QStringLiteral("sh")} + extra;
}

// A process that no longer runs: gone, or a zombie nobody has reaped yet (only its parent, or
// the system once the parent is gone, can do that).
bool hasEnded(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2, 1) == "Z";
}

} // namespace

class DeveloperCommandTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // The networking code ignores SIGPIPE in the application; children must not inherit it.
        std::signal(SIGPIPE, SIG_IGN);
        qputenv("QUILLMARCH_RUNNER_PROBE", "inherited");
        QVERIFY(m_directory.isValid());
        QVERIFY(QDir::setCurrent(m_directory.path()));
    }

    void outcome_data() {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("expected");
        const auto row = [](const char *name, const QStringList &arguments,
                            const QByteArray &expected, const QString &executable = shell) {
            QTest::newRow(name) << executable << arguments << expected;
        };

        row("interleaved streams keep their order",
            script("echo 1; echo 2 >&2; echo 3; echo 4 >&2; printf 5"), "1\n2\n3\n4\n5");
        QByteArray numbers;
        for (int i = 1; i <= 200000; ++i)
            numbers += QByteArray::number(i) + '\n';
        row("more than a pipe buffer", script("seq 1 200000"), numbers);
        row("standard error only, status 0, bytes kept", script("printf 'a\\000b\\377' >&2"),
            QByteArray("a\0b\xff", 4));
        const QStringList awkward{"two words",   "\"'q'\"",  "$HOME *",     "",
                                  "back\\slash", "; echo x", "line\nbreak", "ünï 日本 🙂"};
        const QByteArray echoed = ('[' + awkward.join("]\n[") + "]\n").toUtf8();
        row("arguments arrive unchanged",
            script("for a; do printf '[%s]\\n' \"$a\"; done", awkward), echoed);
        row("environment, working directory and SIGPIPE action inherited",
            script("yes | head -n 1; printf '%s ' \"$QUILLMARCH_RUNNER_PROBE\"; pwd"),
            "y\ninherited " + QDir::currentPath().toUtf8() + '\n');
        row("non-zero status without output", script("exit 3"), "ToolFailure: ");
        row("message verbatim, byte order mark kept",
            script("printf '\\357\\273\\277  Ger\\303\\244t\\n\\n' >&2; exit 2"),
            "ToolFailure: \xEF\xBB\xBF  Ger\xC3\xA4t\n\n");
        row("invalid bytes", script("printf 'ok \\377'; exit 1"), "ToolFailure: Command failed.");
        row("first launch asked for, advice follows the tool's words",
            script("printf 'A required plugin failed to load. Please ensure system content is "
                   "up-to-date \342\200\224 try running xcodebuild -runFirstLaunch.' >&2; exit 1"),
            "ToolFailure: A required plugin failed to load. Please ensure system content is "
            "up-to-date \xE2\x80\x94 try running xcodebuild -runFirstLaunch.\n"
            "Xcode\xE2\x80\x99s command-line tools have not finished their first launch: run "
            "\xE2\x80\x9Csudo xcodebuild -runFirstLaunch\xE2\x80\x9D once in Terminal, then try "
            "again.");
        row("truncated sequence", script("printf '\\303'; exit 1"), "ToolFailure: Command failed.");
        row("killed by a signal", script("echo partial; kill -KILL $$"), "ToolFailure: partial\n");
        const QString missing = m_directory.filePath("no-such-tool");
        row("missing executable", {},
            "PlatformError: The file “" + missing.toUtf8() + "” doesn’t exist.", missing);
        row("null character in an argument", {"-c", QString::fromUtf8("true\0rm", 7)},
            "PlatformError: An argument for “/bin/sh” contains a null character.");
    }

    // Every outcome is the same when the command may be stopped and has a deadline (as the
    // launcher's commands always do), as long as neither comes into play.
    void outcome() {
        QFETCH(QString, executable);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, expected);
        QCOMPARE(runToEnd(arguments, executable), expected);
        const DeveloperCommand::Limits limits{std::chrono::seconds(30),
                                              std::make_shared<ChildProcess::StopSignal>()};
        QCOMPARE(runToEnd(arguments, executable, limits), expected);
    }

    void abandonedAwaitLetsTheCommandFinish() {
        // Nobody keeps either task: the bare command and an observer that awaits it.
        const QString bare = m_directory.filePath("bare");
        auto observed = std::make_shared<Outcome>();
        DeveloperCommand::run(script("sleep 0.3; echo done > \"$1\"; exit 4", {bare}), shell);
        observe(script("sleep 0.3; echo finished"), shell, observed);
        QVERIFY(!QFile::exists(bare) && !observed->has_value());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(bare) && observed->has_value(), 10000);
        QCOMPARE(observed->value(), QByteArray("finished\n"));
    }

    void concurrentCommandsDoNotWaitForEachOther() {
        // A pipe end leaking into a concurrently started child would hold the quick commands
        // back until the slow one ends.
        auto slow = std::make_shared<Outcome>();
        QList<std::shared_ptr<Outcome>> quick;
        for (int i = 0; i < 24; ++i) {
            if (i == 8)
                observe(script("sleep 5; echo slow"), shell, slow);
            quick << std::make_shared<Outcome>();
            observe(script("echo \"$1\"", {QString::number(i)}), shell, quick.last());
        }
        QTRY_VERIFY_WITH_TIMEOUT(std::ranges::all_of(quick, [](auto &o) { return o->has_value(); }),
                                 4000);
        QVERIFY(!slow->has_value());
        for (int i = 0; i < quick.size(); ++i)
            QCOMPARE(quick[i]->value(), QByteArray::number(i) + '\n');
        QTRY_COMPARE_WITH_TIMEOUT(slow->value_or(""), QByteArray("slow\n"), 10000);
    }

    // Stopping a command, or its deadline passing, ends the tool and the processes it started
    // (also one that ignores SIGTERM) at once, however long they meant to run.
    void stopAndDeadlineLeaveNoProcess_data() {
        QTest::addColumn<bool>("stop");
        QTest::addColumn<QString>("trap");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("stopped") << true << "" << QByteArray("Stopped: Stopped.");
        QTest::newRow("stopped, SIGTERM ignored")
            << true << "trap '' TERM;" << QByteArray("Stopped: Stopped.");
        QTest::newRow("deadline")
            << false << ""
            << QByteArray("ToolFailure: sh did not finish within 800 milliseconds. Quit "
                          "Simulator and try again.");
    }
    void stopAndDeadlineLeaveNoProcess() {
        QFETCH(bool, stop);
        QFETCH(QString, trap);
        const QString pids = m_directory.filePath(QStringLiteral("pids-%1").arg(m_runs++));
        DeveloperCommand::Limits limits;
        limits.stop = std::make_shared<ChildProcess::StopSignal>();
        limits.deadline = std::chrono::milliseconds(stop ? 0 : 800);
        auto outcome = std::make_shared<Outcome>();
        QElapsedTimer clock;
        clock.start();
        observe(script(trap + "sleep 100 & echo $$ $! > \"$1\"; wait", {pids}), shell, outcome,
                limits);
        QTRY_VERIFY(QFileInfo(pids).size() > 0);
        if (stop)
            limits.stop->raise();
        QTRY_VERIFY_WITH_TIMEOUT(outcome->has_value(), 5000);
        QVERIFY2(clock.elapsed() < 4000, "the command ran on");
        QTEST(outcome->value(), "expected");
        QFile file(pids);
        QVERIFY(file.open(QIODevice::ReadOnly));
        for (const QByteArray &pid : file.readAll().simplified().split(' '))
            QTRY_VERIFY2(hasEnded(pid.toLongLong()), pid.constData());

        // A raised signal keeps a later command from starting at all.
        auto later = std::make_shared<Outcome>();
        limits.stop->raise();
        observe(script("echo started > \"$1\"", {pids}), shell, later, limits);
        QTRY_VERIFY(later->has_value());
        QCOMPARE(later->value(), QByteArray("Stopped: Stopped."));
    }

    void deadlineChoiceAndWording_data() {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("name");
        QTest::newRow("bootstatus")
            << "/usr/bin/xcrun" << QStringList{"simctl", "bootstatus", "X", "-b"} << 300
            << "xcrun simctl bootstatus";
        QTest::newRow("boot") << "/usr/bin/xcrun" << QStringList{"simctl", "boot", "X"} << 300
                              << "xcrun simctl boot";
        QTest::newRow("listapps") << "/usr/bin/xcrun" << QStringList{"simctl", "listapps", "X"}
                                  << 60 << "xcrun simctl listapps";
        QTest::newRow("open Simulator")
            << "/usr/bin/open" << QStringList{"-a", "Simulator", "--args"} << 60
            << "open -a Simulator";
        QTest::newRow("open an app")
            << "/usr/bin/open" << QStringList{"-n", "/A.app"} << 60 << "open";
    }
    void deadlineChoiceAndWording() {
        QFETCH(QString, executable);
        QFETCH(QStringList, arguments);
        QFETCH(int, seconds);
        QCOMPARE(DeveloperCommand::Deadlines().forCommand(arguments),
                 std::chrono::milliseconds(seconds * 1000));
        QTEST(DeveloperCommand::commandName(executable, arguments), "name");
        QCOMPARE(DeveloperCommand::durationText(std::chrono::seconds(seconds)),
                 seconds == 300 ? "5 minutes" : "60 seconds");
    }

    void durationWording_data() {
        QTest::addColumn<int>("milliseconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("minutes") << 300000 << "5 minutes";
        QTest::newRow("one minute in seconds") << 60000 << "60 seconds";
        QTest::newRow("a minute and a half") << 90000 << "90 seconds";
        QTest::newRow("one second") << 1000 << "1 second";
        QTest::newRow("part of a second") << 1500 << "1500 milliseconds";
        QTest::newRow("short") << 250 << "250 milliseconds";
    }
    void durationWording() {
        QFETCH(int, milliseconds);
        QTEST(DeveloperCommand::durationText(std::chrono::milliseconds(milliseconds)), "text");
    }

    void repeatedCommandsLeaveNoDescriptorOpen() {
        const auto openDescriptors = [] { // /dev/fd lists them on Linux and on macOS alike
            return QDir(QStringLiteral("/dev/fd")).entryList(QDir::NoDotAndDotDot).size();
        };
        runToEnd(script("true")); // one-time allocations happen here
        const qsizetype before = openDescriptors();
        for (int i = 0; i < 30; ++i) // alternately succeeding and failing
            QVERIFY(
                runToEnd(script("head -c 100000 /dev/zero; exit $(($1 % 2))", {QString::number(i)}))
                    .endsWith(QByteArray(100000, '\0')));
        runToEnd({}, m_directory.filePath("no-such-tool"));
        QCOMPARE(openDescriptors(), before);
    }

private:
    QTemporaryDir m_directory;
    int m_runs = 0;
};

QTEST_GUILESS_MAIN(DeveloperCommandTest)
#include "tst_developercommand.moc"
