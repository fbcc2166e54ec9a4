#include "editor/card_document.h"

#include "card/card_rules.h"
#include "card/module1.h"
#include "editor/card_undo.h"
#include "editor/form2.h"
#include "widgets/picture_box.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QUndoStack>

#include <algorithm>

using namespace orvane;

CardDocument::CardDocument(Form2& form)
    : QObject(&form), m_form(form), m_stack(new QUndoStack(this))
{
    // Enough for any session, and a bound on the main pictures the history keeps alive.
    m_stack->setUndoLimit(UndoLimit);
    m_committed = snapshot();
    connect(m_stack, &QUndoStack::cleanChanged, this,
            [this](bool clean) { emit modifiedChanged(!clean); });
}

void CardDocument::watchBefore()
{
    for (QLineEdit* box : m_form.txtNums)
        connect(box, &QLineEdit::textChanged, this, &CardDocument::begin);
    for (QRadioButton* option : m_form.optElem)
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                begin();
        });
    for (QCheckBox* arrow : m_form.chkArrow)
        connect(arrow, &QCheckBox::toggled, this, &CardDocument::begin);
    for (QScrollBar* bar : {m_form.scrX, m_form.scrY})
        connect(bar, &QScrollBar::valueChanged, this, &CardDocument::begin);
    connect(m_form.cmdRandom, &QPushButton::clicked, this, &CardDocument::begin);
}

void CardDocument::watchAfter()
{
    for (int i = 0; i < int(m_form.txtNums.size()); ++i)
        connect(m_form.txtNums[size_t(i)], &QLineEdit::textChanged, this,
                [this, i] { end(Change::Typing, i); });
    for (QRadioButton* option : m_form.optElem)
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                end(Change::Element, -1);
        });
    for (int i = 0; i < int(m_form.chkArrow.size()); ++i)
        connect(m_form.chkArrow[size_t(i)], &QCheckBox::toggled, this,
                [this, i] { end(Change::Arrow, i); });
    const QScrollBar* bars[] = {m_form.scrX, m_form.scrY};
    for (int i = 0; i < 2; ++i) {
        connect(bars[i], &QScrollBar::valueChanged, this, [this, i] { end(Change::Position, i); });
        // A drag is one step from press to release.
        connect(bars[i], &QScrollBar::sliderPressed, this, [this] { m_openDragBar = -1; });
        connect(bars[i], &QScrollBar::sliderReleased, this, [this] { m_openDragBar = -1; });
    }
    connect(m_form.cmdRandom, &QPushButton::clicked, this, [this] { end(Change::Random, -1); });
    for (QLineEdit* box : m_form.txtNums)
        box->installEventFilter(this);
}

bool CardDocument::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        // Leaving a box closes its typing step.
        if (m_openTypingBox >= 0 && watched == m_form.txtNums[size_t(m_openTypingBox)])
            m_openTypingBox = -1;
    } else if (event->type() == QEvent::ShortcutOverride) {
        // Undo and redo in a number box are the card's, not the box's own text history.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
            key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y)) {
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void CardDocument::begin()
{
    ++m_depth;
}

void CardDocument::end(Change change, int detail)
{
    m_depth = std::max(0, m_depth - 1);
    if (m_depth == 0)
        record(change, detail);
}

Card CardDocument::snapshot() const
{
    Card card;
    card.name = m_cardName;
    for (size_t i = 0; i < card.sides.size(); ++i)
        card.sides[i] = m_form.txtNums[i]->text();
    card.element = m_form.selectedElement();
    for (size_t i = 0; i < card.arrows.size(); ++i)
        card.arrows[i] = m_form.chkArrow[i]->isChecked();
    card.mainPicture = m_mainPicture;
    card.mainPicturePath = m_mainPicturePath;
    card.preparation = m_preparation;
    card.x = m_form.scrX->value();
    card.y = m_form.scrY->value();
    card.placement = Module1::CardPlacement;
    return card;
}

void CardDocument::apply(const Card& card)
{
    m_applying = true;
    {
        // The controls take the card's values without running their handlers; the window's
        // variables are then set as those handlers would have left them.
        const bool none = card.element < 0 || card.element >= int(m_form.optElem.size());
        for (int i = 0; i < int(m_form.optElem.size()); ++i) {
            QRadioButton* option = m_form.optElem[size_t(i)];
            const QSignalBlocker block(option);
            if (none) {
                option->setAutoExclusive(false);
                option->setChecked(false);
                option->setAutoExclusive(true);
            } else if (i == card.element) {
                option->setChecked(true);
            }
        }
        if (none) {
            // No element: the icon layer is transparent, as for a card without one.
            QImage clear(m_form.picFinalElem->ScaleWidth(), m_form.picFinalElem->ScaleHeight(),
                         QImage::Format_RGB32);
            clear.fill(Qt::black);
            m_form.picFinalElem->setPicture(clear);
        }
        for (size_t i = 0; i < m_form.txtNums.size(); ++i) {
            QLineEdit* box = m_form.txtNums[i];
            const QSignalBlocker block(box);
            if (box->text() != card.sides[i])
                box->setText(card.sides[i]);
            box->setReadOnly(card.element == ElementTrap);
        }
        qint16 ticked = 0;
        for (size_t i = 0; i < m_form.chkArrow.size(); ++i) {
            const QSignalBlocker block(m_form.chkArrow[i]);
            m_form.chkArrow[i]->setChecked(card.arrows[i]);
            ticked = qint16(ticked + (card.arrows[i] ? 1 : 0));
        }
        for (auto [bar, value] : {std::pair{m_form.scrX, card.x}, std::pair{m_form.scrY, card.y}}) {
            const QSignalBlocker block(bar);
            bar->setValue(value);
        }
        m_mainPicture = card.mainPicture;
        m_mainPicturePath = card.mainPicturePath;
        m_preparation = card.preparation;
        if (card.mainPicture.isNull())
            m_form.picMainPic->clearPicture();  // empty again: no layer of the cards
        else
            m_form.picMainPic->setPicture(card.mainPicture);
        Module1::CardPlacement = card.placement;

        m_form.CardTotal = cardTotal(card.sides);
        m_form.optFrame[size_t(frameForTotal(m_form.CardTotal))]->setChecked(true);
        m_form.currentarrows = ticked;
        m_form.beepflag = false;
    }
    m_committed = snapshot();
    m_openTypingBox = -1;
    m_openDragBar = -1;
    m_applying = false;
    // The parts of the new card are fetched and both cards composed at once.
    Module1::NeedsRedraw = true;
    m_form.Timer1_Timer();
}

bool CardDocument::sameEdit(const Card& a, const Card& b)
{
    // The name follows the card file, not the user's edits.
    Card unnamed = b;
    unnamed.name = a.name;
    return a == unnamed;
}

void CardDocument::record(Change change, int detail)
{
    if (m_applying)
        return;
    const Card now = snapshot();
    if (sameEdit(now, m_committed))
        return;
    bool mergeable = false;
    if (change == Change::Typing)
        mergeable = m_openTypingBox == detail;
    else if (change == Change::Position)
        mergeable = m_openDragBar == detail;
    const Card before = m_committed;
    m_committed = now;
    m_openTypingBox = change == Change::Typing ? detail : -1;
    QScrollBar* const bars[] = {m_form.scrX, m_form.scrY};
    m_openDragBar = change == Change::Position && bars[detail]->isSliderDown() ? detail : -1;
    m_stack->push(new CardChange(*this, before, now, change, detail, mergeable));
}

void CardDocument::closeOpenSteps()
{
    m_openTypingBox = -1;
    m_openDragBar = -1;
}

void CardDocument::setMainPicture(const QImage& picture, const QString& path)
{
    m_mainPicture = picture;
    m_mainPicturePath = path;
    m_preparation = {};  // a new picture starts without a preparation
}

void CardDocument::markSaved(const QString& path)
{
    closeOpenSteps();
    m_stack->setClean();
    if (path != m_filePath) {
        m_filePath = path;
        emit filePathChanged(path);
    }
}

void CardDocument::startOver(const QString& path)
{
    m_stack->clear();
    markSaved(path);
    emit modifiedChanged(false);
}

bool CardDocument::isModified() const
{
    return !m_stack->isClean();
}
