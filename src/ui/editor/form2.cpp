#include "editor/form2.h"

#include "card/card_description.h"
#include "card/card_rules.h"
#include "document/card_document.h"
#include "editor/form2_accessible.h"
#include "editor/number_box_passer.h"
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
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>

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
    // Set only when different: a new style sheet re-polishes the box, the dearest step of all.
    const QString tip = problem.isEmpty() ? rule : problem + QLatin1Char('\n') + rule;
    if (box->toolTip() != tip)
        box->setToolTip(tip);
    const QString style = problem.isEmpty()
                              ? QString()
                              : QStringLiteral("QLineEdit { color: red; border: 2px solid red; }");
    if (box->styleSheet() != style)
        box->setStyleSheet(style);
}

}  // namespace

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
    buildLayout();
    nameControls(*this, form2AccessibleTexts());
    connectHandlers();
    // The controls keep their area however large the main window is made: the room beyond it
    // belongs to the docks (the set, the zoomed preview), never to the layout's hidden corners.
    setFixedSize(532, 377);
    auto* passer = new NumberBoxPasser(this, [this] { m_document->closeTyping(); });
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
        box->removeEventFilter(findChild<NumberBoxPasser*>());
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
    documentChanged();
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

void Form2::documentChanged()
{
    showDocument();
    Timer1_Timer();  // the parts of the card as it is now, and both cards composed
}

void Form2::showDocument()
{
    // The controls take the card's values without running their handlers.
    const Card& card = m_document->card();
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
    for (size_t i = 0; i < txtNums.size(); ++i) {
        QLineEdit* box = txtNums[i];
        if (box->text() != card.sides[i]) {
            const QSignalBlocker block(box);
            box->setText(card.sides[i]);
        }
        box->setReadOnly(card.element == ElementTrap);
        markNumberBox(box);
    }
    for (size_t i = 0; i < chkArrow.size(); ++i) {
        const QSignalBlocker block(chkArrow[i]);
        chkArrow[i]->setChecked(card.arrows[i]);
    }
    for (auto [bar, value] : {std::pair{scrX, card.x}, std::pair{scrY, card.y}}) {
        const QSignalBlocker block(bar);
        bar->setValue(value);
    }
    if (card.mainPicture.isNull()) {
        if (picMainPic->hasPicture())
            picMainPic->clearPicture();  // empty again: no layer of the cards
    } else if (!picMainPic->hasPicture() ||
               picMainPic->image().cacheKey() != card.mainPicture.cacheKey()) {
        picMainPic->setPicture(card.mainPicture);
    }

    CardTotal = cardTotal(card);
    optFrame[size_t(frameForTotal(CardTotal))]->setChecked(true);
    const QString arrowsLeft = arrowsLeftCaption(arrowLimit(CardTotal) - card.arrowCount());
    if (Label7->text() != arrowsLeft)
        Label7->setText(arrowsLeft);
    const QString x = QStringLiteral("X: %1").arg(card.x);
    if (labXpos->text() != x)
        labXpos->setText(x);
    const QString y = QStringLiteral("Y: %1").arg(card.y);
    if (labYpos->text() != y)
        labYpos->setText(y);
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
    // The number rule: a change unticks the arrows, and the total sets the frame.
    if (m_document->typeSide(Index, txtNums[size_t(Index)]->text()))
        reportReset(QStringLiteral("Arrows unticked by the number change"));
}

void Form2::optElem_Click(int Index)
{
    // The element rule: the element sets the numbers (Trap: 2, 2, 2, 2, locked).
    const ElementClick click = m_document->clickElement(Index);
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
    if (m_document->randomizeSides(*sides))
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
    reportAssetFailures();
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
