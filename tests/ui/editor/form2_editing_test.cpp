// SPDX-License-Identifier: GPL-3.0-or-later
// Editing through the real widgets: numbers, elements, arrows, scroll bars and the randomiser.
#include "card/card_rules.h"
#include "editor/random_sides_questions.h"
#include "support/form2_fixture.h"

#include <QPushButton>
#include <QtTest>

class Form2EditingTest : public QObject {
    Q_OBJECT
private slots:
    void totalsAndFrames_data();
    void totalsAndFrames();
    void typingRunsTheHandlerOncePerRealChange();
    void numberChangeClearsArrowsEvenWithTheSameTotal();
    void manualFrameChoiceIsReplacedAtTheNextChange();
    void arrowLimitOne();
    void arrowLimitSix();
    void untickingCountsDown();
    void trapFixesTheNumbers();
    void fireAfterTrap();
    void noneWithAllAKeepsArrows();
    void holyReplacesTypedNumbers();
    void scrollBarsComposeAtOnce();
    void randomiserForcedDraws_data();
    void randomiserForcedDraws();
    void randomiserAsksAgain();
    void randomiserCancelChangesNothing();
    void randomiserUnderTrapBeeps();
    void randomSidesAnswersAreAskedAgainUntilTheyDo_data();
    void randomSidesAnswersAreAskedAgainUntilTheyDo();
};

void Form2EditingTest::totalsAndFrames_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("frame");
    const auto row = [](const char* name, QStringList texts, int total, int frame) {
        QTest::newRow(name) << texts << total << frame;
    };
    row("four A", {"A", "A", "A", "A"}, 40, 3);
    row("four 1", {"1", "1", "1", "1"}, 4, 0);
    row("16", {"4", "4", "4", "4"}, 16, 0);
    row("17", {"5", "4", "4", "4"}, 17, 1);
    row("20", {"5", "5", "5", "5"}, 20, 1);
    row("21", {"6", "5", "5", "5"}, 21, 2);
    row("25", {"7", "6", "6", "6"}, 25, 2);
    row("26", {"8", "6", "6", "6"}, 26, 3);
    row("10 like A", {"10", "A", "A", "A"}, 40, 3);
    row("2.5", {"2.5", "1", "1", "1"}, 5, 0);
    row("empty box", {"", "A", "A", "A"}, 30, 3);
    row("lower a", {"a", "A", "A", "A"}, 30, 3);
    row("lone sign", {"-", "9", "9", "9"}, 27, 3);
    row("overflow", {"99999", "99999", "1", "1"}, 32767, 3);
}

void Form2EditingTest::totalsAndFrames()
{
    QFETCH(QStringList, texts);
    QFETCH(int, total);
    QFETCH(int, frame);
    Form2Fixture f;
    f.typeAll("x", "x", "x", "x");
    const int composedBefore = f.compositions();
    for (int i = 0; i < 4; ++i)
        f.type(i, texts[i]);
    QCOMPARE(int(f.total()), total);
    QCOMPARE(f.form->selectedFrame(), frame);
    QVERIFY(f.compositions() > composedBefore);
    f.tick();  // the arrow limit follows the same total
    QCOMPARE(int(f.arrowLimit()), int(orvane::arrowLimit(total)));
}

void Form2EditingTest::typingRunsTheHandlerOncePerRealChange()
{
    Form2Fixture f;
    f->show();
    f.tick();
    f.clickArrow(0);
    f.txtNums(0)->setFocus();
    f.txtNums(0)->selectAll();
    QTest::keyClicks(f.txtNums(0), QStringLiteral("7"));
    QCOMPARE(f.txtNums(0)->text(), QStringLiteral("7"));
    QCOMPARE(f.total(), qint16(37));
    QCOMPARE(f.ticked(), 0);
    QCOMPARE(f.arrowsTicked(), qint16(0));
    // Setting the text it already has changes nothing, so nothing runs.
    f.clickArrow(1);
    f.type(0, QStringLiteral("7"));
    QCOMPARE(f.ticked(), 1);
}

void Form2EditingTest::numberChangeClearsArrowsEvenWithTheSameTotal()
{
    Form2Fixture f;
    f.typeAll("5", "5", "5", "5");
    f.tick();
    f.clickArrow(2);
    f.clickArrow(6);
    QCOMPARE(f.arrowsTicked(), qint16(2));
    f.type(0, QStringLiteral("4"));
    f.type(1, QStringLiteral("6"));  // total back to 20
    QCOMPARE(f.total(), qint16(20));
    QCOMPARE(f.ticked(), 0);
    QCOMPARE(f.arrowsTicked(), qint16(0));
}

void Form2EditingTest::manualFrameChoiceIsReplacedAtTheNextChange()
{
    Form2Fixture f;
    f.optFrame(0)->setChecked(true);
    QCOMPARE(f.form->selectedFrame(), 0);
    f.type(0, QStringLiteral("9"));
    QCOMPARE(f.form->selectedFrame(), 3);
}

void Form2EditingTest::arrowLimitOne()
{
    Form2Fixture f;
    f.typeAll("1", "1", "1", "1");
    f.tick();
    QCOMPARE(f.arrowLimit(), qint16(1));
    f.clickArrow(0);
    const int composedBefore = f.compositions();
    f.clickArrow(1);
    QCOMPARE(f.prompts.beeps, 1);
    QVERIFY(!f.chkArrow(1)->isChecked());
    QCOMPARE(f.arrowsTicked(), qint16(1));
    QCOMPARE(f.compositions(), composedBefore);  // refused: the card did not change
    QCOMPARE(f.Label7()->text(), QStringLiteral("Arrows Left = 0"));
}

void Form2EditingTest::arrowLimitSix()
{
    Form2Fixture f;
    f.tick();
    for (int i = 0; i < 6; ++i)
        f.clickArrow(i);
    QCOMPARE(f.arrowsTicked(), qint16(6));
    QCOMPARE(f.prompts.beeps, 0);
    f.clickArrow(6);
    QCOMPARE(f.prompts.beeps, 1);
    QCOMPARE(f.ticked(), 6);
    QCOMPARE(f.arrowsTicked(), qint16(6));
}

void Form2EditingTest::untickingCountsDown()
{
    Form2Fixture f;
    f.tick();
    f.clickArrow(3);
    f.clickArrow(4);
    const int composedBefore = f.compositions();
    f.clickArrow(3);
    QCOMPARE(f.arrowsTicked(), qint16(1));
    QVERIFY(f.compositions() > composedBefore);
}

void Form2EditingTest::trapFixesTheNumbers()
{
    Form2Fixture f;
    f.tick();
    f.clickArrow(0);
    f.clickArrow(7);
    f.optElem(10)->click();
    for (QLineEdit* box : f.numberBoxes()) {
        QCOMPARE(box->text(), QStringLiteral("2"));
        QVERIFY(box->isReadOnly());
    }
    QCOMPARE(f.ticked(), 0);
    QCOMPARE(f.arrowsTicked(), qint16(0));
    QCOMPARE(f.total(), qint16(8));
    QCOMPARE(f.form->selectedFrame(), 0);
    f.tick();
    QCOMPARE(f.Label7()->text(), QStringLiteral("Arrows Left = 1"));
    // Typing into a locked box changes nothing.
    f->show();
    f.txtNums(0)->setFocus();
    QTest::keyClicks(f.txtNums(0), QStringLiteral("9"));
    QCOMPARE(f.txtNums(0)->text(), QStringLiteral("2"));
}

void Form2EditingTest::fireAfterTrap()
{
    Form2Fixture f;
    f.optElem(10)->click();
    f.optElem(0)->click();
    for (QLineEdit* box : f.numberBoxes()) {
        QCOMPARE(box->text(), QStringLiteral("A"));
        QVERIFY(!box->isReadOnly());
    }
    f.tick();
    QCOMPARE(f.arrowLimit(), qint16(6));
}

void Form2EditingTest::noneWithAllAKeepsArrows()
{
    Form2Fixture f;
    f.optElem(0)->click();
    f.tick();
    f.clickArrow(5);
    const int composedBefore = f.compositions();
    f.optElem(8)->click();
    QCOMPARE(f.ticked(), 1);
    QCOMPARE(f.arrowsTicked(), qint16(1));
    QVERIFY(f.compositions() > composedBefore);
}

void Form2EditingTest::holyReplacesTypedNumbers()
{
    Form2Fixture f;
    f.typeAll("5", "3", "7", "2");
    f.optElem(7)->click();
    for (QLineEdit* box : f.numberBoxes())
        QCOMPARE(box->text(), QStringLiteral("A"));
    QCOMPARE(f.total(), qint16(40));
}

void Form2EditingTest::scrollBarsComposeAtOnce()
{
    Form2Fixture f;
    f.tick();
    const int before = f.compositions();
    f.scrX()->setValue(5);
    QCOMPARE(f.compositions(), before + 1);
    f.scrX()->setValue(6);
    f.scrY()->setValue(12);
    QCOMPARE(f.compositions(), before + 3);
    f.scrY()->setValue(12);  // no real change, no composition
    QCOMPARE(f.compositions(), before + 3);
    QVERIFY(!f.form->document().needsRedraw());
    f.tick();
    QCOMPARE(f.labXpos()->text(), QStringLiteral("X: 6"));
    QCOMPARE(f.labYpos()->text(), QStringLiteral("Y: 12"));
}

void Form2EditingTest::randomiserForcedDraws_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("sides");
    QTest::newRow("40/10") << QStringList{"40", "10"} << QStringList{"A", "A", "A", "A"};
    QTest::newRow("4/1") << QStringList{"4", "1"} << QStringList{"1", "1", "1", "1"};
    QTest::newRow("4/10000") << QStringList{"4", "10000"} << QStringList{"1", "1", "1", "1"};
    QTest::newRow("20/5") << QStringList{"20", "5"} << QStringList{"5", "5", "5", "5"};
    QTest::newRow("41 then 40, 9 then 10")
        << QStringList{"41", "3", "x", "39.5", "40", "9", "ten", "10"}
        << QStringList{"A", "A", "A", "A"};
}

void Form2EditingTest::randomiserForcedDraws()
{
    QFETCH(QStringList, answers);
    QFETCH(QStringList, sides);
    Form2Fixture f;
    f.typeAll("1", "2", "3", "4");
    for (const QString& a : answers)
        f.prompts.inputAnswers.enqueue(a);
    f.cmdRandom()->click();
    QVERIFY(f.prompts.inputAnswers.isEmpty());
    for (int i = 0; i < 4; ++i)
        QCOMPARE(f.txtNums(size_t(i))->text(), sides[i]);
}

void Form2EditingTest::randomiserAsksAgain()
{
    Form2Fixture f;
    f.prompts.inputAnswers = QQueue<QString>({"41", "3", "20", "4", "5"});
    f.cmdRandom()->click();
    const QString total = QStringLiteral("What is the total of all the sides' values?");
    const QString maximum =
        QStringLiteral("What is the maximum value any one side can have?     (10 for A)");
    QCOMPARE(f.prompts.inputs.size(), 5);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(f.prompts.inputs[i].first, total);
        QCOMPARE(f.prompts.inputs[i].second, QStringLiteral("Total"));
    }
    QCOMPARE(f.prompts.inputs[3].first, maximum);
    QCOMPARE(f.prompts.inputs[4].second, QStringLiteral("Maximum Value"));
    QCOMPARE(f.total(), qint16(20));
    QCOMPARE(f.txtNums(0)->text(), QStringLiteral("5"));
}

void Form2EditingTest::randomiserCancelChangesNothing()
{
    Form2Fixture f;
    f.typeAll("1", "2", "3", "4");
    f.tick();
    f.clickArrow(0);
    f.prompts.inputAnswers.enqueue(QStringLiteral("20"));  // then cancel at the maximum
    f.cmdRandom()->click();
    QCOMPARE(f.txtNums(3)->text(), QStringLiteral("4"));
    QCOMPARE(f.ticked(), 1);
    f.cmdRandom()->click();  // cancel at the total
    QCOMPARE(f.total(), qint16(10));
}

void Form2EditingTest::randomiserUnderTrapBeeps()
{
    Form2Fixture f;
    f.optElem(10)->click();
    f.cmdRandom()->click();
    QCOMPARE(f.prompts.beeps, 1);
    QCOMPARE(f.prompts.inputs.size(), 0);
}

void Form2EditingTest::randomSidesAnswersAreAskedAgainUntilTheyDo_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<int>("totals");    // total questions asked
    QTest::addColumn<int>("maximums");  // maximum questions asked
    QTest::addColumn<int>("total");     // -1: cancelled
    QTest::addColumn<double>("maximum");
    QTest::newRow("first answers do") << QStringList{"10", "3"} << 1 << 1 << 10 << 3.0;
    QTest::newRow("total out of range, fractional, no number")
        << QStringList{"3", "41", "4.5", "x", "12", "3"} << 5 << 1 << 12 << 3.0;
    QTest::newRow("lowest total, lowest maximum") << QStringList{"4", "1"} << 1 << 1 << 4 << 1.0;
    QTest::newRow("maximum out of reach of the total")
        << QStringList{"40", "9.9", "ten", "10"} << 1 << 3 << 40 << 10.0;
    QTest::newRow("fractional maximum that reaches")
        << QStringList{"5", "1.25"} << 1 << 1 << 5 << 1.25;
    QTest::newRow("total cancelled") << QStringList{"41", ""} << 2 << 0 << -1 << 0.0;
    QTest::newRow("maximum cancelled") << QStringList{"20", "4", ""} << 1 << 2 << -1 << 0.0;
}

void Form2EditingTest::randomSidesAnswersAreAskedAgainUntilTheyDo()
{
    QFETCH(QStringList, answers);
    QFETCH(int, totals);
    QFETCH(int, maximums);
    QFETCH(int, total);
    QFETCH(double, maximum);
    ScriptedPrompts prompts;
    for (const QString& answer : answers)
        prompts.inputAnswers.enqueue(answer);
    const std::optional<orvane::RandomSidesAsked> asked = orvane::askRandomSides(prompts);
    QCOMPARE(asked.has_value(), total >= 0);
    if (asked) {
        QCOMPARE(asked->total, total);
        QCOMPARE(asked->maximum, maximum);
    }
    QStringList titles;
    for (const auto& input : prompts.inputs)
        titles << input.second;
    QCOMPARE(titles, QStringList(totals, QStringLiteral("Total")) +
                         QStringList(maximums, QStringLiteral("Maximum Value")));
}

QTEST_MAIN(Form2EditingTest)
#include "form2_editing_test.moc"
