// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card.h"
#include "files/play_outputs.h"
#include "files/print_output.h"
#include "render/card_parts.h"
#include "system/file_write.h"
#include "system/progress.h"

#include <QByteArray>
#include <QImage>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

namespace orvane {

enum class ExportFormat { Png, Jpeg, Bmp };

inline constexpr int MaxExportScale = 16;

// "png", "jpg", "bmp" (any case; "jpeg" too); none for other text.
std::optional<ExportFormat> exportFormatFromName(const QString& name);
QString exportSuffix(ExportFormat format);  // "png", "jpg", "bmp"

// Enlarges every card pixel to a scale x scale block (scale 1..16), no smoothing.
QImage scaleCardPicture(const QImage& card, int scale);

// The bytes of one exported card picture: PNG exact, JPEG with the ImageUtils converter's
// settings (quality 98, 4:4:4, accurate DCT: the same bytes Save Card's JPEG has), BMP as
// "Save Card" writes it (24-bit). The editor's export, the clipboard and orvane-render all use
// this, so the files are the same bytes. Empty with `error` set when encoding fails.
QByteArray encodeCardPicture(const QImage& card, ExportFormat format, int scale, QString* error);

// safeFileName (card/card.h): a name made safe for the file system ("Hero: 1/2" -> "Hero_ 1_2").

// "<base>-blue.png", "<base>-red.png".
QString exportFileName(const QString& base, CardColour colour, ExportFormat format);

// writeFileAtomically (system/file_write.h): a whole file written through a temporary.

struct DeckRenderMemo;  // files/deck_render.h

enum class SheetSides { Both, BlueOnly };
enum class SheetPaper { A4, Letter };

struct DeckRenderOptions {
    QString input;              // a deck CSV or a card file (told apart by their content)
    QStringList moreInputs;     // further decks or card files rendered in the same run
    QString outDir;             // empty: each input's folder
    bool pictures = true;       // write each card's two pictures (a sheet alone needs none)
    bool keepExisting = false;  // never replace an output file that is already there
    ExportFormat format = ExportFormat::Png;
    int scale = 1;
    QString partsRoot;  // the folder holding gfx/
    // A pack folder whose parts the cards' pictures are drawn with (render/part_pack.h); empty:
    // the parts of partsRoot. A part the pack lacks comes from partsRoot, with a warning.
    QString pack;
    bool records = false;
    int jobs = 0;  // 0: every core
    // Preparation settings (picture_fit.h names and values, each one checked) for every card
    // that does not give them itself: a deck row's own cells win (fit and scale together), a
    // card file's own preparation wins whole. Empty: only the cards' own.
    QMap<QString, QString> pictureFit;

    QString sheet;  // a print-and-play PDF of all cards; empty: none
    double cardMm = 25.0;
    SheetSides sides = SheetSides::Both;
    SheetPaper paper = SheetPaper::A4;

    // Pictures decoded at once stay within this many bytes, whatever `jobs` says (a picture
    // larger than all of it is decoded alone).
    qint64 pictureMemoryBudget = 192LL << 20;
    // Set: cards whose inputs did not change since the run that filled it are not rendered
    // again, and it is brought up to date (files/deck_render.h).
    DeckRenderMemo* memo = nullptr;
    // Where the record of each output folder's last run is kept between runs (the user's cache;
    // files/output_record.h); empty: none, every card is rendered to compare its bytes.
    QString recordFolder;

    // Deck sheets, an atlas, and the sheet's backs and finishing.
    PlayOutputs play;
    // A print by a profile (sheets or print-service pictures); off while its output is empty.
    PrintRequest print;
};

struct DeckRenderResult {
    int cards = 0;        // cards whose files are all in place (written, unchanged or kept)
    int pictures = 0;     // picture files written
    int replaced = 0;     // output files (pictures, records) that replaced a file of their name
    int kept = 0;         // output files not written because a file of their name was kept
    int unchanged = 0;    // output files already holding the same bytes: left as they were, their
                          // time stamps kept
    int reused = 0;       // cards not rendered: their inputs and files were as a run left them
    QStringList written;  // every output file written, in the deck's order
    QStringList changedCards;  // the names of the cards with a file written, in the deck's order
    int sheetPages = 0;        // pages of the sheet written (0 when it was not)
    QStringList playFiles;     // the deck sheets, the atlas and their indexes written
    QStringList printFiles;    // the print's sheets or pictures written
    int printPages = 0;        // the print's sheet pages written
    int printPictures = 0;     // the print's card pictures written
    // One line per bad row in the order of the inputs and their lines ("deck.csv:12: column
    // element: ..."; a problem of a whole file: "deck.csv: ...").
    QStringList problems;
    QStringList warnings;  // what was done but may not be what was meant (exit status 0)
    QStringList sources;   // every file the cards are made from: the inputs, pictures, parts
    bool cancelled = false;
    QString fatal;  // a failure that stopped everything (unreadable deck, missing parts)

    bool ok() const { return fatal.isEmpty() && problems.isEmpty() && !cancelled; }
};

// A deck row's card made ready to show: its main picture read from `card.mainPicturePath` (when
// not read yet) and prepared with the row's own preparation cells, else those for every card.
// False with `problem` ("column picture: ...") when the picture cannot be read or prepared.
// A palette of the card parts' own colours takes them from `parts`, or from the built-in parts
// beside the program when none are given.
bool readyDeckCard(Card& card, const QMap<QString, QString>& own,
                   const QMap<QString, QString>& forEveryCard, QString* problem,
                   const CardParts* parts = nullptr);

// The whole of orvane-render's work, for the command line and the editor's Render Deck...
// Progress is reported on the calling thread; a stop requested ends the run before the next card
// (only whole files are left behind).
DeckRenderResult renderDeck(const DeckRenderOptions& options, const Progress& progress = {});

}  // namespace orvane
