// SPDX-License-Identifier: GPL-3.0-or-later
#include "setpanel/set_panel.h"

#include "card/card_rules.h"
#include "setpanel/set_model.h"
#include "setpanel/set_output.h"
#include "setpanel/set_thumbnails.h"
#include "widgets/accessible_names.h"
#include "windows/play_sheets_dialog.h"

#include <QAction>
#include <span>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace orvane {
namespace {

// The name cell's editor says at once, as the user types, why a name cannot be taken.
class NameDelegate : public QStyledItemDelegate {
public:
    NameDelegate(CardSet& set, SetPanel& panel)
        : QStyledItemDelegate(&panel), m_set(set), m_panel(panel)
    {
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        auto* editor =
            qobject_cast<QLineEdit*>(QStyledItemDelegate::createEditor(parent, option, index));
        if (!editor)
            return nullptr;
        editor->setObjectName(QStringLiteral("txtSetName"));
        const quint64 id = index.data(SetModel::IdRole).toULongLong();
        const QPalette normal = editor->palette();
        QObject::connect(editor, &QLineEdit::textEdited, editor,
                         [this, editor, id, normal](const QString& text) {
                             const QString problem = m_set.nameProblem(text, id);
                             QPalette palette = normal;
                             if (!problem.isEmpty())
                                 palette.setColor(QPalette::Base, QColor(0xff, 0xd8, 0xd8));
                             editor->setPalette(palette);
                             editor->setToolTip(problem);
                             emit m_panel.message(problem);
                         });
        return editor;
    }

private:
    CardSet& m_set;
    SetPanel& m_panel;
};

// What screen readers say for the panel's controls that have no caption of their own.
std::span<const AccessibleText> setPanelReaderTexts()
{
    static constexpr AccessibleText texts[] = {
        {"txtSetFilter", "Filter cards", "Shows the cards whose name or any cell holds the text"},
        {"cboSetElement", "Element filter", "Shows the cards of one element"},
        {"spnSetTotal", "Total filter", "Shows the cards of one total"},
        {"cboSetView", "View", "Thumbnails or a table"},
        {"spnSetZoom", "Thumbnail zoom", "How many screen pixels a card pixel takes"},
        {"lstSetThumbnails", "Cards", "Every card of the set as a blue and a red picture"},
        {"tblSet", "Cards table", "Every card of the set, a row each"},
        {"labSetCounts", "Counts", ""},
        {"labSetChartFilter", "Chart filter", ""},
    };
    return texts;
}

QPushButton* button(const QString& name, const QString& text, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

}  // namespace

SetPanel::SetPanel(CardSet& set, Prompts& prompts, const QString& partsRoot, QWidget* parent)
    : QWidget(parent), m_set(set), m_prompts(prompts), m_partsRoot(partsRoot)
{
    setObjectName(QStringLiteral("SetPanel"));
    m_model = new SetModel(set, this);
    m_filter = new SetFilterModel(this);
    m_filter->setSourceModel(m_model);
    m_filter->setSortRole(SetModel::SortRole);
    m_filter->setSortCaseSensitivity(Qt::CaseInsensitive);
    m_thumbnails = new SetThumbnails(set, partsRoot, this);
    // Files copied in one after another come as several changes: the reload waits for a short
    // quiet moment, so it happens once.
    m_partsReload = new QTimer(this);
    m_partsReload->setSingleShot(true);
    m_partsReload->setInterval(100);
    connect(m_partsReload, &QTimer::timeout, this, &SetPanel::reloadParts);
    m_output = new SetOutput(set, partsRoot, this);

    txtSetFilter = new QLineEdit(this);
    txtSetFilter->setObjectName(QStringLiteral("txtSetFilter"));
    txtSetFilter->setPlaceholderText(tr("Filter"));
    txtSetFilter->setClearButtonEnabled(true);
    cboSetElement = new QComboBox(this);
    cboSetElement->setObjectName(QStringLiteral("cboSetElement"));
    cboSetElement->addItem(tr("Any element"), SetFilterModel::AnyElement);
    for (int element = 0; element < ElementOptionCount; ++element)
        cboSetElement->addItem(elementCaption(element), element);
    cboSetElement->addItem(tr("Bad rows"), -2);
    spnSetTotal = new QSpinBox(this);
    spnSetTotal->setObjectName(QStringLiteral("spnSetTotal"));
    spnSetTotal->setRange(3, 40);  // 3: any (the lowest total is 4)
    spnSetTotal->setSpecialValueText(tr("Any total"));
    cboSetView = new QComboBox(this);
    cboSetView->setObjectName(QStringLiteral("cboSetView"));
    cboSetView->addItems({tr("Thumbnails"), tr("Table")});
    spnSetZoom = new QSpinBox(this);
    spnSetZoom->setObjectName(QStringLiteral("spnSetZoom"));
    spnSetZoom->setRange(SetThumbnails::MinZoom, SetThumbnails::MaxZoom);
    spnSetZoom->setValue(m_thumbnails->zoom());
    spnSetZoom->setSuffix(QStringLiteral(" ×"));

    lstSetThumbnails = new QListView(this);
    lstSetThumbnails->setObjectName(QStringLiteral("lstSetThumbnails"));
    lstSetThumbnails->setViewMode(QListView::IconMode);
    lstSetThumbnails->setResizeMode(QListView::Adjust);
    lstSetThumbnails->setMovement(QListView::Static);
    lstSetThumbnails->setUniformItemSizes(true);
    lstSetThumbnails->setItemDelegate(m_thumbnails);
    lstSetThumbnails->setModel(m_filter);
    tblSet = new QTableView(this);
    tblSet->setObjectName(QStringLiteral("tblSet"));
    tblSet->setModel(m_filter);
    tblSet->setSelectionModel(lstSetThumbnails->selectionModel());
    tblSet->setSortingEnabled(true);
    tblSet->sortByColumn(-1, Qt::AscendingOrder);  // the set's own order until a header click
    tblSet->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblSet->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    tblSet->setItemDelegateForColumn(SetModel::Name, new NameDelegate(set, *this));
    tblSet->verticalHeader()->hide();
    tblSet->horizontalHeader()->setStretchLastSection(true);
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(lstSetThumbnails),
                                    static_cast<QAbstractItemView*>(tblSet)}) {
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setDragDropMode(QAbstractItemView::InternalMove);
        view->setDefaultDropAction(Qt::MoveAction);
        view->setDragEnabled(true);
        view->setAcceptDrops(true);
        view->setDropIndicatorShown(true);
    }
    stkSetViews = new QStackedWidget(this);
    stkSetViews->setObjectName(QStringLiteral("stkSetViews"));
    stkSetViews->addWidget(lstSetThumbnails);
    stkSetViews->addWidget(tblSet);

    labSetChartFilter = new QLabel(this);
    labSetChartFilter->setObjectName(QStringLiteral("labSetChartFilter"));
    cmdSetClearChartFilter = button(QStringLiteral("cmdSetClearChartFilter"), tr("Show All"), this);
    labSetCounts = new QLabel(this);
    labSetCounts->setObjectName(QStringLiteral("labSetCounts"));
    labSetCounts->setWordWrap(true);
    cmdSetAdd = button(QStringLiteral("cmdSetAdd"), tr("Add"), this);
    cmdSetDuplicate = button(QStringLiteral("cmdSetDuplicate"), tr("Duplicate"), this);
    cmdSetDelete = button(QStringLiteral("cmdSetDelete"), tr("Delete"), this);
    cmdSetDeckOrder = button(QStringLiteral("cmdSetDeckOrder"), tr("Deck order"), this);
    cmdSetDeckOrder->setToolTip(tr("Show the cards in the deck's order again"));
    cmdSetUp = button(QStringLiteral("cmdSetUp"), tr("Up"), this);
    cmdSetDown = button(QStringLiteral("cmdSetDown"), tr("Down"), this);
    cmdSetRender = button(QStringLiteral("cmdSetRender"), tr("Render..."), this);
    cmdSetPrint = button(QStringLiteral("cmdSetPrint"), tr("Print Sheet..."), this);
    cmdSetPlaySheets = button(QStringLiteral("cmdSetPlaySheets"), tr("Play Sheets..."), this);

    auto* filters = new QHBoxLayout;
    filters->addWidget(txtSetFilter, 1);
    filters->addWidget(cboSetElement);
    filters->addWidget(spnSetTotal);
    auto* viewRow = new QHBoxLayout;
    viewRow->addWidget(cboSetView);
    viewRow->addWidget(spnSetZoom);
    viewRow->addWidget(cmdSetDeckOrder);
    viewRow->addStretch(1);
    auto* operations = new QHBoxLayout;
    for (QPushButton* b : {cmdSetAdd, cmdSetDuplicate, cmdSetDelete, cmdSetUp, cmdSetDown})
        operations->addWidget(b);
    auto* outputs = new QHBoxLayout;
    outputs->addWidget(cmdSetRender);
    outputs->addWidget(cmdSetPrint);
    outputs->addWidget(cmdSetPlaySheets);
    outputs->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addLayout(viewRow);
    layout->addWidget(stkSetViews, 1);
    auto* chartFilter = new QHBoxLayout;
    chartFilter->addWidget(labSetChartFilter, 1);
    chartFilter->addWidget(cmdSetClearChartFilter);
    layout->addLayout(chartFilter);
    labSetChartFilter->hide();
    cmdSetClearChartFilter->hide();
    layout->addWidget(labSetCounts);
    layout->addLayout(operations);
    layout->addLayout(outputs);

    // Keys while the panel has the focus.
    const auto key = [this](const QKeySequence& keys, auto slot) {
        auto* action = new QAction(this);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
    };
    key(QKeySequence::Delete, &SetPanel::deleteSelected);
    key(QKeySequence::Copy, &SetPanel::copySelected);
    key(QKeySequence::Paste, &SetPanel::paste);

    nameControls(*this, setPanelReaderTexts());
    connect(txtSetFilter, &QLineEdit::textChanged, m_filter, &SetFilterModel::setText);
    connect(cmdSetClearChartFilter, &QPushButton::clicked, this,
            [this] { setChartFilter(CardFilter{}); });
    connect(cboSetElement, &QComboBox::currentIndexChanged, this,
            [this] { m_filter->setElement(cboSetElement->currentData().toInt()); });
    connect(spnSetTotal, &QSpinBox::valueChanged, this, [this](int total) {
        m_filter->setTotal(total == spnSetTotal->minimum() ? -1 : total);
    });
    connect(cboSetView, &QComboBox::currentIndexChanged, stkSetViews,
            &QStackedWidget::setCurrentIndex);
    connect(spnSetZoom, &QSpinBox::valueChanged, this, [this](int zoom) {
        m_thumbnails->setZoom(zoom);
        lstSetThumbnails->reset();  // the items' size changed
        restoreSelection();
    });
    connect(cmdSetAdd, &QPushButton::clicked, this, &SetPanel::addCard);
    connect(cmdSetDuplicate, &QPushButton::clicked, this, &SetPanel::duplicateSelected);
    connect(cmdSetDelete, &QPushButton::clicked, this, &SetPanel::deleteSelected);
    connect(cmdSetDeckOrder, &QPushButton::clicked, this,
            [this] { tblSet->sortByColumn(-1, Qt::AscendingOrder); });
    connect(tblSet->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
            &SetPanel::followSortOrder);
    followSortOrder();
    connect(cmdSetUp, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(cmdSetDown, &QPushButton::clicked, this, [this] { moveSelected(1); });
    connect(cmdSetRender, &QPushButton::clicked, this, &SetPanel::render);
    connect(cmdSetPrint, &QPushButton::clicked, this, &SetPanel::printSheet);
    connect(cmdSetPlaySheets, &QPushButton::clicked, this, &SetPanel::playSheets);
    connect(m_model, &SetModel::renameRefused, this, &SetPanel::message);
    connect(m_model, &SetModel::copiesRefused, this, &SetPanel::message);
    connect(m_output, &SetOutput::finished, this,
            [this](const DeckRenderResult& result, const QString& summary) {
                emit message(summary);
                if (!result.problems.isEmpty() || !result.fatal.isEmpty())
                    m_prompts.notify(summary + QLatin1Char('\n') +
                                         result.problems.join(QLatin1Char('\n')),
                                     tr("Set"));
            });
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(lstSetThumbnails),
                                    static_cast<QAbstractItemView*>(tblSet)})
        connect(view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
            const quint64 id = index.data(SetModel::IdRole).toULongLong();
            if (const SetEntry* e = m_set.entry(id); e && e->isBad())
                mendRow(id);
        });

    QItemSelectionModel* selection = lstSetThumbnails->selectionModel();
    connect(selection, &QItemSelectionModel::selectionChanged, this, &SetPanel::rememberSelection);
    connect(selection, &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                if (m_restoring)
                    return;
                quint64 id = index.isValid() ? index.data(SetModel::IdRole).toULongLong() : 0;
                // The views move their current row off one the filter hid or the set removed:
                // that is no card picked, and no card stays current.
                if (m_current && id != m_current && !m_filter->accepts(m_set.indexOf(m_current)))
                    id = 0;
                m_current = id;
                emit cardPicked(m_current);
            });
    connect(m_filter, &QAbstractItemModel::modelReset, this, [this] {
        restoreSelection();
        updateCounts();
    });
    // After rows went or moved, the views' current row is the panel's current card again.
    const auto rowsChanged = [this] {
        const QModelIndex shown = lstSetThumbnails->selectionModel()->currentIndex();
        if ((shown.isValid() ? shown.data(SetModel::IdRole).toULongLong() : 0) != m_current)
            restoreSelection();
        updateCounts();
    };
    connect(m_filter, &QAbstractItemModel::layoutChanged, this, rowsChanged);
    connect(m_filter, &QAbstractItemModel::rowsInserted, this, &SetPanel::updateCounts);
    connect(m_filter, &QAbstractItemModel::rowsRemoved, this, rowsChanged);
    connect(m_filter, &QAbstractItemModel::dataChanged, this, &SetPanel::updateCounts);
    updateCounts();
}

SetPanel::~SetPanel() = default;

QList<quint64> SetPanel::selectedIds() const
{
    QList<quint64> ids;
    for (const SetEntry& e : m_set.entries())
        if (m_selected.contains(e.id))
            ids << e.id;
    return ids;
}

quint64 SetPanel::currentId() const
{
    return m_current;
}

void SetPanel::setCurrentId(quint64 id)
{
    m_selected = id ? QList<quint64>{id} : QList<quint64>();
    m_current = id;
    restoreSelection();
    emit cardPicked(id);
}

void SetPanel::rememberSelection()
{
    if (m_restoring)
        return;
    m_selected.clear();
    for (const QModelIndex& index : lstSetThumbnails->selectionModel()->selectedIndexes())
        if (const quint64 id = index.data(SetModel::IdRole).toULongLong(); !m_selected.contains(id))
            m_selected << id;
}

// The views lose their selection when the set's rows change; the cards stay selected.
void SetPanel::restoreSelection()
{
    m_restoring = true;
    QItemSelectionModel* selection = lstSetThumbnails->selectionModel();
    QItemSelection rows;
    QModelIndex current;
    for (int row = 0; row < m_filter->rowCount(); ++row) {
        const QModelIndex index = m_filter->index(row, 0);
        const quint64 id = index.data(SetModel::IdRole).toULongLong();
        if (m_selected.contains(id))
            rows.select(index, m_filter->index(row, SetModel::ColumnCount - 1));
        if (id == m_current)
            current = index;
    }
    selection->select(rows, QItemSelectionModel::ClearAndSelect);
    selection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    if (current.isValid()) {
        lstSetThumbnails->scrollTo(current);
        tblSet->scrollTo(current);
    }
    m_restoring = false;
    if (m_current && !m_set.entry(m_current)) {
        m_current = 0;
        emit cardPicked(0);
    }
}

void SetPanel::updateCounts()
{
    labSetCounts->setText(m_filter->counts());
    emit shownCardsChanged();
}

void SetPanel::setChartFilter(const CardFilter& filter)
{
    const bool on = filter.field != CardFilter::Field::None;
    labSetChartFilter->setText(on ? tr("Chart: %1").arg(filter.description()) : QString());
    labSetChartFilter->setVisible(on);
    cmdSetClearChartFilter->setVisible(on);
    m_filter->setCardFilter(filter);
}

QList<quint64> SetPanel::cardsShownBesideTheChart() const
{
    QList<quint64> ids;
    const auto goodOnes = [&](const QAbstractItemModel& rows) {
        for (int row = 0; row < rows.rowCount(); ++row) {
            const quint64 id = rows.index(row, 0).data(SetModel::IdRole).toULongLong();
            if (const SetEntry* e = m_set.entry(id); e && !e->isBad())
                ids << id;
        }
        return ids;
    };
    if (m_filter->cardFilter().field == CardFilter::Field::None)
        return goodOnes(*m_filter);
    // The rows the other filters show, read through a copy of the filter without the chart's.
    SetFilterModel others;
    others.setSourceModel(m_model);
    others.setText(txtSetFilter->text());
    others.setElement(cboSetElement->currentData().toInt());
    others.setTotal(spnSetTotal->value() == spnSetTotal->minimum() ? -1 : spnSetTotal->value());
    others.sort(m_filter->sortColumn(), m_filter->sortOrder());
    return goodOnes(others);
}

void SetPanel::addCard()
{
    const int at = m_current ? m_set.indexOf(m_current) + 1 : -1;
    Card card;
    card.name = tr("New Card");
    card.element = ElementNone;  // as the editor starts
    setCurrentId(m_set.addCard(card, at));
    emit message(tr("Card \"%1\" added.").arg(m_set.entry(m_current)->card.name));
}

void SetPanel::duplicateSelected()
{
    const QList<quint64> made = m_set.duplicateCards(selectedIds());
    if (made.isEmpty())
        return;
    m_selected = made;
    m_current = made.front();
    restoreSelection();
    emit cardPicked(m_current);
    emit message(tr("%1 duplicated.").arg(cardCount(int(made.size()))));
}

void SetPanel::deleteSelected()
{
    const QList<quint64> ids = selectedIds();
    if (ids.isEmpty())
        return;
    // The card after the last deleted one becomes the current card.
    int next = m_set.indexOf(ids.back()) + 1;
    quint64 nextId = 0;
    for (; next < m_set.count() && !nextId; ++next)
        if (!ids.contains(m_set.entries()[next].id))
            nextId = m_set.entries()[next].id;
    m_set.removeCards(ids);
    setCurrentId(nextId);
    emit message(tr("%1 deleted (Undo brings them back).").arg(cardCount(int(ids.size()))));
}

void SetPanel::followSortOrder()
{
    const bool deckOrder = tblSet->horizontalHeader()->sortIndicatorSection() < 0;
    cmdSetDeckOrder->setEnabled(!deckOrder);
    const QString why = deckOrder ? QString()
                                  : tr("Up and Down move cards in the deck's order: click Deck "
                                       "order first");
    for (QPushButton* move : {cmdSetUp, cmdSetDown}) {
        move->setEnabled(deckOrder);
        move->setToolTip(why);
    }
}

void SetPanel::moveSelected(int step)
{
    const QList<quint64> ids = selectedIds();
    if (ids.isEmpty() || m_filter->sortColumn() >= 0)
        return;  // a move in a sorted view would not show where the cards went
    const int first = m_set.indexOf(ids.front());
    const int last = m_set.indexOf(ids.back());
    const int target = step < 0 ? std::max(0, first - 1) : std::min(m_set.count(), last + 2);
    m_set.moveCards(ids, target);
}

void SetPanel::copySelected()
{
    const QList<quint64> ids = selectedIds();
    if (ids.isEmpty())
        return;
    auto* cards = new QMimeData;
    cards->setData(QLatin1String(CardSet::ClipboardType), m_set.copyCards(ids));
    QApplication::clipboard()->setMimeData(cards);
    emit message(tr("%1 copied.").arg(cardCount(int(ids.size()))));
}

void SetPanel::paste()
{
    const QMimeData* cards = QApplication::clipboard()->mimeData();
    if (!cards || !cards->hasFormat(QLatin1String(CardSet::ClipboardType)))
        return;
    const int at = m_current ? m_set.indexOf(m_current) + 1 : -1;
    const QList<quint64> made =
        m_set.pasteCards(cards->data(QLatin1String(CardSet::ClipboardType)), at);
    if (made.isEmpty())
        return;
    m_selected = made;
    m_current = made.front();
    restoreSelection();
    emit cardPicked(m_current);
    emit message(tr("%1 pasted.").arg(cardCount(int(made.size()))));
}

void SetPanel::mendRow(quint64 id)
{
    const SetEntry* e = m_set.entry(id);
    if (!e || !e->isBad())
        return;
    if (e->problemColumn.isEmpty() || m_set.kind() != SetKind::Deck) {
        m_prompts.notify(tr("Line %1: %2").arg(e->line).arg(e->problem), tr("Mend Row"));
        return;
    }
    const QString column = e->problemColumn;
    const QString text = m_prompts.inputBox(
        tr("Line %1, column %2: %3\n\nThe cell's new text:").arg(e->line).arg(column, e->problem),
        tr("Mend Row"), m_set.rowCell(id, column));
    if (text.isEmpty())
        return;
    QString error;
    if (!m_set.setRowCell(id, column, text, &error)) {
        emit message(error);
        return;
    }
    const SetEntry* mended = m_set.entry(id);
    emit message(mended->isBad()
                     ? tr("Line %1 is still wrong: %2").arg(mended->line).arg(mended->problem)
                     : tr("Line %1 mended.").arg(mended->line));
    if (!mended->isBad())
        setCurrentId(id);
}

QList<quint64> SetPanel::outputIds() const
{
    QList<quint64> ids = selectedIds();
    if (ids.size() <= 1) {  // one card picked is the editor's; the set is meant
        ids.clear();
        for (const SetEntry& e : m_set.entries())
            ids << e.id;
    }
    return ids;
}

void SetPanel::render()
{
    if (m_outDir.isEmpty())
        m_outDir = m_set.kind() == SetKind::Folder ? m_set.path()
                   : m_set.path().isEmpty()        ? QDir::homePath()
                                                   : QFileInfo(m_set.path()).absolutePath();
    QString folder = m_outDir;
    if (!m_prompts.chooseFolder(folder, tr("Render Cards Into")))
        return;
    m_outDir = folder;
    QString error;
    if (!m_output->start(outputIds(), folder, QString(), &error))
        m_prompts.messageBox(error, Exclamation, tr("Render"));
}

void SetPanel::printSheet()
{
    m_sheetDialog.Filter = tr("PDF (*.pdf)|*.pdf");
    m_sheetDialog.DialogTitle = tr("Print Sheet");
    if (m_sheetDialog.FileName.isEmpty() && !m_set.path().isEmpty())
        m_sheetDialog.FileName =
            QFileInfo(m_set.path()).completeBaseName() + QStringLiteral(".pdf");
    if (!m_prompts.showSave(m_sheetDialog))
        return;
    QString path = m_sheetDialog.FileName;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    QString error;
    if (!m_output->start(outputIds(), QString(), path, &error))
        m_prompts.messageBox(error, Exclamation, tr("Print Sheet"));
}

void SetPanel::playSheets()
{
    const QString name =
        m_set.path().isEmpty() ? QStringLiteral("set") : QFileInfo(m_set.path()).completeBaseName();
    QString error;
    PlaySheetsDialog* dialog =
        openPlaySheetsForSet(m_prompts, m_set, outputIds(), m_partsRoot, name, window(), &error);
    if (!dialog)
        m_prompts.messageBox(error, Exclamation, tr("Play Sheets"));
    else
        connect(dialog, &PlaySheetsDialog::written, this, &SetPanel::message);
}

QSize SetPanel::thumbnailSize() const
{
    QStyleOptionViewItem option;
    option.initFrom(lstSetThumbnails);
    return m_thumbnails->sizeHint(option, QModelIndex()) +
           QSize(2 * lstSetThumbnails->spacing(), 2 * lstSetThumbnails->spacing());
}

int SetPanel::controlsHeight() const
{
    return sizeHint().height() - stkSetViews->sizeHint().height() +
           2 * lstSetThumbnails->frameWidth();
}

void SetPanel::partFilesChanged()
{
    m_partsReload->start();
}

void SetPanel::reloadParts()
{
    m_thumbnails->reloadParts();
    lstSetThumbnails->viewport()->update();
}

}  // namespace orvane
