#include "cli/CliSyntax.h"

#include "cli/CliError.h"

#include <algorithm>
#include <vector>

namespace {

const QString deviceHelp =
    QStringLiteral("a simulator device: its UDID or its exact name (see 'devices')");

CliOption json() {
    return {QStringLiteral("json"), QString(), false,
            QStringLiteral("print one JSON document instead of text")};
}

CliOption device(bool repeatable = false) {
    return {QStringLiteral("device"), QStringLiteral("DEVICE"), repeatable,
            repeatable ? deviceHelp + QStringLiteral("; repeat for several devices, which run "
                                                     "at the same time")
                       : deviceHelp};
}

CliOption app() {
    return {QStringLiteral("app"), QStringLiteral("BUNDLE_ID"), false,
            QStringLiteral("the bundle identifier of an app installed on the device")};
}

CliOption macApp() {
    return {QStringLiteral("mac-app"), QStringLiteral("PATH"), false,
            QStringLiteral("a built macOS application bundle instead of a simulator app")};
}

CliOption launchOption() {
    return {QStringLiteral("option"), QStringLiteral("NAME"), true,
            QStringLiteral("a launch option, repeatable: double-length, accented, bounded, "
                           "right-to-left, show-non-localized")};
}

QList<CliSubcommand> catalogue() {
    QList<CliSubcommand> all;
    all.append({QStringLiteral("devices"),
                QStringLiteral("list the available simulator devices"),
                {QStringLiteral("devices [--json]")},
                QStringLiteral("Lists the available simulator devices in the order the app's "
                               "device picker shows them: UDID, state, name and runtime."),
                {json()},
                QString()});
    all.append({QStringLiteral("apps"),
                QStringLiteral("list the apps installed on a device"),
                {QStringLiteral("apps --device DEVICE [--only-my-apps] [--json]")},
                QStringLiteral("Boots the device when it is not booted, then lists its installed "
                               "apps in the order the app picker shows them."),
                {device(),
                 {QStringLiteral("only-my-apps"), QString(), false,
                  QStringLiteral("only the apps marked as My Apps in Quillmarch's settings")},
                 json()},
                QString()});
    all.append({QStringLiteral("languages"),
                QStringLiteral("list the languages an app declares"),
                {QStringLiteral("languages (--device DEVICE --app BUNDLE_ID | --mac-app PATH) "
                                "[--json]")},
                QStringLiteral("Lists the languages the app's bundle declares, in the order the "
                               "language picker shows them. The device must be booted."),
                {device(), app(), macApp(), json()},
                QString()});
    all.append(
        {QStringLiteral("launch"),
         QStringLiteral("launch an app in one language and region"),
         {QStringLiteral(
              "launch (--device DEVICE --app BUNDLE_ID | --mac-app PATH) --language CODE"),
          QStringLiteral("       [--region LOCALE] [--option NAME]...")},
         QStringLiteral("Launches the app with -AppleLanguages and -AppleLocale, as the app's "
                        "Launch button does: a simulator app after booting its device (a running "
                        "instance is terminated first), a Mac app as a new instance."),
         {device(),
          app(),
          macApp(),
          {QStringLiteral("language"), QStringLiteral("CODE"), false,
           QStringLiteral("one of the app's languages, as 'languages' prints it: de, pt-BR")},
          {QStringLiteral("region"), QStringLiteral("LOCALE"), false,
           QStringLiteral("the region, such as de_CH (default: the language's likely region)")},
          launchOption()},
         QString()});
    all.append({QStringLiteral("check"),
                QStringLiteral("check an app's localizations"),
                {QStringLiteral("check (--device DEVICE --app BUNDLE_ID | --mac-app PATH | "
                                "BUNDLE_PATH) [--json]")},
                QStringLiteral("Checks the bundle's localizations: languages without a folder "
                               "or not listed, string tables and strings missing compared with "
                               "the development language, table files that cannot be read. "
                               "Exits with status 1 when it finds problems."),
                {device(), app(), macApp(), json()},
                QStringLiteral("BUNDLE_PATH")});
    all.append(
        {QStringLiteral("gallery"),
         QStringLiteral("take a screenshot in every language"),
         {QStringLiteral(
              "gallery --device DEVICE [--device DEVICE]... --app BUNDLE_ID --out FOLDER"),
          QStringLiteral("        [--languages CODE,CODE,...] [--region LOCALE | --region likely]"),
          QStringLiteral("        [--option NAME]... [--url URL] [--appearance light|dark]"),
          QStringLiteral(
              "        [--keep-status-bar] [--settle SECONDS] [--settle-timeout SECONDS]"),
          QStringLiteral("        [--force] [--json]")},
         QStringLiteral("Launches the app in each language, waits until the screen settles and "
                        "keeps a screenshot; writes <language>.png, gallery.json and index.html "
                        "to the folder (one subfolder per device with several devices). The "
                        "device gets a clean status bar and the chosen appearance for the run; "
                        "both are restored afterwards, also after Ctrl+C. Exits with status 1 "
                        "when a language failed or did not settle."),
         {device(true),
          app(),
          {QStringLiteral("out"), QStringLiteral("FOLDER"), false,
           QStringLiteral("the folder to write; it must be empty unless --force is given")},
          {QStringLiteral("languages"), QStringLiteral("CODES"), false,
           QStringLiteral("comma-separated languages (default: every language the app declares)")},
          {QStringLiteral("region"), QStringLiteral("LOCALE"), false,
           QStringLiteral("one region for every language, or 'likely' for each language's "
                          "likely region (the default)")},
          launchOption(),
          {QStringLiteral("url"), QStringLiteral("URL"), false,
           QStringLiteral("a deep link opened after each launch")},
          {QStringLiteral("appearance"), QStringLiteral("light|dark"), false,
           QStringLiteral("the device's appearance during the run (default: unchanged)")},
          {QStringLiteral("keep-status-bar"), QString(), false,
           QStringLiteral("leave the status bar as it is (default: 9:41, full bars and battery)")},
          {QStringLiteral("settle"), QStringLiteral("SECONDS"), false,
           QStringLiteral("how long the screen must stay unchanged (default: 1.0)")},
          {QStringLiteral("settle-timeout"), QStringLiteral("SECONDS"), false,
           QStringLiteral("when to give up and keep the last screenshot (default: 15)")},
          {QStringLiteral("force"), QString(), false,
           QStringLiteral("write into a folder that is not empty, replacing the gallery's files")},
          json()},
         QString()});
    return all;
}

// The number of single-character edits between two names, for "did you mean".
int distance(const QString &a, const QString &b) {
    std::vector<int> row(size_t(b.size()) + 1);
    for (size_t j = 0; j < row.size(); ++j)
        row[j] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int above = row[size_t(j)];
            row[size_t(j)] = std::min(
                {above + 1, row[size_t(j - 1)] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row.back();
}

// Lays words out in lines: the first at most `firstWidth` characters long, the others
// `restWidth`, each of these starting with `indent` blanks.
QString wrapped(const QStringList &words, int firstWidth, int restWidth, int indent) {
    QStringList lines;
    QString line;
    // A piece too long for any line is laid out word by word after all.
    QStringList pieces;
    for (const QString &word : words) {
        if (word.size() > restWidth && word.contains(QLatin1Char(' ')))
            pieces += word.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        else
            pieces << word;
    }
    for (const QString &word : std::as_const(pieces)) {
        const int room = lines.isEmpty() ? firstWidth : restWidth;
        if (!line.isEmpty() && line.size() + 1 + word.size() > room) {
            lines << line;
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    if (!line.isEmpty())
        lines << line;
    return lines.join(QLatin1Char('\n') + QString(indent, QLatin1Char(' ')));
}

QString wrapped(const QString &text, int firstWidth, int restWidth, int indent) {
    return wrapped(text.split(QLatin1Char(' '), Qt::SkipEmptyParts), firstWidth, restWidth, indent);
}

// A synopsis in pieces that stay whole: "[--option NAME]...", "(--device DEVICE | PATH)".
QStringList synopsisWords(const QString &synopsis) {
    QStringList words;
    QString word;
    int depth = 0;
    for (const QChar c : synopsis) {
        if (c == QLatin1Char('[') || c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(']') || c == QLatin1Char(')'))
            --depth;
        if (c == QLatin1Char(' ') && depth == 0) {
            if (!word.isEmpty())
                words << word;
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.isEmpty())
        words << word;
    return words;
}

constexpr int helpWidth = 80;
constexpr int optionColumn = 28;

QString program() {
    return QString::fromLatin1(CliSyntax::programName);
}

QString nearestOption(const CliSubcommand &command, const QString &name) {
    QString best;
    int bestDistance = 3; // only close misspellings
    for (const CliOption &option : command.options) {
        const int d = distance(option.name, name);
        if (d < bestDistance) {
            bestDistance = d;
            best = option.name;
        }
    }
    return best;
}

UsageError unknownOption(const CliSubcommand &command, const QString &token) {
    const QString name = token.startsWith(QLatin1String("--")) ? token.mid(2) : token.mid(1);
    const QString nearest = nearestOption(command, name.section(QLatin1Char('='), 0, 0));
    QString hint = CliSyntax::helpHint(command.name);
    if (!nearest.isEmpty())
        hint = QStringLiteral("Did you mean --%1? ").arg(nearest) + hint;
    return UsageError(
        QStringLiteral("Unknown option “%1” for %2 %3.").arg(token, program(), command.name), hint);
}

bool isHelp(const QString &token) {
    return token == QLatin1String("--help") || token == QLatin1String("-h");
}

} // namespace

const CliOption *CliSubcommand::option(const QString &optionName) const {
    for (const CliOption &candidate : options) {
        if (candidate.name == optionName)
            return &candidate;
    }
    return nullptr;
}

QString ParsedCommandLine::value(const QString &name) const {
    const QStringList given = options.value(name);
    return given.isEmpty() ? QString() : given.constLast();
}

namespace CliSyntax {

const QList<CliSubcommand> &subcommands() {
    static const QList<CliSubcommand> all = catalogue();
    return all;
}

const CliSubcommand *subcommand(const QString &name) {
    for (const CliSubcommand &candidate : subcommands()) {
        if (candidate.name == name)
            return &candidate;
    }
    return nullptr;
}

QString helpHint(const QString &subcommand) {
    if (subcommand.isEmpty())
        return QStringLiteral("Run '%1 --help' for the commands.").arg(program());
    return QStringLiteral("Run '%1 %2 --help' for its options.").arg(program(), subcommand);
}

ParsedCommandLine parse(const QStringList &arguments) {
    ParsedCommandLine parsed;
    if (arguments.isEmpty())
        throw UsageError(QStringLiteral("Name a command."), helpHint(QString()));
    const QString first = arguments.first();
    if (isHelp(first) || first == QLatin1String("help")) {
        // "help gallery" is "gallery --help".
        if (arguments.size() > 1 && subcommand(arguments.at(1))) {
            parsed.action = ParsedCommandLine::Action::SubcommandHelp;
            parsed.subcommand = arguments.at(1);
        } else {
            parsed.action = ParsedCommandLine::Action::GeneralHelp;
        }
        return parsed;
    }
    if (first == QLatin1String("--version")) {
        parsed.action = ParsedCommandLine::Action::Version;
        return parsed;
    }
    const CliSubcommand *command = subcommand(first);
    if (!command) {
        if (first.startsWith(QLatin1Char('-')))
            throw UsageError(
                QStringLiteral("Unknown option “%1”; name a command first.").arg(first),
                helpHint(QString()));
        throw UsageError(QStringLiteral("Unknown command “%1”.").arg(first), helpHint(QString()));
    }
    parsed.subcommand = command->name;

    // --help anywhere wins over everything else, even over mistakes elsewhere.
    for (qsizetype i = 1; i < arguments.size() && arguments.at(i) != QLatin1String("--"); ++i) {
        if (isHelp(arguments.at(i))) {
            parsed.action = ParsedCommandLine::Action::SubcommandHelp;
            return parsed;
        }
    }

    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString token = arguments.at(i);
        if (!optionsEnded && token == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || !token.startsWith(QLatin1Char('-')) || token == QLatin1String("-")) {
            if (command->positional.isEmpty() || !parsed.positionals.isEmpty())
                throw UsageError(QStringLiteral("Unexpected argument “%1”.").arg(token),
                                 helpHint(command->name));
            parsed.positionals << token;
            continue;
        }
        if (!token.startsWith(QLatin1String("--")))
            throw unknownOption(*command, token);

        const qsizetype equals = token.indexOf(QLatin1Char('='));
        const QString name = token.mid(2, equals < 0 ? -1 : equals - 2);
        const CliOption *option = command->option(name);
        if (!option)
            throw unknownOption(*command, token);
        if (parsed.has(name) && !option->repeatable)
            throw UsageError(QStringLiteral("The option --%1 may be given only once.").arg(name),
                             helpHint(command->name));

        QStringList &values = parsed.options[name];
        if (!option->takesValue()) {
            if (equals >= 0)
                throw UsageError(QStringLiteral("The option --%1 takes no value.").arg(name),
                                 helpHint(command->name));
            continue;
        }
        QString value;
        if (equals >= 0) {
            value = token.mid(equals + 1);
        } else if (i + 1 < arguments.size() &&
                   !arguments.at(i + 1).startsWith(QLatin1String("--"))) {
            value = arguments.at(++i);
        } else {
            throw UsageError(
                QStringLiteral("The option --%1 needs a value (%2).").arg(name, option->valueName),
                helpHint(command->name));
        }
        if (value.trimmed().isEmpty())
            throw UsageError(QStringLiteral("The option --%1 needs a value (%2), not an empty "
                                            "text.")
                                 .arg(name, option->valueName),
                             helpHint(command->name));
        values << value;
    }
    return parsed;
}

QString generalHelp() {
    QStringList lines;
    lines << QStringLiteral("Usage: %1 <command> [options]").arg(program());
    lines << QString();
    lines << wrapped(QStringLiteral("Launches apps in their languages on simulators and on the "
                                    "Mac, checks their localizations and takes a screenshot per "
                                    "language."),
                     helpWidth, helpWidth, 0);
    lines << QString();
    lines << QStringLiteral("Commands:");
    for (const CliSubcommand &command : subcommands())
        lines << QStringLiteral("  %1%2").arg(command.name.leftJustified(12), command.summary);
    lines << QString();
    lines << QStringLiteral("Run '%1 <command> --help' for a command's options.").arg(program());
    lines << QString();
    lines << QStringLiteral("Exit status: 0 done; 1 check found problems, or a gallery "
                            "language failed or");
    lines << QStringLiteral("did not settle; 2 wrong usage or a tool failure; 130 interrupted "
                            "(Ctrl+C).");
    lines << QStringLiteral("Environment: QUILLMARCH_XCRUN and QUILLMARCH_OPEN name other "
                            "developer tools.");
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString help(const CliSubcommand &command) {
    QStringList lines;
    // The synopsis wrapped anew, continued under the subcommand's name.
    QStringList synopsis;
    for (const QString &line : command.usage)
        synopsis << line.trimmed();
    const QString prefix = QStringLiteral("Usage: %1 ").arg(program());
    const int indent = int(prefix.size() + command.name.size() + 1);
    lines << prefix + wrapped(synopsisWords(synopsis.join(QLatin1Char(' '))),
                              helpWidth - int(prefix.size()), helpWidth - indent, indent);
    lines << QString() << wrapped(command.description, helpWidth, helpWidth, 0) << QString()
          << QStringLiteral("Options:");
    const auto entry = [](const QString &left, const QString &help) {
        const int width = helpWidth - optionColumn;
        return QStringLiteral("  %1  ").arg(left.leftJustified(optionColumn - 4)) +
               wrapped(help, width, width, optionColumn);
    };
    for (const CliOption &option : command.options) {
        QString left = QStringLiteral("--") + option.name;
        if (option.takesValue())
            left += QLatin1Char(' ') + option.valueName;
        lines << entry(left, option.help);
    }
    if (!command.positional.isEmpty())
        lines << entry(command.positional, QStringLiteral("an application bundle on disk"));
    lines << entry(QStringLiteral("--help"), QStringLiteral("show this help"));
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace CliSyntax
