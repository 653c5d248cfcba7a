#include "gallery/PngRows.h"

#include <QtEndian>

#include <cstdlib>
#include <cstring>

#include <zlib.h>

struct PngRows::Inflater {
    z_stream stream{};
    bool open = false;
    bool failed = false;

    ~Inflater() {
        if (open)
            inflateEnd(&stream);
    }
};

namespace {

quint32 bigEndian(const char *bytes) {
    return qFromBigEndian<quint32>(bytes);
}

int channelCount(int colourType) {
    switch (colourType) {
    case 0: // grey
    case 3: // palette
        return 1;
    case 4: // grey and alpha
        return 2;
    case 2: // RGB
        return 3;
    case 6: // RGBA
        return 4;
    default:
        return 0;
    }
}

} // namespace

PngRows::PngRows(const QByteArray &bytes)
    : m_inflater(std::make_unique<Inflater>()) {
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    if (!bytes.startsWith(signature))
        return;
    qsizetype offset = signature.size();
    bool headerRead = false;
    while (offset + 12 <= bytes.size()) {
        const quint32 length = bigEndian(bytes.constData() + offset);
        const QByteArray type = bytes.mid(offset + 4, 4);
        if (length > quint32(bytes.size() - offset - 12))
            return;
        const char *payload = bytes.constData() + offset + 8;
        if (type == "IHDR") {
            if (length != 13)
                return;
            m_width = int(bigEndian(payload));
            m_height = int(bigEndian(payload + 4));
            const int depth = uchar(payload[8]);
            const int colourType = uchar(payload[9]);
            m_interlaced = payload[12] != 0;
            const int channels = channelCount(colourType);
            if (m_width <= 0 || m_height <= 0 || channels == 0 ||
                (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16))
                return;
            m_rowBytes = (qsizetype(m_width) * channels * depth + 7) / 8;
            m_filterStep = qMax(1, channels * depth / 8);
            m_layout = QByteArray(payload, 13);
            headerRead = true;
        } else if (type == "PLTE" || type == "tRNS") {
            m_layout += type + QByteArray(payload, length); // the colours indices stand for
        } else if (type == "IDAT") {
            m_data.append(payload, length);
        } else if (type == "IEND") {
            break;
        }
        offset += 12 + length;
    }
    if (!headerRead || m_data.isEmpty())
        return;
    if (inflateInit(&m_inflater->stream) != Z_OK)
        return;
    m_inflater->open = true;
    m_inflater->stream.next_in = reinterpret_cast<Bytef *>(m_data.data());
    m_inflater->stream.avail_in = uInt(m_data.size());
    m_row.resize(m_rowBytes + 1);
    m_valid = true;
}

PngRows::~PngRows() = default;

const uchar *PngRows::nextRow() {
    if (!m_valid || m_inflater->failed)
        return nullptr;
    z_stream &stream = m_inflater->stream;
    stream.next_out = reinterpret_cast<Bytef *>(m_row.data());
    stream.avail_out = uInt(m_row.size());
    while (stream.avail_out > 0) {
        const int status = inflate(&stream, Z_NO_FLUSH);
        if (status == Z_STREAM_END && stream.avail_out > 0)
            break;
        if (status != Z_OK && status != Z_STREAM_END) {
            m_inflater->failed = true;
            return nullptr;
        }
    }
    if (stream.avail_out > 0) {
        m_inflater->failed = true;
        return nullptr;
    }
    return reinterpret_cast<const uchar *>(m_row.constData());
}

bool PngRows::unfilter(const uchar *stored, const uchar *previous, uchar *raw, qsizetype bytes,
                       int step) {
    const uchar *in = stored + 1;
    switch (stored[0]) {
    case 0:
        std::memcpy(raw, in, size_t(bytes));
        return true;
    case 1:
        for (qsizetype i = 0; i < bytes; ++i)
            raw[i] = uchar(in[i] + (i >= step ? raw[i - step] : 0));
        return true;
    case 2:
        for (qsizetype i = 0; i < bytes; ++i)
            raw[i] = uchar(in[i] + previous[i]);
        return true;
    case 3:
        for (qsizetype i = 0; i < bytes; ++i)
            raw[i] = uchar(in[i] + ((i >= step ? raw[i - step] : 0) + previous[i]) / 2);
        return true;
    case 4:
        for (qsizetype i = 0; i < bytes; ++i) {
            const int a = i >= step ? raw[i - step] : 0;
            const int b = previous[i];
            const int c = i >= step ? previous[i - step] : 0;
            const int p = a + b - c;
            const int pa = std::abs(p - a);
            const int pb = std::abs(p - b);
            const int pc = std::abs(p - c);
            raw[i] = uchar(in[i] + (pa <= pb && pa <= pc ? a : pb <= pc ? b : c));
        }
        return true;
    default:
        return false;
    }
}
