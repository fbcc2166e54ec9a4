#pragma once

#include <QMap>
#include <QRgb>
#include <QString>
#include <QStringList>

#include <optional>

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

    bool operator==(const PictureFit&) const = default;
};

// The text form of the settings, shared by deck columns and orvane-render options:
//   fit = fit | fill | none      scale = percent (with fit = none; 100 is 1 : 1)
//   resample = smooth | nearest  pan_x, pan_y = whole card pixels, any sign
//   key = none | #rrggbb | corners   tolerance = 0..255   keep_dark = yes | no
// A missing or empty value is the default.
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

// The settings of one card from its own and from those given for every card (orvane-render's
// options): its own win, one by one, except that fit and scale choose the size together, so a
// card that gives either takes both from itself. Empty values count as not given; empty when
// neither gives anything (the card's picture is not prepared).
QMap<QString, QString> combinePictureFitSettings(const QMap<QString, QString>& own,
                                                 const QMap<QString, QString>& forEveryCard);

}  // namespace orvane
