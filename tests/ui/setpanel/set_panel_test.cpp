// SPDX-License-Identifier: GPL-3.0-or-later
// The set panel through its widgets: thumbnails drawn from the renderer at whole-pixel zoom,
// made lazily; filters and counts; the operations on the selection; mending a bad row; Render
// and Print Sheet for the set.
#include "render/card_parts.h"
#include "setpanel/set_model.h"
#include "setpanel/set_output.h"
#include "setpanel/set_panel.h"
#include "setpanel/set_thumbnails.h"
#include "support/images.h"
#include "support/scripted_prompts.h"
#include "windows/set_cards.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QtTest>
#include <QUndoStack>

using namespace orvane;

namespace {

QString partsRoot()
{
    return qEnvironmentVariable("ORVANE_BIN_DIR");
}

struct PanelFixture {
    QTemporaryDir dir;
    CardSet set;
    ScriptedPrompts prompts;
    std::unique_ptr<SetPanel> panel;

    explicit PanelFixture(const QByteArray& csv)
    {
        solid(62, 62, qRgb(200, 40, 90)).save(dir.filePath("pic.bmp"));
        QFile file(dir.filePath("deck.csv"));
        file.open(QIODevice::WriteOnly);
        file.write(csv);
        file.close();
        QString error;
        if (!set.open(dir.filePath("deck.csv"), &error))
            qWarning() << error;
        panel = std::make_unique<SetPanel>(set, prompts, partsRoot());
        panel->resize(500, 600);
    }

    quint64 id(int row) const { return set.entries()[row].id; }
    QStringList names() const
    {
        QStringList list;
        for (const SetEntry& e : set.entries())
            list << e.card.name;
        return list;
    }
    int shown() const { return panel->lstSetThumbnails->model()->rowCount(); }
};

const QByteArray Deck = "name,up,left,right,down,element,arrows,picture\n"
                        "Slime,1,2,3,4,fire,up,pic.bmp\n"
                        "Dragon,9,9,9,9,water,,\n"
                        "Imp,1,1,1,1,fire,,\n"
                        "Broken,1,Q,1,1,,,\n";

}  // namespace

class SetPanelTest : public QObject {
    Q_OBJECT
private slots:
    void everyControlHasAnAccessibleName();
    void thumbnailsAreTheRenderersPixelsAtWholePixelZoom();
    void thumbnailsAreMadeOnlyForTheCardsShown();
    void filtersAndCounts();
    void aFilterKeepsTheCurrentCardOrLeavesNone();
    void operationsOnTheSelectionAreUndoable();
    void aNameIsCheckedAsItIsTyped();
    void aBadRowIsMendedFromThePanel();
    void copiesAreEditedInTheTable();
    void renderAndPrintSheetWriteTheSet();
    void upAndDownWorkOnlyInDeckOrder();
};

void SetPanelTest::thumbnailsAreTheRenderersPixelsAtWholePixelZoom()
{
    PanelFixture f(Deck);
    QVERIFY(!f.set.readyCard(f.id(0)).mainPicture.isNull());
    f.panel->spnSetZoom->setValue(3);
    f.panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.panel.get()));

    QString error;
    const std::optional<CardParts> parts = CardParts::load(partsRoot(), &error);
    QVERIFY2(parts, qPrintable(error));
    const RenderedCard expected = renderCard(f.set.readyCard(f.id(0)), *parts);
    QListView* view = f.panel->lstSetThumbnails;
    const QImage shot = view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect item = view->visualRect(view->model()->index(0, 0));
    const int zoom = 3;
    const QPoint blue = item.topLeft() + QPoint(4, 4);
    const QPoint red = blue + QPoint(62 * zoom + 4, 0);
    for (int y = 0; y < 62; ++y)
        for (int x = 0; x < 62; ++x)
            for (int d = 0; d < zoom * zoom; ++d) {
                const QPoint p(x * zoom + d % zoom, y * zoom + d / zoom);
                if (shot.pixel(blue + p) != expected.blue.pixel(x, y) ||
                    shot.pixel(red + p) != expected.red.pixel(x, y))
                    QFAIL(qPrintable(QStringLiteral("card pixel %1,%2 differs").arg(x).arg(y)));
            }
}

void SetPanelTest::thumbnailsAreMadeOnlyForTheCardsShown()
{
    QByteArray csv = "name,up,left,right,down\n";
    for (int i = 0; i < 2000; ++i)
        csv += "Card " + QByteArray::number(i) + ",1,2,3,4\n";
    PanelFixture f(csv);
    f.panel->resize(400, 400);
    f.panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.panel.get()));
    QCoreApplication::processEvents();
    QVERIFY(f.panel->thumbnails()->made() > 0);
    QVERIFY2(f.panel->thumbnails()->made() < 100,
             qPrintable(QString::number(f.panel->thumbnails()->made())));
}

void SetPanelTest::aFilterKeepsTheCurrentCardOrLeavesNone()
{
    PanelFixture p(Deck);
    QSignalSpy picked(p.panel.get(), &SetPanel::cardPicked);
    p.panel->setCurrentId(p.id(2));  // Imp
    struct Step {
        const char* filter;
        int element;  // the element box's row
        quint64 current;
    };
    const Step steps[] = {
        {"i", 0, p.id(2)},  // Imp is still shown
        {"", 1, p.id(2)},   // Fire: Slime and Imp
        {"", 2, 0},         // Water: Dragon only, and no card current
        {"", 0, 0},         // everything shown again: still none picked
    };
    for (const Step& step : steps) {
        p.panel->txtSetFilter->setText(QString::fromLatin1(step.filter));
        p.panel->cboSetElement->setCurrentIndex(step.element);
        QCOMPARE(p.panel->currentId(), step.current);
        QCOMPARE(picked.constLast().constFirst().toULongLong(), step.current);
        const QModelIndex shown = p.panel->lstSetThumbnails->currentIndex();
        QCOMPARE(shown.isValid() ? shown.data(SetModel::IdRole).toULongLong() : 0, step.current);
    }
}

void SetPanelTest::filtersAndCounts()
{
    PanelFixture f(Deck);
    QCOMPARE(f.shown(), 4);
    QVERIFY2(f.panel->labSetCounts->text().startsWith("4 cards"),
             qPrintable(f.panel->labSetCounts->text()));

    const struct {
        const char* text;
        int element;  // combo index: 0 any, 1 Fire, 2 Water ...
        int total;    // 3: any
        int shown;
        const char* counts;
    } cases[] = {
        {"", 0, 3, 4, "4 cards: Fire 2, Water 1, bad rows 1 · totals 4: 1, 10: 1, 36: 1"},
        {"dra", 0, 3, 1, "1 card: Water 1 · totals 36: 1"},
        {"", 1, 3, 2, "2 cards: Fire 2 · totals 4: 1, 10: 1"},
        {"", 1, 4, 1, "1 card: Fire 1 · totals 4: 1"},
        {"", 0, 36, 1, "1 card: Water 1 · totals 36: 1"},
        {"fire", 0, 3, 2, "2 cards: Fire 2 · totals 4: 1, 10: 1"},  // any cell: the element
        {"column left", 0, 3, 1, "1 card: bad rows 1"},             // the problem text
        {"nothing", 0, 3, 0, "0 cards"},
    };
    for (const auto& c : cases) {
        f.panel->txtSetFilter->setText(c.text);
        f.panel->cboSetElement->setCurrentIndex(c.element);
        f.panel->spnSetTotal->setValue(c.total);
        QCOMPARE(f.shown(), c.shown);
        QCOMPARE(f.panel->labSetCounts->text(), QString::fromUtf8(c.counts));
    }
}

void SetPanelTest::operationsOnTheSelectionAreUndoable()
{
    PanelFixture f(Deck);
    QSignalSpy picked(f.panel.get(), &SetPanel::cardPicked);
    f.panel->setCurrentId(f.id(0));
    QCOMPARE(picked.last().at(0).toULongLong(), f.id(0));

    f.panel->duplicateSelected();
    QCOMPARE(f.names(), QStringList({"Slime", "Slime 2", "Dragon", "Imp", "Broken"}));
    QCOMPARE(f.panel->selectedIds(), QList<quint64>{f.id(1)});  // the copy is selected

    f.panel->moveSelected(1);
    QCOMPARE(f.names(), QStringList({"Slime", "Dragon", "Slime 2", "Imp", "Broken"}));
    QCOMPARE(f.panel->selectedIds(), QList<quint64>{f.id(2)});  // still selected after the move

    f.panel->deleteSelected();
    QCOMPARE(f.names(), QStringList({"Slime", "Dragon", "Imp", "Broken"}));
    QCOMPARE(f.panel->currentId(), f.id(2));  // the next card

    f.panel->addCard();
    QCOMPARE(f.names(), QStringList({"Slime", "Dragon", "Imp", "New Card", "Broken"}));

    QUndoStack* stack = f.set.undoStack();
    QCOMPARE(stack->count(), 4);
    for (int i = 0; i < 4; ++i)
        stack->undo();
    QCOMPARE(f.names(), QStringList({"Slime", "Dragon", "Imp", "Broken"}));
    QVERIFY(!f.set.isModified());

    // Dragging rows: the model moves the cards in the set.
    QAbstractItemModel* model = f.panel->tblSet->model();
    QMimeData* dragged = model->mimeData({model->index(2, 0), model->index(0, 0)});
    model->dropMimeData(dragged, Qt::MoveAction, 4, 0, {});
    delete dragged;
    QCOMPARE(f.names(), QStringList({"Dragon", "Broken", "Slime", "Imp"}));
}

void SetPanelTest::upAndDownWorkOnlyInDeckOrder()
{
    PanelFixture f(Deck);
    const auto shownNames = [&f] {
        QStringList names;
        const QAbstractItemModel* model = f.panel->tblSet->model();
        for (int row = 0; row < model->rowCount(); ++row)
            names << model->index(row, SetModel::Name).data().toString();
        return names;
    };
    const QStringList deck{"Slime", "Dragon", "Imp", "Broken"};
    QCOMPARE(shownNames(), deck);
    QVERIFY(f.panel->cmdSetUp->isEnabled());
    QVERIFY(f.panel->cmdSetDown->isEnabled());
    QVERIFY(!f.panel->cmdSetDeckOrder->isEnabled());

    f.panel->tblSet->sortByColumn(SetModel::Name, Qt::AscendingOrder);  // a header click
    QCOMPARE(shownNames(), QStringList({"Broken", "Dragon", "Imp", "Slime"}));
    for (QPushButton* move : {f.panel->cmdSetUp, f.panel->cmdSetDown}) {
        QVERIFY(!move->isEnabled());
        QVERIFY(move->toolTip().contains("Deck order"));
    }
    f.panel->setCurrentId(f.id(1));
    f.panel->moveSelected(1);  // refused while sorted
    QCOMPARE(f.names(), deck);

    f.panel->cmdSetDeckOrder->click();
    QCOMPARE(shownNames(), deck);
    QVERIFY(f.panel->cmdSetDown->isEnabled());
    QVERIFY(f.panel->cmdSetDown->toolTip().isEmpty());
    QVERIFY(!f.panel->cmdSetDeckOrder->isEnabled());
    f.panel->setCurrentId(f.id(1));
    f.panel->cmdSetDown->click();
    QCOMPARE(f.names(), QStringList({"Slime", "Imp", "Dragon", "Broken"}));
}

void SetPanelTest::aNameIsCheckedAsItIsTyped()
{
    PanelFixture f(Deck);
    f.panel->cboSetView->setCurrentIndex(1);
    f.panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.panel.get()));
    QSignalSpy messages(f.panel.get(), &SetPanel::message);
    QTableView* table = f.panel->tblSet;
    table->setCurrentIndex(table->model()->index(1, 0));
    table->edit(table->model()->index(1, 0));
    auto* editor = table->findChild<QLineEdit*>("txtSetName");
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, "slime");
    QVERIFY(!editor->toolTip().isEmpty());
    QVERIFY(messages.last().at(0).toString().contains("Slime"));
    QTest::keyClick(editor, Qt::Key_Backspace);
    QVERIFY(editor->toolTip().isEmpty());

    // Committed anyway, a name taken is refused with its reason and changes nothing.
    QVERIFY(!table->model()->setData(table->model()->index(1, 0), "SLIME", Qt::EditRole));
    QVERIFY(messages.last().at(0).toString().contains("Slime"));
    QCOMPARE(f.set.entries()[1].card.name, QString("Dragon"));
    QVERIFY(table->model()->setData(table->model()->index(1, 0), "Wyrm", Qt::EditRole));
    QCOMPARE(f.set.entries()[1].card.name, QString("Wyrm"));
}

void SetPanelTest::aBadRowIsMendedFromThePanel()
{
    PanelFixture f(Deck);
    const quint64 broken = f.id(3);
    QCOMPARE(f.panel->tblSet->model()->index(3, SetModel::Problem).data().toString(),
             QString("line 5, column left: \"Q\" is not a side value (1 to 9, or A or 10)"));
    f.prompts.inputAnswers.enqueue("7");
    f.panel->mendRow(broken);
    QCOMPARE(f.prompts.inputs.size(), 1);
    QVERIFY(f.prompts.inputs.front().first.contains("column left"));
    QVERIFY(!f.set.entry(broken)->isBad());
    QCOMPARE(f.set.entry(broken)->card.sides[1], QString("7"));
    QCOMPARE(f.panel->currentId(), broken);
}

void SetPanelTest::copiesAreEditedInTheTable()
{
    PanelFixture f(Deck);
    QSignalSpy messages(f.panel.get(), &SetPanel::message);
    QAbstractItemModel* table = f.panel->tblSet->model();
    const QModelIndex dragon = table->index(1, SetModel::Copies);
    QCOMPARE(dragon.data().toString(), QString("1"));
    QVERIFY(!(table->index(3, SetModel::Copies).flags() & Qt::ItemIsEditable));  // a bad row
    QVERIFY(table->setData(dragon, " 8 ", Qt::EditRole));
    QVERIFY(table->setData(dragon, "0", Qt::EditRole));
    for (const char* typed : {"100", "-1", "two", "1.5"}) {
        QVERIFY2(!table->setData(dragon, typed, Qt::EditRole), typed);
        QVERIFY(messages.last().at(0).toString().contains("whole number from 0 to 99"));
    }
    QCOMPARE(f.set.undoStack()->count(), 2);
    f.set.undoStack()->undo();
    QCOMPARE(dragon.data().toString(), QString("8"));
    // The text filter passes over the copies: no card shows an 8 anywhere else.
    f.panel->txtSetFilter->setText("8");
    QCOMPARE(f.shown(), 0);
    // What prints is what the table holds, saved or not.
    QString error;
    const QList<NamedCard> cards = renderSetCards(f.set, {f.id(1)}, partsRoot(), &error);
    QCOMPARE(cards.size(), 1);
    QCOMPARE(cards[0].copies, 8);
}

void SetPanelTest::renderAndPrintSheetWriteTheSet()
{
    PanelFixture f("name,up,left,right,down\nA,1,2,3,4\nB,5,6,7,8\nBad,x,1,1,1\n");
    const QString out = f.dir.filePath("out");
    QDir().mkpath(out);
    f.prompts.folderAnswers.enqueue(out);
    QSignalSpy finished(f.panel->findChild<SetOutput*>(), &SetOutput::finished);
    f.panel->render();
    QVERIFY(finished.wait(20000));
    QVERIFY2(finished.last().at(1).toString().startsWith("2 cards written"),
             qPrintable(finished.last().at(1).toString()));
    QCOMPARE(QDir(out).entryList(QDir::Files),
             QStringList({"A-blue.png", "A-red.png", "B-blue.png", "B-red.png"}));

    f.prompts.fileAnswers.enqueue(f.dir.filePath("sheet"));
    f.panel->printSheet();
    QVERIFY(finished.wait(20000));
    QVERIFY(QFileInfo(f.dir.filePath("sheet.pdf")).size() > 0);
    QVERIFY(!f.panel->findChild<SetOutput*>()->isRunning());
}

// A screen reader can say what each of the panel's controls is, caption or not.
void SetPanelTest::everyControlHasAnAccessibleName()
{
    PanelFixture f(Deck);
    QVERIFY(f.panel->tblSet->accessibleName() == QStringLiteral("Cards table"));
    QVERIFY(f.panel->txtSetFilter->accessibleDescription().contains("name"));
    for (QWidget* control : f.panel->findChildren<QWidget*>()) {
        const bool interactive = qobject_cast<QAbstractButton*>(control) ||
                                 qobject_cast<QComboBox*>(control) ||
                                 qobject_cast<QAbstractSpinBox*>(control) ||
                                 qobject_cast<QLineEdit*>(control) ||
                                 qobject_cast<QAbstractItemView*>(control);
        // (a spin box's own line edit is read as part of its spin box)
        if (interactive && !control->objectName().startsWith(QLatin1String("qt_")) &&
            !control->objectName().isEmpty())
            QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
    }
}

QTEST_MAIN(SetPanelTest)
#include "set_panel_test.moc"
