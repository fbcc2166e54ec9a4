// SPDX-License-Identifier: GPL-3.0-or-later
// What a user meets at the keyboard: the scroll bars after a click, the focus on click, and
// the mark on a number box whose text the card cannot show.
#include "card/card_rules.h"
#include "support/form2_fixture.h"

#include <QApplication>
#include <QtTest>

class Form2KeyboardTest : public QObject {
    Q_OBJECT
private slots:
    void scrollBarKeys_data();
    void scrollBarKeys();
    void everyShownTabStopTakesTheFocusOnClick();
    void scrollBarsShowTheFocus();
    void numberBoxMarks_data();
    void numberBoxMarks();

private:
    // A shown, active main window, as the keyboard needs it.
    static void showActive(Form2Fixture& f)
    {
        f->show();
        QApplication::setActiveWindow(f.window.get());
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    }
};

void Form2KeyboardTest::scrollBarKeys_data()
{
    QTest::addColumn<QString>("bar");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("value");  // from 30, range 0..62, page 10
    for (const char* bar : {"scrX", "scrY"}) {
        const auto row = [bar](const char* key, int code, int value) {
            QTest::addRow("%s %s", bar, key) << QString::fromLatin1(bar) << code << value;
        };
        row("Right", Qt::Key_Right, 31);
        row("Down", Qt::Key_Down, 31);
        row("Left", Qt::Key_Left, 29);
        row("Up", Qt::Key_Up, 29);
        row("PageDown", Qt::Key_PageDown, 40);
        row("PageUp", Qt::Key_PageUp, 20);
        row("End", Qt::Key_End, 62);
        row("Home", Qt::Key_Home, 0);
    }
}

// Clicked, then a key: the picture moves, and the card follows at once.
void Form2KeyboardTest::scrollBarKeys()
{
    QFETCH(QString, bar);
    QFETCH(int, key);
    QFETCH(int, value);
    Form2Fixture f;
    showActive(f);
    QScrollBar* scroll = bar == QLatin1String("scrX") ? f.scrX() : f.scrY();
    scroll->setValue(30);
    QTest::mouseClick(scroll, Qt::LeftButton, {}, scroll->rect().center());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(scroll));
    scroll->setValue(30);
    const int before = f.compositions();
    QTest::keyClick(scroll, Qt::Key(key));
    QCOMPARE(scroll->value(), value);
    QVERIFY(f.compositions() > before);
}

void Form2KeyboardTest::everyShownTabStopTakesTheFocusOnClick()
{
    Form2Fixture f;
    showActive(f);
    int clicked = 0;
    for (QWidget* w : f->findChildren<QWidget*>()) {
        if (!w->property("tabIndex").isValid() || !w->isVisible() ||
            w->focusPolicy() == Qt::NoFocus)
            continue;
        QVERIFY2(w->focusPolicy() & Qt::ClickFocus, qPrintable(w->objectName()));
        if (!f->rect().contains(w->mapTo(f.window.get(), w->rect().center())) || w == f.cmdQuit() ||
            qobject_cast<QPushButton*>(w))
            continue;  // off the window, or a command that would run
        f.cmdLoadMain()->setFocus();
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(QApplication::focusWidget(), w);
        ++clicked;
    }
    QVERIFY(clicked >= 20);  // numbers, elements, arrows, both bars, the three picture boxes
}

void Form2KeyboardTest::scrollBarsShowTheFocus()
{
    Form2Fixture f;
    showActive(f);
    for (QScrollBar* bar : {f.scrX(), f.scrY()}) {
        f.cmdLoadMain()->setFocus();
        const QImage without = bar->grab().toImage();
        bar->setFocus();
        const QImage with = bar->grab().toImage();
        QVERIFY2(with != without, qPrintable(bar->objectName()));
    }
}

void Form2KeyboardTest::numberBoxMarks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("marked");
    QTest::addColumn<QString>("tip");  // part of the tooltip
    const QString rule = QStringLiteral("The card shows 1 to 9, or A for 10.");
    QTest::newRow("A") << "A" << false << rule;
    QTest::newRow("1") << "1" << false << rule;
    QTest::newRow("9") << "9" << false << rule;
    QTest::newRow("a") << "a" << true << "\"a\": the card shows A, but the total counts it as 0";
    QTest::newRow("0") << "0" << true << "\"0\": the card cannot show this";
    QTest::newRow("12") << "12" << true << "the total counts it as 12.";
    QTest::newRow("1.5") << "1.5" << true << "the total counts it as 1.5.";
    QTest::newRow("empty") << "" << true << "Empty: the card cannot show this";
    QTest::newRow("word") << "x" << true << "the total counts it as 0.";
}

// The box is marked and says why; what is counted stays the rule's.
void Form2KeyboardTest::numberBoxMarks()
{
    QFETCH(QString, text);
    QFETCH(bool, marked);
    QFETCH(QString, tip);
    Form2Fixture f;
    f.typeAll("3", "3", "3", "3");
    f.type(1, text);
    QLineEdit* box = f.txtNums(1);
    QCOMPARE(!box->styleSheet().isEmpty(), marked);
    QVERIFY2(box->toolTip().contains(tip), qPrintable(box->toolTip()));
    QVERIFY(box->toolTip().contains(QLatin1String("1 to 9, or A for 10")));
    QCOMPARE(f.total(), orvane::cardTotal(std::array<QString, 4>{"3", text, "3", "3"}));
    QVERIFY(f.txtNums(0)->styleSheet().isEmpty());
    f.type(1, QStringLiteral("A"));  // a good text takes the mark away
    QVERIFY(box->styleSheet().isEmpty());
}

QTEST_MAIN(Form2KeyboardTest)
#include "form2_keyboard_test.moc"
