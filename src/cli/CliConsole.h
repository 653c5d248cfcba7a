#pragma once

#include <QString>

#include <cstdio>

// Where the command line writes: results to standard output, progress and errors to standard
// error, each line as UTF-8 and flushed at once (a script reading the other end sees progress
// as it happens).
class CliConsole {
public:
    CliConsole(std::FILE *output = stdout, std::FILE *errors = stderr)
        : m_output(output)
        , m_errors(errors) {}

    // Text as it is; add the line break yourself.
    void print(const QString &text);
    // One line of progress.
    void progress(const QString &line);
    // "quillmarch-cli: <message>", then the hint on a line of its own when there is one.
    void error(const QString &message, const QString &hint = QString());

private:
    static void write(std::FILE *stream, const QString &text);

    std::FILE *m_output;
    std::FILE *m_errors;
};
