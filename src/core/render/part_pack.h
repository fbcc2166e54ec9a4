// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "render/card_parts.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <optional>

namespace orvane {

// A pack is a folder laid out like gfx/ (bitblts/..., arrows/..., the same 33 names, each as
// BMP or PNG), with an optional pack.json describing it, and beside any part optional larger
// drawings "NAME@2x.EXT", "NAME@3x.EXT", "NAME@4x.EXT" of exactly that multiple of its size.
inline constexpr int LargestPartVariant = 4;
inline constexpr const char* PackManifestName = "pack.json";

struct PackManifest {
    QString name;  // empty: the pack goes by its folder's name
    QString author;
    QString version;
    QString licence;
    QString description;
    // Pictures in the pack folder, relative to it; empty: the compiled-in ones.
    QString blueBase;
    QString redBase;
    QString cardBack;
};

struct PackManifestRead {
    PackManifest manifest;
    QStringList warnings;  // a manifest that is not valid JSON or has unknown members
};

// Reads `folder`/pack.json; a missing manifest is no warning. Never fails: what cannot be used
// is warned about and left at its default.
PackManifestRead readPackManifest(const QString& folder);

// The name a pack goes by: its manifest's name, else its folder's name.
QString packName(const QString& folder);

// The file of part `relative` (an asset_catalogue name, "gfx/bitblts/1.bmp") in the pack
// `folder` at `scale` (1: the part itself, 2..4: its variant): the BMP if there is one, else the
// PNG; empty when there is neither.
QString packPartFile(const QString& folder, const QString& relative, int scale = 1);

// Every file whose change may change the pack's parts: each part and variant under both
// suffixes, whether it exists or not, and the manifest (for a part file watcher).
QStringList packWatchFiles(const QString& folder);

// One problem of a pack, for --check-pack and the editor's messages.
struct PackProblem {
    bool error = true;  // false: a warning (the pack is used as it is)
    QString text;
};

// Every problem of the pack in `folder`: missing or unreadable parts, parts of the wrong size,
// variants that are not exactly their multiple, and (warnings) a frame that covers a digit's or
// the element icon's place at the default placements, and manifest warnings.
QList<PackProblem> checkPack(const QString& folder);

// What a frame would spoil at the default placements ("the top digit ..."), or nothing.
QString frameCoverage(const QImage& frame);

struct PackParts {
    CardParts parts;       // at the requested scale
    QStringList problems;  // parts taken from the fallback instead, each naming its file and size
    QStringList warnings;
};

// The parts of the pack in `folder` for cards drawn at `scale` (1..16): for each part the
// largest variant whose multiple divides the scale, enlarged by whole pixels to it, else the
// part itself enlarged. A part that is missing, unreadable or of the wrong size comes from
// `fallback` (1 x parts) instead and is named in `problems`. The bases come from the manifest
// when it names them, else from `fallback`.
PackParts loadPackParts(const QString& folder, int scale, const CardParts& fallback);

// `parts` (1 x) made ready for cards drawn at `scale`: every picture enlarged by whole pixels.
CardParts enlargedParts(const CardParts& parts, int scale);

// Every pixel as a scale x scale block.
QImage enlargedPicture(const QImage& picture, int scale);

}  // namespace orvane
