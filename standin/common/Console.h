#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>

// Writing to the two standard streams, unbuffered in effect: each text is flushed at once so
// that output and error text reach a shared pipe in the order written.
namespace Console {

inline void write(std::FILE *stream, const QByteArray &bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

inline void out(const QByteArray &bytes) {
    write(stdout, bytes);
}

inline void out(const QString &text) {
    write(stdout, text.toUtf8());
}

// Prints the text to standard error and returns the status to exit with.
inline int fail(const QString &text, int status) {
    write(stderr, text.toUtf8());
    return status;
}

} // namespace Console
