// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card.h"
#include "card/deck_text.h"
#include "set/recovery_file.h"
#include "set/set_entry.h"
#include "set/set_store.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

class QUndoStack;

namespace orvane {

// What a change made to all selected cards carries over from a model card.
enum class SetChange { Element = 1, Placement = 2, PictureFit = 4 };

// A set of cards as one document, without a window: the cards of a deck or of a folder of card
// files, every change a command on one undo stack (which may be shared with other documents),
// and saving that keeps what the user wrote; where the cards live is its store (SetStore).
class CardSet : public QObject {
    Q_OBJECT
public:
    // `stack` null: the set keeps a stack of its own.
    explicit CardSet(QUndoStack* stack = nullptr, QObject* parent = nullptr);
    ~CardSet() override;

    // Reads a deck CSV or a folder of card files; the history starts again. False with `error`
    // when the deck cannot be read at all (unreadable file, no usable header row).
    bool open(const QString& path, QString* error);
    // An empty set that is saved as a new deck.
    void startNew();
    // Writes the set back where it came from, or as a deck to `path` (Save As: the set then
    // belongs to that file). A deck keeps the form it was read in (encoding, separator). False
    // with `error`, nothing lost, when it cannot be written; `encodingLacks` is then set when the
    // only fault is a character the deck's encoding cannot hold (see setDeckEncoding).
    bool save(QString* error, const QString& path = {}, bool* encodingLacks = nullptr);
    // The form the deck is written in; setDeckEncoding changes its encoding for the next save
    // (e.g. to UTF-8 when a name needs a character Windows-1252 lacks).
    const DeckTextForm& deckForm() const;
    void setDeckEncoding(DeckEncoding encoding);

    // Where the cards live; only to word messages (the set itself never asks).
    SetKind kind() const { return m_store->kind(); }
    QString path() const { return m_store->path(); }
    // What keeps the cards (see SetStore).
    const SetStore& store() const { return *m_store; }
    QUndoStack* undoStack() const { return m_stack; }
    bool isModified() const;

    const QList<SetEntry>& entries() const { return m_cards.entries; }
    // A deck set's file as read or last saved (empty for other sets).
    const QByteArray& deckBytes() const { return m_store->bytes(); }
    // The picture files the cards draw from the disk (a picture given in the window is not),
    // and those that bad deck rows name but cannot find: they heal when the file appears.
    QStringList picturePaths() const;
    // Picture files changed on disk: each card drawing one of them is made again from the file
    // (`cardChanged`); returns how many cards that was. A row whose picture was missing and is
    // now there becomes a good card; an unedited card whose picture is gone becomes a bad row
    // saying so. Neither is an undo step or an unsaved change: the deck's text is the same.
    int reloadPictures(const QStringList& paths);
    // A folder set's card files, those of its cards (other sets: none).
    QStringList cardFilePaths() const;
    // What changed on disk among `files` (full paths; files of other kinds are passed over).
    FolderChanges folderChanges(const QStringList& files) const;
    // Cards whose files another program rewrote, taken as read: outside the history and not an
    // unsaved change (the files hold them).
    void takeFileCards(const QList<FileCard>& cards);
    // The files saving would write over that another program changed or removed since the set
    // read or wrote them: a deck's file, a folder's card files of edited cards.
    QStringList overwrittenFiles() const;
    // What to watch on disk for the set, and what changed among `files` there (see SetStore).
    // `keepMine`: the user keeps their changes over `change`; the same files ask no more.
    SetWatch watch() const;
    DiskChange diskChange(const QStringList& files);
    void keepMine(const DiskChange& change);
    // Problems of the file that belong to no row (the rows after an unreadable quote).
    const QStringList& fileProblems() const { return m_cards.fileProblems; }
    // Whether the card differs from its source (a new card always does).
    bool isChanged(quint64 id) const;
    int count() const { return int(m_cards.entries.size()); }
    int indexOf(quint64 id) const;
    const SetEntry* entry(quint64 id) const;

    // The card made ready to show and edit: its main picture read and prepared. `problem` tells
    // when its picture cannot be read (the card is then without it).
    Card readyCard(quint64 id, QString* problem = nullptr) const;
    // The same, held by the set for a card document that hands out a reference: good until the
    // next call or the next change of the set.
    const Card& editedCard(quint64 id) const;
    // What the user should know about the card's row picture as shown: that it cannot be read,
    // or that it is larger than the card with no fit asked for, so only its upper-left corner
    // reaches the card. Empty when there is nothing to say.
    QString pictureNote(quint64 id) const;

    // Why `name` cannot be a card's name in this set (empty, or giving the same file names as
    // another card's, case ignored); empty when it can. `exceptId` is the card being renamed.
    QString nameProblem(const QString& name, quint64 exceptId = 0) const;
    // `base`, or "base 2", "base 3", ... : the first that no card of the set has.
    QString uniqueName(const QString& base) const;

    // ---- Set operations, each one undo step. ----
    // Adds a card at `index` (-1: the end), its name made unique; returns its id.
    quint64 addCard(const Card& card, int index = -1);
    // Copies of the cards, each right after its original; returns the new ids.
    QList<quint64> duplicateCards(const QList<quint64>& ids);
    void removeCards(const QList<quint64>& ids);
    // Moves the cards, in their set order, to stand before the card at `index` of the set as it
    // is now (count(): the end).
    void moveCards(const QList<quint64>& ids, int index);
    // Renames a card; false with `error` when the name is not allowed.
    bool renameCard(quint64 id, const QString& name, QString* error);
    // Sets how many of a card a print holds (0-99); false for a bad row or a count out of range.
    bool setCopies(quint64 id, int copies);
    // Replaces a card by an edited one (from the editor). Steps of the same `mergeKey` (not 0) on
    // the same card one after the other are one undo step.
    void setCard(quint64 id, const Card& card, int mergeKey = 0);
    // Puts an edited card in place without a step of its own: the card's document made the step
    // on the same undo stack (see SetCardViews). Says `cardChanged`, not `cardReplaced`.
    void takeCard(quint64 id, const Card& card);
    // The pack a card is drawn with (its deck row's pack cell, its card file's pack; empty: the
    // built-in parts), and the same for a new pack as takeCard does for a card.
    QString packOf(quint64 id) const;
    void takePack(quint64 id, const QString& pack);
    // Gives every card of `ids` what `changes` (SetChange flags) names from `model`.
    void changeCards(const QList<quint64>& ids, int changes, const Card& model,
                     const QMap<QString, QString>& pictureFit = {});
    // The text of one cell of a deck row, by column name (any case); empty when there is none.
    QString rowCell(quint64 id, const QString& column) const;
    // A bad deck row with one cell changed, read again; false with `error` for an unknown column.
    bool setRowCell(quint64 id, const QString& column, const QString& text, QString* error);
    // The cards (with their copies) as bytes for the clipboard, and pasted from them at `index`
    // (-1: the end); returns the new ids (none for bytes that hold no card).
    QByteArray copyCards(const QList<quint64>& ids) const;
    QList<quint64> pasteCards(const QByteArray& bytes, int index = -1);

    static constexpr const char* ClipboardType = "application/x-orvane-cards";

    // The whole state as text and back, for the recovery file: restores the same cards exactly.
    QByteArray recoveryText() const;
    bool restore(const QByteArray& text, QString* error);

signals:
    // Another set was opened, started or restored: every card is new.
    void opened();
    // The list of cards changed (added, removed, moved, opened, restored).
    void cardsReset();
    // One card changed in place.
    void cardChanged(quint64 id);
    // ... and not by its card document (takeCard) but by the set: a set operation or its undo, a
    // mended row, a file changed on disk. The card's document shows it afresh.
    void cardReplaced(quint64 id);
    // Anything changed (for the recovery file and the title bar).
    void changed();

private:
    friend class EntryInsertCommand;
    friend class EntryOrderCommand;
    friend class EntryChangeCommand;

    // The commands' work.
    void insertEntries(const QList<QPair<int, SetEntry>>& items);  // ascending positions
    void removeEntries(const QList<QPair<int, SetEntry>>& items);
    void reorder(const QList<quint64>& order);
    void putEntries(const QList<SetEntry>& entries);
    void pushChange(const QList<SetEntry>& after, const QString& text, int mergeKey = 0);
    // The entry `card` makes of the card `id` (its picture kept by path while unchanged); none
    // when nothing changes.
    std::optional<SetEntry> editedEntry(quint64 id, const Card& card) const;
    // Whether `card` holds the very picture its deck row names, as read (file and preparation).
    bool showsRowPicture(quint64 id, const Card& card) const;

    // A deck row's entry with its cells read again (its card, preparation cells and problem).
    SetEntry rowReadAgain(SetEntry e) const;
    // The picture file a deck row names, good or bad (empty: none).
    QString rowPicturePath(const SetEntry& e) const;
    // The picture file a card draws from, or that its bad row misses; empty when neither.
    QString followedPicture(const SetEntry& e) const;
    // A deck row whose picture file came or went is read again, outside the history: the file
    // holds the same row, so the set does not become unsaved. Returns whether it changed.
    bool followPictureFile(const SetEntry& e);

    SetEntry newEntry(const Card& card) const;
    // The set as `store` read it, with a history that starts again.
    void startOver(std::unique_ptr<SetStore> store, SetCards cards);

    QUndoStack* m_stack = nullptr;
    bool m_ownStack = false;
    std::unique_ptr<SetStore> m_store;
    SetCards m_cards;
    mutable QHash<quint64, int> m_index;  // the entries' positions by id, made when asked
    mutable bool m_indexValid = false;
    mutable quint64 m_nextId = 1;
    // The picture of the card last made ready, read once for the editor's many edits of it.
    struct ReadyPicture {
        quint64 id = 0;
        QString path;
        QMap<QString, QString> fit;
        QImage picture;  // null: it could not be read, for `problem`
        PicturePreparation preparation;
        QString problem;
        QSize oversized;  // the picture as read, when larger than the card and not fitted
    };
    mutable std::optional<ReadyPicture> m_ready;
    mutable Card m_edited;    // what editedCard last handed out
    bool m_restored = false;  // restored from recovery: unsaved although the history is empty
};

// Writes the set's recovery text a few seconds after each change, to `path`; `discard` removes
// it (after a save, or when the user declines to restore it).
class RecoveryWriter : public DelayedRecoveryFile {
    Q_OBJECT
public:
    RecoveryWriter(CardSet& set, const QString& path, int delayMs = 3000);
};

}  // namespace orvane
