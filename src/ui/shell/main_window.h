// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card_colour.h"
#include "editor/form2.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

class QAction;
class QDockWidget;
class QLineEdit;
class QMenu;
class QUndoStack;

namespace orvane {

class CardFileCommands;
class CardWindows;
class PackCommands;
class Session;
class SetCommands;
class SetPanel;
class PrintCommands;
class SetStatistics;
class WorkBeside;

// The main window around the card window: the menu bar, the card's name bar, the status line,
// the docks (the set, the zoomed preview), the title bar, the question about unsaved changes on
// closing, the shortcuts, the recent cards and dropped files. What is open and which card is
// current is the session's; the card window always shows the session's current card, or none.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // `recoveryFolder` holds the recovery files of the set and of the lone card.
    MainWindow(const Form2::Services& services, const QString& recoveryFolder,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    Session& session() const { return *m_session; }
    Form2& form() const { return *m_form; }
    PackCommands& packs() const { return *m_packs; }

    // A file given on the command line, dropped, or from the desktop: a card file opens, a
    // picture loads as Load Main Picture... would, a deck or a folder opens as a set; anything
    // else is answered with what was expected.
    void openGivenFile(const QString& path);
    // Offers the recovery files left by a run that ended without saving (the set's, then the
    // lone card's); restores each on Yes, removes it on No.
    void offerRecovery();
    // Says in the status line what just happened (a long text elided, whole in the tooltip).
    void showStatus(const QString& text);
    QString statusText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenus();
    void buildNameBar();
    void buildSetDock(const QString& partsRoot);
    void updateRecentMenu();
    void updateTitle();
    void setTitle(const QString& title, bool modified);
    void updateUndoActions();
    void undoOrRedo(bool undo);
    void watchHistory();
    // The card window shows the session's current card, or none (and why).
    void showCurrentCard();
    void setOpenChanged();
    void enableCardCommands(bool on);
    void copyCard(CardColour colour);
    // Open Card..., a recent card, a dropped card file: the set closes first.
    void openCard();
    void openCardFile(const QString& path);
    void saveCardFile(bool asking);
    void newCard();
    void duplicateCard();
    void showName();
    void nameEdited(const QString& text);
    // The set dock's place and size: as the user left it, else room for rows of thumbnails.
    void placeSetDock();
    void rememberSetDock();

    Form2::Services m_services;
    Session* m_session = nullptr;
    WorkBeside* m_workBeside = nullptr;
    Form2* m_form = nullptr;
    CardFileCommands* m_cardFiles = nullptr;
    SetCommands* m_setCommands = nullptr;
    CardWindows* m_cardWindows = nullptr;
    PackCommands* m_packs = nullptr;
    SetPanel* m_panel = nullptr;
    SetStatistics* m_statistics = nullptr;
    PrintCommands* m_print = nullptr;
    QDockWidget* m_setDock = nullptr;
    QLineEdit* m_name = nullptr;
    QMenu* m_recentMenu = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    QAction* m_saveCardFile = nullptr;
    QAction* m_saveSet = nullptr;
    QAction* m_saveSetAs = nullptr;
    QList<QAction*> m_cardCommands;  // disabled while no card is shown
    QPointer<QUndoStack> m_history;  // the one Undo and Redo work on
    QList<QMetaObject::Connection> m_historyConnections;
    QString m_statusText;     // the whole text of the status line
    bool m_setDockPlaced = false;
    bool m_closeWhenDone = false;  // asked to close while a file was being read or written
};

}  // namespace orvane
