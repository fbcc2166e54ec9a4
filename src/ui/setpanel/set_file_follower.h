// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/deck_watcher.h"
#include "platform/dialog.h"
#include "platform/prompts.h"
#include "set/set_store.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

namespace orvane {

class CardSet;
struct DiskChange;
struct FileCard;
class Session;

// Keeps an open deck or folder set in step with its file, as another program (a spreadsheet, an
// image editor) changes it:
//  - the deck and the pictures its cards draw are watched (written in place or replaced by a
//    rename; no timer runs while nothing changes), and so are the pictures bad rows miss;
//  - a changed picture is drawn again in the thumbnails and the editor at once; a row whose
//    picture appears becomes a card, and an unedited card whose picture is removed a bad row;
//  - a changed deck is read again when the set has no unsaved changes (the current card stays
//    current, by name); with unsaved changes the user chooses: reload theirs, keep mine, or save
//    mine to another file;
//  - a folder set follows its folder the same way: card files rewritten, added or removed by
//    another program; rewritten cards not edited here are taken at once, anything that meets
//    unsaved changes asks the same question;
//  - saving over a deck or card file that changed on disk asks again, so that neither side is
//    ever lost without the user's word.
class SetFileFollower : public QObject {
    Q_OBJECT
public:
    SetFileFollower(Session& session, Prompts& prompts, QObject* parent = nullptr);

    // The answers to a deck changed under unsaved changes, in the order of their buttons.
    enum Answer { ReloadTheirs, KeepMine, SaveMineElsewhere };

    // Before the set is saved to its own file: true when that loses nothing (the file is as
    // read, or the set is not a deck). Otherwise asks reload theirs / save mine elsewhere /
    // cancel and returns false: the caller does not save over the file.
    bool maySaveOver();

    // The files watched now (for tests).
    QStringList watchedFiles() const { return m_watching.files; }
    DeckWatcher& watcher() { return m_watcher; }

signals:
    // What happened, for the status line.
    void message(const QString& text);
    // The deck was read again, or cards were drawn again from changed pictures.
    void followed();

private:
    void rewatch();
    void filesChanged(const QStringList& files);
    // Looks at the files reported and not yet looked at, and does what the set's store says.
    void followPending();
    // Pictures changed on disk drawn again; the editor shows the current card afresh when it
    // became bad or healed.
    void drawPictures(const QStringList& pictures);
    // Reload theirs / keep mine / save mine as, worded for the set's kind; the answer.
    int askTheirsOrMine();
    // Asks, then acts on the answer: reloads (saying `droppedMessage`), saves the set elsewhere,
    // or runs `keepMine` (also when saving elsewhere was cancelled or failed).
    void settleWithUser(const QString& droppedMessage, const std::function<void()>& keepMine);
    // Card files rewritten by another program taken into the set; the editor shows the current
    // card afresh when it became bad or healed.
    void takeTheirs(const QList<FileCard>& cards);
    // Reads the set again, keeping the current card by name (else by position).
    bool reload();
    // Asks for another file and saves the set there; false when cancelled or failed (said).
    bool saveElsewhere();
    QString shownPath() const;
    // What the status line says after Reload Theirs: the deck, or the folder's card files.
    QString droppedMessage() const;
    QString pictureMessage(const QStringList& pictures) const;

    Session& m_session;
    CardSet& m_set;
    Prompts& m_prompts;
    DeckWatcher m_watcher;
    QTimer m_rewatch;  // gathers the set's changes into one look at what to watch
    SetWatch m_watching;
    QStringList m_pending;  // files reported and not yet looked at
    bool m_asking = false;
    bool m_changedWhileAsking = false;
    Dialog m_saveDialog;
};

}  // namespace orvane
