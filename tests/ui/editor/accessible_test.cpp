// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as a screen reader reads it, through Qt's accessibility interface: every control
// a user can reach has a name and the role of what it is, and the card boxes tell their card in
// words, kept current as the card changes.
#include "card/card_description.h"
#include "support/form2_fixture.h"

#include <QAccessible>
#include <QtTest>

class AccessibleTest : public QObject {
    Q_OBJECT
private slots:
    void everyReachableControlHasANameAndItsRole();
    void cardBoxesDescribeTheCardAsItChanges();
};

namespace {

QAccessibleInterface* readerView(QWidget* control)
{
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(control);
    if (!view)
        qFatal("no accessible interface for %s", qPrintable(control->objectName()));
    return view;
}

}  // namespace

void AccessibleTest::everyReachableControlHasANameAndItsRole()
{
    Form2Fixture f;
    f->show();
    QStringList unnamed;
    for (QWidget* control : f->findChildren<QWidget*>()) {
        if (!control->isVisibleTo(f.operator->()) || !(control->focusPolicy() & Qt::TabFocus))
            continue;
        if (readerView(control)->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << control->objectName() + QLatin1Char(' ') + control->metaObject()->className();
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));

    const struct {
        QWidget* control;
        QAccessible::Role role;
        const char* name;
    } cases[] = {
        {f.txtNums(0), QAccessible::EditableText, "Top number"},
        {f.txtNums(3), QAccessible::EditableText, "Bottom number"},
        {f.scrX(), QAccessible::ScrollBar, "Main picture X"},
        {f.chkArrow(0), QAccessible::CheckBox, "Arrow upper left"},
        {f.chkArrow(7), QAccessible::CheckBox, "Arrow lower right"},
        {f.optElem(0), QAccessible::RadioButton, "Fire"},
        {f.cmdLoadMain(), QAccessible::Button, "Load Main Picture..."},
        {f.cmdSaveCards(), QAccessible::Button, "Save Card"},
    };
    for (const auto& c : cases) {
        QAccessibleInterface* view = readerView(c.control);
        QCOMPARE(view->role(), c.role);
        QCOMPARE(view->text(QAccessible::Name), QString::fromUtf8(c.name));
    }
    // A control whose caption does not say what it does is described.
    QVERIFY(!readerView(f.txtNums(0))->text(QAccessible::Description).isEmpty());
    QCOMPARE(readerView(f.picBlueBase())->text(QAccessible::Name), QStringLiteral("Blue card"));
    QCOMPARE(readerView(f.picBlueBase())->role(), QAccessible::Graphic);
}

void AccessibleTest::cardBoxesDescribeTheCardAsItChanges()
{
    Form2Fixture f;
    f->show();
    f.optElem(0)->click();  // Fire: the sides become A, A, A, A
    f.type(0, QStringLiteral("7"));
    f.chkArrow(1)->click();
    f.chkArrow(4)->click();
    f.tick();
    QCOMPARE(readerView(f.picBlueBase())->text(QAccessible::Description),
             QStringLiteral("Blue card: 7 up, A left, A right, A down; Fire; arrows up and right; "
                            "Character frame"));
    QCOMPARE(readerView(f.picRedBase())->text(QAccessible::Description),
             orvane::describeCard(f.card(), orvane::CardColour::Red));

    f.type(1, QStringLiteral("1"));  // a number change unticks the arrows; the total 28 -> 19
    f.tick();
    QCOMPARE(readerView(f.picBlueBase())->text(QAccessible::Description),
             QStringLiteral("Blue card: 7 up, 1 left, A right, A down; Fire; no arrows; "
                            "Character frame"));
}

QTEST_MAIN(AccessibleTest)
#include "accessible_test.moc"
