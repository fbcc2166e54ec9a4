// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>

// Qt reads GIF but cannot write it: a minimal GIF writer for test pictures of at most 256
// colours. It sends a clear code every 250 pixels so every LZW code stays 9 bits wide.
inline QByteArray gifOf(const QImage& image)
{
    QHash<QRgb, int> palette;
    QByteArray table(256 * 3, '\0');
    QByteArray indices;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y) & 0xFFFFFF;
            if (!palette.contains(c)) {
                const int i = int(palette.size()) % 256;
                palette.insert(c, i);
                table[i * 3] = char(qRed(c));
                table[i * 3 + 1] = char(qGreen(c));
                table[i * 3 + 2] = char(qBlue(c));
            }
            indices.append(char(palette.value(c)));
        }
    const auto word = [](QByteArray& out, int v) {
        out.append(char(v & 0xFF));
        out.append(char((v >> 8) & 0xFF));
    };
    QByteArray gif("GIF89a");
    word(gif, image.width());
    word(gif, image.height());
    gif.append(char(0xF7)).append('\0').append('\0');
    gif.append(table);
    gif.append(',');
    word(gif, 0);
    word(gif, 0);
    word(gif, image.width());
    word(gif, image.height());
    gif.append('\0').append(char(8));

    QByteArray stream;
    quint32 buffer = 0;
    int bits = 0;
    const auto code = [&](int c) {
        buffer |= quint32(c) << bits;
        bits += 9;
        while (bits >= 8) {
            stream.append(char(buffer & 0xFF));
            buffer >>= 8;
            bits -= 8;
        }
    };
    for (qsizetype i = 0; i < indices.size(); ++i) {
        if (i % 250 == 0)
            code(256);
        code(quint8(indices[i]));
    }
    code(257);
    if (bits > 0)
        stream.append(char(buffer & 0xFF));
    for (qsizetype at = 0; at < stream.size(); at += 255) {
        const QByteArray block = stream.mid(at, 255);
        gif.append(char(block.size())).append(block);
    }
    gif.append('\0').append(';');
    return gif;
}
