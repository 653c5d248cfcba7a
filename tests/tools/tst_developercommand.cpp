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

} // namespace

class DeveloperCommandTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // The networking code ignores SIGPIPE in the application; children must not inherit it.
        std::signal(SIGPIPE, SIG_IGN);
        qputenv("QUILLMARCH_RUNNER_PROBE", "inherited");
        QVERIFY(m_workingDirectory.isValid());
        QVERIFY(QDir::setCurrent(m_workingDirectory.path()));
        QFile plain(m_workingDirectory.filePath("not-executable"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        QVERIFY(plain.write("#!/bin/sh\necho ran\n") > 0);
    }

    void outcome_data() {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("errorKind");
        QTest::addColumn<QByteArray>("expected"); // the output, or the error text as UTF-8

        const auto ok = [](const char *name, const QString &text, const QByteArray &output,
                           const QStringList &extra = {}) {
            QTest::newRow(name) << shell << script(text, extra) << QString() << output;
        };
        const auto fails = [](const char *name, const QString &text, const QString &message) {
            QTest::newRow(name) << shell << script(text) << QStringLiteral("ToolFailure")
                                << message.toUtf8();
        };
        const auto cannotStart = [](const char *name, const QString &executable,
                                    const QStringList &arguments, const QString &message) {
            QTest::newRow(name) << executable << arguments << QStringLiteral("PlatformError")
                                << message.toUtf8();
        };

        ok("interleaved streams keep their order",
           "echo one; echo two >&2; echo three; echo four >&2; printf five",
           "one\ntwo\nthree\nfour\nfive");
        QByteArray numbers;
        for (int i = 1; i <= 200000; ++i)
            numbers += QByteArray::number(i) + '\n';
        ok("more than a pipe buffer", "seq 1 200000", numbers);
        ok("standard error only, status 0", "echo 'stale cache' >&2", "stale cache\n");
        ok("binary output on success", "printf 'a\\000b\\377'", QByteArray("a\0b\xff", 4));
        const QStringList awkward{
            "two words", "\"double\"",  "'single'", "$HOME",       "*",
            "",          "back\\slash", "; echo x", "line\nbreak", "ünï 日本 🙂"};
        QByteArray echoed;
        for (const QString &argument : awkward)
            echoed += '[' + argument.toUtf8() + "]\n";
        ok("arguments arrive unchanged", "for a; do printf '[%s]\\n' \"$a\"; done", echoed,
           awkward);
        ok("environment is inherited", "printf %s \"$QUILLMARCH_RUNNER_PROBE\"", "inherited");
        ok("working directory is inherited", "pwd", QDir::currentPath().toUtf8() + '\n');
        ok("SIGPIPE has its default action", "yes | head -n 2", "y\ny\n");

        fails("non-zero status without output", "exit 3", "");
        fails("message is not trimmed", "echo '  list'; echo 'Invalid device: 4' >&2; echo; exit 1",
              "  list\nInvalid device: 4\n\n");
        fails("UTF-8 message, byte order mark kept", "printf '\\357\\273\\277Gerät 🙂'; exit 2",
              QStringLiteral("\uFEFFGerät 🙂"));
        fails("invalid bytes", "printf 'ok \\377'; exit 1", "Command failed.");
        fails("truncated sequence", "printf 'abc\\303'; exit 1", "Command failed.");
        fails("encoded surrogate", "printf '\\355\\240\\200'; exit 1", "Command failed.");
        fails("killed by a signal after output", "echo partial; kill -KILL $$", "partial\n");
        fails("terminated by a signal without output", "kill -TERM $$", "");

        const QString missing = m_workingDirectory.filePath("no-such-tool");
        cannotStart("missing executable", missing, {},
                    QStringLiteral("The file “%1” doesn’t exist.").arg(missing));
        const QString plain = m_workingDirectory.filePath("not-executable");
        cannotStart("not executable", plain, {},
                    QStringLiteral("You don’t have permission to run “%1”.").arg(plain));
        cannotStart("null character in an argument", shell,
                    {QStringLiteral("-c"), QString::fromUtf8("true\0rm", 7)},
                    QStringLiteral("An argument for “/bin/sh” contains a null character."));
    }

    void outcome() {
        QFETCH(QString, executable);
        QFETCH(QStringList, arguments);
        QFETCH(QString, errorKind);
        QFETCH(QByteArray, expected);
        const Outcome outcome = runToEnd(arguments, executable);
        QCOMPARE(outcome.errorKind, errorKind);
        QCOMPARE(errorKind.isEmpty() ? outcome.output : outcome.message.toUtf8(), expected);
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

    void repeatedCommandsLeaveNoDescriptorOpen() {
        const auto openDescriptors = [] {
            return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot).size();
        };
        runToEnd(script("true")); // one-time allocations happen here
        const qsizetype before = openDescriptors();
        for (int i = 0; i < 30; ++i) {
            const Outcome outcome = runToEnd(
                script("head -c 100000 /dev/zero; exit $(($1 % 2))", {QString::number(i)}));
            QCOMPARE(outcome.output.size() + outcome.message.size(), 100000);
        }
        runToEnd({}, m_workingDirectory.filePath("no-such-tool"));
        QCOMPARE(openDescriptors(), before);
    }

private:
    QTemporaryDir m_workingDirectory;
};

QTEST_GUILESS_MAIN(DeveloperCommandTest)
#include "tst_developercommand.moc"
