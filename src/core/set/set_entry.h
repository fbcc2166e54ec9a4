// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace orvane {

// Where a set's cards live: nowhere yet (a new set), the rows of one deck CSV, or the card files
// of one folder.
enum class SetKind { New, Deck, Folder };

// One card of a set as the user sees and changes it (what undo and redo exchange).
struct SetEntry {
    quint64 id = 0;  // stable while the set is open: views and commands name cards by it
    // The card. A deck row's main picture is kept by its path (`mainPicturePath`, pixels not read)
    // until the card is given another picture; `pictureFit` holds the row's preparation cells.
    Card card;
    QMap<QString, QString> pictureFit;
    bool pictureChanged = false;  // `card.mainPicture` holds pixels to write beside the deck
    // How many of the card a print holds (0-99): a deck row's copies cell, a card file's
    // "copies" member. Not part of the card: the card window never shows it.
    int copies = 1;
    // The part pack the card is drawn with, as the deck's pack cell or the card file names it
    // (empty: the built-in parts), installed or not.
    QString pack;

    // A row or file that could not be read: why, and the column at fault; the row's cells can be
    // mended (`fields`).
    QString problem;
    QString problemColumn;
    QStringList fields;  // a bad deck row's cells as mended so far
    int line = 0;        // a deck row's first line in the file; 0: a new card

    bool isBad() const { return !problem.isEmpty(); }
};

// Where a card came from, as last read or saved: what the write-back compares with. Kept apart
// from the entries, so that undo after a save compares with the file as it now is.
struct SetSource {
    int record = -1;     // the deck record index
    QStringList fields;  // the row's cells in the file
    Card original;       // the card as read (a bad row: default)
    QMap<QString, QString> originalPictureFit;
    QString filePath;       // a folder set's card file
    QByteArray fileDigest;  // ... and the digest of its bytes as read or written
    int originalCopies = 1;
    QString originalPack;   // the pack as read
};

// A card file another program rewrote, read: the set's card as the file now holds it.
struct FileCard {
    SetEntry entry;
    QString path;
    QByteArray digest;
};

// What other programs changed among a folder set's card files, against the files as the set
// last read or wrote them.
struct FolderChanges {
    QList<FileCard> theirs;  // cards not edited in the window whose files were rewritten
    QStringList conflicts;   // files of cards edited in the window, rewritten or removed
    QStringList added;       // card files new to the set
    QStringList removed;     // files of cards not edited in the window, removed
    bool isEmpty() const { return theirs.isEmpty() && onlyRewrites(); }
    // Whether taking them loses nothing of the user's and keeps the set's list of cards.
    bool onlyRewrites() const
    {
        return conflicts.isEmpty() && added.isEmpty() && removed.isEmpty();
    }
    bool contains(const QString& path) const;
};

// The SHA-256 of a file's bytes; empty when it cannot be read.
QByteArray cardFileDigest(const QString& path);

}  // namespace orvane
