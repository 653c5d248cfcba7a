#include "AppStrings.h"

#include "common/PropertyListValue.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QVariantMap>

namespace {

QString decodeText(const QByteArray &bytes) {
    if (bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff")) {
        QStringDecoder decoder(bytes.startsWith("\xff\xfe") ? QStringDecoder::Utf16LE
                                                            : QStringDecoder::Utf16BE);
        return decoder.decode(bytes.mid(2));
    }
    return QString::fromUtf8(bytes.startsWith("\xef\xbb\xbf") ? bytes.mid(3) : bytes);
}

// A small reader for the old text form: "key" = "value"; with comments between pairs.
class TextReader {
public:
    explicit TextReader(QString text)
        : m_text(std::move(text)) {}

    QList<std::pair<QString, QString>> pairs() {
        QList<std::pair<QString, QString>> result;
        for (;;) {
            skipSpace();
            if (atEnd())
                break;
            QString key;
            QString value;
            if (!readToken(&key) || !expect(QLatin1Char('=')) || !readToken(&value) ||
                !expect(QLatin1Char(';')))
                break;
            result.append({key, value});
        }
        return result;
    }

private:
    bool atEnd() const { return m_position >= m_text.size(); }
    QChar peek(qsizetype ahead = 0) const {
        return m_position + ahead < m_text.size() ? m_text.at(m_position + ahead) : QChar();
    }

    void skipSpace() {
        while (!atEnd()) {
            if (peek().isSpace()) {
                ++m_position;
            } else if (peek() == QLatin1Char('/') && peek(1) == QLatin1Char('*')) {
                const qsizetype end = m_text.indexOf(QStringLiteral("*/"), m_position + 2);
                m_position = end < 0 ? m_text.size() : end + 2;
            } else if (peek() == QLatin1Char('/') && peek(1) == QLatin1Char('/')) {
                const qsizetype end = m_text.indexOf(QLatin1Char('\n'), m_position);
                m_position = end < 0 ? m_text.size() : end + 1;
            } else {
                return;
            }
        }
    }

    bool expect(QChar character) {
        skipSpace();
        if (peek() != character)
            return false;
        ++m_position;
        return true;
    }

    bool readToken(QString *out) {
        skipSpace();
        if (peek() != QLatin1Char('"')) {
            while (!atEnd() && (peek().isLetterOrNumber() || peek() == QLatin1Char('_') ||
                                peek() == QLatin1Char('.') || peek() == QLatin1Char('-')))
                *out += m_text.at(m_position++);
            return !out->isEmpty();
        }
        ++m_position;
        while (!atEnd() && peek() != QLatin1Char('"')) {
            QChar character = m_text.at(m_position++);
            if (character == QLatin1Char('\\') && !atEnd()) {
                const QChar escape = m_text.at(m_position++);
                if (escape == QLatin1Char('n'))
                    character = QLatin1Char('\n');
                else if (escape == QLatin1Char('t'))
                    character = QLatin1Char('\t');
                else if (escape == QLatin1Char('U') || escape == QLatin1Char('u')) {
                    bool ok = false;
                    const ushort unit = m_text.mid(m_position, 4).toUShort(&ok, 16);
                    m_position += 4;
                    character = ok ? QChar(unit) : QChar::ReplacementCharacter;
                } else {
                    character = escape;
                }
            }
            *out += character;
        }
        if (atEnd())
            return false;
        ++m_position; // the closing quote
        return true;
    }

    QString m_text;
    qsizetype m_position = 0;
};

QVariantMap infoDictionary(const QString &bundlePath) {
    QFile file(QDir(bundlePath).filePath(QStringLiteral("Info.plist")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return PropertyListValue::fromBytes(file.readAll()).toMap();
}

QList<std::pair<QString, QString>> table(const QString &bundlePath, const QString &folder) {
    if (folder.isEmpty())
        return {};
    QFile file(QDir(bundlePath).filePath(folder + QStringLiteral(".lproj/Localizable.strings")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return StringsFile::parse(file.readAll());
}

// The folder the system picks for a requested language: the exact name, the same code with
// "_" for "-", then the bare language, else nothing.
QString matchingFolder(const QStringList &folders, const QString &language) {
    QString alternative = language;
    alternative.replace(QLatin1Char('-'), QLatin1Char('_'));
    const QString bare = language.section(QRegularExpression(QStringLiteral("[-_]")), 0, 0);
    for (const QString &candidate : {language, alternative, bare}) {
        if (folders.contains(candidate))
            return candidate;
    }
    return QString();
}

} // namespace

namespace StringsFile {

QList<std::pair<QString, QString>> parse(const QByteArray &bytes) {
    if (bytes.startsWith("bplist") || bytes.trimmed().startsWith("<?xml")) {
        QList<std::pair<QString, QString>> result;
        const QVariantMap map = PropertyListValue::fromBytes(bytes).toMap();
        for (auto it = map.begin(); it != map.end(); ++it)
            result.append({it.key(), it.value().toString()});
        return result;
    }
    return TextReader(decodeText(bytes)).pairs();
}

} // namespace StringsFile

AppStrings::Entry AppStrings::find(const QStringList &words) const {
    for (const Entry &entry : entries) {
        for (const QString &word : words) {
            if (entry.key.contains(word, Qt::CaseInsensitive))
                return entry;
        }
    }
    return {};
}

QString AppStrings::displayNameOf(const QString &bundlePath) {
    const QVariantMap info = infoDictionary(bundlePath);
    const QString name = info.value(QStringLiteral("CFBundleDisplayName")).toString();
    return name.isEmpty() ? info.value(QStringLiteral("CFBundleName")).toString() : name;
}

AppStrings AppStrings::read(const QString &bundlePath, const QString &language) {
    AppStrings strings;
    const QVariantMap info = infoDictionary(bundlePath);
    strings.displayName = displayNameOf(bundlePath);

    QStringList folders;
    const QStringList lprojs =
        QDir(bundlePath).entryList({QStringLiteral("*.lproj")}, QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &folder : lprojs)
        folders << folder.chopped(6);
    QString development = info.value(QStringLiteral("CFBundleDevelopmentRegion")).toString();
    if (!folders.contains(development))
        development =
            matchingFolder(folders, development.isEmpty() ? QStringLiteral("en") : development);
    strings.resolvedLanguage = matchingFolder(folders, language);
    if (strings.resolvedLanguage.isEmpty())
        strings.resolvedLanguage = development;

    const auto base = table(bundlePath, development);
    const auto chosen = table(bundlePath, strings.resolvedLanguage);
    QHash<QString, QString> translated;
    for (const auto &[key, text] : chosen)
        translated.insert(key, text);
    for (const auto &[key, text] : base) {
        const auto found = translated.constFind(key);
        strings.entries.append(
            {key, found == translated.constEnd() ? text : *found, found != translated.constEnd()});
    }
    return strings;
}
