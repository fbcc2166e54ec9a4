// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card_placement.h"
#include "card/picture_fit.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <array>
#include <optional>

namespace orvane {

// The card's element options, frames and arrows, counted once for the whole program.
inline constexpr int NoElementChosen = -1;
inline constexpr int ElementOptionCount = 11;
inline constexpr int ElementNone = 8;
inline constexpr int ElementTrap = 10;
inline constexpr int CardFrameCount = 4;
inline constexpr int CardArrowCount = 8;
inline constexpr int MainPictureMaxOffset = 62;
// How many of one card a print may hold; 0 leaves the card out of prints.
inline constexpr int MaxCardCopies = 99;

// Everything that makes one card, without a window: what the editor's controls hold.
//
// `mainPicture` holds what the main picture box holds: the picture as loaded, or, once it was
// prepared for the card, the prepared picture; then `preparation` keeps the source pixels and
// the settings, so the same preparation can be opened again.
struct PicturePreparation {
    QImage source;  // RGB32; null: the main picture was not prepared
    PictureFit fit;
    // The source in the encoding it was read from (a JPEG file's bytes), which decodes to
    // `source` exactly; empty: not known (a pasted picture), kept as pixels.
    QByteArray sourceEncoded = {};

    bool operator==(const PicturePreparation&) const = default;
};

struct Card {
    QString name;                                      // the card's name (file names, deck rows)
    std::array<QString, 4> sides{"A", "A", "A", "A"};  // number box texts: top, left, right, bottom
    int element = NoElementChosen;                     // 0 Fire .. 10 Trap; none chosen: no icon
    std::array<bool, CardArrowCount> arrows{};         // 0 upper left .. 7 lower right
    QImage mainPicture;                                // RGB32; null: no main picture (transparent)
    QString mainPicturePath;  // where the picture came from; information only
    int x = 0;                // offset of the main picture, 0..62
    int y = 0;
    CardPlacement placement;
    PicturePreparation preparation;

    bool operator==(const Card&) const = default;

    int arrowCount() const;
};

// The element options' captions, by index: "Fire", "Water", ... "None", "Shadow", "Trap".
QString elementCaption(int element);
// The element index of a caption, in any case and with blanks around it; none for other text.
std::optional<int> elementFromCaption(const QString& caption);

// Arrow directions by index, as deck files and card files spell them: "upper-left", "up",
// "upper-right", "left", "right", "lower-left", "down", "lower-right".
QString arrowWord(int arrow);
// An arrow given as its index ("0".."7") or its word (any case); none for other text.
std::optional<int> arrowFromText(const QString& text);

// A copies count as the user types it: a whole number 0-99, blanks around it allowed; empty text
// is 1. None for any other text.
std::optional<int> copiesFromText(const QString& text);

// The name a card goes by: its own name, or when that is blank the base name of the file it was
// read from or is written to ("slime.card" -> "slime"); empty when it has neither.
QString displayName(const Card& card, const QString& filePath);

// A name made safe for the file system: the characters no common file system takes in a name
// (/ \ : * ? " < > | and control characters) become '_', blanks and dots at the ends are
// dropped, and an empty result becomes "card" ("Hero: 1/2" -> "Hero_ 1_2").
QString safeFileName(const QString& name);

}  // namespace orvane
