// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/picture_layout.h"

#include <algorithm>
#include <cstring>

namespace orvane {
namespace {

// Reads a device front to back through a buffer of its own, never past `stop`, and says why it
// stopped: the end of the file, the read limit, or a device that gave less than its size.
class ByteReader {
public:
    enum class End { None, FileEnd, Limit, ShortRead };

    ByteReader(QIODevice& device, qint64 fileSize, qint64 limit)
        : m_device(device), m_fileSize(fileSize), m_stop(std::min(fileSize, limit))
    {
    }

    qint64 position() const { return m_start + m_at; }
    End end() const { return m_end; }

    bool byte(quint8& out)
    {
        if (m_at >= m_buffer.size() && !refill())
            return false;
        out = quint8(m_buffer[m_at++]);
        return true;
    }
    bool bytes(unsigned char* out, qsizetype count)
    {
        for (qsizetype i = 0; i < count; ++i)
            if (!byte(out[i]))
                return false;
        return true;
    }
    bool skip(qint64 count)
    {
        if (count <= m_buffer.size() - m_at) {
            m_at += qsizetype(count);
            return true;
        }
        const qint64 target = position() + count;
        if (target > m_stop) {
            m_end = target > m_fileSize ? End::FileEnd : End::Limit;
            return false;
        }
        m_start = target;
        m_buffer.clear();
        m_at = 0;
        return true;
    }
    // Moves to the next byte `value` (and past it); false when none is left.
    bool skipPast(char value)
    {
        for (;;) {
            if (m_at >= m_buffer.size() && !refill())
                return false;
            const char* from = m_buffer.constData() + m_at;
            const auto* found =
                static_cast<const char*>(std::memchr(from, value, size_t(m_buffer.size() - m_at)));
            if (found) {
                m_at += qsizetype(found - from) + 1;
                return true;
            }
            m_at = m_buffer.size();
        }
    }

private:
    bool refill()
    {
        const qint64 at = position();
        if (at >= m_stop) {
            m_end = at >= m_fileSize ? End::FileEnd : End::Limit;
            return false;
        }
        m_buffer.resize(qsizetype(std::min<qint64>(64 * 1024, m_stop - at)));
        const qint64 got = m_device.seek(at) ? m_device.read(m_buffer.data(), m_buffer.size()) : -1;
        if (got <= 0) {
            m_buffer.clear();
            m_end = End::ShortRead;
            return false;
        }
        m_buffer.resize(qsizetype(got));
        m_start = at;
        m_at = 0;
        return true;
    }

    QIODevice& m_device;
    qint64 m_fileSize;
    qint64 m_stop;
    QByteArray m_buffer;
    qint64 m_start = 0;
    qsizetype m_at = 0;
    End m_end = End::None;
};

quint32 le(const unsigned char* p, int count)
{
    quint32 value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | p[i];
    return value;
}
quint32 be(const unsigned char* p, int count)
{
    quint32 value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | p[i];
    return value;
}

// The reason a walk stopped early: the reader's end, or damage when the reader is not at one.
PictureLayout stopped(PictureLayout layout, const ByteReader& reader,
                      PictureLayout::Problem otherwise = PictureLayout::Problem::Damaged)
{
    switch (reader.end()) {
    case ByteReader::End::FileEnd: layout.problem = PictureLayout::Problem::Incomplete; break;
    case ByteReader::End::Limit: layout.problem = PictureLayout::Problem::BeyondLimit; break;
    case ByteReader::End::ShortRead: layout.problem = PictureLayout::Problem::ShortRead; break;
    case ByteReader::End::None: layout.problem = otherwise; break;
    }
    return layout;
}

PictureLayout finished(PictureLayout layout, const ByteReader& reader)
{
    layout.end = reader.position();
    return layout;
}

// Sides beyond this are refused by their size alone; the walk does not go on with them.
constexpr qint64 AbsurdSide = 1 << 24;

PictureLayout walkBmp(ByteReader& reader, qint64 fileSize, qint64 limit)
{
    PictureLayout layout;
    layout.format = "bmp";
    unsigned char head[14 + 40] = {};
    if (!reader.bytes(head, 18))
        return stopped(layout, reader);
    const qint64 pixelOffset = le(head + 10, 4);
    const quint32 headerSize = le(head + 14, 4);
    qint64 width = 0, height = 0;
    quint32 bits = 0, compression = 0;
    if (headerSize == 12) {  // the oldest header: 16-bit sides
        if (!reader.bytes(head + 18, 8))
            return stopped(layout, reader);
        width = le(head + 18, 2);
        height = le(head + 20, 2);
        bits = le(head + 24, 2);
    } else if (headerSize >= 40 && headerSize <= 1024) {
        if (!reader.bytes(head + 18, 36))
            return stopped(layout, reader);
        width = qint32(le(head + 18, 4));
        height = qint32(le(head + 22, 4));
        bits = le(head + 28, 2);
        compression = le(head + 30, 4);
    } else {
        return stopped(layout, reader);
    }
    if (height < 0)
        height = -height;  // rows stored top-down
    layout.size = QSize(int(std::clamp<qint64>(width, -1, AbsurdSide)),
                        int(std::clamp<qint64>(height, -1, AbsurdSide)));
    if (width <= 0 || height <= 0 || width >= AbsurdSide || height >= AbsurdSide)
        return layout;  // refused by its size
    if (pixelOffset >= fileSize) {
        layout.problem = PictureLayout::Problem::Incomplete;
        return layout;
    }
    constexpr quint32 Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, AlphaBitFields = 6;
    if (compression == Rgb || compression == BitFields || compression == AlphaBitFields) {
        if (!(bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32))
            return stopped(layout, reader);
        const qint64 stride = (width * bits + 31) / 32 * 4;
        layout.end = pixelOffset + stride * height;
        if (layout.end > fileSize)
            layout.problem = PictureLayout::Problem::Incomplete;
        else if (layout.end > limit)
            layout.problem = PictureLayout::Problem::BeyondLimit;
        return layout;
    }
    if (compression != Rle8 && compression != Rle4)
        return stopped(layout, reader);
    // Run-length coded rows: two-byte codes up to the end-of-picture code (or the last row).
    layout.runLength = true;
    if (!reader.skip(pixelOffset - reader.position()))
        return stopped(layout, reader);
    qint64 row = 0;
    for (;;) {
        unsigned char code[2];
        if (!reader.bytes(code, 2))
            return row >= height && reader.end() == ByteReader::End::FileEnd
                       ? finished(layout, reader)
                       : stopped(layout, reader);
        if (code[0] != 0)
            continue;  // a run
        if (code[1] == 0) {
            ++row;
        } else if (code[1] == 1) {
            return finished(layout, reader);
        } else if (code[1] == 2) {
            unsigned char delta[2];
            if (!reader.bytes(delta, 2))
                return stopped(layout, reader);
            row += delta[1];
        } else {
            const qint64 count = compression == Rle8 ? code[1] : (code[1] + 1) / 2;
            if (!reader.skip(count + (count & 1)))
                return stopped(layout, reader);
        }
    }
}

// Sub-blocks: a length byte, that many bytes, until a length of zero.
bool skipSubBlocks(ByteReader& reader)
{
    for (;;) {
        quint8 length = 0;
        if (!reader.byte(length))
            return false;
        if (length == 0)
            return true;
        if (!reader.skip(length))
            return false;
    }
}

// Up to the end of the first frame's data: only the first frame is shown.
PictureLayout walkGif(ByteReader& reader)
{
    PictureLayout layout;
    layout.format = "gif";
    unsigned char screen[13];
    if (!reader.bytes(screen, 13))
        return stopped(layout, reader);
    layout.size = QSize(int(le(screen + 6, 2)), int(le(screen + 8, 2)));
    if ((screen[10] & 0x80) && !reader.skip(3 << ((screen[10] & 7) + 1)))
        return stopped(layout, reader);
    for (;;) {
        quint8 block = 0;
        if (!reader.byte(block))
            return stopped(layout, reader);
        if (block == 0x21) {  // an extension: its label, then sub-blocks
            quint8 label = 0;
            if (!reader.byte(label) || !skipSubBlocks(reader))
                return stopped(layout, reader);
        } else if (block == 0x2C) {  // the first frame
            unsigned char frame[9];  // place, size, local palette flag and size
            if (!reader.bytes(frame, 9))
                return stopped(layout, reader);
            if (layout.size.isEmpty())
                layout.size = QSize(int(le(frame + 4, 2)), int(le(frame + 6, 2)));
            quint8 codeSize = 0;
            if ((frame[8] & 0x80) && !reader.skip(3 << ((frame[8] & 7) + 1)))
                return stopped(layout, reader);
            if (!reader.byte(codeSize))
                return stopped(layout, reader);
            if (!skipSubBlocks(reader))
                return stopped(layout, reader);
            return finished(layout, reader);
        } else {
            return stopped(layout, reader);  // the trailer before any frame, or garbage
        }
    }
}

PictureLayout walkPng(ByteReader& reader)
{
    PictureLayout layout;
    layout.format = "png";
    if (!reader.skip(8))
        return stopped(layout, reader);
    for (bool first = true;; first = false) {
        unsigned char chunk[8];
        if (!reader.bytes(chunk, 8))
            return stopped(layout, reader);
        const qint64 length = be(chunk, 4);
        if (length > 0x7FFFFFFF)
            return stopped(layout, reader);
        if (first) {
            unsigned char header[8];
            if (std::memcmp(chunk + 4, "IHDR", 4) != 0 || length < 8 || !reader.bytes(header, 8))
                return stopped(layout, reader);
            const qint64 width = be(header, 4), height = be(header + 4, 4);
            layout.size =
                QSize(int(std::min(width, AbsurdSide)), int(std::min(height, AbsurdSide)));
            if (!reader.skip(length - 8 + 4))
                return stopped(layout, reader);
            continue;
        }
        if (!reader.skip(length + 4))  // the data and its check sum
            return stopped(layout, reader);
        if (std::memcmp(chunk + 4, "IEND", 4) == 0)
            return finished(layout, reader);
    }
}

bool isFrameMarker(quint8 marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Markers up to the end of image; after each start of scan, the coded data up to the next
// marker (0xFF followed by anything but 0x00, a restart marker or more 0xFF).
PictureLayout walkJpeg(ByteReader& reader)
{
    PictureLayout layout;
    layout.format = "jpeg";
    if (!reader.skip(2))
        return stopped(layout, reader);
    bool sawFrame = false;
    quint8 pending = 0;  // a marker the scan of coded data has already read
    for (;;) {
        quint8 marker = pending;
        pending = 0;
        if (marker == 0) {
            if (!reader.skipPast(char(0xFF)))
                return stopped(layout, reader);
            do {
                if (!reader.byte(marker))
                    return stopped(layout, reader);
            } while (marker == 0xFF);
        }
        if (marker == 0xD9)
            return sawFrame ? finished(layout, reader) : stopped(layout, reader);
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;  // stray or stand-alone: no length
        if (marker == 0xD8)
            return stopped(layout, reader);
        unsigned char length[2];
        if (!reader.bytes(length, 2))
            return stopped(layout, reader);
        const qint64 size = be(length, 2);
        if (size < 2)
            return stopped(layout, reader);
        if (isFrameMarker(marker)) {
            unsigned char frame[5];
            if (size < 7 || !reader.bytes(frame, 5) || !reader.skip(size - 7))
                return stopped(layout, reader);
            layout.size = QSize(int(be(frame + 3, 2)), int(be(frame + 1, 2)));
            sawFrame = true;
            continue;
        }
        if (!reader.skip(size - 2))
            return stopped(layout, reader);
        if (marker == 0xDA) {
            if (!sawFrame)
                return stopped(layout, reader);
            if (++layout.scans > maxJpegScans(layout.size)) {
                layout.problem = PictureLayout::Problem::TooManyScans;
                return layout;
            }
            // The coded data: every 0xFF in it is followed by 0x00 or a restart marker.
            for (;;) {
                if (!reader.skipPast(char(0xFF)))
                    return stopped(layout, reader);
                quint8 next = 0;
                do {
                    if (!reader.byte(next))
                        return stopped(layout, reader);
                } while (next == 0xFF);
                if (next != 0x00 && !(next >= 0xD0 && next <= 0xD7)) {
                    pending = next;
                    break;
                }
            }
        }
    }
}

}  // namespace

int maxJpegScans(const QSize& size)
{
    const qint64 pixels = std::max<qint64>(1, qint64(size.width()) * std::max(1, size.height()));
    return int(std::clamp<qint64>(JpegScanPixelBudget / pixels, 1, MaxJpegScans));
}

PictureLayout walkPictureLayout(QIODevice& device, qint64 fileSize, qint64 limit)
{
    ByteReader reader(device, fileSize, limit);
    unsigned char signature[8] = {};
    const qint64 available = std::min<qint64>(8, std::min(fileSize, limit));
    if (!device.seek(0) || device.peek(reinterpret_cast<char*>(signature), available) < 2) {
        PictureLayout layout;
        layout.problem = PictureLayout::Problem::NotAPicture;
        return layout;
    }
    if (signature[0] == 'B' && signature[1] == 'M')
        return walkBmp(reader, fileSize, limit);
    if (std::memcmp(signature, "GIF87a", 6) == 0 || std::memcmp(signature, "GIF89a", 6) == 0)
        return walkGif(reader);
    if (std::memcmp(signature, "\x89PNG\r\n\x1a\n", 8) == 0)
        return walkPng(reader);
    if (signature[0] == 0xFF && signature[1] == 0xD8 && signature[2] == 0xFF)
        return walkJpeg(reader);
    PictureLayout layout;
    layout.problem = PictureLayout::Problem::NotAPicture;
    return layout;
}

}  // namespace orvane
