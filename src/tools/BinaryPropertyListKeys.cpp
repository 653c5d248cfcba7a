#include "tools/BinaryPropertyListKeys.h"

#include "tools/PropertyList.h"
#include "tools/PropertyListStructureCheck.h"

#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

[[noreturn]] void refuse() {
    throw PropertyList::ParseError::malformed();
}

// The layout: "bplist00", the objects, the offset table and a 32-byte trailer. Every position is
// an offset into the bytes and is checked before it is read.
class Objects {
public:
    explicit Objects(QByteArrayView bytes);

    // Checks every object reachable from the root as libplist parses it.
    void check();
    bool rootIsDictionary() const { return type(m_root) == 0xD; }
    QSet<QString> rootKeys() const;

private:
    struct Span {
        quint64 start; // first byte after the marker and any count
        quint64 count; // elements, bytes or UTF-16 units
    };

    quint64 offsetOf(quint64 object) const;
    int type(quint64 object) const { return m_data[offsetOf(object)] >> 4; }
    Span span(quint64 object) const;
    quint64 reference(quint64 position) const;
    bool valid(quint64 object) const;
    QString keyText(quint64 object) const;

    quint64 bigEndian(quint64 position, quint64 size) const {
        quint64 value = 0;
        for (quint64 i = 0; i < size; ++i)
            value = value << 8 | m_data[position + i];
        return value;
    }

    const uchar *m_data;
    quint64 m_size;
    quint64 m_offsetSize = 0;
    quint64 m_refSize = 0;
    quint64 m_objectCount = 0;
    quint64 m_root = 0;
    quint64 m_tableOffset = 0;
};

// The structure check has already vouched for the trailer: sizes of 1 to 8 bytes, a root among
// the objects and an offset table inside the file.
Objects::Objects(QByteArrayView bytes)
    : m_data(reinterpret_cast<const uchar *>(bytes.data()))
    , m_size(quint64(bytes.size())) {
    if (m_size < 40 || std::memcmp(m_data, "bplist00", 8) != 0)
        refuse();
    const quint64 trailer = m_size - 32;
    m_offsetSize = m_data[trailer + 6];
    m_refSize = m_data[trailer + 7];
    m_objectCount = bigEndian(trailer + 8, 8);
    m_root = bigEndian(trailer + 16, 8);
    m_tableOffset = bigEndian(trailer + 24, 8);
    if (m_offsetSize < 1 || m_offsetSize > 8 || m_refSize < 1 || m_refSize > 8 ||
        m_objectCount == 0 || m_root >= m_objectCount || m_tableOffset < 8 ||
        m_tableOffset >= trailer || m_objectCount > (trailer - m_tableOffset) / m_offsetSize)
        refuse();
}

quint64 Objects::offsetOf(quint64 object) const {
    const quint64 offset = bigEndian(m_tableOffset + object * m_offsetSize, m_offsetSize);
    if (offset >= m_tableOffset)
        refuse();
    return offset;
}

// Where the contents of a data, string or container object start, and how many elements it has:
// a count of 15 or more follows the marker as an integer object of 2^n bytes (of which the last
// eight count).
Objects::Span Objects::span(quint64 object) const {
    quint64 position = offsetOf(object);
    quint64 count = m_data[position++] & 0x0F;
    if (count == 0x0F) {
        const uchar marker = m_data[position++]; // the table follows, so this byte exists
        if (marker >> 4 != 0x1)
            refuse();
        const quint64 size = quint64(1) << (marker & 0x0F);
        if (position + size > m_tableOffset) // position may be one past the table's start
            refuse();
        count = size > 8 ? bigEndian(position + size - 8, 8) : bigEndian(position, size);
        position += size;
    }
    return {position, count};
}

quint64 Objects::reference(quint64 position) const {
    if (position > m_tableOffset || m_refSize > m_tableOffset - position)
        refuse();
    const quint64 object = bigEndian(position, m_refSize);
    if (object >= m_objectCount)
        refuse();
    return object;
}

// Whether libplist reads the object itself; the objects it refers to are checked separately.
bool Objects::valid(quint64 object) const {
    const quint64 position = offsetOf(object);
    const int kind = m_data[position] >> 4;
    const int low = m_data[position] & 0x0F;
    const quint64 room = m_tableOffset - position - 1; // bytes after the marker
    switch (kind) {
    case 0x0: // null is refused, true and false are fine
        return low == 0x8 || low == 0x9;
    case 0x1: // integers of 1, 2, 4, 8 or 16 bytes
        return low <= 4 && (quint64(1) << low) <= room;
    case 0x2: // reals of 4 or 8 bytes
        return (low == 2 || low == 3) && (quint64(1) << low) <= room;
    case 0x3: // dates of 8 bytes
        return low == 3 && 8 <= room;
    case 0x4: // data and ASCII strings
    case 0x5: {
        const Span s = span(object);
        return s.count <= m_tableOffset - s.start;
    }
    case 0x6: { // UTF-16 strings; an empty one is refused
        const Span s = span(object);
        return s.count > 0 && s.count <= (m_tableOffset - s.start) / 2;
    }
    case 0x8: { // UIDs of 1 to 16 bytes whose value fits 32 bits
        const quint64 size = quint64(low) + 1;
        if (size > room)
            return false;
        const quint64 last = size > 8 ? 8 : size;
        return bigEndian(position + 1 + size - last, last) <= std::numeric_limits<quint32>::max();
    }
    case 0xA: // arrays and sets: each reference must lie before the table
    case 0xC:
    case 0xD: {
        const Span s = span(object);
        if (s.count > m_tableOffset - s.start)
            return false;
        const quint64 references = kind == 0xD ? 2 * s.count : s.count;
        return references <= (m_tableOffset - s.start) / m_refSize;
    }
    default: // 0x7, 0x9, ordered sets (0xB), 0xE and 0xF
        return false;
    }
}

void Objects::check() {
    std::vector<bool> seen(m_objectCount, false);
    std::vector<quint64> pending{m_root};
    seen[m_root] = true;
    while (!pending.empty()) {
        const quint64 object = pending.back();
        pending.pop_back();
        if (!valid(object))
            refuse();
        const int kind = type(object);
        if (kind != 0xA && kind != 0xC && kind != 0xD)
            continue;
        const Span s = span(object);
        const quint64 references = kind == 0xD ? 2 * s.count : s.count;
        for (quint64 i = 0; i < references; ++i) {
            const quint64 child = reference(s.start + i * m_refSize);
            // Keys must be strings.
            if (kind == 0xD && i < s.count && type(child) != 0x5 && type(child) != 0x6)
                refuse();
            if (!seen[child]) {
                seen[child] = true;
                pending.push_back(child);
            }
        }
    }
}

// A key as libplist turns it into UTF-8 and the full reader into a QString: ASCII strings byte
// for byte (the structure check has refused NULs), UTF-16 ones with libplist's handling of
// surrogates that do not pair up (a lead without its trail is dropped, two leads in a row drop
// both, a lone trail is dropped, and a trail pairs with the last lead that started a pair even
// across other characters).
QString Objects::keyText(quint64 object) const {
    const Span s = span(object);
    const char *begin = reinterpret_cast<const char *>(m_data + s.start);
    if (type(object) == 0x5)
        return QString::fromUtf8(begin, qsizetype(s.count));
    std::string utf8;
    utf8.reserve(size_t(s.count) * 3);
    bool leadPending = false;
    quint32 pair = 0;
    for (quint64 i = 0; i < s.count; ++i) {
        const quint32 unit = quint32(bigEndian(s.start + 2 * i, 2));
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (!leadPending)
                pair = 0x10000 + ((unit & 0x3FF) << 10);
            leadPending = !leadPending;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            if (leadPending) {
                leadPending = false;
                const quint32 c = pair | (unit & 0x3FF);
                utf8 += char(0xF0 | (c >> 18 & 0x07));
                utf8 += char(0x80 | (c >> 12 & 0x3F));
                utf8 += char(0x80 | (c >> 6 & 0x3F));
                utf8 += char(0x80 | (c & 0x3F));
            }
        } else if (unit >= 0x800) {
            utf8 += char(0xE0 | (unit >> 12 & 0x0F));
            utf8 += char(0x80 | (unit >> 6 & 0x3F));
            utf8 += char(0x80 | (unit & 0x3F));
        } else if (unit >= 0x80) {
            utf8 += char(0xC0 | (unit >> 6 & 0x1F));
            utf8 += char(0x80 | (unit & 0x3F));
        } else {
            utf8 += char(unit);
        }
    }
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

QSet<QString> Objects::rootKeys() const {
    const Span s = span(m_root);
    QSet<QString> keys;
    keys.reserve(qsizetype(s.count));
    for (quint64 i = 0; i < s.count; ++i)
        keys.insert(keyText(reference(s.start + i * m_refSize)));
    return keys;
}

} // namespace

std::optional<QSet<QString>> BinaryPropertyListKeys::read(QByteArrayView bytes) {
    if (bytes.size() > qsizetype(std::numeric_limits<uint32_t>::max()))
        throw PropertyList::ParseError::malformed(QStringLiteral("It is too large."));
    PropertyListStructureCheck::checkBinary(bytes);
    Objects objects(bytes);
    objects.check();
    if (!objects.rootIsDictionary())
        return std::nullopt;
    return objects.rootKeys();
}
