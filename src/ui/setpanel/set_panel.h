// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card_statistics.h"
#include "platform/prompts.h"
#include "set/card_set.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class QTableView;

namespace orvane {

class SetFilterModel;
class SetModel;
class SetOutput;
class SetThumbnails;

// The set panel (View > Set): every card of the open set as a thumbnail pair or as a table row,
// sorted by any column, filtered by text, element and total, with the counts of the cards shown;
// the set operations on the selection; Render and Print Sheet for the set or the selection.
// Picking a card announces it (`cardPicked`); the window shows it in the editor.
class SetPanel : public QWidget {
    Q_OBJECT
public:
    SetPanel(CardSet& set, Prompts& prompts, const QString& partsRoot, QWidget* parent = nullptr);
    ~SetPanel() override;

    QLineEdit* txtSetFilter = nullptr;
    QComboBox* cboSetElement = nullptr;
    QSpinBox* spnSetTotal = nullptr;  // its lowest value: any total
    QComboBox* cboSetView = nullptr;  // Thumbnails, Table
    QSpinBox* spnSetZoom = nullptr;
    QStackedWidget* stkSetViews = nullptr;
    QListView* lstSetThumbnails = nullptr;
    QTableView* tblSet = nullptr;
    QLabel* labSetCounts = nullptr;
    QPushButton* cmdSetAdd = nullptr;
    QPushButton* cmdSetDuplicate = nullptr;
    QPushButton* cmdSetDelete = nullptr;
    QPushButton* cmdSetDeckOrder = nullptr;  // back to the deck's own order after a sort
    QPushButton* cmdSetUp = nullptr;
    QPushButton* cmdSetDown = nullptr;
    QPushButton* cmdSetRender = nullptr;
    QPushButton* cmdSetPrint = nullptr;
    QPushButton* cmdSetPlaySheets = nullptr;
    QLabel* labSetChartFilter = nullptr;  // the statistics chart's filter, while one is on
    QPushButton* cmdSetClearChartFilter = nullptr;

    CardSet& set() const { return m_set; }
    SetThumbnails* thumbnails() const { return m_thumbnails; }
    // The size of one thumbnail at the current zoom, and the height of everything around the
    // views (filters, buttons, counts): for sizing the dock.
    QSize thumbnailSize() const;
    int controlsHeight() const;
    // The selected cards in set order; the current card.
    QList<quint64> selectedIds() const;
    quint64 currentId() const;
    // Selects and shows one card (0: none).
    void setCurrentId(quint64 id);

    // The panel's commands (also its buttons and keys).
    void addCard();
    void duplicateSelected();
    void deleteSelected();
    void moveSelected(int step);  // -1 up, +1 down; only in the deck's order
    // Up and Down move cards in the deck's order, so they work only while it is shown.
    void followSortOrder();
    void copySelected();
    void paste();
    void mendRow(quint64 id);  // asks for the cell at fault of a bad row
    void render();             // the selection (or the whole set) as pictures, into a folder
    void printSheet();         // the selection (or the whole set) as a print-and-play PDF
    void playSheets();         // ... as tabletop deck sheets, an atlas and a print sheet
    // The cards a statistics chart's bar or direction stands for (Field::None: every card).
    void setChartFilter(const CardFilter& filter);
    // The good cards the filters show, in the order shown (the chart's own filter left out, so
    // that the charts keep every bar), and the bad rows of the set.
    QList<quint64> cardsShownBesideTheChart() const;
    // Card part files changed on disk: the thumbnails are made again, once for a burst of
    // changes (a folder of parts copied in is one redraw).
    void partFilesChanged();

signals:
    void cardPicked(quint64 id);
    // What just happened, for the status line.
    void message(const QString& text);
    // The filters changed: other cards are shown.
    void shownCardsChanged();

private:
    void reloadParts();
    void rememberSelection();
    void restoreSelection();
    void updateCounts();
    QList<quint64> outputIds() const;

    CardSet& m_set;
    Prompts& m_prompts;
    SetModel* m_model = nullptr;
    SetFilterModel* m_filter = nullptr;
    SetThumbnails* m_thumbnails = nullptr;
    class QTimer* m_partsReload = nullptr;  // runs only after a part file changed
    SetOutput* m_output = nullptr;
    QList<quint64> m_selected;
    quint64 m_current = 0;
    bool m_restoring = false;
    Dialog m_sheetDialog;
    QString m_outDir;
    QString m_partsRoot;
};

}  // namespace orvane
