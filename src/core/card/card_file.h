// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace orvane {

// A card file: one card whole, as JSON text with a format version; the main picture's pixels are
// kept inside (PNG, base64), its original path for information only.
//
//   {
//     "format": "orvane-card", "version": 1,
//     "name": "Hero",
//     "sides": { "up": "A", "left": "3", "right": "7", "down": "2" },
//     "element": "Fire",                       (a caption, or null: none chosen)
//     "arrows": [ "upper-left", "down" ],
//     "x": 0, "y": 31,
//     "placement": { "TopX": 7, "TopY": 3, ... "ElemX": 44, "ElemY": 4 },
//     "picture": { "path": "/home/me/hero.bmp", "width": 62, "height": 62,
//                  "png": "iVBORw0KGgo..." }     (or null: no main picture)
//     "copies": 3                              (optional, 0-99: how many a print holds;
//                                               absent: 1)
//   }
//
// A prepared picture keeps its source and settings too (or null: not prepared):
//
//     "preparation": { "settings": { "fit": "fill", "pan_x": "-3", ... },
//                      "width": 2400, "height": 1800,
//                      "original": "/9j/4AAQ..." }   (or "png": "iVBORw0KGgo...")
//
// "original" is the source picture in the encoding it was read from (a JPEG file's own bytes,
// base64), written when it decodes to exactly the source's pixels; "png" is the source as PNG
// otherwise (a pasted picture, and every file written before "original" existed). The prepared
// picture itself is always in "picture", so a card opens to the same pixels whichever is there.
//
// A reader of version 1 ignores members it does not know, so later additions that an older
// program may skip need no new version; a file of a higher version is refused.
inline constexpr int CardFileVersion = 1;
inline constexpr const char* CardFileSuffix = "orvcard";
inline constexpr const char* CardFileFormat = "orvane-card";

struct CardFileRead {
    std::optional<Card> card;  // set only when the whole file was understood
    QString error;             // names the file and what is wrong
    int copies = 1;            // the "copies" member: kept beside the card, not in it
};

CardFileRead readCardFile(const QString& path);
// The "copies" member of the card file at `path`: 1 when it has none or cannot be read.
int readCardFileCopies(const QString& path);
// Atomic: a temporary file replaces the target only when complete.
// `copies` other than 1 is written as the "copies" member.
bool writeCardFile(const Card& card, const QString& path, QString* error, int copies = 1);

QByteArray cardToJson(const Card& card, int copies = 1);
CardFileRead cardFromJson(const QByteArray& json, const QString& pathForMessages);

}  // namespace orvane
