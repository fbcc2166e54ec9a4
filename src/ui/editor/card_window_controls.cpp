// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/card_window_controls.h"

#include "editor/card_window_layout.h"
#include "widgets/classic_font.h"
#include "widgets/picture_box.h"
#include "widgets/placed_controls.h"
#include "widgets/scroll_bar.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace layout = orvane::cardlayout;

namespace {

// Work surfaces start with transparent placeholders; the first tick loads the real parts.
QImage blackPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

// A picture box of the layout, holding `start` when there is one.
PictureBox* makePictureBox(QWidget* parent, const Placed& p, bool border, const QColor& background,
                           const QImage& start = {})
{
    auto* box = new PictureBox(parent, p.rect, border, background);
    box->setObjectName(QLatin1String(p.name));
    setTabIndex(box, p.tab);
    if (!start.isNull())
        box->setPicture(start);
    return box;
}

// An option or check box with its caption in the regular font.
template <typename Option> Option* makeChoice(QWidget* parent, const Placed& p)
{
    auto* option = make<Option>(parent, p.name, p.rect, p.tab);
    option->setText(QString::fromLatin1(p.caption));
    option->setFont(sansSerif());
    return option;
}

}  // namespace

void CardWindowControls::buildControls(QWidget& window)
{
    // Controls without a font of their own use this one. Frames carry a bold caption, which
    // their children would inherit, so controls in frames set the regular font themselves.
    window.setFont(sansSerif());
    QPalette windowPalette = window.palette();
    windowPalette.setColor(QPalette::Window, QColor(192, 192, 192));
    // The area keeps its light grey in a dark desktop palette too: its captions then stay dark
    // on it, readable, instead of taking the desktop's light text.
    if (windowPalette.color(QPalette::Active, QPalette::WindowText).lightness() > 128) {
        for (const auto group : {QPalette::Active, QPalette::Inactive})
            windowPalette.setColor(group, QPalette::WindowText, Qt::black);
        windowPalette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(96, 96, 96));
    }
    window.setPalette(windowPalette);
    window.setAutoFillBackground(true);

    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    const QColor windowBackground = QApplication::palette().color(QPalette::Base);

    frmElem = makeFrame(&window, layout::frmElem);
    frmNums = makeFrame(&window, layout::frmNums);
    frmXY = makeFrame(&window, layout::frmXY);
    frmArrows = makeFrame(&window, layout::frmArrows);
    Label6 = makeLabel(&window, layout::Label6);
    Label6->setFont(sansSerif(8.25, true));
    picMainPic = makePictureBox(&window, layout::picMainPic, true, buttonFace);
    Label4 = makeLabel(&window, layout::Label4);
    Label4->setFont(sansSerif(8.25, true));

    const QImage blueBase(QStringLiteral(":/builtin/bluebase.xpm"));
    const QImage redBase(QStringLiteral(":/builtin/redbase.xpm"));
    picBlueBase = makePictureBox(&window, layout::picBlueBase, false, windowBackground, blueBase);
    picRedBase = makePictureBox(&window, layout::picRedBase, false, windowBackground, redBase);

    cmdLoadMain = makeButton(&window, layout::cmdLoadMain);
    cmdAbout = makeButton(&window, layout::cmdAbout);
    cmdRandom = makeButton(&window, layout::cmdRandom);
    cmdAdvanced = makeButton(&window, layout::cmdAdvanced);
    cmdSaveCards = makeButton(&window, layout::cmdSaveCards);
    cmdQuit = makeButton(&window, layout::cmdQuit);

    Image1 = makeImage(&window, layout::Image1.name, layout::Image1.rect,
                       QLatin1String(layout::Image1.caption), true);
    Label5 = makeLabel(&window, layout::Label5);
    Label5->setFont(sansSerif(18, true));
    QPalette blueText = Label5->palette();
    blueText.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label5->setPalette(blueText);
    Label5->raise();

    cmdCardData = makeButton(&window, layout::cmdCardData);
    cmdCreate = makeButton(&window, layout::cmdCreate);
    frmFrame = makeFrame(&window, layout::frmFrame);
    frmDoubleCheck = makeFrame(&window, layout::frmDoubleCheck);
    for (QWidget* hidden : {static_cast<QWidget*>(cmdCardData), static_cast<QWidget*>(cmdCreate),
                            static_cast<QWidget*>(frmFrame), static_cast<QWidget*>(frmDoubleCheck)})
        hidden->setVisible(false);
    cmdQuit->raise();  // a click on the place of "Exit Program" always reaches it

    picBlueClean = makePictureBox(&window, layout::picBlueClean, false, windowBackground, blueBase);
    picRedClean = makePictureBox(&window, layout::picRedClean, false, windowBackground, redBase);

    for (size_t i = 0; i < optElem.size(); ++i)
        optElem[i] = makeChoice<QRadioButton>(frmElem, layout::optElem[i]);
    optElem[8]->setChecked(true);
    for (size_t i = 0; i < imgElemDemo.size(); ++i)
        imgElemDemo[i] =
            makeImage(frmElem, qPrintable(QStringLiteral("imgElemDemo_%1").arg(i)),
                      layout::imgElemDemo[i], QStringLiteral(":/builtin/elem%1.xpm").arg(i), false);
    for (size_t i = 0; i < optFrame.size(); ++i)
        optFrame[i] = makeChoice<QRadioButton>(frmFrame, layout::optFrame[i]);
    optFrame[3]->setChecked(true);

    for (size_t i = 0; i < txtNums.size(); ++i) {
        const Placed& p = layout::txtNums[i];
        txtNums[i] = make<QLineEdit>(frmNums, p.name, p.rect, p.tab);
        txtNums[i]->setText(QString::fromLatin1(p.caption));
        txtNums[i]->setFont(sansSerif(18, true));
        txtNums[i]->setTextMargins(0, 0, 0, 0);
    }

    // The bars take the focus on click, so the keyboard nudges the picture pixel by pixel.
    scrY = make<ScrollBar>(frmXY, layout::scrY.name, layout::scrY.rect, layout::scrY.tab);
    scrY->setOrientation(Qt::Vertical);
    scrX = make<ScrollBar>(frmXY, layout::scrX.name, layout::scrX.rect, layout::scrX.tab);
    scrX->setOrientation(Qt::Horizontal);
    for (QScrollBar* bar : {scrX, scrY}) {
        bar->setRange(0, 62);
        bar->setSingleStep(1);
        bar->setPageStep(10);
        bar->setValue(0);
    }
    labXpos = makeLabel(frmXY, layout::labXpos);
    labYpos = makeLabel(frmXY, layout::labYpos);

    for (size_t i = 0; i < chkArrow.size(); ++i) {
        chkArrow[i] = makeChoice<QCheckBox>(frmArrows, layout::chkArrow[i]);
        const Placed& mark = layout::arrowMarks[i];
        arrowMarks[i] = makeImage(
            frmArrows, mark.name, mark.rect,
            QStringLiteral(":/builtin/mark_%1.xpm").arg(QLatin1String(mark.caption)), false);
    }
    Label7 = makeLabel(frmArrows, layout::Label7);

    buildWorkSurfaces();
    setTabOrderFromLayout(window);
    cmdLoadMain->setFocus();  // the window opens with the focus on the first tab stop
}

void CardWindowControls::buildWorkSurfaces()
{
    Label1 = makeLabel(frmDoubleCheck, layout::Label1);
    Label2 = makeLabel(frmDoubleCheck, layout::Label2);
    Label3 = makeLabel(frmDoubleCheck, layout::Label3);
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    picFinalFrame = makePictureBox(frmDoubleCheck, layout::picFinalFrame, true, buttonFace,
                                   blackPicture(62, 62));
    for (size_t i = 0; i < picFinalNum.size(); ++i)
        picFinalNum[i] = makePictureBox(frmDoubleCheck, layout::picFinalNum[i], true, buttonFace,
                                        blackPicture(9, 9));
    picFinalElem = makePictureBox(frmDoubleCheck, layout::picFinalElem, true, buttonFace,
                                  blackPicture(16, 17));
    for (size_t i = 0; i < picArrowFinal.size(); ++i)
        picArrowFinal[i] =
            makePictureBox(frmDoubleCheck, layout::picArrowFinal[i], true, buttonFace);
}
