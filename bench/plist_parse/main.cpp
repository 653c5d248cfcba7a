// Parses a generated ~2 MB text-form app report (the shape `simctl listapps` prints) over and
// over and prints the median time and throughput.

#include "../common/Median.h"
#include "../common/ThreadCpu.h"
#include "tools/PropertyList.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QUuid>
#include <QVariantMap>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int appCount = 1700;
constexpr int rounds = 60;

// The description writer quotes everything but plain identifiers and prints non-ASCII
// characters as \U escapes (UTF-16 code units).
QByteArray written(const QString &text) {
    bool plain = !text.isEmpty();
    for (QChar c : text)
        plain = plain && c.unicode() < 0x80 && (c.isLetterOrNumber() || c == u'_');
    if (plain)
        return text.toLatin1();
    QByteArray out = "\"";
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '"' || u == '\\')
            out.append('\\').append(char(u));
        else if (u == '\n')
            out += "\\n";
        else if (u < 0x80)
            out += char(u);
        else
            out += "\\U" + QByteArray::number(u, 16).rightJustified(4, '0');
    }
    return out + '"';
}

QByteArray uuid(QRandomGenerator &random) {
    const QByteArray hex = QByteArray::number(random.generate64(), 16).rightJustified(16, '0') +
                           QByteArray::number(random.generate64(), 16).rightJustified(16, '0');
    return QUuid::fromString(QLatin1StringView(hex.left(8) + '-' + hex.mid(8, 4) + '-' +
                                               hex.mid(12, 4) + '-' + hex.mid(16, 4) + '-' +
                                               hex.mid(20)))
        .toByteArray(QUuid::WithoutBraces)
        .toUpper();
}

QByteArray report() {
    QRandomGenerator random(2026);
    const QByteArray device = uuid(random);
    const QByteArray home = "file:///Users/developer/Library/Developer/CoreSimulator/Devices/" +
                            device + "/data/Containers/";
    const QByteArray runtime =
        "/Library/Developer/CoreSimulator/Volumes/iOS_22B81/Library/Developer/CoreSimulator/"
        "Profiles/Runtimes/iOS 18.1.simruntime/Contents/Resources/RuntimeRoot/Applications/";
    const QStringList names = {QStringLiteral("Weather"),  QStringLiteral("Notes Pro"),
                               QStringLiteral("微信"),     QStringLiteral("Rocket 🚀"),
                               QStringLiteral("Café Olé"), QStringLiteral("Übersicht"),
                               QStringLiteral("Tagebuch"), QStringLiteral("Calculator"),
                               QStringLiteral("地图导航"), QStringLiteral("Fotos & Filme")};
    QByteArray out = "{\n";
    for (int i = 0; i < appCount; ++i) {
        const QString name = names[i % names.size()] + QString::number(i);
        const QString executable = QStringLiteral("App%1").arg(i);
        const QString identifier = QStringLiteral("com.example.studio%1.app%2").arg(i % 37).arg(i);
        const bool system = i % 5 == 0;
        const QByteArray bundle = system ? "file://" + runtime + executable.toLatin1() + ".app/"
                                         : home + "Bundle/Application/" + uuid(random) + "/" +
                                               executable.toLatin1() + ".app/";
        out += "    " + written(identifier) + " =     {\n";
        out += "        ApplicationType = " + QByteArray(system ? "System" : "User") + ";\n";
        out += "        Bundle = " + written(QString::fromLatin1(bundle)) + ";\n";
        out += "        CFBundleDisplayName = " + written(name) + ";\n";
        out += "        CFBundleExecutable = " + written(executable) + ";\n";
        out += "        CFBundleIdentifier = " + written(identifier) + ";\n";
        out += "        CFBundleName = " + written(name) + ";\n";
        out += "        CFBundleVersion = " + written(QStringLiteral("%1.%2").arg(i % 9).arg(i)) +
               ";\n";
        out += "        DataContainer = \"" + home + "Data/Application/" + uuid(random) + "/\";\n";
        out += "        GroupContainers =         {\n";
        for (int g = 0; g < i % 3; ++g)
            out += "            \"group." + identifier.toLatin1() + ".shared" +
                   QByteArray::number(g) + "\" = \"" + home + "Shared/AppGroup/" + uuid(random) +
                   "/\";\n";
        out += "        };\n";
        out += "        Path = " + written(QString::fromLatin1(bundle.mid(7).chopped(1))) + ";\n";
        out += "        SBAppTags =         (\n";
        if (i % 4 == 0)
            out += "            \"hidden\",\n            \"watch-companion\"\n";
        out += "        );\n";
        out += "    };\n";
    }
    return out + "}\n";
}

} // namespace

// With a file name, also writes the report there (a sample for the fuzzers' corpus).
int main(int argc, char **argv) {
    const QByteArray input = report();
    if (argc > 1) {
        QFile file(QString::fromLocal8Bit(argv[1]));
        if (!file.open(QIODevice::WriteOnly) || file.write(input) != input.size())
            return 1;
    }
    std::vector<double> parse;
    std::vector<double> parseCpu;
    std::vector<double> release;
    int apps = 0;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        const double cpuStart = threadCpuMs();
        timer.start();
        QVariant value = PropertyList::read(input);
        parse.push_back(timer.nsecsElapsed() / 1e6);
        parseCpu.push_back(threadCpuMs() - cpuStart);
        apps = int(value.toMap().size());
        timer.restart();
        value = QVariant();
        release.push_back(timer.nsecsElapsed() / 1e6);
    }
    if (apps != appCount) {
        std::fprintf(stderr, "expected %d apps, parsed %d\n", appCount, apps);
        return 1;
    }
    const double megabytes = input.size() / 1e6;
    const double parseMs = median(parse);
    std::printf("input: %.2f MB text-form app report, %d apps\n", megabytes, apps);
    std::printf("parse into the value tree: median %.2f ms over %d rounds (%.0f MB/s), "
                "fastest %.2f ms\n",
                parseMs, rounds, megabytes / (parseMs / 1e3),
                *std::min_element(parse.begin(), parse.end()));
    std::printf("parse CPU time: median %.2f ms (%.0f MB/s)\n", median(parseCpu),
                megabytes / (median(parseCpu) / 1e3));
    std::printf("freeing the value tree: median %.2f ms\n", median(release));
    return 0;
}
