// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QSize>

namespace orvane {

// What a picture file's structure says before any pixel is decoded: its format, its size, and
// where the data of the (first) picture ends. Walking the structure reads the headers and, where
// the format gives no lengths (a JPEG's coded data), scans the bytes for the next marker.
struct PictureLayout {
    enum class Problem {
        None,
        NotAPicture,   // no BMP, GIF, JPEG or PNG signature
        Incomplete,    // the file ends before the picture's data does
        BeyondLimit,   // the picture's data goes on past the bytes that may be read
        ShortRead,     // the file gave fewer bytes than its size says
        Damaged,       // the structure makes no sense
        TooManyScans,  // a progressive JPEG with more scans than are decoded
    };
    Problem problem = Problem::None;
    QByteArray format;       // "bmp", "gif", "jpeg" or "png", the name Qt's reader knows
    QSize size;              // pixels, as the header gives them (unchecked)
    qint64 end = 0;          // the first byte after the picture's data
    int scans = 0;           // a JPEG's scans
    bool runLength = false;  // a run-length coded BMP: its codes may skip pixels
};

// The most scans of a progressive JPEG decoded. Each scan passes over the whole picture (about
// 10 ms for 25 megapixels here), so a file of thousands of tiny scans costs minutes; common
// encoders write about ten. At most 100 scans, and fewer for big pictures: scans x pixels stays
// within the budget (32 scans of 25 megapixels).
inline constexpr int MaxJpegScans = 100;
inline constexpr qint64 JpegScanPixelBudget = 32LL * 25 * 1000 * 1000;
int maxJpegScans(const QSize& size);

// Walks the structure of the picture in `device` (from its start), reading no byte at or after
// `limit` and none after `fileSize`.
PictureLayout walkPictureLayout(QIODevice& device, qint64 fileSize, qint64 limit);

}  // namespace orvane
