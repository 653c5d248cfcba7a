#include "cli/CliConsole.h"

#include "cli/CliSyntax.h"

void CliConsole::write(std::FILE *stream, const QString &text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

void CliConsole::print(const QString &text) {
    write(m_output, text);
}

void CliConsole::progress(const QString &line) {
    write(m_errors, line + QLatin1Char('\n'));
}

void CliConsole::error(const QString &message, const QString &hint) {
    QString text = QString::fromLatin1(CliSyntax::programName) + QStringLiteral(": ") + message +
                   QLatin1Char('\n');
    if (!hint.isEmpty())
        text += hint + QLatin1Char('\n');
    write(m_errors, text);
}
