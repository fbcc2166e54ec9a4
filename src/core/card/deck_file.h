// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card.h"
#include "card/deck_text.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace orvane {

struct CsvText;

// A deck: a CSV file with a header row naming its columns, in any order and any case:
//   name, up, left, right, down   (needed)
//   element, arrows, picture, x, y, TopX, TopY, LeftX, LeftY, RightX, RightY, BottomX, BottomY,
//   ElemX, ElemY                  (optional; an empty cell keeps the default)
//   fit, scale, resample, pan_x, pan_y, key, tolerance, keep_dark
//                                 (optional: how the row's picture is prepared for the card,
//                                 written as picture_fit.h reads them)
//   copies                        (optional: how many of the card a print holds, 0-99; empty: 1;
//                                 0 leaves it out of prints and deck sheets)
//   pack                          (optional: the part pack the row's card is drawn with, by the
//                                 name of an installed pack or a folder relative to the deck;
//                                 empty: the run's or the set's pack)
// Columns of other names are not read (a spreadsheet can keep notes beside the cards); each gets
// a warning naming the column it most likely meant ("Image": picture), if one is near.
//
// The text is UTF-8 (with or without a byte order mark), UTF-16 LE or BE with a byte order
// mark, or else Windows-1252 with a warning; the separator (comma, semicolon or tab) is the
// header row's (deck_text.h). A spreadsheet workbook (.xlsx, .ods, .xls) is refused with how to
// save it as CSV. A picture path may use '\' between folders. Arrow words have common variants
// (arrow_words.h). No cell a card reads may exceed 64 KiB and no name 246 bytes as a file name;
// a message quotes at most the start of a long cell.
//
// A row: sides 1-9 or A (10 also means A); the element by its caption ("Fire" .. "Trap", any
// case; empty: None); arrows as indexes 0-7 or direction words (upper-left, up, upper-right,
// left, right, lower-left, down, lower-right) separated by blanks; the picture a path relative to
// the deck's folder (empty: none); x and y 0-62. The card rules hold per row: Trap makes the
// sides 2, 2, 2, 2 (the side cells are then not read) and a row may tick no more arrows than its
// total allows.
//
// The preparation columns make the row's picture a source that is scaled, placed and keyed as
// Prepare Main Picture... does, with the row's x and y then moving the prepared picture as the
// scroll bars do. A row whose preparation cells are all empty is not prepared (the picture goes
// into the main picture box as it is); one with any of them filled is, its empty cells the
// defaults. A row that gives scale other than 100 gives fit = none as well.

// One problem of one deck row: reported as "deck.csv:12: column element: ..."
struct DeckProblem {
    QString file;
    int line = 0;    // the line the row starts on, 1-based (the header is line 1)
    QString column;  // empty when the row as a whole is wrong
    QString message;
    QString text() const;
};

struct DeckRow {
    int line = 0;
    // The card of the row. Its main picture is not read yet: `card.mainPicturePath` holds the
    // picture's full path (empty: none), read when the card is rendered, so that a deck of many
    // cards never holds all its pictures at once.
    Card card;
    // The row's filled preparation cells by setting name ("fit", "pan_x", ...), each one checked;
    // empty: the row gives none.
    QMap<QString, QString> pictureFit;
    int copies = 1;  // the copies cell: on print sheets, print pictures and deck sheets
    QString pack;    // the pack cell as written; empty: the run's pack
};

struct Deck {
    QList<DeckRow> rows;          // every good row
    QList<DeckProblem> problems;  // every bad row (and a missing header or unreadable file)
    // What was read but may not be what the user meant: a column not read, a deck that is not
    // UTF-8, a name with an unreadable character. The rows are good; nothing is refused.
    QList<DeckProblem> warnings;
    DeckTextForm form;  // the encoding and separator the deck was read in
};

// Reads a deck CSV (RFC 4180, header row, columns by name) of at most 64 MiB, a regular file
// only (system/regular_file.h). Good rows are kept even when others are bad. Two rows whose
// names give the same file name are a problem of the second.
Deck readDeck(const QString& path);
// With `records`, the CSV records read are handed out too (a writer that keeps the user's bytes
// needs them), so the text is not read twice. Their spans are places in `bytes` for a UTF-8
// deck; for another encoding, in the deck's text as UTF-8 (decodeDeckBytes(bytes).utf8), which
// `Deck::form` says how to store again (encodeDeckText).
Deck readDeckText(const QByteArray& bytes, const QString& pathForMessages,
                  CsvText* records = nullptr);

// The full path of the picture a row's picture cell names, the deck being in `deckFolder` ('\\'
// taken as a folder separator); empty for an empty cell. The file need not exist.
QString deckPicturePath(const QString& deckFolder, const QString& cell);

// Why a deck would refuse `card` as a row (a side other than 1-9 or A, a Trap card's sides
// other than 2, more arrows than its total allows, a name too long for a file name), or empty.
// orvane-render holds a card file to the same rules.
QString cardDeckProblem(const Card& card);

// Whether the deck at `deckPath` has a row whose name gives the same file name as `name`.
bool deckHasCard(const QString& deckPath, const QString& name);

// Adds `card` as a row of the deck at `deckPath` (created with a header when missing); its main
// picture is written beside the deck as "<name>-picture.png" and the row names that file. With
// `replaceSameName`, the row of that name is replaced in place (cells of columns the deck keeps
// for itself stay); without it, a row of that name already there is an error. Columns the card
// needs and the deck lacks are added. The deck is rewritten whole through a temporary file; when
// that fails, the picture file is put back as it was. A card the deck would read back as another
// card or as a bad row (a side other than 1-9 or A, more arrows than its total allows) is
// refused with the reason, nothing written.
bool addCardToDeck(const QString& deckPath, const Card& card, bool replaceSameName, QString* error);

// The file addCardToDeck writes the card's main picture to, beside the deck (empty: the card has
// none): "<name>-picture.png", or with "-2", "-3", ... the first name no file has. Only the
// picture of the row being replaced (`replaceSameName`) is written over, so a question about
// the replacement can name it.
QString deckPictureFile(const QString& deckPath, const Card& card, bool replaceSameName);

// Writes `card` into the cells of one deck row, for a writer that keeps the rest of the user's
// file: `header` is the deck's header row, `row` the row's cells (empty for a new row). With
// `before` (the card the row held), only the cells whose value changed are written, so the
// user's own spelling of the others stays ("10", "fire"); without it, every cell the card needs.
// Columns the card needs and the header lacks are appended to `header`. With `pictureCell`, the
// picture cell becomes that text and the row's preparation cells are emptied (the picture named
// is already prepared); without it, both stay. Returns why the deck would not read the row back
// as `card` (the header is not a deck's, a side other than 1-9 or A, too many arrows), with
// nothing changed; empty when written.
QString writeCardCells(QStringList& header, QStringList& row, const Card& card, const Card* before,
                       const QString* pictureCell);

}  // namespace orvane
