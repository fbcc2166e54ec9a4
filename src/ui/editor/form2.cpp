// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/form2.h"

#include "card/card_description.h"
#include "card/card_rules.h"
#include "document/card_document.h"
#include "editor/card_window_reader_texts.h"
#include "editor/number_box_mark.h"
#include "editor/number_box_passer.h"
#include "editor/random_sides_questions.h"
#include "files/imageutils_library.h"
#include "platform/window_placement.h"
#include "platform/work_beside.h"
#include "render/asset_catalogue.h"
#include "widgets/builtin_pictures.h"
#include "widgets/picture_box.h"
#include "windows/form4.h"
#include "windows/frm_about.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>

using namespace orvane;

Form2::Form2(const Services& services, CardDocument& document, QWidget* parent)
    : QWidget(parent), m_services(services), m_random(std::random_device{}())
{
    ensureBuiltinPictures();
    setObjectName(QStringLiteral("Form2"));
    if (m_services.assetRoot.isEmpty())
        m_services.assetRoot = QCoreApplication::applicationDirPath();
    if (!m_services.endProcess)
        m_services.endProcess = [] { QCoreApplication::exit(0); };
    if (!m_services.workBeside)
        m_services.workBeside = new WorkBeside(this);
    m_pictures.setRoot(m_services.assetRoot);
    m_parts.blueBase = cleanBlueBase();
    m_parts.redBase = cleanRedBase();
    m_document = &document;
    setWindowTitle(QStringLiteral("Orvane 4.0 by Kestrow"));
    setWindowIcon(QIcon(QStringLiteral(":/builtin/icon.xpm")));
    buildControls(*this);
    nameControls(*this, cardWindowReaderTexts());
    connectHandlers();
    // The controls keep their area however large the main window is made: the room beyond it
    // belongs to the docks (the set, the zoomed preview), never to the layout's hidden corners.
    setFixedSize(532, 377);
    auto* passer = new NumberBoxPasser(this, [this] { m_document->closeTyping(); });
    m_numberBoxPasser = passer;
    for (QLineEdit* box : txtNums)
        box->installEventFilter(passer);
    m_noCard = new CardDocument(nullptr, this);
    m_noCard->setObjectName(QStringLiteral("noCardDocument"));

    // The platform the layout was drawn for ticks "every millisecond" at its timer resolution
    // of about 16 ms. Here every change of the card runs the tick's work at once, and the timer
    // runs only when a part file changed on disk: nothing runs while nothing changes.
    Timer1 = new WakeTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(16);
    connect(Timer1, &WakeTimer::timeout, this, &Form2::Timer1_Timer);
    wakeTickOnChanges();
    Form_Load();
    setDocument(document);
    Timer1->start();
}

Form2::~Form2()
{
    // The number boxes lose the focus while the widgets are torn down: their filter goes first.
    for (QLineEdit* box : txtNums)
        box->removeEventFilter(m_numberBoxPasser);
    for (const QMetaObject::Connection& connection : m_documentConnections)
        disconnect(connection);
    Form_Terminate();
}

void Form2::setDocument(CardDocument& document)
{
    for (const QMetaObject::Connection& connection : m_documentConnections)
        disconnect(connection);
    m_documentConnections.clear();
    m_document = &document;
    enableControls(m_document != m_noCard);
    m_documentConnections
        << connect(m_document, &CardDocument::changed, this, &Form2::documentChanged)
        << connect(m_document, &QObject::destroyed, this, [this] {
               // A shown document that goes away leaves the window with no card.
               m_document = m_noCard;
               setDocument(*m_noCard);
           });
    m_dragContinues = false;
    m_document->setNeedsRedraw(true);
    documentChanged(CardDocument::Change::Everything);
}

void Form2::showNoCard(const QString& why)
{
    setDocument(*m_noCard);
    picBlueBase->clearPicture();
    picRedBase->clearPicture();
    emit message(why);
}

void Form2::enableControls(bool on)
{
    // Every control of the card; Exit and About do not need one.
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (control != cmdQuit && control != cmdAbout)
            control->setEnabled(on);
}

void Form2::run(Command command)
{
    QPushButton* const buttons[] = {cmdLoadMain, cmdSaveCards, cmdCardData,
                                    cmdAdvanced, cmdAbout,     cmdQuit};
    QPushButton* button = buttons[size_t(command)];
    if (button->isEnabled())
        button->click();
}

RenderedCard Form2::shownCards() const
{
    return {picBlueBase->image(), picRedBase->image()};
}

void Form2::documentChanged(CardDocument::Changes what)
{
    showDocument(what);
    Timer1_Timer();  // the parts of the card as it is now, and both cards composed
}

void Form2::showDocument(CardDocument::Changes what)
{
    // Only the controls of what changed take the card's values, without running their handlers.
    using Change = CardDocument::Change;
    const Card& card = m_document->card();
    if (what & Change::Element)
        showElement(card);
    if (what & Change::Sides)
        showSides(card);
    if (what & Change::Arrows)
        for (size_t i = 0; i < chkArrow.size(); ++i) {
            const QSignalBlocker block(chkArrow[i]);
            chkArrow[i]->setChecked(card.arrows[i]);
        }
    if (what & Change::Offset)
        showOffset(card);
    if (what & Change::MainPicture)
        showMainPicture(card);
    if (what & (CardDocument::Changes(Change::Sides) | Change::Arrows)) {
        // The total sets the frame, and with the arrows ticked the arrows left.
        CardTotal = cardTotal(card);
        optFrame[size_t(frameForTotal(CardTotal))]->setChecked(true);
        const QString left = arrowsLeftCaption(arrowLimit(CardTotal) - card.arrowCount());
        if (Label7->text() != left)
            Label7->setText(left);
    }
}

void Form2::showElement(const Card& card)
{
    const bool none = card.element < 0 || card.element >= int(optElem.size());
    for (int i = 0; i < int(optElem.size()); ++i) {
        QRadioButton* option = optElem[size_t(i)];
        const QSignalBlocker block(option);
        if (none) {
            option->setAutoExclusive(false);
            option->setChecked(false);
            option->setAutoExclusive(true);
        } else if (i == card.element) {
            option->setChecked(true);
        }
    }
    for (QLineEdit* box : txtNums)
        box->setReadOnly(card.element == ElementTrap);  // Trap's 2, 2, 2, 2 are locked
}

void Form2::showSides(const Card& card)
{
    for (size_t i = 0; i < txtNums.size(); ++i) {
        QLineEdit* box = txtNums[i];
        if (box->text() != card.sides[i]) {
            const QSignalBlocker block(box);
            box->setText(card.sides[i]);
        }
        markNumberBox(box);
    }
}

void Form2::showOffset(const Card& card)
{
    for (auto [bar, value] : {std::pair{scrX, card.x}, std::pair{scrY, card.y}}) {
        const QSignalBlocker block(bar);
        bar->setValue(value);
    }
    const QString x = QStringLiteral("X: %1").arg(card.x);
    if (labXpos->text() != x)
        labXpos->setText(x);
    const QString y = QStringLiteral("Y: %1").arg(card.y);
    if (labYpos->text() != y)
        labYpos->setText(y);
}

void Form2::showMainPicture(const Card& card)
{
    if (card.mainPicture.isNull()) {
        if (picMainPic->hasPicture())
            picMainPic->clearPicture();  // empty again: no layer of the cards
    } else if (!picMainPic->hasPicture() ||
               picMainPic->image().cacheKey() != card.mainPicture.cacheKey()) {
        picMainPic->setPicture(card.mainPicture);
    }
}

void Form2::connectHandlers()
{
    for (int i = 0; i < int(txtNums.size()); ++i) {
        QLineEdit* box = txtNums[size_t(i)];
        connect(box, &QLineEdit::textChanged, this, [this, i] { txtNums_Change(i); });
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
    // A drag is one step from press to release.
    for (QScrollBar* bar : {scrX, scrY}) {
        connect(bar, &QScrollBar::sliderPressed, this, [this] { m_dragContinues = false; });
        connect(bar, &QScrollBar::sliderReleased, this, [this] { m_dragContinues = false; });
    }
    connect(cmdQuit, &QPushButton::clicked, this, &Form2::cmdQuit_Click);
    connect(cmdAbout, &QPushButton::clicked, this, &Form2::cmdAbout_Click);
    connect(cmdAdvanced, &QPushButton::clicked, this, &Form2::cmdAdvanced_Click);
    connect(cmdRandom, &QPushButton::clicked, this, &Form2::cmdRandom_Click);
    connect(cmdCreate, &QPushButton::clicked, this, &Form2::cmdCreate_Click);
    connect(cmdLoadMain, &QPushButton::clicked, this, &Form2::cmdLoadMain_Click);
    connect(cmdSaveCards, &QPushButton::clicked, this, &Form2::cmdSaveCards_Click);
    connect(cmdCardData, &QPushButton::clicked, this, &Form2::cmdCardData_Click);
    connect(picMainPic, &PictureBox::doubleClicked, this, &Form2::prepareMainPicture);
}

void Form2::Form_Load()
{
    // The card a fresh start shows: A A A A, element None, no arrows, the default placement.
    Card start;
    start.element = ElementNone;
    m_document->setCard(start);
    m_document->setNeedsRedraw(true);
    for (PictureBox* box : picArrowFinal)
        box->setAutoSize(true);
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
    if (!window()->close())
        return;  // the user kept the window for unsaved changes
    m_services.endProcess();
}

void Form2::cmdAbout_Click()
{
    auto* about = new frmAbout(*m_services.prompts, m_services.registry, m_services.starter);
    centreOver(about, window());
    about->show();
}

void Form2::cmdAdvanced_Click()
{
    auto* settings = new Form4(*m_services.prompts, m_document->card().placement);
    connect(settings, &Form4::placementStored, this,
            [this](const CardPlacement& placement) { m_document->setPlacement(placement); });
    centreOver(settings, window());
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

void Form2::txtNums_Change(int Index)
{
    // The number rule: a change unticks the arrows (with the keep option only those the new
    // total no longer allows), and the total sets the frame.
    if (m_document->typeSide(Index, txtNums[size_t(Index)]->text(), m_resetRules))
        reportReset(QStringLiteral("Arrows unticked by the number change"));
}

void Form2::optElem_Click(int Index)
{
    // The element rule: the element sets the numbers (Trap: 2, 2, 2, 2, locked).
    // With the keep option, an element other than Trap leaves the numbers.
    const ElementClick click = m_document->clickElement(Index, m_resetRules);
    if (click.numbersReset)
        reportReset(click.arrowsUnticked ? QStringLiteral("Numbers and arrows reset by the element")
                                         : QStringLiteral("Numbers reset by the element"));
    else if (click.arrowsUnticked)
        reportReset(QStringLiteral("Arrows unticked by the element"));
}

void Form2::chkArrow_Click(int Index)
{
    QCheckBox* box = chkArrow[size_t(Index)];
    if (!m_document->setArrow(Index, box->isChecked())) {
        // One more arrow than the total allows: a beep, and the box stays unticked.
        m_services.prompts->beep();
        const QSignalBlocker block(box);
        box->setChecked(false);
    }
}

void Form2::scrX_Change()
{
    // While the slider is held, every move belongs to the step the drag began.
    const bool dragging = scrX->isSliderDown() || scrY->isSliderDown();
    m_document->moveMainPicture(scrX->value(), scrY->value(), dragging && m_dragContinues);
    m_dragContinues = dragging;
}

void Form2::scrY_Change()
{
    scrX_Change();
}

void Form2::reportReset(const QString& what)
{
    emit message(what + QStringLiteral(": Ctrl+Z brings them back"));
}

void Form2::cmdRandom_Click()
{
    if (m_document->card().element == ElementTrap) {
        m_services.prompts->beep();
        return;
    }
    const std::optional<RandomSidesAsked> asked = askRandomSides(*m_services.prompts);
    if (!asked)
        return;
    const auto sides = drawSides(asked->total, asked->maximum, m_random);
    if (!sides)
        return;  // cannot happen for answers that passed the checks above
    if (m_document->randomizeSides(*sides, m_resetRules))
        reportReset(QStringLiteral("Arrows unticked by the new numbers"));
}

// ---- Preview refresh and composition ---------------------------------------------------------

void Form2::loadPreview(PictureBox* box, const QString& relativePath, QImage& slot)
{
    const PictureCache::Result picture = m_pictures.fetch(relativePath);
    if (picture.image) {
        if (box->pictureTag() != picture.version)
            box->setPicture(*picture.image, picture.version);
        if (slot.cacheKey() != picture.image->cacheKey())
            slot = *picture.image;
        return;
    }
    if (picture.newFailure)
        m_partFailures.add(relativePath, picture.error, *picture.path);
}

void Form2::Timer1_Timer()
{
    // The parts the card shows, fresh from disk where a file changed; the cards are composed
    // again when the card changed.
    const Card& card = m_document->card();
    m_pictures.beginRound();
    const int frame = frameForCard(card);
    loadPreview(picFinalFrame, assets::frameFile(frame), m_parts.frames[size_t(frame)]);
    if (card.element >= 0 && card.element < ElementOptionCount) {
        loadPreview(picFinalElem, assets::elementFile(card.element),
                    m_parts.elements[size_t(card.element)]);
    } else if (picFinalElem->pictureTag() != 0) {
        // No element: the icon layer is transparent, as for a card without one.
        QImage clear(picFinalElem->ScaleWidth(), picFinalElem->ScaleHeight(), QImage::Format_RGB32);
        clear.fill(Qt::black);
        picFinalElem->setPicture(clear);
    }
    const std::array<QString, 4>& drawn = m_document->drawnSides();
    for (size_t i = 0; i < drawn.size(); ++i)
        if (const auto digit = assets::digitFile(drawn[i]))
            loadPreview(picFinalNum[i], *digit, *m_parts.digit(drawn[i]));
    for (size_t i = 0; i < chkArrow.size(); ++i) {
        if (card.arrows[i])
            loadPreview(picArrowFinal[i], assets::arrowFile(int(i)), m_parts.arrows[i]);
        else
            loadPreview(picArrowFinal[i], assets::noElementFile(), m_parts.noElement);
    }

    if (m_document->needsRedraw() && showsNoCard()) {
        m_document->setNeedsRedraw(false);  // nothing to compose: the card boxes stay empty
    } else if (m_document->needsRedraw()) {
        cmdCreate_Click();
        m_document->setNeedsRedraw(false);
    }
    m_partFailures.tell(*m_services.prompts);  // what began failing in this tick, in one notice
}

RenderedCard Form2::renderShown(const Card& card) const
{
    return renderCard(card, m_parts, m_document->drawnSides());
}

void Form2::cmdCreate_Click()
{
    // Both cards from the one renderer, with the live part files; each box repaints once.
    RenderedCard cards = renderShown(m_document->card());
    picBlueBase->setPicture(cards.blue);
    picRedBase->setPicture(cards.red);
    // What the boxes show, in words for screen readers.
    picBlueBase->setAccessibleDescription(describeCard(m_document->card(), CardColour::Blue));
    picRedBase->setAccessibleDescription(describeCard(m_document->card(), CardColour::Red));
    emit cardsComposed();
}
