#pragma once

#include "card/card.h"
#include "platform/dialog.h"
#include "platform/prompts.h"

#include <QObject>
#include <QPointer>

class Form2;
class QAction;
class QDockWidget;
class QLineEdit;

namespace orvane {

class CardRecoveryWriter;
class CardSet;
class RecoveryWriter;
class Session;
class SetFileFollower;
class SetPanel;

// A set of cards in the main window, added around the editor: the set panel in a dock (View >
// Set), File > Open Set..., Open Set Folder..., New Set, Save Set (Ctrl+S while a set is open)
// and Save Set As.... Picking a card shows its document in the editor; the title bar and the
// unsaved question on closing cover the set; the recovery file is written a few seconds after each
// change and offered back at the next start.
class SetHost : public QObject {
    Q_OBJECT
public:
    SetHost(Form2& form, Prompts& prompts, const QString& partsRoot, const QString& recoveryPath);
    ~SetHost() override;

    CardSet& set() const { return *m_set; }
    SetPanel* panel() const { return m_panel; }
    QDockWidget* dock() const { return m_dock; }
    bool isOpen() const { return m_open; }
    // The card's name, beside the editor's controls (a tool bar above them).
    QLineEdit* nameField() const { return m_name; }

    // File > New Card (Ctrl+N): a new card in the set, else a new card in the editor (after the
    // unsaved question). File > Duplicate Card (Ctrl+D): a copy of the selected cards, else of
    // the editor's card as a new card.
    void newCard();
    void duplicateCard();

    // Opens a deck CSV or a folder of card files and shows its first card; false (and told)
    // when it cannot be read.
    bool openSet(const QString& path);
    void newSet();
    // Saves the set (a new set asks for its file first); false when cancelled or failed.
    bool saveSet();
    // Save Set As...: the set (a deck, a folder of card files or a new set) written as a deck
    // to the file chosen, which the set then belongs to.
    bool saveSetAs();
    // Offers the recovery files left by a run that ended without saving (the set's, then the
    // lone card's); restores each on Yes, removes it on No.
    void offerRecovery();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showCard(quint64 id);
    void updateTitle();
    void setOpen(bool open);
    void showName();
    void nameEdited(const QString& text);
    // Starts the editor's own document again with `card`, asking about unsaved changes first.
    void replaceEditorCard(const orvane::Card& card);
    // Save / Discard / Cancel for a changed set; true when the caller may go on.
    bool maybeSave(const QString& title);
    // Saves to `path` (empty: where the set came from), offering UTF-8 when the deck's encoding
    // lacks a character; false when declined or failed (told).
    bool writeSet(const QString& path, const QString& title);
    // The dock's place and size: as the user left it, else room for several rows of thumbnails.
    void placeDock();
    void rememberDock();
    void offerSetRecovery();
    void offerCardRecovery();

    Form2& m_form;
    Prompts& m_prompts;
    CardSet* m_set = nullptr;
    Session* m_session = nullptr;
    SetPanel* m_panel = nullptr;
    SetFileFollower* m_follower = nullptr;
    QDockWidget* m_dock = nullptr;
    RecoveryWriter* m_recovery = nullptr;
    CardRecoveryWriter* m_cardRecovery = nullptr;
    QAction* m_saveSet = nullptr;
    QAction* m_saveSetAs = nullptr;
    QLineEdit* m_name = nullptr;
    Dialog m_setDialog;
    bool m_open = false;
    bool m_placed = false;  // the dock was given its place once
};

}  // namespace orvane
