// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/deck_text.h"
#include "set/follow_step.h"
#include "set/set_entry.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

namespace orvane {

// The cards of a set and where each came from: what a store reads, and writes back.
struct SetCards {
    QList<SetEntry> entries;
    QHash<quint64, SetSource> sources;
    QStringList fileProblems;  // problems of the file that belong to no card
    const SetEntry* find(quint64 id) const;
};

// What to watch on disk for a set: files (also those not there yet) and a folder whose files
// ending in `suffix` come and go.
struct SetWatch {
    QStringList files;
    QString folder;
    QString suffix;
    bool operator==(const SetWatch&) const = default;
};

// What other programs changed among a set's files, and what the set does about it.
struct DiskChange {
    QStringList pictures;  // picture files among them: the cards drawing them are drawn again
    FollowStep step = FollowStep::Nothing;
    QList<FileCard> theirs;  // card files rewritten, taken as they are (now, or kept beside mine)
    QStringList conflicts;   // the files that meet the user's unsaved changes
};

// Where a set's cards live and how they get there and back: read, written, followed on disk
// and found again after a crash. CardSet holds the cards and their history; its store holds what
// the cards were read from (a deck's bytes, a folder's files).
class SetStore {
public:
    virtual ~SetStore() = default;

    // Only to word messages: the set does not ask it.
    virtual SetKind kind() const = 0;
    // The deck file or the folder; empty while a new set has no file.
    virtual QString path() const = 0;

    // Reads the cards, numbering them from `nextId`. False with `error` (the store and `cards`
    // untouched) when they cannot be read at all.
    virtual bool read(SetCards& cards, quint64& nextId, QString* error) = 0;
    // Writes the cards back where they came from; their sources then stand for what was written.
    virtual bool save(SetCards& cards, QString* error, bool* encodingLacks) = 0;
    // A deck at `path` holding the same cards (Save As): a deck keeps its rows and form; the
    // cards of another store become new rows (`keepsSources` false).
    virtual std::unique_ptr<SetStore> deckAt(const QString& path, bool* keepsSources) const = 0;

    // Whether `source` is a card the store read or wrote (else the card is new to it).
    virtual bool holds(const SetSource& source) const = 0;
    // Whether the card differs from what the store read or wrote (a new card always does).
    bool isChanged(const SetCards& cards, const SetEntry& e) const;
    // A deck's header row and its bytes and form (empty for other stores).
    virtual const QStringList& header() const;
    virtual const QByteArray& bytes() const;
    virtual DeckTextForm* form() { return nullptr; }
    // The folder a row's picture cell names its file from; empty when cards name none by a cell.
    virtual QString rowPictureFolder() const { return {}; }
    // The card files of the store's cards (a folder's), and what changed among `files` of
    // them on disk against the files as read or written.
    virtual QStringList cardFiles(const SetCards& cards) const;
    virtual FolderChanges cardFileChanges(const SetCards& cards, const QStringList& files) const;

    // ---- Following the files on disk ----
    // What to watch, the pictures the cards draw (`pictures`) among it or not.
    virtual SetWatch watch(const SetCards& cards, const QStringList& pictures) const = 0;
    // What changed among `files` (reported by the watcher) and the step to take, the set having
    // unsaved changes or not.
    virtual DiskChange diskChange(const SetCards& cards, const QStringList& files,
                                  bool modified) = 0;
    // The user chose to keep their changes over `change`: the same files ask no more.
    virtual void keepMine(const DiskChange& change) = 0;
    // The files saving would write over that another program changed or removed since.
    virtual QStringList overwrittenFiles(const SetCards& cards) const = 0;

    // ---- The recovery file ----
    virtual QString recoveryKind() const = 0;
    // What tells the file as read from another: the digest of a deck's bytes.
    QString recoveryDigest() const;
    // A store of `kind` (as recoveryKind gave it) for `path`; a new set for an unknown kind.
    static std::unique_ptr<SetStore> forRecovery(const QString& kind, const QString& path);
    // The store for a path the user opens: a folder of card files, else a deck.
    static std::unique_ptr<SetStore> forPath(const QString& path);
};

}  // namespace orvane
