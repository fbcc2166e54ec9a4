#include "editor/form2.h"

#include "card/card_rules.h"
#include "card/module1.h"
#include "editor/card_document.h"
#include "files/imageutils_library.h"
#include "platform/window_placement.h"
#include "render/asset_catalogue.h"
#include "render/compositor.h"
#include "widgets/builtin_pictures.h"
#include "widgets/picture_box.h"
#include "windows/form4.h"
#include "windows/frm_about.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <cmath>

using namespace orvane;

namespace {

// The card shows 1 to 9 and A (a lower-case a too, which counts 0); for any other text it keeps
// the digit it showed before. The box accepts any text and the total counts it all the same,
// but a box whose text differs from what the card shows or counts is marked, with a tooltip.
void markNumberBox(QLineEdit* box)
{
    static const QString rule = QStringLiteral("The card shows 1 to 9, or A for 10.");
    const QString text = box->text();
    const std::optional<double> value = parseDecimal(text);
    const QString counted = value ? QString::number(*value) : QStringLiteral("0");
    QString problem;
    if (text == QLatin1String("a"))
        problem = QStringLiteral("\"a\": the card shows A, but the total counts it as 0 (a "
                                 "capital A counts 10).");
    else if (!assets::digitFile(text))
        problem =
            QStringLiteral("%1: the card cannot show this and keeps the digit shown "
                           "before; the total counts it as %2.")
                .arg(text.isEmpty() ? QStringLiteral("Empty") : QStringLiteral("\"%1\"").arg(text),
                     counted);
    box->setToolTip(problem.isEmpty() ? rule : problem + QLatin1Char('\n') + rule);
    box->setStyleSheet(problem.isEmpty()
                           ? QString()
                           : QStringLiteral("QLineEdit { color: red; border: 2px solid red; }"));
}

}  // namespace

Form2::Form2(const Services& services, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_random(std::random_device{}())
{
    ensureBuiltinPictures();
    setObjectName(QStringLiteral("Form2"));
    if (m_services.assetRoot.isEmpty())
        m_services.assetRoot = QCoreApplication::applicationDirPath();
    if (!m_services.endProcess)
        m_services.endProcess = [] { QCoreApplication::exit(0); };
    m_pictures.setRoot(m_services.assetRoot);
    buildLayout();
    Form_Load();
    // The undo history wraps the handlers: it watches each change before and after them.
    m_document = new CardDocument(*this);
    m_document->watchBefore();
    connectHandlers();
    m_document->watchAfter();
    setUpMainWindow();
    connectWindowCommands();

    // The platform the layout was drawn for ticks "every millisecond" at its timer resolution
    // of about 16 ms. Here the tick runs at most 16 ms after something it looks at changed, and
    // not at all while nothing does.
    Timer1 = new WakeTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(16);
    connect(Timer1, &WakeTimer::timeout, this, &Form2::Timer1_Timer);
    wakeTickOnChanges();
    Timer1->start();
}

Form2::~Form2()
{
    Module1::NeedsRedraw.removeListener(this);
    Form_Terminate();
}

void Form2::connectHandlers()
{
    for (int i = 0; i < int(txtNums.size()); ++i) {
        QLineEdit* box = txtNums[size_t(i)];
        connect(box, &QLineEdit::textChanged, this, [this, i, box] {
            txtNums_Change(i);
            markNumberBox(box);
        });
        markNumberBox(box);
    }
    for (int i = 0; i < int(optElem.size()); ++i)
        connect(optElem[size_t(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                optElem_Click(i);
        });
    for (int i = 0; i < int(chkArrow.size()); ++i)
        connect(chkArrow[size_t(i)], &QCheckBox::toggled, this, [this, i] { chkArrow_Click(i); });
    connect(scrX, &QScrollBar::valueChanged, this, &Form2::scrX_Change);
    connect(scrY, &QScrollBar::valueChanged, this, &Form2::scrY_Change);
    connect(cmdQuit, &QPushButton::clicked, this, &Form2::cmdQuit_Click);
    connect(cmdAbout, &QPushButton::clicked, this, &Form2::cmdAbout_Click);
    connect(cmdAdvanced, &QPushButton::clicked, this, &Form2::cmdAdvanced_Click);
    connect(cmdRandom, &QPushButton::clicked, this, &Form2::cmdRandom_Click);
    connect(cmdCreate, &QPushButton::clicked, this, &Form2::cmdCreate_Click);
    connect(cmdLoadMain, &QPushButton::clicked, this, &Form2::cmdLoadMain_Click);
    connect(cmdSaveCards, &QPushButton::clicked, this, &Form2::cmdSaveCards_Click);
    connect(cmdCardData, &QPushButton::clicked, this, &Form2::cmdCardData_Click);
}

void Form2::Form_Load()
{
    CardPlacement& p = Module1::CardPlacement;
    p.TopY = 3;
    p.LeftX = 3;
    p.LeftY = 11;
    p.RightX = 11;
    p.RightY = 11;
    p.TopX = 7;
    p.BottomX = 7;
    p.ElemX = 44;
    p.ElemY = 4;
    p.BottomY = 19;
    Module1::NeedsRedraw = false;
    CardTotal = 40;
    for (PictureBox* box : picArrowFinal)
        box->setAutoSize(true);
    currentarrows = 0;
}

void Form2::Form_Terminate()
{
    // The auxiliary windows are gone by the time the main window object is released; nothing
    // is saved, so there is nothing left to do.
}

void Form2::cmdQuit_Click()
{
    const int answer =
        m_services.prompts->messageBox(QStringLiteral("Are you sure you want to quit?"),
                                       YesNo | Question, QStringLiteral("Exit Program"));
    if (answer != AnswerYes)
        return;
    if (!close())
        return;  // the user kept the window for unsaved changes
    m_services.endProcess();
}

void Form2::cmdAbout_Click()
{
    auto* about = new frmAbout(*m_services.prompts, m_services.registry, m_services.starter);
    centreOver(about, this);
    about->show();
}

void Form2::cmdAdvanced_Click()
{
    auto* settings = new Form4(*m_services.prompts);
    connect(settings, &Form4::placementStored, m_document,
            [this] { m_document->record(CardDocument::Change::Placement); });
    centreOver(settings, this);
    settings->show();
}

int Form2::selectedElement() const
{
    for (int k = 0; k < int(optElem.size()); ++k)
        if (optElem[size_t(k)]->isChecked())
            return k;
    return -1;
}

int Form2::selectedFrame() const
{
    for (int k = 0; k < int(optFrame.size()); ++k)
        if (optFrame[size_t(k)]->isChecked())
            return k;
    return -1;
}

// ---- Numbers, elements, arrows, position ------------------------------------------------------

void Form2::txtNums_Change(int /*Index*/)
{
    CardTotal = 0;
    for (QCheckBox* arrow : chkArrow)
        arrow->setChecked(false);  // each box that was ticked runs chkArrow_Click
    CardTotal = cardTotal(std::array<QString, 4>{txtNums[0]->text(), txtNums[1]->text(),
                                                 txtNums[2]->text(), txtNums[3]->text()});
    optFrame[size_t(frameForTotal(CardTotal))]->setChecked(true);
    Module1::NeedsRedraw = true;
}

void Form2::optElem_Click(int Index)
{
    const bool trap = Index == ElementTrap;
    for (QLineEdit* box : txtNums) {
        box->setText(trap ? QStringLiteral("2") : QStringLiteral("A"));
        box->setReadOnly(trap);
    }
    Module1::NeedsRedraw = true;
}

void Form2::chkArrow_Click(int Index)
{
    QCheckBox* box = chkArrow[size_t(Index)];
    if (box->isChecked()) {
        if (currentarrows == numpossarrows) {
            m_services.prompts->beep();
            beepflag = true;
            box->setChecked(false);  // runs this handler again on the unticked path
            return;
        }
        ++currentarrows;
    } else if (!beepflag) {
        --currentarrows;
    } else {
        beepflag = false;
    }
    Module1::NeedsRedraw = true;
}

void Form2::scrX_Change()
{
    cmdCreate_Click();
}

void Form2::scrY_Change()
{
    cmdCreate_Click();
}

void Form2::cmdRandom_Click()
{
    if (optElem[ElementTrap]->isChecked()) {
        m_services.prompts->beep();
        return;
    }
    // The total: a whole number from 4 to 40; anything else is asked again.
    std::optional<double> total;
    for (;;) {
        const QString answer = m_services.prompts->inputBox(
            QStringLiteral("What is the total of all the sides' values?"), QStringLiteral("Total"));
        if (answer.isEmpty())
            return;
        total = parseDecimal(answer);
        if (total && *total >= 4 && *total <= 40 && *total == std::floor(*total))
            break;
    }
    // The maximum: any number that leaves the total within reach.
    std::optional<double> maximum;
    for (;;) {
        const QString answer = m_services.prompts->inputBox(
            QStringLiteral("What is the maximum value any one side can have?     (10 for A)"),
            QStringLiteral("Maximum Value"));
        if (answer.isEmpty())
            return;
        maximum = parseDecimal(answer);
        if (maximum && !(*total > 4.0 * *maximum))
            break;
    }
    const auto sides = drawSides(int(*total), *maximum, m_random);
    if (!sides)
        return;  // cannot happen for answers that passed the checks above
    for (size_t i = 0; i < txtNums.size(); ++i)
        txtNums[i]->setText(sideText((*sides)[i]));
}

// ---- Preview refresh and composition ---------------------------------------------------------

void Form2::loadPreview(PictureBox* box, const QString& relativePath)
{
    const PictureCache::Result picture = m_pictures.fetch(relativePath);
    if (picture.image) {
        if (box->pictureTag() != picture.version)
            box->setPicture(*picture.image, picture.version);
        return;
    }
    if (picture.newFailure) {
        const QSize size = assets::expectedSize(relativePath);
        const QString expected = size.isValid() ? QStringLiteral("a BMP picture of %1 × %2 pixels")
                                                      .arg(size.width())
                                                      .arg(size.height())
                                                : QStringLiteral("a BMP picture");
        m_newAssetFailures << QStringLiteral("\"%1\": %2.\nLooked for at %3; expected there: %4.")
                                  .arg(relativePath.section(QLatin1Char('/'), -1), picture.error,
                                       QDir::toNativeSeparators(*picture.path), expected);
    }
}

void Form2::reportAssetFailures()
{
    if (m_newAssetFailures.isEmpty())
        return;
    // One notice for everything that failed in this tick: a missing folder is one message.
    const bool one = m_newAssetFailures.size() == 1;
    m_services.prompts->notify(
        (one ? QStringLiteral("A card part could not be loaded:\n\n")
             : QStringLiteral("%1 card parts could not be loaded:\n\n")
                   .arg(m_newAssetFailures.size())) +
            m_newAssetFailures.join(QStringLiteral("\n\n")) +
            QStringLiteral("\n\nThe card keeps the last picture of each part; put the file back "
                           "and it is used again at once."),
        QStringLiteral("Card part missing"));
    m_newAssetFailures.clear();
}

void Form2::Timer1_Timer()
{
    m_pictures.beginRound();
    const int frame = selectedFrame();
    if (frame >= 0)
        loadPreview(picFinalFrame, assets::frameFile(frame));
    const int element = selectedElement();
    if (element >= 0)
        loadPreview(picFinalElem, assets::elementFile(element));
    for (size_t i = 0; i < txtNums.size(); ++i)
        if (const auto digit = assets::digitFile(txtNums[i]->text()))
            loadPreview(picFinalNum[i], *digit);

    numpossarrows = arrowLimit(CardTotal);
    const QString arrowsLeft = arrowsLeftCaption(numpossarrows - currentarrows);
    if (Label7->text() != arrowsLeft)
        Label7->setText(arrowsLeft);

    for (size_t i = 0; i < chkArrow.size(); ++i)
        loadPreview(picArrowFinal[i],
                    chkArrow[i]->isChecked() ? assets::arrowFile(int(i)) : assets::noElementFile());

    const QString x = QStringLiteral("X: %1").arg(scrX->value());
    if (labXpos->text() != x)
        labXpos->setText(x);
    const QString y = QStringLiteral("Y: %1").arg(scrY->value());
    if (labYpos->text() != y)
        labYpos->setText(y);

    if (Module1::NeedsRedraw) {
        cmdCreate_Click();
        Module1::NeedsRedraw = false;
    }
    reportAssetFailures();
}

CardLayers Form2::workSurfaceLayers(const QImage* mainPicture) const
{
    CardLayers layers;
    layers.mainPicture = mainPicture;
    for (size_t i = 0; i < 4; ++i)
        layers.digits[i] = &picFinalNum[i]->image();
    layers.frame = &picFinalFrame->image();
    layers.element = &picFinalElem->image();
    for (size_t i = 0; i < 8; ++i)
        layers.arrows[i] = &picArrowFinal[i]->image();
    return layers;
}

void Form2::cmdCreate_Click()
{
    // An empty main picture box shows grey on screen but is no layer of the cards: its grey
    // would cover the base and make the blue and the red card the same grey card.
    const CardLayers layers =
        workSurfaceLayers(picMainPic->hasPicture() ? &picMainPic->image() : nullptr);

    const auto composeOn = [&](PictureBox* card, PictureBox* clean) {
        composeCard(card->image(), clean->image(), layers, Module1::CardPlacement, scrX->value(),
                    scrY->value(), [card] { card->Refresh(); });
    };
    composeOn(picBlueBase, picBlueClean);
    composeOn(picRedBase, picRedClean);
    ++m_compositions;
    emit cardsComposed();
}
