#include "tools/XmlPropertyListKeys.h"

#include "tools/PropertyList.h"
#include "tools/PropertyListStructureCheck.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace std::string_view_literals;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// A run of character data between the tags of an element; CDATA sections are taken as they are,
// other runs have their entities replaced.
struct TextPart {
    const char *begin;
    qsizetype size;
    bool cdata;
};

// Replaces the entities of a NUL-terminated buffer of `length` bytes in place, as libplist does:
// the names are matched by prefix ("&ltx;" is '<'), numeric references go through strtoull
// (which allows blanks and a sign), and an '&' in the last byte is left alone. False for an entity
// libplist refuses. libplist moves the rest of the text after each entity; this writes behind
// the reading position instead, which gives the same text in linear time.
bool replaceEntities(char *s, size_t &length) {
    const size_t end = length;
    size_t r = 0; // reading position
    size_t w = 0; // writing position, never ahead of r
    while (end > 0 && r < end - 1) {
        if (s[r] != '&') {
            s[w++] = s[r++];
            continue;
        }
        const char *const name = s + r + 1;
        size_t semicolon = r;
        while (semicolon < end && s[semicolon] != ';')
            ++semicolon;
        if (semicolon >= end || semicolon < r + 2)
            return false; // no ';', or "&;"
        const size_t nameLength = semicolon - r - 1;
        uchar out[4] = {'&'};
        size_t written = 1;
        if (std::strncmp(name, "amp", 3) == 0) {
            // the '&' stays
        } else if (std::strncmp(name, "apos", 4) == 0) {
            out[0] = '\'';
        } else if (std::strncmp(name, "quot", 4) == 0) {
            out[0] = '"';
        } else if (std::strncmp(name, "lt", 2) == 0) {
            out[0] = '<';
        } else if (std::strncmp(name, "gt", 2) == 0) {
            out[0] = '>';
        } else if (*name == '#') {
            if (nameLength > 8)
                return false;
            char *stop = nullptr;
            unsigned long long value = 0;
            if (name[1] == 'x' || name[1] == 'X') {
                if (nameLength < 3)
                    return false;
                value = std::strtoull(name + 2, &stop, 16);
            } else {
                if (nameLength < 2)
                    return false;
                value = std::strtoull(name + 1, &stop, 10);
            }
            if (value == 0 || value > 0x10FFFF || size_t(stop - name) != nameLength)
                return false;
            if (value >= 0x10000) {
                out[0] = uchar(0xF0 | (value >> 18 & 0x07));
                out[1] = uchar(0x80 | (value >> 12 & 0x3F));
                out[2] = uchar(0x80 | (value >> 6 & 0x3F));
                out[3] = uchar(0x80 | (value & 0x3F));
                written = 4;
            } else if (value >= 0x800) {
                out[0] = uchar(0xE0 | (value >> 12 & 0x0F));
                out[1] = uchar(0x80 | (value >> 6 & 0x3F));
                out[2] = uchar(0x80 | (value & 0x3F));
                written = 3;
            } else if (value >= 0x80) {
                out[0] = uchar(0xC0 | (value >> 6 & 0x1F));
                out[1] = uchar(0x80 | (value & 0x3F));
                written = 2;
            } else {
                out[0] = uchar(value);
            }
        } else {
            return false;
        }
        // The entity is at least as long as what replaces it.
        std::memcpy(s + w, out, written);
        w += written;
        r = semicolon + 1;
    }
    while (r < end)
        s[w++] = s[r++];
    s[w] = '\0';
    length = w;
    return true;
}

// What the element stack holds: the <plist> wrappers and the open containers.
enum class Open : uchar { Plist, Dict, Array };

class Scanner {
public:
    explicit Scanner(QByteArrayView bytes)
        : m_pos(bytes.data())
        , m_end(bytes.data() + bytes.size()) {}

    std::optional<QSet<QString>> run();

private:
    enum class Node : uchar { Dict, Array, Key, Other };

    [[noreturn]] static void refuse() { throw PropertyList::ParseError::malformed(); }
    void skipBlanks() {
        while (m_pos < m_end && isBlank(*m_pos))
            ++m_pos;
    }
    bool at(std::string_view text) const {
        return size_t(m_end - m_pos) >= text.size() &&
               std::memcmp(m_pos, text.data(), text.size()) == 0;
    }
    void find(std::string_view needle, bool skipQuotes);
    void findAny(std::string_view stops, bool skipQuotes);
    void markup();
    bool textParts(std::string_view name, qsizetype nameLength, bool skipLeadingBlanks,
                   std::vector<TextPart> *parts);
    bool closingNameAt(std::string_view name, qsizetype nameLength) const;
    bool content(const std::vector<TextPart> &parts, std::string *out);
    void add(Node node, bool empty);

    const char *m_pos;
    const char *const m_end;

    std::vector<Open> m_open;    // every open element, innermost last
    std::vector<Node> m_parents; // the containers the next value goes into, root first
    bool m_rootSet = false;
    bool m_rootIsDictionary = false;
    std::optional<std::string> m_key; // a <key> waiting for its value
    bool m_hasContent = false;
    bool m_tooDeep = false;
    std::vector<QString> m_keys; // into a set of the right size at the end

    std::vector<TextPart> m_parts;
    std::string m_buffer;
};

// Moves to the first `needle` at or after the current position (up to the end), or refuses;
// with `skipQuotes`, quoted text is passed over whole.
void Scanner::find(std::string_view needle, bool skipQuotes) {
    const qsizetype n = qsizetype(needle.size());
    while (m_end - m_pos > n) {
        if (std::memcmp(m_pos, needle.data(), needle.size()) == 0)
            return;
        if (skipQuotes && *m_pos == '"') {
            const auto *close =
                static_cast<const char *>(std::memchr(m_pos + 1, '"', m_end - m_pos - 1));
            if (!close)
                refuse();
            m_pos = close;
        }
        ++m_pos;
    }
    if (m_end - m_pos < n || std::memcmp(m_pos, needle.data(), needle.size()) != 0)
        refuse();
}

// Moves to the first of `stops`, or to the end; with `skipQuotes`, quoted text is passed over.
void Scanner::findAny(std::string_view stops, bool skipQuotes) {
    while (m_pos < m_end) {
        if (skipQuotes && *m_pos == '"') {
            const auto *close =
                static_cast<const char *>(std::memchr(m_pos + 1, '"', m_end - m_pos - 1));
            if (!close) {
                m_pos = m_end;
                return;
            }
            m_pos = close;
        }
        if (stops.find(*m_pos) != std::string_view::npos)
            return;
        ++m_pos;
    }
}

// `<?…?>`, `<!--…-->` or `<!DOCTYPE…>` between elements; `m_pos` is on the '?' or '!'.
void Scanner::markup() {
    if (*m_pos == '?') {
        find("?>"sv, true);
        m_pos += 2;
        return;
    }
    if (m_end - m_pos > 3 && at("!--"sv)) {
        m_pos += 3;
        find("-->"sv, false);
        m_pos += 3;
        return;
    }
    if (!(m_end - m_pos > 8 && at("!DOCTYPE"sv)))
        refuse();
    m_pos += 8;
    bool subset = false;
    while (m_pos < m_end) {
        findAny(" \t\r\n[>"sv, true);
        if (m_pos >= m_end)
            refuse();
        if (*m_pos == '[') {
            subset = true;
            break;
        }
        if (*m_pos == '>') {
            ++m_pos;
            break;
        }
        skipBlanks();
    }
    if (subset) {
        find("]>"sv, true);
        m_pos += 2;
    }
}

// Whether the closing tag's name at the current position matches the element's name, compared as
// strncmp compares it with the name's bytes up to their first NUL and zeros after.
bool Scanner::closingNameAt(std::string_view name, qsizetype nameLength) const {
    for (qsizetype i = 0; i < nameLength; ++i) {
        const char expected = i < qsizetype(name.size()) ? name[size_t(i)] : '\0';
        if (m_pos[i] != expected)
            return false;
        if (expected == '\0')
            return true;
    }
    return true;
}

// The character data of an element up to its closing tag, which must follow: only comments and
// CDATA sections may stand between. False where libplist gives up on the element.
bool Scanner::textParts(std::string_view name, qsizetype nameLength, bool skipLeadingBlanks,
                        std::vector<TextPart> *parts) {
    const auto addPart = [&](const char *begin, qsizetype size, bool cdata) {
        if (parts)
            parts->push_back({begin, size, cdata});
    };
    if (skipLeadingBlanks)
        skipBlanks();
    const char *p = nullptr;
    const char *q = nullptr;
    for (;;) {
        p = m_pos;
        const auto *open = static_cast<const char *>(std::memchr(m_pos, '<', m_end - m_pos));
        if (!open)
            return false;
        q = open;
        m_pos = open + 1;
        if (m_pos >= m_end)
            return false;
        if (*m_pos == '/')
            break;
        if (*m_pos != '!')
            return false;
        ++m_pos;
        if (m_pos >= m_end - 1)
            return false;
        if (m_pos[0] == '-' && m_pos[1] == '-') {
            addPart(p, q - p, false);
            m_pos += 2;
            find("-->"sv, false);
            m_pos += 3;
        } else if (*m_pos == '[') {
            ++m_pos;
            if (m_pos >= m_end - 8 || !at("CDATA["sv))
                return false;
            if (q - p > 0)
                addPart(p, q - p, false);
            m_pos += 6;
            const char *const cdata = m_pos;
            find("]]>"sv, false);
            addPart(cdata, m_pos - cdata, true);
            m_pos += 3;
        } else {
            return false;
        }
    }
    ++m_pos; // '/'
    if (m_pos >= m_end - nameLength || !closingNameAt(name, nameLength))
        return false;
    m_pos += nameLength;
    skipBlanks();
    if (m_pos >= m_end || *m_pos != '>')
        return false;
    ++m_pos;
    if (q - p > 0)
        addPart(p, q - p, false);
    return true;
}

// The text of a <string> or <key> element as libplist makes it: every part cut at its first NUL
// (strncpy), entities replaced outside CDATA, and the whole cut at its first NUL again. False
// for an entity libplist refuses; `out` may be null when only that matters.
bool Scanner::content(const std::vector<TextPart> &parts, std::string *out) {
    bool ended = false; // a NUL ends the text; later parts are still checked
    const auto append = [&](const char *begin, size_t size) {
        if (!out || ended)
            return;
        const auto *nul = static_cast<const char *>(std::memchr(begin, '\0', size));
        out->append(begin, nul ? size_t(nul - begin) : size);
        ended = nul != nullptr;
    };
    for (const TextPart &part : parts) {
        const auto *nul = static_cast<const char *>(std::memchr(part.begin, '\0', part.size));
        const qsizetype kept = nul ? nul - part.begin : part.size;
        if (part.cdata || !std::memchr(part.begin, '&', size_t(kept))) {
            append(part.begin, size_t(kept));
            if (nul && out)
                ended = true;
            continue;
        }
        m_buffer.assign(part.begin, size_t(kept));
        m_buffer.resize(size_t(part.size) + 1, '\0');
        size_t length = size_t(part.size);
        if (!replaceEntities(m_buffer.data(), length))
            return false;
        append(m_buffer.data(), length);
    }
    return true;
}

// A new value in the innermost open container (the root is taken apart).
void Scanner::add(Node node, bool empty) {
    const bool container = node == Node::Dict || node == Node::Array;
    if (container && m_parents.size() >= size_t(PropertyList::maximumNesting))
        m_tooDeep = true;
    if (m_parents.back() == Node::Dict) {
        if (!m_key)
            refuse(); // a value without its key
        if (m_parents.size() == 1)
            m_keys.push_back(QString::fromUtf8(m_key->data(), qsizetype(m_key->size())));
    }
    if (container && !empty) {
        m_open.push_back(node == Node::Dict ? Open::Dict : Open::Array);
        m_parents.push_back(node);
    }
}

std::optional<QSet<QString>> Scanner::run() {
    std::string key;
    bool complete = false;
    while (m_pos < m_end) {
        skipBlanks();
        if (m_pos >= m_end)
            break;
        if (*m_pos != '<')
            refuse();
        if (++m_pos >= m_end)
            refuse();
        if (*m_pos == '?' || *m_pos == '!') {
            markup();
            continue;
        }

        const char *const tagStart = m_pos;
        while (m_pos < m_end && !isBlank(*m_pos) && *m_pos != '<' && *m_pos != '>')
            ++m_pos;
        if (m_pos >= m_end)
            refuse();
        const qsizetype tagLength = m_pos - tagStart;
        std::string_view name(tagStart, size_t(tagLength));
        name = name.substr(0, name.find('\0'));
        if (*m_pos != '>')
            findAny("<>"sv, true);
        if (m_pos >= m_end || *m_pos != '>')
            refuse();
        bool empty = false;
        if (m_pos[-1] == '/') {
            const qsizetype slash = m_pos - tagStart - 1;
            if (slash < tagLength)
                name = name.substr(0, size_t(slash));
            empty = true;
        }
        ++m_pos;

        if (name == "plist"sv) {
            m_hasContent = false;
            if (m_open.empty() && m_rootSet)
                break; // a second document: the first one stands
            if (empty)
                refuse();
            m_open.push_back(Open::Plist);
            continue;
        }
        if (name == "/plist"sv) {
            if (!m_hasContent || m_open.empty() || m_open.back() != Open::Plist)
                refuse();
            m_open.pop_back();
            continue;
        }
        m_hasContent = true;

        if (!name.empty() && name[0] == '/') {
            if (m_open.empty())
                refuse();
            const std::string_view open = m_open.back() == Open::Dict    ? "dict"sv
                                          : m_open.back() == Open::Array ? "array"sv
                                                                         : "plist"sv;
            if (name.substr(1) != open)
                refuse();
            m_open.pop_back();
            m_parents.pop_back();
            m_key.reset();
            if (m_parents.empty()) {
                complete = true; // what follows the root is never read
                break;
            }
            continue;
        }

        Node node = Node::Other;
        if (name == "dict"sv) {
            node = Node::Dict;
        } else if (name == "array"sv) {
            node = Node::Array;
        } else if (name == "integer"sv || name == "real"sv || name == "date"sv ||
                   name == "data"sv) {
            if (!empty && !textParts(name, tagLength, true, nullptr))
                refuse();
        } else if (name == "true"sv || name == "false"sv) {
            if (!empty && !textParts(name, tagLength, true, nullptr))
                refuse();
        } else if (name == "string"sv || name == "key"sv) {
            if (!empty) {
                m_parts.clear();
                if (!textParts(name, tagLength, false, &m_parts))
                    refuse();
                const bool isKey = name == "key"sv && !m_key && !m_parents.empty() &&
                                   m_parents.back() == Node::Dict;
                key.clear();
                // Only the root dictionary's keys are needed as text.
                const bool keep = isKey && m_parents.size() == 1;
                if (!content(m_parts, keep ? &key : nullptr))
                    refuse();
                if (isKey) {
                    m_key = key;
                    continue;
                }
            }
        } else {
            refuse();
        }
        if (!m_rootSet) {
            m_rootSet = true;
            m_rootIsDictionary = node == Node::Dict;
            if (node == Node::Other) {
                complete = true; // a root that is not a container is the whole document
                break;
            }
            // Even an empty root container takes the values that follow it.
            m_parents.push_back(node);
            if (!empty)
                m_open.push_back(node == Node::Dict ? Open::Dict : Open::Array);
            continue;
        }
        add(node, empty);
        m_key.reset();
    }
    if (!complete && !m_open.empty())
        refuse(); // the document ends inside an element
    if (!m_rootSet)
        refuse();
    if (m_tooDeep)
        throw PropertyList::ParseError::malformed(
            QStringLiteral("Containers are nested more than %1 levels deep.")
                .arg(PropertyList::maximumNesting));
    if (!m_rootIsDictionary)
        return std::nullopt;
    QSet<QString> keys;
    keys.reserve(qsizetype(m_keys.size()));
    for (QString &key : m_keys)
        keys.insert(std::move(key));
    return keys;
}

} // namespace

std::optional<QSet<QString>> XmlPropertyListKeys::read(QByteArrayView bytes) {
    if (bytes.size() > qsizetype(std::numeric_limits<uint32_t>::max()))
        throw PropertyList::ParseError::malformed(QStringLiteral("It is too large."));
    PropertyListStructureCheck::checkXml(bytes);
    return Scanner(bytes).run();
}
