#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// Base of every error this program throws: it carries the text the user sees.
class Error : public std::exception {
public:
    explicit Error(QString description);

    // The user-facing description, shown verbatim.
    QString description() const { return m_description; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_description;
    QByteArray m_utf8;
};

// A refusal or a failed developer tool; its description is exactly its message.
class ToolFailure : public Error {
public:
    explicit ToolFailure(QString message)
        : Error(std::move(message)) {}
    QString message() const { return description(); }
};

// An error reported by the operating system (a process that cannot start, a folder that
// cannot be listed, a file that is not in the expected format), worded as the platform does.
class PlatformError : public Error {
public:
    using Error::Error;
};

// A run the user stopped; its tools were ended. Reported as a status, never as an alert.
class Stopped : public Error {
public:
    Stopped()
        : Error(QStringLiteral("Stopped.")) {}
};

// The text the user sees for any caught error: an Error's description (a ToolFailure's
// message unchanged), a standard exception's what() as UTF-8, or a generic sentence.
QString userFacingDescription(const std::exception_ptr &error);
