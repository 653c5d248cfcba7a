#include "tools/PropertyListStructureCheck.h"

#include "tools/PropertyList.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

[[noreturn]] void tooDeep() {
    throw PropertyList::ParseError::malformed(
        QStringLiteral("Containers are nested more than %1 levels deep.")
            .arg(PropertyList::maximumNesting));
}

[[noreturn]] void malformed(const QString &detail = {}) {
    throw PropertyList::ParseError::malformed(detail);
}

quint64 bigEndian(const uchar *p, int size) {
    quint64 value = 0;
    for (int i = 0; i < size; ++i)
        value = value << 8 | p[i];
    return value;
}

// The layout of a binary property list: header "bplist00", objects, offset table, trailer.
class BinaryGraph {
public:
    explicit BinaryGraph(QByteArrayView bytes);
    void check();

private:
    struct Container {
        quint64 refs = 0;  // position of the first object reference
        quint64 count = 0; // number of references (keys and values for a dictionary)
        bool dictionary = false;
    };
    struct Frame {
        quint64 object;
        Container container;
        quint64 next;
        int height;
        quint64 expanded;
    };

    quint64 objectOffset(quint64 object) const;
    quint64 count(quint64 &position) const;
    bool container(quint64 object, Container &out) const;
    void checkKey(quint64 object) const;
    quint64 reference(const Container &c, quint64 i) const;
    void enter(quint64 object);
    void settle(int height, quint64 expanded);

    static constexpr quint64 headerSize = 8;
    static constexpr quint64 trailerSize = 32;
    static constexpr int unknown = -1;
    static constexpr int inProgress = -2;

    const uchar *m_data;
    quint64 m_size;
    int m_offsetSize = 0;
    int m_refSize = 0;
    quint64 m_objectCount = 0;
    quint64 m_root = 0;
    quint64 m_tableOffset = 0;
    quint64 m_expansionLimit = 0;
    std::vector<int> m_height;       // container levels below and including an object
    std::vector<quint32> m_expanded; // values the object expands into (bounded by the check)
    std::vector<Frame> m_stack;
};

BinaryGraph::BinaryGraph(QByteArrayView bytes)
    : m_data(reinterpret_cast<const uchar *>(bytes.data()))
    , m_size(quint64(bytes.size())) {
    if (m_size < headerSize + trailerSize)
        malformed();
    const uchar *trailer = m_data + m_size - trailerSize;
    m_offsetSize = trailer[6];
    m_refSize = trailer[7];
    m_objectCount = bigEndian(trailer + 8, 8);
    m_root = bigEndian(trailer + 16, 8);
    m_tableOffset = bigEndian(trailer + 24, 8);
    const quint64 objectsEnd = m_size - trailerSize;
    if (m_offsetSize < 1 || m_offsetSize > 8 || m_refSize < 1 || m_refSize > 8)
        malformed();
    if (m_objectCount == 0 || m_root >= m_objectCount)
        malformed();
    if (m_tableOffset < headerSize || m_tableOffset > objectsEnd)
        malformed();
    if (m_objectCount > (objectsEnd - m_tableOffset) / quint64(m_offsetSize))
        malformed();
    m_expansionLimit = PropertyListStructureCheck::expansionLimit(bytes.size());
}

quint64 BinaryGraph::objectOffset(quint64 object) const {
    const quint64 offset =
        bigEndian(m_data + m_tableOffset + object * quint64(m_offsetSize), m_offsetSize);
    if (offset < headerSize || offset >= m_tableOffset)
        malformed();
    return offset;
}

// The element count of the object whose marker is at `position`; moves `position` past the
// marker and the count.
quint64 BinaryGraph::count(quint64 &position) const {
    quint64 count = m_data[position++] & 0x0F;
    if (count != 0x0F)
        return count;
    if (position >= m_tableOffset)
        malformed();
    const uchar countMarker = m_data[position];
    if ((countMarker & 0xF0) != 0x10 || (countMarker & 0x0F) > 3)
        malformed();
    const int countSize = 1 << (countMarker & 0x0F);
    if (position + 1 + quint64(countSize) > m_tableOffset)
        malformed();
    count = bigEndian(m_data + position + 1, countSize);
    position += 1 + quint64(countSize);
    return count;
}

bool BinaryGraph::container(quint64 object, Container &out) const {
    quint64 position = objectOffset(object);
    const int type = m_data[position] >> 4;
    // Arrays, ordered sets, sets and dictionaries refer to other objects; nothing else does.
    if (type < 0xA || type > 0xD)
        return false;
    quint64 references = count(position);
    if (type == 0xD) {
        if (references > ~quint64(0) / 2)
            malformed();
        references *= 2;
    }
    if (references > (m_tableOffset - position) / quint64(m_refSize))
        malformed();
    out = {position, references, type == 0xD};
    return true;
}

// libplist aborts on a dictionary key with a NUL character in it; refuse those first.
void BinaryGraph::checkKey(quint64 object) const {
    quint64 position = objectOffset(object);
    const int type = m_data[position] >> 4;
    if (type != 0x5 && type != 0x6)
        return; // not a string: libplist refuses it itself
    const quint64 characters = count(position);
    const quint64 unitSize = type == 0x5 ? 1 : 2;
    if (characters > (m_tableOffset - position) / unitSize)
        malformed();
    for (quint64 i = 0; i < characters; ++i) {
        const uchar *unit = m_data + position + i * unitSize;
        if (unit[0] == 0 && (unitSize == 1 || unit[1] == 0))
            malformed(QStringLiteral("A dictionary key contains a NUL character."));
    }
}

quint64 BinaryGraph::reference(const Container &c, quint64 i) const {
    const quint64 object = bigEndian(m_data + c.refs + i * quint64(m_refSize), m_refSize);
    if (object >= m_objectCount)
        malformed();
    return object;
}

// Starts on an object not seen before: a leaf settles at once, a container is pushed.
void BinaryGraph::enter(quint64 object) {
    Container c;
    if (!container(object, c)) {
        m_height[object] = 0;
        m_expanded[object] = 1;
        settle(0, 1);
        return;
    }
    if (m_stack.size() >= size_t(PropertyList::maximumNesting))
        tooDeep();
    m_height[object] = inProgress;
    m_stack.push_back({object, c, 0, 0, 1});
}

// Adds a finished child to the container on top of the stack.
void BinaryGraph::settle(int height, quint64 expanded) {
    if (m_stack.empty())
        return;
    if (m_stack.size() + size_t(height) > size_t(PropertyList::maximumNesting))
        tooDeep();
    Frame &top = m_stack.back();
    top.height = std::max(top.height, height);
    top.expanded += expanded;
    if (top.expanded > m_expansionLimit)
        malformed(QStringLiteral("It expands into more than %1 values.").arg(m_expansionLimit));
}

void BinaryGraph::check() {
    m_height.assign(m_objectCount, unknown);
    m_expanded.assign(m_objectCount, 0);
    enter(m_root);
    while (!m_stack.empty()) {
        Frame &top = m_stack.back();
        if (top.next == top.container.count) {
            const Frame done = top;
            m_stack.pop_back();
            m_height[done.object] = done.height + 1;
            m_expanded[done.object] = quint32(done.expanded);
            settle(done.height + 1, done.expanded);
            continue;
        }
        const bool isKey = top.container.dictionary && top.next < top.container.count / 2;
        const quint64 child = reference(top.container, top.next++);
        if (isKey)
            checkKey(child);
        if (m_height[child] == inProgress)
            malformed(QStringLiteral("An object contains itself."));
        if (m_height[child] == unknown)
            enter(child);
        else
            settle(m_height[child], m_expanded[child]);
    }
}

const char *find(const char *from, const char *end, std::string_view needle) {
    if (from >= end)
        return end;
    const auto found = std::search(from, end, needle.begin(), needle.end());
    return found == end ? end : found + needle.size();
}

bool startsWith(const char *p, const char *end, std::string_view prefix) {
    return size_t(end - p) >= prefix.size() && std::memcmp(p, prefix.data(), prefix.size()) == 0;
}

// The end of `<?...?>` or `<!...>` markup that starts at `p` (after '<'): quoted text is
// skipped, and brackets of an internal DTD subset enclose their '>' characters.
const char *declarationEnd(const char *p, const char *end) {
    const bool processingInstruction = *p == '?';
    int brackets = 0;
    for (++p; p < end; ++p) {
        const char c = *p;
        if (c == '"' || c == '\'') {
            p = static_cast<const char *>(std::memchr(p + 1, c, end - p - 1));
            if (!p)
                return end;
        } else if (processingInstruction) {
            if (c == '?' && p + 1 < end && p[1] == '>')
                return p + 2;
        } else if (c == '[') {
            ++brackets;
        } else if (c == ']') {
            brackets = std::max(0, brackets - 1);
        } else if (c == '>' && brackets == 0) {
            return p + 1;
        }
    }
    return end;
}

bool isNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == ':' || c == '.';
}

} // namespace

quint64 PropertyListStructureCheck::expansionLimit(qsizetype size) {
    return std::min(maximumExpandedValues, 16 * quint64(size) + 1024);
}

void PropertyListStructureCheck::checkBinary(QByteArrayView bytes) {
    BinaryGraph graph(bytes);
    graph.check();
}

void PropertyListStructureCheck::checkXml(QByteArrayView bytes) {
    const char *p = bytes.data();
    const char *const end = p + bytes.size();
    // Closing tags before this point lie in markup libplist skips; they do not count.
    const char *quietUntil = p;
    int depth = 0;
    while (p < end) {
        p = static_cast<const char *>(std::memchr(p, '<', end - p));
        if (!p)
            break;
        const char *const open = p++;
        if (open >= quietUntil) {
            if (startsWith(p, end, "!--")) {
                quietUntil = find(p + 3, end, "-->");
                continue;
            }
            if (startsWith(p, end, "![CDATA[")) {
                quietUntil = find(p + 8, end, "]]>");
                continue;
            }
            if (p < end && (*p == '?' || *p == '!')) {
                quietUntil = declarationEnd(p, end);
                continue;
            }
        }
        const bool closing = p < end && *p == '/';
        if (closing)
            ++p;
        const char *const nameStart = p;
        while (p < end && isNameCharacter(*p))
            ++p;
        const std::string_view name(nameStart, size_t(p - nameStart));
        if (closing) {
            if ((name == "array" || name == "dict") && open >= quietUntil && depth > 0)
                --depth;
            continue;
        }
        if (!name.starts_with("array") && !name.starts_with("dict"))
            continue;
        const char *tagEnd = static_cast<const char *>(std::memchr(p, '>', end - p));
        if (tagEnd && tagEnd[-1] == '/' && std::find(p, tagEnd, '"') == tagEnd &&
            std::find(p, tagEnd, '\'') == tagEnd)
            continue; // <array/> holds nothing
        if (++depth > PropertyList::maximumNesting)
            tooDeep();
    }
}
