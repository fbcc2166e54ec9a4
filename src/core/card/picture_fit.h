// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QMap>
#include <QRgb>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace orvane {

// How a picture of any size is fitted to the card before it goes into the main picture box.
enum class FitMode {
    Fit,      // the whole picture inside the card
    Fill,     // the card covered, the rest cropped
    None,     // 1 : 1, one picture pixel a card pixel
    Percent,  // scalePercent of the picture's own size
};

enum class Resample {
    Smooth,   // area average when shrinking, bilinear when enlarging: photos
    Nearest,  // every card pixel one picture pixel: pixel art
};

enum class KeyMode {
    None,     // nothing is background
    Colour,   // every pixel near keyColour is background
    Corners,  // the regions near the four corner colours, flooded from the corners
};

// What happens to the prepared picture's colours.
enum class ColourMode {
    All,      // every colour kept
    Reduce,   // reduced to colourCount colours chosen for the picture
    Palette,  // each pixel one of paletteColours
};

enum class Dither {
    None,       // each pixel its nearest colour
    Ordered,    // a 4 x 4 Bayer threshold pattern
    Diffusion,  // the error spread to the neighbours still to come
};

enum class Outline {
    None,
    Outside,  // the transparent pixels beside the picture's shape
    Inside,   // the shape's own pixels beside transparency
};

inline constexpr int MinColours = 2;
inline constexpr int MaxColours = 256;
inline constexpr int MaxDitherStrength = 100;
// The name of the palette made of the card parts' own colours.
inline constexpr const char* PartsPaletteName = "parts";

inline constexpr double MinScalePercent = 1.0;
inline constexpr double MaxScalePercent = 10000.0;
inline constexpr int MaxPan = 100000;  // far beyond any picture the tool accepts
inline constexpr int MaxTolerance = 255;

struct PictureFit {
    FitMode mode = FitMode::Fit;
    double scalePercent = 100.0;  // used by FitMode::Percent
    Resample resample = Resample::Smooth;
    int panX = 0;  // card pixels; the centred picture moves right (+) / left (-)
    int panY = 0;  // card pixels; down (+) / up (-)
    KeyMode key = KeyMode::None;
    QRgb keyColour = 0xFF000000;   // used by KeyMode::Colour; alpha ignored
    int tolerance = 0;             // 0..255: largest difference in any one channel that matches
    bool keepDarkVisible = false;  // pure black that is not background becomes (1, 1, 1)

    ColourMode colours = ColourMode::All;
    int colourCount = 16;  // MinColours..MaxColours, used by ColourMode::Reduce
    // With ColourMode::Palette: where the palette comes from ("parts" or a palette file's path,
    // as the user gave it) and its colours. The colours are kept with the settings, so a card
    // prepares the same pixels when the file is gone; empty until they are read.
    QString palette;
    std::vector<QRgb> paletteColours;
    Dither dither = Dither::None;
    int ditherStrength = MaxDitherStrength;  // 0..100 percent
    Outline outline = Outline::None;
    QRgb outlineColour = 0xFFFFFFFF;  // never pure black, which would be transparent

    // The colour step changes the prepared picture at all.
    bool changesColours() const { return colours != ColourMode::All || outline != Outline::None; }

    bool operator==(const PictureFit&) const = default;
};

// The text form of the settings, shared by deck columns and orvane-render options:
//   fit = fit | fill | none      scale = percent (with fit = none; 100 is 1 : 1)
//   resample = smooth | nearest  pan_x, pan_y = whole card pixels, any sign
//   key = none | #rrggbb | corners   tolerance = 0..255   keep_dark = yes | no
//   colours = all | 2..256           palette = parts | a palette file's path
//   dither = none | ordered | diffusion, optionally followed by a strength: "diffusion 60"
//   outline = none | outside | inside   outline_colour = #rrggbb (not #000000)
// and, not a column or option but kept in card files, palette_colours = "#rrggbb #rrggbb ...".
// A palette overrides colours. A missing or empty value is the default.
QStringList pictureFitNames();

struct PictureFitProblem {
    QString name;     // the setting that is wrong
    QString message;  // what is wrong with it, for the user
};

std::optional<PictureFit> parsePictureFit(const QMap<QString, QString>& settings,
                                          PictureFitProblem* problem);

// Every setting as text; parsePictureFit gives back an equal preparation (a percentage of
// exactly 100 reads back as 1 : 1, which prepares the same pixels).
QMap<QString, QString> pictureFitSettings(const PictureFit& fit);

// Only the settings that differ from the defaults, for short command lines and deck cells.
QMap<QString, QString> changedPictureFitSettings(const PictureFit& fit);

QString keyColourText(QRgb colour);  // "#rrggbb"

// The name of the setting that keeps a palette's colours in a card file.
QString paletteColoursName();

// The settings of one card from its own and from those given for every card (orvane-render's
// options): its own win, one by one, except that fit and scale choose the size together, so a
// card that gives either takes both from itself. Empty values count as not given; empty when
// neither gives anything (the card's picture is not prepared).
QMap<QString, QString> combinePictureFitSettings(const QMap<QString, QString>& own,
                                                 const QMap<QString, QString>& forEveryCard);

// True when the main picture hides the base everywhere it would show: the blue and the red
// card, rendered alike but for their base, hold the same pixels. False for a missing card.
bool pictureHidesBothBases(const QImage& blueCard, const QImage& redCard);
// What the editor says then.
QString pictureHidesBothBasesNote();

}  // namespace orvane
