// SPDX-License-Identifier: GPL-3.0-or-later
// The window as a view of a card document: another document shown at run time, the status
// line's words for undo, redo and the rules' resets, and what a fresh start exports.
#include "render/card_parts.h"
#include "render/picture_prep.h"
#include "support/form2_fixture.h"
#include "support/images.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>
#include <QUndoStack>

using namespace orvane;

namespace {

CardParts builtParts()
{
    QString error;
    auto parts = CardParts::load(qEnvironmentVariable("ORVANE_BIN_DIR"), &error);
    if (!parts)
        qFatal("%s", qPrintable(error));
    return *parts;
}

Card someCard()
{
    Card card;
    card.sides = {QStringLiteral("3"), QStringLiteral("7"), QStringLiteral("A"),
                  QStringLiteral("1")};
    card.element = 2;
    card.arrows[1] = true;
    card.x = 5;
    card.y = 9;
    card.mainPicture = gradient(40, 30);
    return card;
}

}  // namespace

class Form2DocumentTest : public QObject {
    Q_OBJECT
private slots:
    void anotherDocumentIsShownAndEdited();
    void aDocumentThatGoesAwayLeavesNoCard();
    void undoAndRedoSayWhatTheyDid();
    void resetsAreSaidWithTheWayBack_data();
    void resetsAreSaidWithTheWayBack();
    void longStatusTextIsElidedWithTheWholeTextAsTooltip();
    void saveCardCancelledAtTheRedCardSaysSo();
    void preparedStatusGivesTheScaledSize_data();
    void preparedStatusGivesTheScaledSize();
    void aFreshStartCopiesTheCardTheControlsDescribe();
    void eachChangeShowsOnlyItsControls();
};

void Form2DocumentTest::anotherDocumentIsShownAndEdited()
{
    Form2Fixture f;
    f.type(0, QStringLiteral("5"));
    const Card own = f.card();
    CardDocument other;
    other.setCard(someCard());
    const int before = f.compositions();
    f.form->setDocument(other);
    QCOMPARE(f.compositions(), before + 1);  // shown at once
    QCOMPARE(f.txtNums(1)->text(), QStringLiteral("7"));
    QVERIFY(f.optElem(2)->isChecked());
    QVERIFY(f.chkArrow(1)->isChecked());
    QCOMPARE(f.scrY()->value(), 9);
    QCOMPARE(f.Label7()->text(), QStringLiteral("Arrows Left = 3"));  // 21: four allowed
    const RenderedCard expected = renderCard(someCard(), builtParts());
    QCOMPARE(f.picBlueBase()->image(), expected.blue);
    QCOMPARE(f.picRedBase()->image(), expected.red);

    // Edits go to the document shown, and undo shows at once; the lone card stays as it was.
    f.clickArrow(4);
    QVERIFY(other.card().arrows[4]);
    QCOMPARE(other.undoStack()->count(), 1);
    other.undoStack()->undo();
    QVERIFY(!f.chkArrow(4)->isChecked());
    f.form->setDocument(f.session().loneCard());
    QCOMPARE(f.card(), own);
    QCOMPARE(f.txtNums(0)->text(), QStringLiteral("5"));
    f.clickArrow(0);
    QVERIFY(!other.card().arrows[0]);
}

void Form2DocumentTest::aDocumentThatGoesAwayLeavesNoCard()
{
    Form2Fixture f;
    auto other = std::make_unique<CardDocument>();
    other->setCard(someCard());
    f.form->setDocument(*other);
    other.reset();
    QVERIFY(f.form->showsNoCard());
    QVERIFY(!f.txtNums(1)->isEnabled());
    QVERIFY(f.session().loneCard().undoStack()->count() == 0);  // the lone card is not edited
}

void Form2DocumentTest::undoAndRedoSayWhatTheyDid()
{
    Form2Fixture f;
    QVERIFY(!f.actUndo()->isEnabled());
    f.optElem(3)->click();
    QCOMPARE(f.actUndo()->text(), QStringLiteral("&Undo Element"));
    f.actUndo()->trigger();
    QCOMPARE(f.status(), QStringLiteral("Undid Element"));
    QCOMPARE(f.actRedo()->text(), QStringLiteral("&Redo Element"));
    f.actRedo()->trigger();
    QCOMPARE(f.status(), QStringLiteral("Redid Element"));
    f.scrX()->setValue(4);
    f.actUndo()->trigger();
    QCOMPARE(f.status(), QStringLiteral("Undid Picture Position"));
    QCOMPARE(f.scrX()->value(), 0);
}

void Form2DocumentTest::resetsAreSaidWithTheWayBack_data()
{
    QTest::addColumn<QStringList>("sides");  // typed first ("" : left as they are)
    QTest::addColumn<QList<int>>("arrows");  // ticked next
    QTest::addColumn<QString>("action");     // "element N", "type N TEXT"
    QTest::addColumn<QString>("said");       // the status line's beginning; "" : nothing said
    QTest::newRow("element over typed numbers")
        << QStringList{"5", "3", "7", "2"} << QList<int>{} << "element 0"
        << "Numbers reset by the element: Ctrl+Z brings them back";
    QTest::newRow("element over typed numbers and arrows")
        << QStringList{"5", "3", "7", "2"} << QList<int>{1} << "element 10"
        << "Numbers and arrows reset by the element: Ctrl+Z brings them back";
    QTest::newRow("Trap over A A A A unticks the arrows")
        << QStringList{} << QList<int>{0, 7} << "element 10"
        << "Arrows unticked by the element: Ctrl+Z brings them back";
    QTest::newRow("element that keeps A A A A and the arrows")
        << QStringList{} << QList<int>{2} << "element 4"
        << "";
    QTest::newRow("number change unticks arrows")
        << QStringList{} << QList<int>{3} << "type 2 9"
        << "Arrows unticked by the number change: Ctrl+Z brings them back";
    QTest::newRow("number change without arrows") << QStringList{} << QList<int>{} << "type 2 9"
                                                  << "";
}

void Form2DocumentTest::resetsAreSaidWithTheWayBack()
{
    QFETCH(QStringList, sides);
    QFETCH(QList<int>, arrows);
    QFETCH(QString, action);
    QFETCH(QString, said);
    Form2Fixture f;
    for (int i = 0; i < sides.size(); ++i)
        f.type(i, sides[i]);
    for (int arrow : arrows)
        f.clickArrow(arrow);
    f->showStatus(QString());
    const Card before = f.card();
    const QStringList words = action.split(QLatin1Char(' '));
    if (words[0] == QLatin1String("element"))
        f.optElem(words[1].toInt())->click();
    else
        f.type(words[1].toInt(), words[2]);
    QCOMPARE(f.status(), said);
    if (said.isEmpty())
        return;
    // The way back said is the way back.
    f.actUndo()->trigger();
    QCOMPARE(f.card(), before);
}

void Form2DocumentTest::longStatusTextIsElidedWithTheWholeTextAsTooltip()
{
    Form2Fixture f;
    f->show();
    const QString longText =
        QStringLiteral("Saved the card %1 in /somewhere").arg(QString(300, QLatin1Char('x')));
    f->showStatus(longText);
    QCOMPARE(f.status(), longText);
    const QString shown = f->statusBar()->currentMessage();
    QVERIFY(shown.size() < longText.size());
    QVERIFY(shown.contains(QChar(0x2026)));  // the ellipsis
    QCOMPARE(f->statusBar()->toolTip(), longText);
    f->showStatus(QStringLiteral("Short"));
    QCOMPARE(f->statusBar()->currentMessage(), QStringLiteral("Short"));
    QVERIFY(f->statusBar()->toolTip().isEmpty());
}

void Form2DocumentTest::saveCardCancelledAtTheRedCardSaysSo()
{
    QTemporaryDir dir;
    Form2Fixture f;
    // A whole save first: its words must not outlive the next, cancelled one.
    f.prompts.fileAnswers.enqueue(dir.filePath(QStringLiteral("a-blue.jpg")));
    f.prompts.fileAnswers.enqueue(dir.filePath(QStringLiteral("a-red.jpg")));
    f.cmdSaveCards()->click();
    QVERIFY(f.status().startsWith(QStringLiteral("Saved a-blue.jpg and a-red.jpg")));
    f.prompts.fileAnswers.enqueue(dir.filePath(QStringLiteral("b-blue.jpg")));
    f.cmdSaveCards()->click();  // the red card's dialog is cancelled
    QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("b-blue.jpg"))));
    QVERIFY2(f.status().startsWith(QStringLiteral("Saved the blue card as ")) &&
                 f.status().endsWith(QStringLiteral("the red card was not saved (cancelled)")),
             qPrintable(f.status()));
    f.cmdSaveCards()->click();  // cancelled at once
    QCOMPARE(f.status(), QStringLiteral("Save Card cancelled: no card was saved"));
}

void Form2DocumentTest::preparedStatusGivesTheScaledSize_data()
{
    QTest::addColumn<QSize>("source");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("said");
    QTest::newRow("landscape fitted") << QSize(2400, 1800) << int(FitMode::Fit)
                                      << "Prepared the main picture: 2400 × 1800 scaled to 62 × 47";
    QTest::newRow("portrait fitted") << QSize(1800, 2400) << int(FitMode::Fit)
                                     << "Prepared the main picture: 1800 × 2400 scaled to 47 × 62";
    QTest::newRow("landscape filled") << QSize(2400, 1800) << int(FitMode::Fill)
                                      << "Prepared the main picture: 2400 × 1800 scaled to 83 × 62";
}

void Form2DocumentTest::preparedStatusGivesTheScaledSize()
{
    QFETCH(QSize, source);
    QFETCH(int, mode);
    QFETCH(QString, said);
    PictureFit fit;
    fit.mode = FitMode(mode);
    QCOMPARE(preparedStatus(source, fit), said);
}

void Form2DocumentTest::aFreshStartCopiesTheCardTheControlsDescribe()
{
    Form2Fixture f;
    f.actCopyBlue()->trigger();
    const QImage copied =
        qvariant_cast<QImage>(QGuiApplication::clipboard()->mimeData()->imageData())
            .convertToFormat(QImage::Format_RGB32);
    Card fresh;
    fresh.element = ElementNone;
    QCOMPARE(copied, renderCard(fresh, builtParts()).blue);
}

namespace {

// The groups of controls that show one kind of change, each set to a stale value (without its
// handler running) that no edit below gives the card: a group the window leaves alone keeps it.
enum Group { Sides, Element, Arrows, Offset, Picture, Totals, GroupCount };
const char* const GroupNames[] = {"sides", "element", "arrows", "offset", "picture", "totals"};
const QRgb StaleColour = qRgb(1, 2, 3);

void makeStale(Form2Fixture& f)
{
    const auto quietly = [](QObject* control, const auto& set) {
        const QSignalBlocker block(control);
        set();
    };
    quietly(f.txtNums(0), [&] { f.txtNums(0)->setText(QStringLiteral("7")); });
    f.txtNums(0)->setToolTip(QStringLiteral("stale"));
    quietly(f.optElem(3), [&] { f.optElem(3)->setChecked(true); });
    f.txtNums(3)->setReadOnly(true);
    quietly(f.chkArrow(5), [&] { f.chkArrow(5)->setChecked(true); });
    quietly(f.scrX(), [&] { f.scrX()->setValue(30); });
    f.labYpos()->setText(QStringLiteral("stale"));
    f.picMainPic()->setPicture(solid(8, 8, StaleColour));
    quietly(f.optFrame(0), [&] { f.optFrame(0)->setChecked(true); });
    f.Label7()->setText(QStringLiteral("stale"));
}

// What each group shows: all its stale values, or the card in every control (a group the window
// showed only in part is neither).
enum class Shows { Stale, Card, Neither };
std::array<Shows, GroupCount> groupsShowing(Form2Fixture& f)
{
    const Card& card = f.card();
    const auto staleOrShown = [](bool stale, bool shown) {
        return stale == shown ? Shows::Neither : stale ? Shows::Stale : Shows::Card;
    };
    std::array<Shows, GroupCount> stale{};
    stale[Sides] = staleOrShown(f.txtNums(0)->text() == QLatin1String("7") &&
                                    f.txtNums(0)->toolTip() == QLatin1String("stale"),
                                f.txtNums(0)->text() == card.sides[0] &&
                                    f.txtNums(0)->toolTip() != QLatin1String("stale"));
    stale[Element] =
        staleOrShown(f.optElem(3)->isChecked() && f.txtNums(3)->isReadOnly(),
                     f.form->selectedElement() == card.element && !f.txtNums(3)->isReadOnly());
    const bool staleArrow = f.chkArrow(5)->isChecked();
    stale[Arrows] =
        staleOrShown(staleArrow, !staleArrow && f.chkArrow(1)->isChecked() == card.arrows[1]);
    stale[Offset] = staleOrShown(
        f.scrX()->value() == 30 && f.labYpos()->text() == QLatin1String("stale"),
        f.scrX()->value() == card.x && f.labYpos()->text() == QStringLiteral("Y: %1").arg(card.y));
    const bool picture = f.picMainPic()->hasPicture();
    const bool stalePicture =
        picture && rgb(f.picMainPic()->image(), 0, 0) == (StaleColour & 0xFFFFFF);
    stale[Picture] =
        staleOrShown(stalePicture, !stalePicture && picture == !card.mainPicture.isNull());
    stale[Totals] =
        staleOrShown(f.Label7()->text() == QLatin1String("stale") && f.optFrame(0)->isChecked(),
                     f.Label7()->text() != QLatin1String("stale") &&
                         f.form->selectedFrame() == frameForTotal(cardTotal(card)));
    return stale;
}

}  // namespace

void Form2DocumentTest::eachChangeShowsOnlyItsControls()
{
    using Edit = std::function<void(CardDocument&)>;
    CardPlacement moved;
    moved.ElemX = 40;
    const struct {
        const char* name;
        Edit before;  // before the controls go stale
        Edit edit;
        std::initializer_list<Group> shown;
    } cases[] = {
        {"arrow ticked", {}, [](CardDocument& d) { d.setArrow(1, true); }, {Arrows, Totals}},
        {"arrow undone",
         [](CardDocument& d) { d.setArrow(1, true); },
         [](CardDocument& d) { d.undoStack()->undo(); },
         {Arrows, Totals}},
        {"picture moved", {}, [](CardDocument& d) { d.moveMainPicture(5, 6); }, {Offset}},
        {"picture loaded",
         {},
         [](CardDocument& d) { d.setMainPicture(gradient(20, 20), QStringLiteral("a.png")); },
         {Picture}},
        {"picture prepared",
         [](CardDocument& d) { d.moveMainPicture(5, 6); },
         [](CardDocument& d) { d.setPreparedPicture(gradient(62, 62), QString(), {}); },
         {Picture, Offset}},
        {"number typed",
         {},
         [](CardDocument& d) { d.typeSide(1, QStringLiteral("5")); },
         {Sides, Arrows, Totals}},
        {"element clicked",
         {},
         [](CardDocument& d) { d.clickElement(0); },
         {Element, Sides, Arrows, Totals}},
        {"placement", {}, [&](CardDocument& d) { d.setPlacement(moved); }, {}},
        {"name", {}, [](CardDocument& d) { d.setName(QStringLiteral("Kobold")); }, {}},
        {"whole card",
         {},
         [](CardDocument& d) { d.setCard(someCard()); },
         {Sides, Element, Arrows, Offset, Picture, Totals}},
    };
    const CardParts parts = builtParts();
    for (const auto& c : cases) {
        Form2Fixture f;
        CardDocument& document = f.form->document();
        if (c.before)
            c.before(document);
        makeStale(f);
        const int composed = f.compositions();
        c.edit(document);
        const std::array<Shows, GroupCount> showing = groupsShowing(f);
        for (int g = 0; g < GroupCount; ++g) {
            const bool shown = std::find(c.shown.begin(), c.shown.end(), Group(g)) != c.shown.end();
            QVERIFY2(
                showing[size_t(g)] == (shown ? Shows::Card : Shows::Stale),
                qPrintable(QStringLiteral("%1: %2 should %3")
                               .arg(QLatin1String(c.name), QLatin1String(GroupNames[g]),
                                    QLatin1String(shown ? "show the card" : "be left alone"))));
        }
        // The cards are composed again for every change, from the card as it is now.
        QCOMPARE(f.compositions(), composed + 1);
        const RenderedCard expected = renderCard(document.card(), parts, document.drawnSides());
        QVERIFY2(f.picBlueBase()->image() == expected.blue, c.name);
        QVERIFY2(f.picRedBase()->image() == expected.red, c.name);
    }
}

QTEST_MAIN(Form2DocumentTest)
#include "form2_document_test.moc"
