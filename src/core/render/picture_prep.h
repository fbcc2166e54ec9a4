// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/picture_fit.h"

#include <QImage>
#include <QPoint>
#include <QSize>

#include <vector>

namespace orvane {

// The main picture box's picture is drawn from its own upper-left corner at the scroll bars'
// offset, which runs 0..62 to the right and down only. So no pixel of it right of column 61 or
// below row 61 can ever reach the card, whatever the scroll bars: a prepared picture is at most
// 62 x 62, and it holds everything the card can show at any scroll value.
inline constexpr int PreparedPictureMaxSide = 62;

// Where the picture goes. Pan is in card pixels, measured from the centred picture:
//   scaled   the size of the whole picture after scaling (Fit: inside 62 x 62, Fill: covering
//            it, None: the picture's own size, Percent: that share of it; at least 1 x 1);
//   offset   where the scaled picture's upper-left pixel lands with the scroll bars at 0:
//            floor((62 - scaled) / 2) + pan, on each axis; negative pans move it left and up;
//   prepared the size of the prepared picture: card pixels from (0, 0) to the scaled picture's
//            right and bottom edges, at most 62 x 62. Its pixel (x, y) is the scaled picture's
//            pixel (x - offset.x, y - offset.y), pure black (transparent) where there is none.
//            When nothing of the picture reaches the card it is 1 x 1 pure black.
struct PictureGeometry {
    QSize scaled;
    QPoint offset;
    QSize prepared;
};

PictureGeometry pictureGeometry(QSize source, const PictureFit& fit);
// The geometry for a card drawn `scale` times as large: every size, offset and pan multiplied
// (the card is 62 * scale pixels a side); at scale 1 the same as above.
PictureGeometry pictureGeometry(QSize source, const PictureFit& fit, int scale);

// The preparation of a picture as it is loaded: 1 : 1, its upper-left pixel on the card's, so
// the prepared picture is the upper-left part of it that the card can show.
PictureFit asLoadedFit(QSize source);

// How much of each source pixel is subject (255) rather than background (0), row by row; empty
// when nothing is background.
struct SubjectMask {
    std::vector<quint8> values;
    bool isEmpty() const { return values.empty(); }
};

// The background of `source` as `fit.key` chooses: a colour with its tolerance, or the regions
// flooded from the four corners (each corner's own colour, with the tolerance, 4-connected),
// which stop where the subject starts.
SubjectMask subjectMask(const QImage& source, const PictureFit& fit);

// The picture that goes into the main picture box: `source` (any size, RGB) scaled, placed and
// cropped as `fit` says, its background pure black, and with keepDarkVisible every other pure
// black pixel (1, 1, 1). A card pixel is background when less than half of what it is sampled
// from is subject; its colour comes from the subject part only, so no key colour bleeds in.
// A null source gives a null picture.
QImage preparePicture(const QImage& source, const PictureFit& fit);

// The picture for a card drawn `scale` times as large, prepared again from `source` so that a
// large source keeps its detail; at scale 1 the same pixels as preparePicture.
QImage preparePictureAtScale(const QImage& source, const PictureFit& fit, int scale);

// The same from a source whose mask is known already.
QImage preparePicture(const QImage& source, const SubjectMask& mask, const PictureFit& fit);

// A fast preparation for a live preview: keeps the mask and a reduced copy of the source (a few
// times the scaled picture's size) and rebuilds them only when the key or the size changes, so
// moving the picture costs only the 62 x 62 pixels it makes.
class PicturePreview {
public:
    PicturePreview() = default;
    explicit PicturePreview(const QImage& source);

    const QImage& source() const { return m_source; }
    // The preview of `fit`: the prepared picture made from the reduced copy.
    QImage prepared(const PictureFit& fit);
    // The finished picture from the full source, as preparePicture gives it.
    QImage finished(const PictureFit& fit);

private:
    void updateMask(const PictureFit& fit);
    void updateReduced(const PictureFit& fit);

    QImage m_source;
    SubjectMask m_mask;
    bool m_maskValid = false;
    PictureFit m_maskFit;  // the key settings m_mask was made for
    QImage m_reduced;      // the reduced copy (null: the source itself is small enough)
    SubjectMask m_reducedMask;
    QSize m_reducedFor;  // the scaled size and resampling the copy was made for
    Resample m_reducedResample = Resample::Smooth;
};

}  // namespace orvane
