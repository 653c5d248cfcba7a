#include "tools/PropertyListLibplist.h"

#include "tools/PropertyList.h"
#include "tools/PropertyListStructureCheck.h"

#include <QDateTime>
#include <QTimeZone>
#include <QVariantList>
#include <QVariantMap>

#include <plist/plist.h>

#include <cstdlib>
#include <limits>
#include <map>
#include <memory>

namespace {

struct PlistFree {
    void operator()(plist_t node) const { plist_free(node); }
};
using Plist = std::unique_ptr<void, PlistFree>;

struct MallocFree {
    void operator()(void *p) const { std::free(p); }
};

// libplist 2.2 keeps integers as 64-bit unsigned values and remembers only internally
// whether one was negative; its XML writer still tells them apart.
QVariant integerValue(plist_t node) {
    uint64_t value = 0;
    plist_get_uint_val(node, &value);
    if (value <= uint64_t(std::numeric_limits<qint64>::max()))
        return qint64(value);
    char *xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(node, &xml, &length);
    const std::unique_ptr<char, MallocFree> owner(xml);
    const bool negative = xml && QByteArrayView(xml, length).contains("<integer>-");
    if (negative)
        return qint64(value);
    return quint64(value);
}

QDateTime dateValue(plist_t node) {
    int32_t seconds = 0;
    int32_t microseconds = 0;
    plist_get_date_val(node, &seconds, &microseconds);
    // Seconds since the start of 2001, UTC.
    static const QDateTime reference(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
    return reference.addMSecs(qint64(seconds) * 1000 + microseconds / 1000);
}

QVariant convert(plist_t node, int depth);

QVariant dictionaryValue(plist_t node, int depth) {
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(node, &iterator);
    const std::unique_ptr<void, MallocFree> iteratorOwner(iterator);
    std::map<QString, QVariant> entries;
    for (;;) {
        char *key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, iterator, &key, &value);
        const std::unique_ptr<char, MallocFree> keyOwner(key);
        if (!value)
            break;
        entries.insert_or_assign(entries.end(), QString::fromUtf8(key ? key : ""),
                                 convert(value, depth));
    }
    return QVariantMap(std::move(entries));
}

QVariant arrayValue(plist_t node, int depth) {
    const uint32_t size = plist_array_get_size(node);
    QVariantList items;
    items.reserve(size);
    for (uint32_t i = 0; i < size; ++i)
        items.append(convert(plist_array_get_item(node, i), depth));
    return items;
}

// `depth` counts the containers around `node`.
QVariant convert(plist_t node, int depth) {
    switch (plist_get_node_type(node)) {
    case PLIST_DICT:
    case PLIST_ARRAY:
        if (depth >= PropertyList::maximumNesting)
            throw PropertyList::ParseError::malformed(
                QStringLiteral("Containers are nested more than %1 levels deep.")
                    .arg(PropertyList::maximumNesting));
        return plist_get_node_type(node) == PLIST_DICT ? dictionaryValue(node, depth + 1)
                                                       : arrayValue(node, depth + 1);
    case PLIST_STRING:
    case PLIST_KEY: {
        uint64_t length = 0;
        const char *text = plist_get_string_ptr(node, &length);
        return QString::fromUtf8(text, qsizetype(text ? length : 0));
    }
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return bool(value);
    }
    case PLIST_UINT:
        return integerValue(node);
    case PLIST_UID: {
        // Keyed-archive references: a plain integer is all anyone here needs.
        uint64_t value = 0;
        plist_get_uid_val(node, &value);
        if (value > uint64_t(std::numeric_limits<qint64>::max()))
            return quint64(value);
        return qint64(value);
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return value;
    }
    case PLIST_DATE:
        return dateValue(node);
    case PLIST_DATA: {
        uint64_t length = 0;
        const char *bytes = plist_get_data_ptr(node, &length);
        return QByteArray(bytes, qsizetype(bytes ? length : 0));
    }
    case PLIST_NONE:
        break;
    }
    throw PropertyList::ParseError::malformed();
}

QVariant toVariant(plist_t root) {
    const Plist owner(root);
    if (!root)
        throw PropertyList::ParseError::malformed();
    return convert(root, 0);
}

uint32_t libplistLength(QByteArrayView bytes) {
    if (bytes.size() > qsizetype(std::numeric_limits<uint32_t>::max()))
        throw PropertyList::ParseError::malformed(QStringLiteral("It is too large."));
    return uint32_t(bytes.size());
}

} // namespace

QVariant PropertyListLibplist::readXml(QByteArrayView bytes) {
    const uint32_t length = libplistLength(bytes);
    PropertyListStructureCheck::checkXml(bytes);
    plist_t root = nullptr;
    plist_from_xml(bytes.data(), length, &root);
    return toVariant(root);
}

QVariant PropertyListLibplist::readBinary(QByteArrayView bytes) {
    const uint32_t length = libplistLength(bytes);
    PropertyListStructureCheck::checkBinary(bytes);
    plist_t root = nullptr;
    plist_from_bin(bytes.data(), length, &root);
    return toVariant(root);
}
