// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as laid out: places, sizes, captions, visibility, tab order and start state.
#include "render/card_parts.h"
#include "support/form2_fixture.h"

#include <QGroupBox>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

class Form2LayoutTest : public QObject {
    Q_OBJECT
private slots:
    void controls_data();
    void controls();
    void tabOrderFollowsTheLayout();
    void startState();
    void pictureBoxSizes();
    void autoSizeKeepsTheCornerAndAddsTheBorder();
    void quitAnswerNoChangesNothing();
    void quitAnswerYesEnds();
    void resizingMovesNothing();
    void innerAreaBetweenMenuAndStatusLine();
};

void Form2LayoutTest::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<bool>("shown");  // visible to the user: itself and every container shown

    const auto row = [](const char* name, const char* caption, QRect rect, bool shown) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(caption) << rect
                            << shown;
    };
    row("frmElem", "Choose An Elemental", {8, 8, 377, 89}, true);
    row("frmNums", "Enter Your Numbers:", {8, 104, 137, 129}, true);
    row("frmXY", "Place Your Main Picture (X, Y):", {184, 104, 201, 129}, true);
    row("frmArrows", "Arrows:", {8, 240, 105, 137}, true);
    row("Label6", "Main Picture:", {128, 272, 81, 17}, true);
    row("picMainPic", "", {136, 296, 66, 66}, true);
    row("Label4", "Finished Product:", {256, 272, 121, 17}, true);
    row("picBlueBase", "", {232, 296, 62, 62}, true);
    row("picRedBase", "", {320, 296, 62, 62}, true);
    row("cmdLoadMain", "Load Main Picture...", {400, 80, 129, 41}, true);
    row("cmdAbout", "About", {400, 120, 129, 41}, true);
    row("cmdRandom", "Randomize Numbers", {400, 160, 129, 41}, true);
    row("cmdAdvanced", "Advanced Settings", {400, 200, 129, 41}, true);
    row("cmdSaveCards", "Save Card", {400, 240, 129, 41}, true);
    row("cmdQuit", "Exit Program", {400, 280, 129, 41}, true);
    row("Image1", "", {440, 8, 48, 48}, true);
    row("Label5", "4.0", {448, 16, 41, 33}, true);
    row("cmdCardData", "Export Card Data", {400, 280, 129, 41}, false);
    row("cmdCreate", "Create Card", {408, 392, 129, 41}, false);
    row("frmFrame", "Choose A Frame:", {16, 16, 369, 73}, false);
    row("frmDoubleCheck", "Double-check your choices:", {56, 128, 409, 113}, false);
    row("picBlueClean", "", {64, 504, 62, 62}, true);
    row("picRedClean", "", {168, 504, 62, 62}, true);
    row("optElem_0", "Fire", {24, 16, 41, 17}, true);
    row("optElem_5", "Poison", {96, 40, 57, 17}, true);
    row("optElem_8", "None", {168, 64, 49, 17}, true);
    row("optElem_9", "Shadow", {24, 64, 65, 17}, true);
    row("optElem_10", "Trap", {104, 64, 49, 17}, true);
    row("imgElemDemo_0", "", {72, 16, 16, 17}, true);
    row("imgElemDemo_9", "", {153, 67, 11, 11}, true);
    row("optFrame_2", "GF    Frame", {184, 24, 73, 33}, false);
    row("optFrame_3", "Character Frame", {272, 24, 73, 33}, false);
    row("txtNums_0", "A", {56, 24, 25, 33}, true);
    row("txtNums_1", "A", {24, 56, 25, 33}, true);
    row("txtNums_2", "A", {88, 56, 25, 33}, true);
    row("txtNums_3", "A", {56, 88, 25, 33}, true);
    row("scrY", "", {16, 16, 17, 105}, true);
    row("scrX", "", {40, 104, 121, 17}, true);
    row("labXpos", "X: 0", {64, 24, 41, 17}, true);
    row("labYpos", "Y: 0", {64, 48, 57, 17}, true);
    row("chkArrow_0", "Check1", {16, 24, 17, 17}, true);
    row("chkArrow_4", "Check1", {80, 56, 17, 17}, true);
    row("chkArrow_7", "Check1", {80, 88, 17, 17}, true);
    row("Image3", "", {33, 41, 8, 8}, true);
    row("Image4", "", {50, 41, 10, 6}, true);
    row("Image9", "", {72, 60, 6, 10}, true);
    row("Label7", "Arrows Left = 6", {16, 112, 81, 17}, true);
    row("Label1", "Frame:", {16, 16, 33, 17}, false);
    row("picFinalFrame", "", {16, 40, 66, 66}, false);
    row("picFinalNum_0", "", {120, 48, 13, 13}, false);
    row("picFinalNum_3", "", {120, 80, 13, 13}, false);
    row("picFinalElem", "", {176, 40, 20, 21}, false);
    // Sized to the empty arrow picture (16 x 17 and the border) by the first tick.
    row("picArrowFinal_1", "", {368, 56, 20, 21}, false);
    row("picArrowFinal_7", "", {240, 56, 20, 21}, false);
}

static QString captionOf(QWidget* w)
{
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text();
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* g = qobject_cast<QGroupBox*>(w))
        return g->title();
    return {};
}

void Form2LayoutTest::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, rect);
    QFETCH(bool, shown);
    Form2Fixture f;
    f->show();
    auto* w = f->findChild<QWidget*>(name);
    QVERIFY2(w, qPrintable(name));
    QCOMPARE(w->geometry(), rect);
    QCOMPARE(captionOf(w), caption);
    QCOMPARE(w->isVisible(), shown);
}

void Form2LayoutTest::tabOrderFollowsTheLayout()
{
    Form2Fixture f;
    f->show();
    QApplication::setActiveWindow(f.window.get());
    f.cmdLoadMain()->setFocus();
    // Visible, focusable controls in the order of their tab index.
    const QStringList expected = {
        "cmdLoadMain",  "cmdAbout",   "txtNums_0",   "txtNums_1",    "txtNums_2",   "txtNums_3",
        "optElem_8",    "cmdRandom",  "picBlueBase", "picRedBase",   "picMainPic",  "cmdAdvanced",
        "cmdSaveCards", "scrY",       "scrX",        "picBlueClean", "picRedClean", "cmdQuit",
        "chkArrow_0",   "chkArrow_1", "chkArrow_2",  "chkArrow_3",   "chkArrow_4",  "chkArrow_5",
        "chkArrow_6",   "chkArrow_7"};
    QStringList seen;
    QWidget* w = f.cmdLoadMain();
    for (int i = 0; i < expected.size(); ++i) {
        seen << w->objectName();
        w = w->nextInFocusChain();
        while (!(w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) ||
               (qobject_cast<QRadioButton*>(w) && !static_cast<QRadioButton*>(w)->isChecked()))
            w = w->nextInFocusChain();
    }
    QCOMPARE(seen, expected);
}

void Form2LayoutTest::startState()
{
    Form2Fixture f;
    QCOMPARE(f.total(), qint16(40));
    QCOMPARE(f.arrowsTicked(), qint16(0));
    QCOMPARE(f.arrowLimit(), qint16(6));
    QCOMPARE(f.Label7()->text(), QStringLiteral("Arrows Left = 6"));
    QVERIFY(!f.form->document().needsRedraw());
    QCOMPARE(f.card().placement, orvane::CardPlacement{});
    QCOMPARE(f.form->selectedElement(), 8);
    QCOMPARE(f.form->selectedFrame(), 3);
    QCOMPARE(f.ticked(), 0);
    QCOMPARE(f.scrX()->value(), 0);
    QCOMPARE(f.scrY()->value(), 0);
    QCOMPARE(f.scrX()->maximum(), 62);
    // The title bar shows "Orvane 4.0 by Kestrow"; the placeholder marks unsaved changes.
    QCOMPARE(f->windowTitle(), QStringLiteral("Orvane 4.0 by Kestrow[*]"));
    QVERIFY(!f->isWindowModified());
    // The window is the inner area of the layout plus the menu bar, the card's name bar and the
    // status line.
    f->layout()->activate();
    QCOMPARE(f.innerArea()->size(), QSize(532, 377));
    const int nameBar = f.child<QToolBar>(QStringLiteral("barCard"))->height();
    QCOMPARE(f->size(),
             QSize(532, f->menuBar()->height() + nameBar + 377 + f->statusBar()->height()));
    QVERIFY(!(f->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(f->windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(f.timer()->interval(), 16);
    // The card boxes show the card the controls describe: A A A A, no element, no arrows.
    QString error;
    const auto parts = orvane::CardParts::load(qEnvironmentVariable("ORVANE_BIN_DIR"), &error);
    QVERIFY2(parts, qPrintable(error));
    orvane::Card fresh;
    fresh.element = orvane::ElementNone;
    const orvane::RenderedCard expected = orvane::renderCard(fresh, *parts);
    QCOMPARE(f.picBlueBase()->image(), expected.blue);
    QCOMPARE(f.picRedBase()->image(), expected.red);
    QVERIFY(f.picBlueBase()->image() != f.picBlueClean()->image());
    QCOMPARE(f.prompts.messages.size(), 0);
    QCOMPARE(f->focusWidget(), static_cast<QWidget*>(f.cmdLoadMain()));
}

void Form2LayoutTest::pictureBoxSizes()
{
    Form2Fixture f;
    const struct {
        PictureBox* box;
        QSize interior;
        int border;
    } boxes[] = {{f.picMainPic(), {62, 62}, 2},     {f.picFinalFrame(), {62, 62}, 2},
                 {f.picFinalElem(), {16, 17}, 2},   {f.picFinalNum(2), {9, 9}, 2},
                 {f.picArrowFinal(0), {16, 17}, 2}, {f.picBlueBase(), {62, 62}, 0},
                 {f.picRedClean(), {62, 62}, 0}};
    for (const auto& b : boxes) {
        QCOMPARE(QSize(b.box->ScaleWidth(), b.box->ScaleHeight()), b.interior);
        QCOMPARE(b.box->borderWidth(), b.border);
        QVERIFY(b.box->autoSize());
    }
    // Before a main picture is loaded its interior is the button face colour.
    QCOMPARE(f.picMainPic()->image().pixel(30, 30),
             QApplication::palette().color(QPalette::Button).rgb());
}

void Form2LayoutTest::autoSizeKeepsTheCornerAndAddsTheBorder()
{
    Form2Fixture f;
    const std::pair<QSize, QSize> cases[] = {
        {{100, 80}, {104, 84}}, {{40, 30}, {44, 34}}, {{62, 62}, {66, 66}}};
    for (const auto& [picture, box] : cases) {
        QImage image(picture, QImage::Format_RGB32);
        image.fill(Qt::green);
        f.picMainPic()->setPicture(image);
        QCOMPARE(f.picMainPic()->geometry(), QRect(QPoint(136, 296), box));
        QCOMPARE(f.picMainPic()->image().size(), picture);
    }
    f->layout()->activate();
    QCOMPARE(f.innerArea()->size(), QSize(532, 377));  // the window does not grow with it
}

void Form2LayoutTest::quitAnswerNoChangesNothing()
{
    Form2Fixture f;
    f->show();
    f.prompts.messageAnswers.enqueue(orvane::AnswerNo);
    f.cmdQuit()->click();
    QCOMPARE(f.prompts.messages.size(), 1);
    const auto& asked = f.prompts.messages.front();
    QCOMPARE(asked.text, QStringLiteral("Are you sure you want to quit?"));
    QCOMPARE(asked.title, QStringLiteral("Exit Program"));
    QCOMPARE(asked.style, 36);
    QVERIFY(f->isVisible());
    QCOMPARE(f.endCalls, 0);
    QCOMPARE(f.total(), qint16(40));
}

void Form2LayoutTest::quitAnswerYesEnds()
{
    Form2Fixture f;
    f->show();
    f.prompts.messageAnswers.enqueue(orvane::AnswerYes);
    f.cmdQuit()->click();
    QVERIFY(!f->isVisible());
    QCOMPARE(f.endCalls, 1);
}

void Form2LayoutTest::resizingMovesNothing()
{
    Form2Fixture f;
    f->show();
    f->resize(600, 620);
    QCOMPARE(f.cmdQuit()->geometry(), QRect(400, 280, 129, 41));
    QCOMPARE(f.picBlueClean()->geometry(), QRect(64, 504, 62, 62));
    QVERIFY(!f.cmdCreate()->isVisible());
}

void Form2LayoutTest::innerAreaBetweenMenuAndStatusLine()
{
    Form2Fixture f;
    f->show();
    const QRect inner = f.innerArea()->geometry();
    QCOMPARE(inner.size(), QSize(532, 377));
    QCOMPARE(inner.left(), 0);
    QCOMPARE(inner.top(), f.child<QToolBar>(QStringLiteral("barCard"))->geometry().bottom() + 1);
    QCOMPARE(f->statusBar()->geometry().top(), inner.bottom() + 1);
    QCOMPARE(f->statusBar()->geometry().bottom(), f->height() - 1);
    // Every control of the layout lives in the inner area.
    for (const char* name : {"frmElem", "cmdQuit", "picBlueBase", "cmdCreate", "picRedClean"})
        QCOMPARE(f->findChild<QWidget*>(QLatin1String(name))->parentWidget(), f.innerArea());
    // The layout's font and colours stay on the controls.
    QCOMPARE(f.cmdQuit()->font().pointSizeF(), 8.25);
    QCOMPARE(f.innerArea()->palette().color(QPalette::Window), QColor(192, 192, 192));
}

QTEST_MAIN(Form2LayoutTest)
#include "form2_layout_test.moc"
