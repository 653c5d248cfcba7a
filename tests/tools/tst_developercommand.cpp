#include "tools/DeveloperCommand.h"
#include "tools/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <QCoroTask>

#include <algorithm>
#include <csignal>
#include <memory>

#include <unistd.h>

namespace {

const QString shell = QStringLiteral("/bin/sh");

struct Outcome {
    bool done = false;
    QByteArray output;
    QString errorKind; // empty on success, "ToolFailure" or "PlatformError"
    QString message;
};

QCoro::Task<> observe(QStringList arguments, QString executable, std::shared_ptr<Outcome> outcome) {
    try {
        outcome->output = co_await DeveloperCommand::run(arguments, executable);
    } catch (const ToolFailure &failure) {
        outcome->errorKind = QStringLiteral("ToolFailure");
        outcome->message = failure.message();
    } catch (const PlatformError &error) {
        outcome->errorKind = QStringLiteral("PlatformError");
        outcome->message = error.description();
    }
    outcome->done = true;
}

Outcome runToEnd(const QStringList &arguments, const QString &executable = shell) {
    auto outcome = std::make_shared<Outcome>();
    QCoro::waitFor(observe(arguments, executable, outcome));
    return *outcome;
}

QStringList script(const QString &text, const QStringList &extra = {}) {
    return QStringList{QStringLiteral("-c"), text, QStringLiteral("sh")} + extra;
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

} // namespace

class DeveloperCommandTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // The networking code ignores SIGPIPE in the application; children must not inherit it.
        std::signal(SIGPIPE, SIG_IGN);
        qputenv("QUILLMARCH_RUNNER_PROBE", "inherited value");
        QVERIFY(m_workingDirectory.isValid());
        QVERIFY(QDir::setCurrent(m_workingDirectory.path()));
    }

    void returnsCombinedOutput_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("interleaved streams keep their order")
            << script("echo one; echo two >&2; echo three; echo four >&2; printf five")
            << QByteArray("one\ntwo\nthree\nfour\nfive");
        QByteArray numbers;
        for (int i = 1; i <= 200000; ++i)
            numbers += QByteArray::number(i) + '\n';
        QTest::newRow("more than a pipe buffer") << script("seq 1 200000") << numbers;
        QTest::newRow("standard error only, status 0")
            << script("echo 'warning: stale cache' >&2") << QByteArray("warning: stale cache\n");
        QTest::newRow("binary output on success")
            << script("printf 'a\\000b\\377'") << QByteArray("a\0b\xff", 4);
        QTest::newRow("no output") << script("exit 0") << QByteArray();

        const QStringList awkward{
            "two words", "\"double\"",  "'single'",        "$HOME",       "*",
            "",          "back\\slash", "; echo injected", "line\nbreak", "ünïcødé 日本 🙂",
            "-c"};
        QByteArray echoed;
        for (const QString &argument : awkward)
            echoed += '[' + argument.toUtf8() + "]\n";
        QTest::newRow("arguments arrive unchanged")
            << script("for a; do printf '[%s]\\n' \"$a\"; done", awkward) << echoed;

        QTest::newRow("environment is inherited")
            << script("printf %s \"$QUILLMARCH_RUNNER_PROBE\"") << QByteArray("inherited value");
        QTest::newRow("working directory is inherited")
            << script("pwd") << QDir::currentPath().toUtf8() + '\n';
        QTest::newRow("SIGPIPE has its default action")
            << script("yes | head -n 3") << QByteArray("y\ny\ny\n");
    }

    void returnsCombinedOutput() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, expected);
        const Outcome outcome = runToEnd(arguments);
        QCOMPARE(outcome.errorKind, QString());
        QCOMPARE(outcome.output.size(), expected.size());
        QCOMPARE(outcome.output, expected);
    }

    void failsWithToolOutput_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");

        QTest::newRow("non-zero status without output") << script("exit 3") << QString();
        QTest::newRow("message is not trimmed")
            << script("echo '  listing'; echo 'Invalid device: 42' >&2; echo; exit 1")
            << QStringLiteral("  listing\nInvalid device: 42\n\n");
        QTest::newRow("UTF-8 message") << script("printf 'Gerät „Ä“ 🙂\\n'; exit 2")
                                       << QStringLiteral("Gerät „Ä“ 🙂\n");
        QTest::newRow("byte order mark kept")
            << script("printf '\\357\\273\\277x'; exit 1") << QStringLiteral("\uFEFFx");
        QTest::newRow("invalid bytes")
            << script("printf 'ok \\377\\376'; exit 1") << QStringLiteral("Command failed.");
        QTest::newRow("truncated sequence")
            << script("printf 'abc\\303'; exit 1") << QStringLiteral("Command failed.");
        QTest::newRow("encoded surrogate")
            << script("printf '\\355\\240\\200'; exit 1") << QStringLiteral("Command failed.");
        QTest::newRow("overlong encoding")
            << script("printf '\\300\\257'; exit 1") << QStringLiteral("Command failed.");
        QTest::newRow("killed by a signal after output")
            << script("echo partial; kill -KILL $$") << QStringLiteral("partial\n");
        QTest::newRow("terminated by a signal without output")
            << script("kill -TERM $$") << QString();
    }

    void failsWithToolOutput() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Outcome outcome = runToEnd(arguments);
        QCOMPARE(outcome.errorKind, QStringLiteral("ToolFailure"));
        QCOMPARE(outcome.message, message);
    }

    void startFailureIsAPlatformError_data() {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");

        const QString missing = m_workingDirectory.filePath("no-such-tool");
        QTest::newRow("missing") << missing << QStringList()
                                 << QStringLiteral("The file “%1” doesn’t exist.").arg(missing);
        const QString plain = m_workingDirectory.filePath("not-executable");
        QTest::newRow("not executable")
            << plain << QStringList()
            << QStringLiteral("You don’t have permission to run “%1”.").arg(plain);
        QTest::newRow("a directory") << m_workingDirectory.path() << QStringList()
                                     << QStringLiteral("You don’t have permission to run “%1”.")
                                            .arg(m_workingDirectory.path());
        QTest::newRow("null character in an argument")
            << shell << QStringList{QStringLiteral("-c"), QString::fromUtf8("true\0rm", 7)}
            << QStringLiteral("An argument for “/bin/sh” contains a null character.");
    }

    void startFailureIsAPlatformError() {
        QFETCH(QString, executable);
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QFile plain(m_workingDirectory.filePath("not-executable"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.write("#!/bin/sh\necho ran\n");
        plain.close();

        const Outcome outcome = runToEnd(arguments, executable);
        QCOMPARE(outcome.errorKind, QStringLiteral("PlatformError"));
        QCOMPARE(outcome.message, message);
    }

    void abandonedAwaitLetsTheCommandFinish() {
        const QString marker = m_workingDirectory.filePath("marker");
        const QString observedMarker = m_workingDirectory.filePath("observed-marker");
        auto observed = std::make_shared<Outcome>();
        {
            // Nobody keeps either task: the bare command and an observer that awaits it.
            DeveloperCommand::run(script("sleep 0.3; echo done > \"$1\"; exit 4", {marker}), shell);
            observe(script("sleep 0.3; echo done > \"$1\"; echo finished", {observedMarker}), shell,
                    observed);
        }
        QVERIFY(!QFile::exists(marker));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(observed->done, 10000);
        QCOMPARE(observed->output, QByteArray("finished\n"));
        QVERIFY(QFile::exists(observedMarker));
        QTRY_COMPARE_WITH_TIMEOUT(zombieChildCount(), 0, 5000);
    }

    void concurrentCommandsDoNotWaitForEachOther() {
        // A pipe end leaking into a concurrently started child would hold the quick commands
        // back until the slow one ends.
        auto slow = std::make_shared<Outcome>();
        QList<std::shared_ptr<Outcome>> quick;
        for (int i = 0; i < 24; ++i) {
            if (i == 8)
                observe(script("sleep 5; echo slow"), shell, slow);
            quick.append(std::make_shared<Outcome>());
            observe(script("echo \"$1\"", {QString::number(i)}), shell, quick.last());
        }
        QTRY_VERIFY_WITH_TIMEOUT(
            std::all_of(quick.begin(), quick.end(), [](const auto &o) { return o->done; }), 4000);
        QVERIFY(!slow->done);
        for (int i = 0; i < quick.size(); ++i)
            QCOMPARE(quick[i]->output, QByteArray::number(i) + '\n');
        QTRY_VERIFY_WITH_TIMEOUT(slow->done, 10000);
        QCOMPARE(slow->output, QByteArray("slow\n"));
    }

    void repeatedCommandsLeaveNothingBehind() {
        runToEnd(script("true")); // let one-time allocations happen first
        const int descriptorsBefore = openDescriptorCount();
        for (int i = 0; i < 50; ++i) {
            const Outcome outcome = runToEnd(
                script("head -c 200000 /dev/zero; exit $(($1 % 2))", {QString::number(i)}));
            QCOMPARE(outcome.errorKind, i % 2 ? QStringLiteral("ToolFailure") : QString());
            QCOMPARE(i % 2 ? outcome.message.size() : outcome.output.size(), 200000);
        }
        runToEnd({}, m_workingDirectory.filePath("no-such-tool"));
        QCOMPARE(openDescriptorCount(), descriptorsBefore);
        QCOMPARE(zombieChildCount(), 0);
    }

private:
    QTemporaryDir m_workingDirectory;
};

QTEST_GUILESS_MAIN(DeveloperCommandTest)
#include "tst_developercommand.moc"
