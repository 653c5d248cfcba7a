#pragma once

#include <QByteArray>

#include <memory>

// Reads the rows of a non-interlaced PNG image one at a time, as stored: a filter byte, then
// the filtered bytes of the row. Only what comparing two captures needs; anything else reads
// as unsupported.
class PngRows {
public:
    // Parses the header and gathers the image data of `bytes`. isValid() is false for data
    // that is not a PNG image; isSupported() also for an interlaced one.
    explicit PngRows(const QByteArray &bytes);
    ~PngRows();
    PngRows(const PngRows &) = delete;
    PngRows &operator=(const PngRows &) = delete;

    bool isValid() const { return m_valid; }
    bool isSupported() const { return m_valid && !m_interlaced; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    // Everything that decides how rows are stored: two images with equal layouts store equal
    // pixels as equal bytes.
    QByteArray layout() const { return m_layout; }
    qsizetype rowBytes() const { return m_rowBytes; } // without the filter byte
    int filterStep() const { return m_filterStep; }   // bytes per pixel, at least 1

    // The next stored row (filter byte first, rowBytes() + 1 bytes), valid until the next
    // call; null when the data ends early or is corrupt.
    const uchar *nextRow();

    // Undoes the row's filter: `raw` receives the row's bytes, given the previous row's
    // (zeros before the first row). Returns false for an unknown filter.
    static bool unfilter(const uchar *stored, const uchar *previousRaw, uchar *raw, qsizetype bytes,
                         int step);

private:
    struct Inflater;
    std::unique_ptr<Inflater> m_inflater;
    QByteArray m_data;
    QByteArray m_row;
    QByteArray m_layout;
    qsizetype m_rowBytes = 0;
    int m_width = 0;
    int m_height = 0;
    int m_filterStep = 1;
    bool m_valid = false;
    bool m_interlaced = false;
};
