// SPDX-License-Identifier: GPL-3.0-or-later
// Every tab stop of the main window shows that it has the focus: no stop is invisible.
#include "support/form2_fixture.h"

#include <QApplication>
#include <QtTest>

class FocusMarksTest : public QObject {
    Q_OBJECT
private slots:
    void everyTabStopShowsTheFocus();
};

void FocusMarksTest::everyTabStopShowsTheFocus()
{
    Form2Fixture f;
    f->show();
    QApplication::setActiveWindow(f.operator->());
    QVERIFY(QTest::qWaitForWindowActive(f.operator->()));
    // Around the whole tab chain with the Tab key, as a user goes: each stop looks different
    // while it has the focus than once the focus has moved on.
    f.txtNums(3)->setFocus(Qt::TabFocusReason);
    QWidget* first = QApplication::focusWidget();
    QStringList unmarked;
    int stops = 0;
    do {
        QWidget* w = QApplication::focusWidget();
        QVERIFY(w);
        const QImage focused = w->grab().toImage();
        QTest::keyClick(w, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != w);
        if (w->grab().toImage() == focused)
            unmarked << w->objectName();
        ++stops;
    } while (QApplication::focusWidget() != first && stops < 200);
    QVERIFY(stops > 20 && stops < 200);
    QVERIFY2(unmarked.isEmpty(), qPrintable(unmarked.join(QStringLiteral(", "))));
}

QTEST_MAIN(FocusMarksTest)
#include "focus_marks_test.moc"
