// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

namespace orvane {

// A texture atlas: every card picture in one image, on a near-square grid, each frame with its
// edge pixels repeated `extrude` pixels outward and `padding` transparent pixels between the
// extruded cells, so a filtering engine never samples a neighbour. Its index is JSON in the
// "hash" layout game engines read: frames by name with x, y, w, h; meta with the image's name
// and size.
inline constexpr int MaxAtlasSide = 16384;
inline constexpr int MaxAtlasPadding = 64;
inline constexpr int MaxAtlasExtrude = 64;

struct AtlasLayout {
    int columns = 0;
    int rows = 0;
    QSize size;           // the whole picture
    QList<QRect> frames;  // each card's own pixels, in the order given
};

// The layout of `count` frames of side x side pixels.
AtlasLayout layOutAtlas(int count, int side, int padding, int extrude);

// The atlas picture (ARGB, transparent between cells) of `pictures`, each already side x side.
QImage composeAtlas(const QList<QImage>& pictures, const AtlasLayout& layout, int extrude);

// The index; `names` one per frame and unique.
QByteArray atlasIndex(const AtlasLayout& layout, const QStringList& names, const QString& imageName,
                      int scale);

// Names made unique in order: a repeated name gets "-2", "-3", ...
QStringList uniqueNames(const QStringList& names);

}  // namespace orvane
