// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <optional>

namespace orvane {

// How a card picture is enlarged for print: every card pixel a square block, or the scale2x /
// scale3x rule first (edges kept sharp, diagonal steps smoothed), then whole blocks.
enum class Enlargement { Blocks, Scale2x, Scale3x };
// "blocks", "scale2x", "scale3x" (any case); none for other text.
std::optional<Enlargement> enlargementFromName(const QString& name);

// What fills the trim and bleed around the square face: its edge pixels repeated outward, or
// the back colour.
enum class PrintFill { EdgePixels, BackColour };

enum class PrintLayout { Sheets, CardImages };
enum class DuplexEdge { Long, Short };
enum class CutMarks { Corners, Full, None };

// A print profile: where cards are printed and at what exact size. Lengths are millimetres.
struct PrintProfile {
    QString name;  // the file's base name: what --profile takes
    QString title;
    QString about;
    PrintLayout layout = PrintLayout::Sheets;
    QSizeF pageMm{210, 297};  // sheets only
    QSizeF trimMm{63, 63};    // the card as cut
    double bleedMm = 0;       // beyond the trim on every side
    double safeMm = 0;        // inside the trim: what must not be cut off
    int dpi = 300;
    double marginMm = 10;  // sheets: the page's unprinted edge
    double gapMm = 4;      // sheets: between cards' bleed
    int columns = 0;       // sheets: 0 as many as fit
    int rows = 0;
    DuplexEdge duplex = DuplexEdge::Long;
    bool mirrorBacks = true;  // the back page mirrored about the duplex edge
    bool backs = true;        // write backs when the run has a back picture
    PrintFill fill = PrintFill::EdgePixels;
    QColor backColour = Qt::white;
    Enlargement enlargement = Enlargement::Blocks;
    CutMarks cutMarks = CutMarks::Corners;
    bool backsApart = false;  // fronts and backs in separate files (or folders)
    // The card images' names: {number}, {card}, {colour} and {side} replaced.
    QString namePattern = QStringLiteral("{number}-{card}-{colour}-{side}");
};

inline constexpr int MaxPrintDpi = 1200;
inline constexpr int MinPrintDpi = 72;

// Reads a profile from its JSON text. On a fault: none, and `error` names the member and the
// reason ("member dpi: 2400 is over 1200").
std::optional<PrintProfile> parsePrintProfile(const QByteArray& json, const QString& name,
                                              QString* error);
// The text parsePrintProfile reads back as the same profile.
QByteArray printProfileJson(const PrintProfile& profile);

// The folder of the user's own print profiles and calibrations, shared by every Orvane program:
// <user data>/orvane/print.
QString printDataFolder();
QString userProfileFolder();  // printDataFolder()/profiles

// The names of the profiles Orvane ships, then the user's own (a user's profile of a shipped
// name replaces it), sorted within each.
QStringList printProfileNames(const QString& userFolder = userProfileFolder());

// A profile by name (a shipped one or the user's) or by a file path (anything holding '/' or
// ending in .json). None with `error` set when it is not found or not valid.
std::optional<PrintProfile> loadPrintProfile(const QString& nameOrFile, QString* error,
                                             const QString& userFolder = userProfileFolder());

}  // namespace orvane
