#include "tools/TextPropertyListParser.h"

#include "tools/PropertyList.h"

#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <array>
#include <cstring>
#include <map>
#include <vector>

namespace {

using Dictionary = std::map<QString, QVariant>;

// Octal escapes name a byte of the NeXTSTEP encoding; these are its characters 0x80-0xFF
// (0xFE and 0xFF are unassigned).
constexpr char16_t nextStepUpperHalf[128] = {
    0x00A0, 0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C7, 0x00C8, 0x00C9, 0x00CA, 0x00CB,
    0x00CC, 0x00CD, 0x00CE, 0x00CF, 0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D9,
    0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00B5, 0x00D7, 0x00F7, 0x00A9, 0x00A1, 0x00A2, 0x00A3,
    0x2044, 0x00A5, 0x0192, 0x00A7, 0x00A4, 0x2019, 0x201C, 0x00AB, 0x2039, 0x203A, 0xFB01, 0xFB02,
    0x00AE, 0x2013, 0x2020, 0x2021, 0x00B7, 0x00A6, 0x00B6, 0x2022, 0x201A, 0x201E, 0x201D, 0x00BB,
    0x2026, 0x2030, 0x00AC, 0x00BF, 0x00B9, 0x02CB, 0x00B4, 0x02C6, 0x02DC, 0x00AF, 0x02D8, 0x02D9,
    0x00A8, 0x00B2, 0x02DA, 0x00B8, 0x00B3, 0x02DD, 0x02DB, 0x02C7, 0x2014, 0x00B1, 0x00BC, 0x00BD,
    0x00BE, 0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E7, 0x00E8, 0x00E9, 0x00EA, 0x00EB,
    0x00EC, 0x00C6, 0x00ED, 0x00AA, 0x00EE, 0x00EF, 0x00F0, 0x00F1, 0x0141, 0x00D8, 0x0152, 0x00BA,
    0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00E6, 0x00F9, 0x00FA, 0x00FB, 0x0131, 0x00FC, 0x00FD,
    0x0142, 0x00F8, 0x0153, 0x00DF, 0x00FE, 0x00FF, 0xFFFD, 0xFFFD,
};

constexpr char16_t replacementCharacter = 0xFFFD;

// Characters allowed in an unquoted string.
constexpr std::array<bool, 256> unquotedCharacters = [] {
    std::array<bool, 256> table{};
    for (int c = 'a'; c <= 'z'; ++c)
        table[c] = true;
    for (int c = 'A'; c <= 'Z'; ++c)
        table[c] = true;
    for (int c = '0'; c <= '9'; ++c)
        table[c] = true;
    for (char c : {'_', '$', '/', ':', '.', '-'})
        table[uchar(c)] = true;
    return table;
}();

bool isUnquoted(char c) {
    return unquotedCharacters[uchar(c)];
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isAscii(const char *p, const char *end) {
    quint64 seen = 0;
    for (; end - p >= 8; p += 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        seen |= word;
    }
    for (; p < end; ++p)
        seen |= uchar(*p);
    return (seen & 0x8080808080808080ull) == 0;
}

// A quick hash of a short string: its length and its first and last eight bytes.
size_t hashOf(const char *p, qsizetype size) {
    quint64 head = 0;
    quint64 tail = 0;
    if (size >= 8) {
        std::memcpy(&head, p, 8);
        std::memcpy(&tail, p + size - 8, 8);
    } else {
        std::memcpy(&head, p, size_t(size));
    }
    quint64 h = (head ^ quint64(size)) * 0x9E3779B97F4A7C15ull;
    h = (h ^ (h >> 29) ^ tail) * 0xBF58476D1CE4E5B9ull;
    return size_t(h ^ (h >> 32));
}

bool isHighSurrogate(char32_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool isLowSurrogate(char32_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

// Appends UTF-8 bytes, taking the cheap route when they are plain ASCII.
void appendUtf8(QString &out, const char *begin, const char *end) {
    const char *p = begin;
    while (p < end && uchar(*p) < 0x80)
        ++p;
    if (p == end)
        out.append(QLatin1StringView(begin, end - begin));
    else
        out.append(QString::fromUtf8(begin, end - begin));
}

// Dictionary keys and short words repeat throughout a report (every app has the same keys):
// one shared QString per distinct short ASCII string saves most allocations. The bytes stay
// valid for the whole parse, so slots point into the input. Small documents skip the table.
class SharedStrings {
public:
    explicit SharedStrings(qsizetype documentSize)
        : m_enabled(documentSize >= 16 * 1024) {}

    QString get(const char *p, qsizetype size) {
        if (!m_enabled || size > maximumLength)
            return QString::fromLatin1(p, size);
        if (m_slots.empty())
            m_slots.resize(slotCount);
        const size_t hash = hashOf(p, size);
        for (size_t i = hash, probes = 0; probes < maximumProbes; ++i, ++probes) {
            Slot &slot = m_slots[i & (slotCount - 1)];
            if (!slot.bytes) {
                if (m_used == maximumUsed)
                    break;
                ++m_used;
                slot = {p, size, QString::fromLatin1(p, size)};
                return slot.string;
            }
            if (slot.size == size && std::memcmp(slot.bytes, p, size_t(size)) == 0)
                return slot.string;
        }
        return QString::fromLatin1(p, size);
    }

private:
    struct Slot {
        const char *bytes = nullptr;
        qsizetype size = 0;
        QString string;
    };
    static constexpr qsizetype maximumLength = 32;
    static constexpr size_t slotCount = 1024;
    static constexpr size_t maximumUsed = slotCount / 2;
    static constexpr size_t maximumProbes = 8;
    const bool m_enabled;
    std::vector<Slot> m_slots;
    size_t m_used = 0;
};

// With `keys` given, the parser checks the whole document just as strictly but keeps no
// values: it collects the keys of the root dictionary there, and every value it returns is a
// placeholder of the right kind (an empty map for a dictionary).
class Parser {
public:
    // The keys of one dictionary are all different: sharing them would only cost time.
    Parser(const char *begin, const char *end, std::vector<QString> *keys = nullptr)
        : m_begin(begin)
        , m_pos(begin)
        , m_end(end)
        , m_shared(keys ? 0 : end - begin)
        , m_keys(keys) {}

    QVariant document();

private:
    bool skipSpace();
    bool isLineSeparator(const char *p) const;
    QVariant object(int depth, bool required);
    QVariant dictionary(int depth);
    Dictionary dictionaryContent(int depth);
    QVariant array(int depth);
    QVariant data();
    bool string(QString &out, bool keep);
    QString quoted();
    void skipQuoted();
    QString quotedWithEscapes(const char *start, const char *p, char quote);
    char32_t escape(const char *&p) const;
    void enter(int depth, const char *at) const;

    int lineAt(const char *at) const;
    QString describeCharacter(const char *at) const;
    [[noreturn]] void fail(const QString &detail) const;
    [[noreturn]] void unexpected(const char *at) const;
    [[noreturn]] void unexpectedEnd(char expected) const;

    const char *const m_begin;
    const char *m_pos;
    const char *const m_end;
    SharedStrings m_shared;
    std::vector<QString> *const m_keys;
};

QVariant Parser::document() {
    const char *const begin = m_pos;
    if (!skipSpace())
        return QVariantMap();
    const bool startsWithString = *m_pos == '"' || *m_pos == '\'' || isUnquoted(*m_pos);
    QVariant root = object(0, true);
    if (!skipSpace())
        return root;
    if (!startsWithString)
        unexpected(m_pos);
    // A string followed by more text: the strings-file form, a dictionary without braces.
    m_pos = begin;
    if (m_keys)
        m_keys->clear();
    Dictionary content = dictionaryContent(1);
    if (skipSpace())
        unexpected(m_pos);
    return QVariantMap(std::move(content));
}

bool Parser::isLineSeparator(const char *p) const {
    // U+2028 LINE SEPARATOR and U+2029 PARAGRAPH SEPARATOR.
    return m_end - p >= 3 && uchar(p[0]) == 0xE2 && uchar(p[1]) == 0x80 &&
           (uchar(p[2]) == 0xA8 || uchar(p[2]) == 0xA9);
}

// Skips white space and comments; false at the end of the input.
bool Parser::skipSpace() {
    const char *p = m_pos;
    while (p < m_end) {
        const uchar c = uchar(*p);
        if (c == ' ' || (c >= '\t' && c <= '\r')) {
            ++p;
        } else if (c == '/' && p + 1 < m_end && p[1] == '/') {
            p += 2;
            while (p < m_end && *p != '\n' && *p != '\r' && !isLineSeparator(p))
                ++p;
        } else if (c == '/' && p + 1 < m_end && p[1] == '*') {
            const char *close = nullptr;
            for (const char *q = p + 2; q + 1 < m_end; ++q) {
                q = static_cast<const char *>(std::memchr(q, '*', m_end - q - 1));
                if (!q)
                    break;
                if (q[1] == '/') {
                    close = q;
                    break;
                }
            }
            if (!close)
                fail(QStringLiteral("Unterminated comment starting at line %1.").arg(lineAt(p)));
            p = close + 2;
        } else if (c == 0xE2 && isLineSeparator(p)) {
            p += 3;
        } else {
            break;
        }
    }
    m_pos = p;
    return p < m_end;
}

void Parser::enter(int depth, const char *at) const {
    if (depth > PropertyList::maximumNesting)
        fail(QStringLiteral("Nesting deeper than %1 levels at line %2.")
                 .arg(PropertyList::maximumNesting)
                 .arg(lineAt(at)));
}

// One value; with `required` false, returns an invalid variant when no value starts here.
// `depth` counts the containers around the value.
QVariant Parser::object(int depth, bool required) {
    if (!skipSpace()) {
        if (required)
            fail(QStringLiteral("Unexpected end of data at line %1.").arg(lineAt(m_pos)));
        return {};
    }
    switch (*m_pos) {
    case '{':
        return dictionary(depth + 1);
    case '(':
        return array(depth + 1);
    case '<':
        return data();
    case '"':
    case '\'':
        if (m_keys) {
            skipQuoted();
            return QString();
        }
        return quoted();
    default:
        if (isUnquoted(*m_pos)) {
            const char *start = m_pos;
            while (m_pos < m_end && isUnquoted(*m_pos))
                ++m_pos;
            if (m_keys)
                return QString();
            return m_shared.get(start, m_pos - start);
        }
        if (required)
            unexpected(m_pos);
        return {};
    }
}

QVariant Parser::dictionary(int depth) {
    enter(depth, m_pos);
    ++m_pos; // '{'
    Dictionary content = dictionaryContent(depth);
    if (!skipSpace())
        unexpectedEnd('}');
    if (*m_pos != '}')
        unexpected(m_pos);
    ++m_pos;
    return QVariantMap(std::move(content));
}

// `key = value;` pairs up to the first thing that is not a key; `key;` means key = key.
Dictionary Parser::dictionaryContent(int depth) {
    Dictionary content;
    QString key;
    while (string(key, !m_keys || depth == 1)) {
        if (!skipSpace())
            unexpectedEnd(';');
        QVariant value;
        if (*m_pos == '=') {
            ++m_pos;
            value = object(depth, true);
            if (!skipSpace())
                unexpectedEnd(';');
        } else {
            value = key;
        }
        if (*m_pos != ';')
            unexpected(m_pos);
        ++m_pos;
        if (m_keys) {
            if (depth == 1)
                m_keys->push_back(std::move(key));
            continue;
        }
        // The writer sorts keys, so the end is the right place almost always; a later
        // duplicate replaces the earlier value.
        content.insert_or_assign(content.end(), std::move(key), std::move(value));
    }
    return content;
}

QVariant Parser::array(int depth) {
    enter(depth, m_pos);
    ++m_pos; // '('
    QVariantList items;
    QVariant item = object(depth, false);
    while (item.isValid()) {
        if (!m_keys)
            items.append(std::move(item));
        if (!skipSpace())
            unexpectedEnd(')');
        if (*m_pos != ',')
            break;
        ++m_pos;
        item = object(depth, false);
    }
    if (!skipSpace())
        unexpectedEnd(')');
    if (*m_pos != ')')
        unexpected(m_pos);
    ++m_pos;
    return items;
}

// `<hex digits>`: white space (and comments) only between byte pairs.
QVariant Parser::data() {
    const char *open = m_pos++;
    QByteArray bytes;
    for (;;) {
        if (!skipSpace())
            fail(QStringLiteral("Unterminated data starting at line %1.").arg(lineAt(open)));
        if (*m_pos == '>') {
            ++m_pos;
            return bytes;
        }
        const int high = hexValue(*m_pos);
        if (high < 0)
            unexpected(m_pos);
        if (m_pos + 1 >= m_end)
            fail(QStringLiteral("Unterminated data starting at line %1.").arg(lineAt(open)));
        const int low = hexValue(m_pos[1]);
        if (low < 0) {
            const char next = m_pos[1];
            if (next == '>' || next == ' ' || (next >= '\t' && next <= '\r') || next == '/')
                fail(QStringLiteral("Data at line %1 has an odd number of hex digits.")
                         .arg(lineAt(m_pos)));
            unexpected(m_pos + 1);
        }
        if (!m_keys)
            bytes.append(char(high << 4 | low));
        m_pos += 2;
    }
}

// A quoted or unquoted string if one starts here (after white space); unless `keep`, `out`
// is left alone.
bool Parser::string(QString &out, bool keep) {
    if (!skipSpace())
        return false;
    const char c = *m_pos;
    if (c == '"' || c == '\'') {
        if (keep)
            out = quoted();
        else
            skipQuoted();
        return true;
    }
    if (!isUnquoted(c))
        return false;
    const char *start = m_pos;
    while (m_pos < m_end && isUnquoted(*m_pos))
        ++m_pos;
    if (keep)
        out = m_shared.get(start, m_pos - start);
    return true;
}

QString Parser::quoted() {
    const char quote = *m_pos;
    const char *const start = m_pos + 1;
    // Most strings have no escapes and are ASCII: find the closing quote with memchr, make
    // sure no backslash comes before it, and convert in one go.
    const auto *close = static_cast<const char *>(std::memchr(start, quote, m_end - start));
    const auto *backslash =
        static_cast<const char *>(std::memchr(start, '\\', (close ? close : m_end) - start));
    if (backslash)
        return quotedWithEscapes(start, backslash, quote);
    if (!close)
        fail(QStringLiteral("Unterminated quoted string starting at line %1.")
                 .arg(lineAt(start - 1)));
    m_pos = close + 1;
    if (isAscii(start, close))
        return m_shared.get(start, close - start);
    return QString::fromUtf8(start, close - start);
}

// Moves past a quoted string, failing where quoted() fails: a backslash hides the character
// after it (the rest of a longer escape is never a quote).
void Parser::skipQuoted() {
    const char quote = *m_pos;
    const char *p = m_pos + 1;
    for (;;) {
        const auto *close = static_cast<const char *>(std::memchr(p, quote, m_end - p));
        const auto *backslash =
            static_cast<const char *>(std::memchr(p, '\\', (close ? close : m_end) - p));
        if (!backslash) {
            if (!close)
                fail(QStringLiteral("Unterminated quoted string starting at line %1.")
                         .arg(lineAt(m_pos)));
            m_pos = close + 1;
            return;
        }
        p = backslash + 2;
        if (p >= m_end)
            fail(QStringLiteral("Unterminated quoted string starting at line %1.")
                     .arg(lineAt(m_pos)));
    }
}

// Continues a quoted string at its first backslash `p`. Two \U escapes that form a UTF-16
// surrogate pair make one character; a surrogate without its partner becomes U+FFFD.
QString Parser::quotedWithEscapes(const char *start, const char *p, char quote) {
    QString out;
    out.reserve(p - start + 16);
    appendUtf8(out, start, p);
    char16_t pendingHigh = 0;
    auto settlePending = [&] {
        if (pendingHigh) {
            out.append(QChar(replacementCharacter));
            pendingHigh = 0;
        }
    };
    const char *run = p;
    while (p < m_end && *p != quote) {
        if (*p != '\\') {
            ++p;
            continue;
        }
        if (p > run) {
            settlePending();
            appendUtf8(out, run, p);
        }
        ++p;
        if (p == m_end)
            break;
        if (uchar(*p) >= 0x80) {
            // An escaped non-ASCII character stands for itself.
            run = p;
            continue;
        }
        const char32_t u = escape(p);
        run = p;
        if (isHighSurrogate(u)) {
            settlePending();
            pendingHigh = char16_t(u);
        } else if (isLowSurrogate(u)) {
            if (pendingHigh) {
                out.append(QChar(pendingHigh));
                out.append(QChar(char16_t(u)));
                pendingHigh = 0;
            } else {
                out.append(QChar(replacementCharacter));
            }
        } else {
            settlePending();
            out.append(QChar(char16_t(u)));
        }
    }
    if (p >= m_end)
        fail(QStringLiteral("Unterminated quoted string starting at line %1.")
                 .arg(lineAt(start - 1)));
    if (p > run) {
        settlePending();
        appendUtf8(out, run, p);
    }
    settlePending();
    m_pos = p + 1;
    return out;
}

// The character of the escape whose letter `p` points at; moves `p` past the escape.
char32_t Parser::escape(const char *&p) const {
    const char c = *p++;
    switch (c) {
    case '0':
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
    case '7': {
        // Up to three digits, so "\0005" is NUL followed by '5'; the value wraps to a byte.
        unsigned value = c - '0';
        for (int digits = 1; digits < 3 && p < m_end && *p >= '0' && *p <= '7'; ++digits)
            value = value * 8 + (*p++ - '0');
        value &= 0xFF;
        return value < 0x80 ? value : nextStepUpperHalf[value - 0x80];
    }
    case 'U': {
        unsigned value = 0;
        for (int digits = 0; digits < 4 && p < m_end && hexValue(*p) >= 0; ++digits)
            value = value * 16 + hexValue(*p++);
        return value;
    }
    case 'a':
        return '\a';
    case 'b':
        return '\b';
    case 'f':
        return '\f';
    case 'n':
        return '\n';
    case 'r':
        return '\r';
    case 't':
        return '\t';
    case 'v':
        return '\v';
    default:
        return uchar(c); // any other character, a newline included, stands for itself
    }
}

int Parser::lineAt(const char *at) const {
    int line = 1;
    for (const char *p = m_begin; p < at; ++p) {
        if (*p == '\r') {
            ++line;
            if (p + 1 < at && p[1] == '\n')
                ++p;
        } else if (*p == '\n') {
            ++line;
        }
    }
    return line;
}

QString Parser::describeCharacter(const char *at) const {
    const uchar c = uchar(*at);
    if (c > 0x20 && c < 0x7F)
        return QStringLiteral("'%1'").arg(QChar(c));
    if (c < 0x80)
        return QStringLiteral("U+%1").arg(QString::number(c, 16).toUpper(), 4, QLatin1Char('0'));
    const QString decoded = QString::fromUtf8(at, std::min<qsizetype>(4, m_end - at));
    const char32_t first = decoded.isEmpty() ? 0 : decoded.toUcs4().value(0);
    if (first == replacementCharacter || first == 0)
        return QStringLiteral("byte 0x%1").arg(QString::number(c, 16).toUpper());
    return QStringLiteral("'%1'").arg(QString::fromUcs4(&first, 1));
}

void Parser::fail(const QString &detail) const {
    throw PropertyList::ParseError::malformed(detail);
}

void Parser::unexpected(const char *at) const {
    fail(QStringLiteral("Unexpected character %1 at line %2.")
             .arg(describeCharacter(at))
             .arg(lineAt(at)));
}

void Parser::unexpectedEnd(char expected) const {
    fail(QStringLiteral("Unexpected end of data at line %1; expected '%2'.")
             .arg(lineAt(m_end))
             .arg(QLatin1Char(expected)));
}

} // namespace

QVariant TextPropertyList::parse(QByteArrayView utf8) {
    Parser parser(utf8.data(), utf8.data() + utf8.size());
    return parser.document();
}

std::optional<QSet<QString>> TextPropertyList::topLevelKeys(QByteArrayView utf8) {
    // Gathered first and put in a set of the right size at the end, which spares the set its
    // rehashing while it grows.
    std::vector<QString> keys;
    Parser parser(utf8.data(), utf8.data() + utf8.size(), &keys);
    if (parser.document().typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    QSet<QString> set;
    set.reserve(qsizetype(keys.size()));
    for (QString &key : keys)
        set.insert(std::move(key));
    return set;
}
