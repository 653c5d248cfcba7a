#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// One option of a subcommand: a flag, or an option that takes a value ("--device DEVICE").
struct CliOption {
    QString name;      // without the dashes: "device"
    QString valueName; // "DEVICE"; empty for a flag
    bool repeatable = false;
    QString help;

    bool takesValue() const { return !valueName.isEmpty(); }
};

// One subcommand: what it is called, how it is used and which options it knows.
struct CliSubcommand {
    QString name;
    QString summary;     // one line for the overview
    QStringList usage;   // the synopsis lines after the program name
    QString description; // a paragraph for its --help
    QList<CliOption> options;
    QString positional; // the name of its one optional argument ("BUNDLE_PATH"); empty: none

    const CliOption *option(const QString &name) const;
};

// A command line taken apart: what to do, and the options and arguments given.
struct ParsedCommandLine {
    enum class Action { Run, GeneralHelp, SubcommandHelp, Version };

    Action action = Action::Run;
    QString subcommand;
    QHash<QString, QStringList> options; // option name → its values (empty list for a flag)
    QStringList positionals;

    bool has(const QString &name) const { return options.contains(name); }
    // The value of a single-valued option; empty when it is not given.
    QString value(const QString &name) const;
    QStringList values(const QString &name) const { return options.value(name); }
};

namespace CliSyntax {

inline constexpr char programName[] = "quillmarch-cli";

const QList<CliSubcommand> &subcommands();
const CliSubcommand *subcommand(const QString &name);

// Takes the arguments after the program name apart. Throws UsageError, with a hint, for an
// unknown subcommand or option, an option without its value, a flag given a value, an option
// given twice that may be given once, and an argument the subcommand does not take.
ParsedCommandLine parse(const QStringList &arguments);

QString generalHelp();
QString help(const CliSubcommand &subcommand);

// "Run 'quillmarch-cli gallery --help' for its options."
QString helpHint(const QString &subcommand);

} // namespace CliSyntax
