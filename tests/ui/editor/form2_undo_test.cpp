// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo through the real widgets and the Edit menu: one step per user change, and each
// undo puts back the whole card the change replaced.
#include "card/card_rules.h"
#include "support/card_view.h"
#include "support/images.h"
#include "support/temp_settings.h"
#include "windows/form4.h"

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>
#include <QUndoStack>

#include "document/card_document.h"

class Form2UndoTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void typingIsOneStepPerBox();
    void leavingABoxEndsItsStep();
    void typedBackToTheStartLeavesNoStep();
    void elementUndoBringsBackNumbersAndArrows();
    void arrowsAndTheRefusedArrow();
    void scrollBarDragIsOneStep();
    void mainPictureStep();
    void placementFromAdvancedSettings();
    void randomisedNumbersAreOneStep();
    void undoInANumberBoxUndoesTheCard();
    void newChangeAfterUndoDropsTheRedo();
    void modifiedMarkFollowsTheHistory();
};

namespace {

QUndoStack* stack(Form2Fixture& f)
{
    return f.form->document().undoStack();
}

// Keys typed into a box the way the user types them: focus in, replace the text.
void typeInto(Form2Fixture& f, int box, const QString& keys)
{
    QLineEdit* edit = f.txtNums(size_t(box));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, keys);
}

}  // namespace

void Form2UndoTest::init() {}

void Form2UndoTest::typingIsOneStepPerBox()
{
    Form2Fixture f;
    f->show();
    QApplication::setActiveWindow(f.window.get());
    const CardView start = viewOf(f);
    typeInto(f, 0, QStringLiteral("3"));
    QTest::keyClick(f.txtNums(0), Qt::Key_Backspace);
    QTest::keyClicks(f.txtNums(0), QStringLiteral("5"));
    QCOMPARE(stack(f)->count(), 1);
    typeInto(f, 2, QStringLiteral("7"));
    QCOMPARE(stack(f)->count(), 2);
    const CardView typed = viewOf(f);
    QCOMPARE(typed.sides, (QStringList{"5", "A", "7", "A"}));

    f.actUndo()->trigger();
    QCOMPARE(viewOf(f).sides, (QStringList{"5", "A", "A", "A"}));
    f.actUndo()->trigger();
    QCOMPARE(viewOf(f), start);
    QVERIFY(!f.actUndo()->isEnabled());
    f.actRedo()->trigger();
    f.actRedo()->trigger();
    QCOMPARE(viewOf(f), typed);
}

void Form2UndoTest::leavingABoxEndsItsStep()
{
    Form2Fixture f;
    f->show();
    QApplication::setActiveWindow(f.window.get());
    typeInto(f, 1, QStringLiteral("4"));
    f.txtNums(2)->setFocus();  // leaves the box without typing
    f.txtNums(1)->setFocus();
    QTest::keyClicks(f.txtNums(1), QStringLiteral("2"));
    QCOMPARE(f.txtNums(1)->text(), QStringLiteral("42"));
    QCOMPARE(stack(f)->count(), 2);
    f.actUndo()->trigger();
    QCOMPARE(f.txtNums(1)->text(), QStringLiteral("4"));
}

void Form2UndoTest::typedBackToTheStartLeavesNoStep()
{
    Form2Fixture f;
    f->show();
    QApplication::setActiveWindow(f.window.get());
    typeInto(f, 0, QStringLiteral("3"));
    QTest::keyClick(f.txtNums(0), Qt::Key_Backspace);
    QTest::keyClicks(f.txtNums(0), QStringLiteral("A"));
    QCOMPARE(stack(f)->count(), 0);
    QVERIFY(!f->isWindowModified());
}

void Form2UndoTest::elementUndoBringsBackNumbersAndArrows()
{
    Form2Fixture f;
    f.typeAll("9", "8", "7", "6");  // total 30: six arrows
    f.tick();
    f.clickArrow(0);
    f.clickArrow(4);
    f.clickArrow(7);
    f.scrX()->setValue(12);
    const CardView before = viewOf(f);
    const int steps = stack(f)->count();

    f.optElem(7)->click();  // Holy: every number becomes A, the arrows are unticked
    QCOMPARE(stack(f)->count(), steps + 1);
    const CardView holy = viewOf(f);
    QCOMPARE(holy.sides, (QStringList{"A", "A", "A", "A"}));
    QCOMPARE(f.ticked(), 0);

    f.actUndo()->trigger();
    const CardView undone = viewOf(f);
    QCOMPARE(undone.sides, before.sides);
    QCOMPARE(undone.arrows, before.arrows);
    QCOMPARE(undone.element, orvane::ElementNone);
    QCOMPARE(undone.arrowsTicked, qint16(3));
    QCOMPARE(undone.arrowsLeft, QStringLiteral("Arrows Left = 3"));
    QVERIFY(undone == before);  // the same controls and the same two cards, pixel for pixel
    f.actRedo()->trigger();
    QVERIFY(viewOf(f) == holy);

    // Trap's fixed numbers come back read-only with the trap, and free again on undo.
    f.optElem(orvane::ElementTrap)->click();
    QVERIFY(f.txtNums(0)->isReadOnly());
    f.actUndo()->trigger();
    QVERIFY(!f.txtNums(0)->isReadOnly());
    QCOMPARE(f.form->selectedElement(), 7);
    f.actRedo()->trigger();
    QVERIFY(f.txtNums(0)->isReadOnly());
    QCOMPARE(f.txtNums(3)->text(), QStringLiteral("2"));
}

void Form2UndoTest::arrowsAndTheRefusedArrow()
{
    Form2Fixture f;
    f.typeAll("1", "1", "1", "1");  // total 4: one arrow
    f.tick();
    const int steps = stack(f)->count();
    f.clickArrow(2);
    QCOMPARE(stack(f)->count(), steps + 1);
    f.clickArrow(5);  // refused with a beep: no step
    QCOMPARE(f.prompts.beeps, 1);
    QCOMPARE(stack(f)->count(), steps + 1);
    f.actUndo()->trigger();
    QCOMPARE(f.ticked(), 0);
    QCOMPARE(f.arrowsTicked(), qint16(0));
    f.clickArrow(5);  // the count is right again: this one is allowed
    QCOMPARE(f.ticked(), 1);
    QCOMPARE(f.prompts.beeps, 1);
}

void Form2UndoTest::scrollBarDragIsOneStep()
{
    Form2Fixture f;
    f.scrY()->setSliderDown(true);
    for (int value : {3, 9, 20, 31})
        f.scrY()->setValue(value);
    f.scrY()->setSliderDown(false);
    QCOMPARE(stack(f)->count(), 1);
    f.scrY()->setSliderDown(true);  // a second drag is a step of its own
    f.scrY()->setValue(40);
    f.scrY()->setSliderDown(false);
    f.scrX()->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // each click a step
    f.scrX()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(stack(f)->count(), 4);
    QCOMPARE(f.scrX()->value(), 11);
    f.actUndo()->trigger();
    QCOMPARE(f.scrX()->value(), 1);
    f.actUndo()->trigger();
    f.actUndo()->trigger();
    QCOMPARE(f.scrY()->value(), 31);
    QCOMPARE(f.labYpos()->text(), QStringLiteral("Y: 31"));  // labels follow at the next tick
    f.actUndo()->trigger();
    f.tick();
    QCOMPARE(f.scrY()->value(), 0);
    QCOMPARE(f.labYpos()->text(), QStringLiteral("Y: 0"));
}

void Form2UndoTest::mainPictureStep()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("face.bmp"));
    QVERIFY(gradient(80, 70).save(path, "BMP"));
    Form2Fixture f;
    const QImage blank = f.picMainPic()->image().copy();
    const CardView before = viewOf(f);
    f.prompts.fileAnswers.enqueue(path);
    f.actLoadMain()->trigger();
    QCOMPARE(stack(f)->count(), 1);
    QCOMPARE(f.form->document().card().mainPicturePath, path);
    const CardView loaded = viewOf(f);
    QVERIFY(loaded.blue != before.blue);
    f.actUndo()->trigger();
    QCOMPARE(f.picMainPic()->image(), blank);
    QCOMPARE(f.picMainPic()->size(), QSize(66, 66));
    QVERIFY(f.form->document().card().mainPicture.isNull());
    QVERIFY(viewOf(f) == before);
    f.actRedo()->trigger();
    QCOMPARE(f.picMainPic()->image(), gradient(80, 70).copy(0, 0, 62, 62));
    QCOMPARE(f.form->document().card().preparation.source, gradient(80, 70));
    QVERIFY(viewOf(f) == loaded);
    // A cancelled or refused load is no step.
    f.actLoadMain()->trigger();
    QCOMPARE(stack(f)->count(), 1);
}

void Form2UndoTest::placementFromAdvancedSettings()
{
    Form2Fixture f;
    const CardView before = viewOf(f);
    f.actAdvanced()->trigger();
    Form4* settings = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* form = qobject_cast<Form4*>(w); form && form->isVisible())
            settings = form;
    QVERIFY(settings);
    settings->txtTopX->setText(QStringLiteral("20"));
    settings->txtElemY->setText(QStringLiteral("30"));
    settings->Command1->click();
    QCOMPARE(f.card().placement.TopX, qint16(20));
    QCOMPARE(stack(f)->count(), 1);
    f.actUndo()->trigger();
    QCOMPARE(f.card().placement, orvane::CardPlacement{});
    QVERIFY(viewOf(f) == before);
    f.actRedo()->trigger();
    QCOMPARE(f.card().placement.ElemY, qint16(30));
}

void Form2UndoTest::randomisedNumbersAreOneStep()
{
    Form2Fixture f;
    f.prompts.inputAnswers << QStringLiteral("12") << QStringLiteral("3");
    f.cmdRandom()->click();
    QCOMPARE(orvane::cardTotal(std::array<QString, 4>{f.txtNums(0)->text(), f.txtNums(1)->text(),
                                                      f.txtNums(2)->text(), f.txtNums(3)->text()}),
             qint16(12));
    QCOMPARE(stack(f)->count(), 1);
    f.actUndo()->trigger();
    QCOMPARE(viewOf(f).sides, (QStringList{"A", "A", "A", "A"}));
    QCOMPARE(f.total(), qint16(40));
    // Cancelled: no step.
    f.cmdRandom()->click();
    QCOMPARE(stack(f)->count(), 1);
}

void Form2UndoTest::undoInANumberBoxUndoesTheCard()
{
    Form2Fixture f;
    f->show();
    QApplication::setActiveWindow(f.window.get());
    f.tick();
    f.clickArrow(1);
    typeInto(f, 3, QStringLiteral("9"));
    QCOMPARE(f.ticked(), 0);
    // Ctrl+Z in the box is the card's undo: the number and the arrow it unticked come back.
    QTest::keyClick(f.txtNums(3), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.txtNums(3)->text(), QStringLiteral("A"));
    QCOMPARE(f.ticked(), 1);
    QTest::keyClick(f.txtNums(3), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(f.txtNums(3)->text(), QStringLiteral("9"));
    QTest::keyClick(f.txtNums(3), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(f.txtNums(3), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(f.txtNums(3)->text(), QStringLiteral("9"));
}

void Form2UndoTest::newChangeAfterUndoDropsTheRedo()
{
    Form2Fixture f;
    f->show();
    QApplication::setActiveWindow(f.window.get());
    typeInto(f, 0, QStringLiteral("5"));
    f.actUndo()->trigger();
    // Typing again in the same box after undo is a new step, not more of the undone one.
    QTest::keyClicks(f.txtNums(0), QStringLiteral("6"));
    QCOMPARE(stack(f)->count(), 1);
    QVERIFY(!f.actRedo()->isEnabled());
    f.actUndo()->trigger();
    QCOMPARE(f.txtNums(0)->text(), QStringLiteral("A"));
}

void Form2UndoTest::modifiedMarkFollowsTheHistory()
{
    TempSettings settings;
    Form2Fixture f;
    QVERIFY(!f->isWindowModified());
    f.scrX()->setValue(5);
    QVERIFY(f->isWindowModified());
    f.actUndo()->trigger();
    QVERIFY(!f->isWindowModified());
    f.actRedo()->trigger();
    QVERIFY(f->isWindowModified());
}

QTEST_MAIN(Form2UndoTest)
#include "form2_undo_test.moc"
