// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card_colour.h"
#include "render/card_parts.h"
#include "system/progress.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace orvane {

// Which faces of every card an output holds.
enum class CardColours { Both, Blue, Red };

// "both", "blue", "red" (any case); none for other text.
std::optional<CardColours> cardColoursFromName(const QString& name);
// The faces in the order they are written: blue before red.
QList<CardColour> cardFaces(CardColours colours);
QString colourName(CardColour colour);  // "blue" or "red"
// The picture of that face.
const QImage& cardFace(const RenderedCard& card, CardColour colour);

enum class CutLines { Corners, Full, None };
// "corners", "full", "none" (any case); none for other text.
std::optional<CutLines> cutLinesFromName(const QString& name);

// How a print sheet is finished (card_sheet.h says what each does).
struct SheetFinish {
    double backOffsetXMm = 0;  // + moves the backs right, as seen on the back page
    double backOffsetYMm = 0;  // + moves them down
    double bleedMm = 0;
    CutLines cutLines = CutLines::Corners;
};

// One rendered card with the base of its file names ("Hero" for "Hero-blue.png").
struct NamedCard {
    QString name;      // the card's own name: a tabletop deck's nickname
    QString fileBase;  // safeFileName of the name
    RenderedCard pictures;
    int copies = 1;  // on print sheets, print pictures and deck sheets; 0 leaves it out
};

// The outputs made from all cards at once: tabletop deck sheets and a texture atlas. Each is off
// while its file or folder is empty.
struct PlayOutputs {
    CardColours colours = CardColours::Both;

    QString tabletopDir;    // the sheets, their back and the saved objects
    int tabletopScale = 0;  // every card pixel as N x N; 0: the largest that fits the limit
    QString hiddenPicture;  // the hand's hidden card; empty: the back

    QString atlasPath;  // FILE.png, its index FILE.json beside it
    int atlasScale = 1;
    int atlasPadding = 0;  // transparent pixels between frames
    int atlasExtrude = 0;  // each frame's edge pixels repeated outward this far

    // The card back: a picture file, or "builtin" for ours. The deck sheets use ours when it is
    // empty; a print sheet has back pages only when it is set.
    QString backPicture;
    SheetFinish sheetFinish;

    int threads = 0;  // sheets compressed at once; 0: every core

    bool any() const { return !tabletopDir.isEmpty() || !atlasPath.isEmpty(); }
};

inline constexpr const char* BuiltinBackName = "builtin";

// The card back: `choice` names a picture file, or is "builtin" or empty for the tool's own back.
// Null with `error` set when the file cannot be read.
QImage loadCardBack(const QString& choice, QString* error);
// The tool's own card back, 62 x 62.
QImage builtinCardBack();

// A back or hidden-card picture as a side x side square: a 62 x 62 picture enlarged by whole
// pixels when side is a multiple of 62, any other picture scaled smoothly to cover the square
// and centred (the overhang cropped).
QImage cardSquarePicture(const QImage& picture, int side);

struct PlayOutputsResult {
    QStringList written;   // every file, in the order written
    QStringList problems;  // each a whole sentence naming the file
    bool cancelled = false;
};

// The files `outputs` will write for `cards` cards of a deck called `deckName`, before any is
// written (for a window that shows them first).
QStringList plannedPlayFiles(const PlayOutputs& outputs, const QString& deckName, int cards);

// Refuses settings that cannot be met for `cards` cards (a scale over the sheet limit, an atlas
// too large); empty when all is well.
QString checkPlayOutputs(const PlayOutputs& outputs, int cards);

// Writes every output: the deck sheets and their saved objects hold each card's copies (each
// copy a card of its own), the atlas each card once. `progress` counts pictures (reported from
// a worker thread, one call at a time); a stop requested ends before the next picture, leaving
// only whole files.
PlayOutputsResult writePlayOutputs(const PlayOutputs& outputs, const QString& deckName,
                                   const QList<NamedCard>& cards, const Progress& progress = {});

}  // namespace orvane
