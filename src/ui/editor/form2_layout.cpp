// The main window's controls: kind, container, caption, place, size, font and tab order.
#include "editor/form2.h"
#include "orvane_version.h"

#include "widgets/classic_font.h"
#include "widgets/frame_box.h"
#include "widgets/picture_box.h"
#include "widgets/scroll_bar.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <vector>

namespace {

struct Placed {
    const char* name;
    const char* caption;
    QRect rect;
    int tab;
};

// The keyboard focus order of the layout, kept on each control until the chain is built.
constexpr const char* TabIndex = "tabIndex";

template <typename W> W* make(QWidget* parent, const char* name, const QRect& rect, int tab = -1)
{
    auto* widget = new W(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(rect);
    if (tab >= 0)
        widget->setProperty(TabIndex, tab);
    return widget;
}

QGroupBox* makeFrame(QWidget* parent, const Placed& p)
{
    // A frame keeps its drawn look: a control inside that changes does not draw it again.
    auto* frame = make<FrameBox>(parent, p.name, p.rect, p.tab);
    frame->setTitle(QString::fromLatin1(p.caption));
    frame->setFont(sansSerif(8.25, true));
    return frame;
}

QLabel* makeLabel(QWidget* parent, const Placed& p)
{
    auto* label = make<QLabel>(parent, p.name, p.rect);
    label->setText(QString::fromLatin1(p.caption));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(sansSerif());
    return label;
}

QPushButton* makeButton(QWidget* parent, const Placed& p)
{
    auto* button = make<QPushButton>(parent, p.name, p.rect, p.tab);
    button->setText(QString::fromLatin1(p.caption));
    button->setFont(sansSerif(8.25, true));
    return button;
}

QLabel* makeImage(QWidget* parent, const char* name, const QRect& rect, const QString& resource,
                  bool stretch)
{
    auto* image = make<QLabel>(parent, name, rect);
    image->setPixmap(QPixmap(resource));
    image->setScaledContents(stretch);
    image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return image;
}

// Work surfaces start with transparent placeholders; the first tick loads the real parts.
QImage blackPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

}  // namespace

void Form2::buildLayout()
{
    setWindowTitle(QStringLiteral("Orvane 4.0 by Kestrow"));
    setWindowIcon(QIcon(QStringLiteral(":/builtin/icon.xpm")));
    // Controls without a font of their own use this one. Frames carry a bold caption, which
    // their children would inherit, so controls in frames set the regular font themselves.
    setFont(sansSerif());
    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(windowPalette);
    setAutoFillBackground(true);

    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    const QColor windowBackground = QApplication::palette().color(QPalette::Base);

    frmElem = makeFrame(this, {"frmElem", "Choose An Elemental", {8, 8, 377, 89}, 2});
    frmNums = makeFrame(this, {"frmNums", "Enter Your Numbers:", {8, 104, 137, 129}, 3});
    frmXY = makeFrame(this, {"frmXY", "Place Your Main Picture (X, Y):", {184, 104, 201, 129}, 40});
    frmArrows = makeFrame(this, {"frmArrows", "Arrows:", {8, 240, 105, 137}, 53});
    Label6 = makeLabel(this, {"Label6", "Main Picture:", {128, 272, 81, 17}, 49});
    Label6->setFont(sansSerif(8.25, true));
    picMainPic = new PictureBox(this, {136, 296, 66, 66}, true, buttonFace);
    picMainPic->setObjectName(QStringLiteral("picMainPic"));
    picMainPic->setProperty(TabIndex, 25);
    Label4 = makeLabel(this, {"Label4", "Finished Product:", {256, 272, 121, 17}, 39});
    Label4->setFont(sansSerif(8.25, true));

    const QImage blueBase(QStringLiteral(":/builtin/bluebase.xpm"));
    const QImage redBase(QStringLiteral(":/builtin/redbase.xpm"));
    const auto cardBox = [&](const char* name, const QRect& rect, const QImage& base, int tab) {
        auto* box = new PictureBox(this, rect, false, windowBackground);
        box->setProperty(TabIndex, tab);
        box->setObjectName(QLatin1String(name));
        box->setPicture(base);
        return box;
    };
    picBlueBase = cardBox("picBlueBase", {232, 296, 62, 62}, blueBase, 23);
    picRedBase = cardBox("picRedBase", {320, 296, 62, 62}, redBase, 24);

    cmdLoadMain = makeButton(this, {"cmdLoadMain", "Load Main Picture...", {400, 80, 129, 41}, 0});
    cmdAbout = makeButton(this, {"cmdAbout", "About", {400, 120, 129, 41}, 4});
    cmdRandom = makeButton(this, {"cmdRandom", "Randomize Numbers", {400, 160, 129, 41}, 22});
    cmdAdvanced = makeButton(this, {"cmdAdvanced", "Advanced Settings", {400, 200, 129, 41}, 26});
    cmdSaveCards = makeButton(this, {"cmdSaveCards", "Save Card", {400, 240, 129, 41}, 28});
    cmdQuit = makeButton(this, {"cmdQuit", "Exit Program", {400, 280, 129, 41}, 47});

    Image1 =
        makeImage(this, "Image1", {440, 8, 48, 48}, QStringLiteral(":/builtin/icon.xpm"), true);
    Label5 = makeLabel(this, {"Label5", ORVANE_CAPTION_VERSION, {448, 16, 41, 33}, 48});
    Label5->setFont(sansSerif(18, true));
    QPalette blueText = Label5->palette();
    blueText.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label5->setPalette(blueText);
    Label5->raise();

    // Hidden controls: the export and compose buttons, the frame options, the work surfaces.
    cmdCardData = makeButton(this, {"cmdCardData", "Export Card Data", {400, 280, 129, 41}, 50});
    cmdCreate = makeButton(this, {"cmdCreate", "Create Card", {408, 392, 129, 41}, 27});
    frmFrame = makeFrame(this, {"frmFrame", "Choose A Frame:", {16, 16, 369, 73}, 1});
    frmDoubleCheck =
        makeFrame(this, {"frmDoubleCheck", "Double-check your choices:", {56, 128, 409, 113}, 29});
    for (QWidget* hidden : {static_cast<QWidget*>(cmdCardData), static_cast<QWidget*>(cmdCreate),
                            static_cast<QWidget*>(frmFrame), static_cast<QWidget*>(frmDoubleCheck)})
        hidden->setVisible(false);
    cmdQuit->raise();  // a click on the place of "Exit Program" always reaches it

    picBlueClean = cardBox("picBlueClean", {64, 504, 62, 62}, blueBase, 45);
    picRedClean = cardBox("picRedClean", {168, 504, 62, 62}, redBase, 46);

    // Elements: option, and the icon just right of its caption.
    static const Placed elements[11] = {
        {"optElem_0", "Fire", {24, 16, 41, 17}, 13},  {"optElem_1", "Water", {96, 16, 49, 17}, 14},
        {"optElem_2", "Ice", {168, 16, 41, 17}, 15},  {"optElem_3", "Earth", {232, 16, 49, 17}, 16},
        {"optElem_4", "Wind", {24, 40, 49, 17}, 17},  {"optElem_5", "Poison", {96, 40, 57, 17}, 18},
        {"optElem_6", "Bolt", {168, 40, 41, 17}, 19}, {"optElem_7", "Holy", {232, 40, 41, 17}, 20},
        {"optElem_8", "None", {168, 64, 49, 17}, 21}, {"optElem_9", "Shadow", {24, 64, 65, 17}, 51},
        {"optElem_10", "Trap", {104, 64, 49, 17}, 52}};
    for (size_t i = 0; i < optElem.size(); ++i) {
        optElem[i] =
            make<QRadioButton>(frmElem, elements[i].name, elements[i].rect, elements[i].tab);
        optElem[i]->setText(QString::fromLatin1(elements[i].caption));
        optElem[i]->setFont(sansSerif());
    }
    optElem[8]->setChecked(true);
    static const QRect icons[10] = {{72, 16, 16, 17},  {152, 16, 15, 16}, {208, 15, 16, 16},
                                    {280, 16, 16, 14}, {72, 40, 15, 16},  {152, 40, 13, 14},
                                    {208, 40, 16, 16}, {280, 40, 15, 15}, {88, 64, 14, 14},
                                    {153, 67, 11, 11}};
    for (size_t i = 0; i < imgElemDemo.size(); ++i)
        imgElemDemo[i] = makeImage(frmElem, qPrintable(QStringLiteral("imgElemDemo_%1").arg(i)),
                                   icons[i], QStringLiteral(":/builtin/elem%1.xpm").arg(i), false);

    static const Placed frames[4] = {{"optFrame_0", "Monster Frame", {16, 24, 73, 33}, 9},
                                     {"optFrame_1", "Boss Frame", {104, 24, 73, 33}, 10},
                                     {"optFrame_2", "GF    Frame", {184, 24, 73, 33}, 11},
                                     {"optFrame_3", "Character Frame", {272, 24, 73, 33}, 12}};
    for (size_t i = 0; i < optFrame.size(); ++i) {
        optFrame[i] = make<QRadioButton>(frmFrame, frames[i].name, frames[i].rect, frames[i].tab);
        optFrame[i]->setText(QString::fromLatin1(frames[i].caption));
        optFrame[i]->setFont(sansSerif());
    }
    optFrame[3]->setChecked(true);

    static const Placed numbers[4] = {{"txtNums_0", "A", {56, 24, 25, 33}, 5},
                                      {"txtNums_1", "A", {24, 56, 25, 33}, 6},
                                      {"txtNums_2", "A", {88, 56, 25, 33}, 7},
                                      {"txtNums_3", "A", {56, 88, 25, 33}, 8}};
    for (size_t i = 0; i < txtNums.size(); ++i) {
        txtNums[i] = make<QLineEdit>(frmNums, numbers[i].name, numbers[i].rect, numbers[i].tab);
        txtNums[i]->setText(QStringLiteral("A"));
        txtNums[i]->setFont(sansSerif(18, true));
        txtNums[i]->setTextMargins(0, 0, 0, 0);
    }

    // The bars take the focus on click, so the keyboard nudges the picture pixel by pixel.
    scrY = make<ScrollBar>(frmXY, "scrY", {16, 16, 17, 105}, 41);
    scrY->setOrientation(Qt::Vertical);
    scrX = make<ScrollBar>(frmXY, "scrX", {40, 104, 121, 17}, 42);
    scrX->setOrientation(Qt::Horizontal);
    for (QScrollBar* bar : {scrX, scrY}) {
        bar->setRange(0, 62);
        bar->setSingleStep(1);
        bar->setPageStep(10);
        bar->setValue(0);
    }
    labXpos = makeLabel(frmXY, {"labXpos", "X: 0", {64, 24, 41, 17}, 43});
    labYpos = makeLabel(frmXY, {"labYpos", "Y: 0", {64, 48, 57, 17}, 44});

    static const Placed arrows[8] = {{"chkArrow_0", "Check1", {16, 24, 17, 17}, 54},
                                     {"chkArrow_1", "Check1", {48, 24, 17, 17}, 55},
                                     {"chkArrow_2", "Check1", {80, 24, 17, 17}, 56},
                                     {"chkArrow_3", "Check1", {16, 56, 17, 17}, 57},
                                     {"chkArrow_4", "Check1", {80, 56, 17, 17}, 58},
                                     {"chkArrow_5", "Check1", {16, 88, 17, 17}, 59},
                                     {"chkArrow_6", "Check1", {48, 88, 17, 17}, 60},
                                     {"chkArrow_7", "Check1", {80, 88, 17, 17}, 61}};
    static const Placed marks[8] = {
        {"Image3", "diag_ul", {33, 41, 8, 8}, 0}, {"Image4", "up", {50, 41, 10, 6}, 0},
        {"Image2", "diag_ur", {70, 41, 8, 8}, 0}, {"Image5", "left", {33, 60, 6, 10}, 0},
        {"Image9", "right", {72, 60, 6, 10}, 0},  {"Image6", "diag_ll", {33, 80, 8, 8}, 0},
        {"Image7", "down", {50, 81, 10, 6}, 0},   {"Image8", "diag_lr", {70, 80, 8, 8}, 0}};
    for (size_t i = 0; i < chkArrow.size(); ++i) {
        chkArrow[i] = make<QCheckBox>(frmArrows, arrows[i].name, arrows[i].rect, arrows[i].tab);
        chkArrow[i]->setText(QString::fromLatin1(arrows[i].caption));
        chkArrow[i]->setFont(sansSerif());
        arrowMarks[i] = makeImage(
            frmArrows, marks[i].name, marks[i].rect,
            QStringLiteral(":/builtin/mark_%1.xpm").arg(QLatin1String(marks[i].caption)), false);
    }
    Label7 = makeLabel(frmArrows, {"Label7", "Arrows Left = 6", {16, 112, 81, 17}, 70});

    buildWorkSurfaces();
    setTabOrderFromLayout();
    cmdLoadMain->setFocus();  // the window opens with the focus on the first tab stop
}

void Form2::buildWorkSurfaces()
{
    Label1 = makeLabel(frmDoubleCheck, {"Label1", "Frame:", {16, 16, 33, 17}, 36});
    Label2 = makeLabel(frmDoubleCheck, {"Label2", "Numbers:", {96, 16, 49, 17}, 37});
    Label3 = makeLabel(frmDoubleCheck, {"Label3", "Element:", {160, 16, 49, 17}, 38});
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    const auto surface = [&](const QString& name, const QRect& rect, const QImage& start, int tab) {
        auto* box = new PictureBox(frmDoubleCheck, rect, true, buttonFace);
        box->setObjectName(name);
        box->setProperty(TabIndex, tab);
        if (!start.isNull())
            box->setPicture(start);
        return box;
    };
    picFinalFrame =
        surface(QStringLiteral("picFinalFrame"), {16, 40, 66, 66}, blackPicture(62, 62), 30);
    static const QRect digits[4] = {
        {120, 48, 13, 13}, {104, 64, 13, 13}, {136, 64, 13, 13}, {120, 80, 13, 13}};
    for (size_t i = 0; i < picFinalNum.size(); ++i)
        picFinalNum[i] = surface(QStringLiteral("picFinalNum_%1").arg(i), digits[i],
                                 blackPicture(9, 9), 31 + int(i));
    picFinalElem =
        surface(QStringLiteral("picFinalElem"), {176, 40, 20, 21}, blackPicture(16, 17), 35);
    static const QRect arrows[8] = {{168, 80, 9, 9}, {368, 56, 9, 9}, {280, 88, 9, 9},
                                    {312, 48, 9, 9}, {240, 88, 9, 9}, {312, 72, 9, 9},
                                    {256, 72, 9, 9}, {240, 56, 9, 9}};
    for (size_t i = 0; i < picArrowFinal.size(); ++i)
        picArrowFinal[i] =
            surface(QStringLiteral("picArrowFinal_%1").arg(i), arrows[i], QImage(), 62 + int(i));
}

void Form2::setTabOrderFromLayout()
{
    std::vector<std::pair<int, QWidget*>> order;
    for (QWidget* w : findChildren<QWidget*>()) {
        const QVariant tab = w->property(TabIndex);
        if (!tab.isValid())
            continue;
        order.emplace_back(tab.toInt(), w);
        // Frames never take the focus; picture boxes are tab stops, as in the layout, and like
        // every tab stop take the focus on a click as well.
        if (qobject_cast<QGroupBox*>(w))
            w->setFocusPolicy(Qt::NoFocus);
        else if (qobject_cast<PictureBox*>(w))
            w->setFocusPolicy(Qt::StrongFocus);
    }
    std::sort(order.begin(), order.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1].second, order[i].second);
}
