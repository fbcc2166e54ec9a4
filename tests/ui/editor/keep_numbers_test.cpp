// SPDX-License-Identifier: GPL-3.0-or-later
// Edit ▸ Keep Numbers and Arrows through the real widgets: with it off a number change or an
// element click resets as always; with it on only what the new total cannot hold is lost.
#include "support/form2_fixture.h"
#include "support/temp_settings.h"

#include <QSettings>
#include <QtTest>

namespace {

// One edit after ticking arrows 4, 1 and 6 (in that order) on 5 5 5 5: boxes typed in turn,
// or an element clicked.
struct Edit {
    QList<std::pair<int, QString>> typed;
    int element = -1;
};

}  // namespace

Q_DECLARE_METATYPE(Edit)

class KeepNumbersTest : public QObject {
    Q_OBJECT
private slots:
    void edits_data();
    void edits();
    void optionIsOffByDefaultAndKept();
};

void KeepNumbersTest::edits_data()
{
    QTest::addColumn<bool>("keep");
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<QStringList>("sides");
    QTest::addColumn<QList<int>>("arrows");
    QTest::addColumn<QString>("status");
    const QString numbers = QStringLiteral("Arrows unticked by the number change");
    const auto typed = [](QList<std::pair<int, QString>> boxes) { return Edit{boxes, -1}; };
    const auto element = [](int index) { return Edit{{}, index}; };
    QTest::newRow("off: same limit unticks all")
        << false << typed({{0, "4"}}) << QStringList{"4", "5", "5", "5"} << QList<int>{} << numbers;
    QTest::newRow("on: same limit keeps all")
        << true << typed({{0, "4"}}) << QStringList{"4", "5", "5", "5"} << QList<int>{1, 4, 6}
        << QString();
    QTest::newRow("on: one fewer drops the last ticked")
        << true << typed({{0, "1"}}) << QStringList{"1", "5", "5", "5"} << QList<int>{1, 4}
        << numbers;
    QTest::newRow("on: two fewer drop the last two")
        << true << typed({{0, "1"}, {1, "1"}}) << QStringList{"1", "1", "5", "5"} << QList<int>{4}
        << numbers;
    QTest::newRow("on: more allowed keeps all")
        << true << typed({{0, "A"}}) << QStringList{"A", "5", "5", "5"} << QList<int>{1, 4, 6}
        << QString();
    QTest::newRow("off: element resets numbers and arrows")
        << false << element(0) << QStringList{"A", "A", "A", "A"} << QList<int>{}
        << QStringLiteral("Numbers and arrows reset by the element");
    QTest::newRow("on: element keeps numbers and arrows")
        << true << element(0) << QStringList{"5", "5", "5", "5"} << QList<int>{1, 4, 6}
        << QString();
    QTest::newRow("on: trap keeps the first ticked")
        << true << element(orvane::ElementTrap) << QStringList{"2", "2", "2", "2"} << QList<int>{4}
        << QStringLiteral("Numbers and arrows reset by the element");
}

void KeepNumbersTest::edits()
{
    QFETCH(bool, keep);
    QFETCH(Edit, edit);
    QFETCH(QStringList, sides);
    QFETCH(QList<int>, arrows);
    QFETCH(QString, status);
    TempSettings settings;
    Form2Fixture f;
    QAction* option = f.action("actKeepNumbers");
    option->setChecked(keep);
    f.typeAll("5", "5", "5", "5");
    for (int arrow : {4, 1, 6})
        f.clickArrow(arrow);
    QCOMPARE(f.ticked(), 3);
    const QString before = f.status();
    if (edit.element >= 0)
        f.optElem(edit.element)->click();
    for (const auto& [box, text] : edit.typed)
        f.type(box, text);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(f.txtNums(i)->text(), sides[i]);
    QList<int> ticked;
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(f.chkArrow(i)->isChecked(), f.card().arrows[size_t(i)]);
        if (f.chkArrow(i)->isChecked())
            ticked << i;
    }
    QCOMPARE(ticked, arrows);
    if (status.isEmpty())
        QCOMPARE(f.status(), before);
    else
        QVERIFY2(f.status().startsWith(status), qPrintable(f.status()));
    // Undo, one step per edit, brings back the numbers and the arrows a rule threw away.
    for (qsizetype step = 0; step < std::max<qsizetype>(1, edit.typed.size()); ++step)
        f.actUndo()->trigger();
    for (QLineEdit* box : f.numberBoxes())
        QCOMPARE(box->text(), QStringLiteral("5"));
    QCOMPARE(f.ticked(), 3);
}

void KeepNumbersTest::optionIsOffByDefaultAndKept()
{
    TempSettings settings;
    {
        Form2Fixture f;
        QAction* option = f.action("actKeepNumbers");
        QVERIFY(option->isCheckable());
        QVERIFY(!option->isChecked());
        QCOMPARE(f.form->resetRules(), orvane::ResetRules::Reset);
        option->setChecked(true);
        QCOMPARE(f.form->resetRules(), orvane::ResetRules::Keep);
    }
    Form2Fixture again;
    QVERIFY(again.action("actKeepNumbers")->isChecked());
    QCOMPARE(again.form->resetRules(), orvane::ResetRules::Keep);
}

QTEST_MAIN(KeepNumbersTest)
#include "keep_numbers_test.moc"
