// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/card_document.h"

#include "document/card_edit.h"

#include <QUndoStack>

namespace orvane {

CardDocument::CardDocument(QUndoStack* sharedStack, QObject* parent)
    : CardDocument(std::make_unique<LoneCardHolder>(), sharedStack, parent)
{
}

CardDocument::CardDocument(std::unique_ptr<CardHolder> holder, QUndoStack* sharedStack,
                           QObject* parent)
    : QObject(parent), m_holder(std::move(holder)), m_stack(sharedStack)
{
    State start = state();
    followSides(start);
    m_drawnSides = start.drawnSides;
    if (!m_stack) {
        m_stack = new QUndoStack(this);
        // Enough for any session, and a bound on the main pictures the history keeps alive.
        m_stack->setUndoLimit(UndoLimit);
    }
    connect(m_stack, &QUndoStack::cleanChanged, this,
            [this](bool clean) { emit modifiedChanged(!clean); });
}

CardDocument::~CardDocument() = default;

void CardDocument::followSides(State& state)
{
    for (size_t i = 0; i < state.drawnSides.size(); ++i)
        if (sideIsDrawable(state.card.sides[i]))
            state.drawnSides[i] = state.card.sides[i];
}

void CardDocument::followArrows(State& state)
{
    std::erase_if(state.tickOrder, [&state](int arrow) {
        return arrow < 0 || arrow >= CardArrowCount || !state.card.arrows[size_t(arrow)];
    });
}

void CardDocument::restore(const State& state, Changes what)
{
    m_holder->setCard(state.card);
    m_drawnSides = state.drawnSides;
    m_holder->setPack(state.pack);
    m_tickOrder = state.tickOrder;
    m_needsRedraw = true;
    emit changed(what);
}

void CardDocument::cardReplaced()
{
    State now = state();
    followSides(now);
    m_drawnSides = now.drawnSides;
    m_tickOrder.clear();  // the order the arrows were ticked in is not known for this card
    m_openTypingBox = -1;
    m_needsRedraw = true;
    emit changed(Change::Everything);
}

void CardDocument::setCard(const Card& card)
{
    State next = state();
    next.card = card;
    next.tickOrder.clear();
    followSides(next);
    m_openTypingBox = -1;
    restore(next, Change::Everything);
}

void CardDocument::push(const QString& text, const State& after, Changes what, int mergeId,
                        int detail, bool continuing)
{
    const State before = state();
    if (after == before)
        return;
    m_stack->push(new CardEdit(*this, text, before, after, what, mergeId, detail, continuing));
}

bool CardDocument::typeSide(int box, const QString& text, ResetRules rules)
{
    if (box < 0 || box >= int(card().sides.size()))
        return false;
    State next = state();
    std::array<QString, 4> sides = next.card.sides;
    sides[size_t(box)] = text;
    const bool arrowsLost = changeSides(next.card, sides, rules, next.tickOrder);
    followSides(next);
    followArrows(next);
    const bool continuing = m_openTypingBox == box;
    m_openTypingBox = box;
    push(QStringLiteral("Typing"), next, Changes(Change::Sides) | Change::Arrows, CardEdit::Typing,
         box, continuing);
    return arrowsLost;
}

void CardDocument::closeTyping()
{
    m_openTypingBox = -1;
}

ElementClick CardDocument::clickElement(int element, ResetRules rules)
{
    closeTyping();
    State next = state();
    const ElementClick click = orvane::clickElement(next.card, element, rules, next.tickOrder);
    followSides(next);
    followArrows(next);
    if (click.changed)
        push(QStringLiteral("Element"), next,
             Changes(Change::Element) | Change::Sides | Change::Arrows);
    return click;
}

bool CardDocument::setArrow(int arrow, bool ticked)
{
    if (arrow < 0 || arrow >= CardArrowCount)
        return false;
    closeTyping();
    if (card().arrows[size_t(arrow)] == ticked)
        return true;
    if (ticked && !mayTickAnotherArrow(card()))
        return false;
    State next = state();
    next.card.arrows[size_t(arrow)] = ticked;
    std::erase(next.tickOrder, arrow);
    if (ticked)
        next.tickOrder.push_back(arrow);
    push(QStringLiteral("Arrow"), next, Change::Arrows);
    return true;
}

void CardDocument::moveMainPicture(int x, int y, bool continuing)
{
    closeTyping();
    State next = state();
    next.card.x = x;
    next.card.y = y;
    push(QStringLiteral("Picture Position"), next, Change::Offset, CardEdit::Moving, 0, continuing);
}

void CardDocument::setMainPicture(const QImage& picture, const QString& path,
                                  const PicturePreparation& preparation)
{
    closeTyping();
    State next = state();
    next.card.mainPicture = picture;
    next.card.mainPicturePath = path;
    next.card.preparation = preparation;
    push(QStringLiteral("Main Picture"), next, Change::MainPicture);
}

void CardDocument::setPreparedPicture(const QImage& picture, const QString& path,
                                      const PicturePreparation& preparation)
{
    closeTyping();
    State next = state();
    next.card.mainPicture = picture;
    next.card.mainPicturePath = path;
    next.card.preparation = preparation;
    next.card.x = 0;
    next.card.y = 0;
    push(QStringLiteral("Main Picture"), next, Changes(Change::MainPicture) | Change::Offset);
}

void CardDocument::setPlacement(const CardPlacement& placement)
{
    closeTyping();
    State next = state();
    next.card.placement = placement;
    push(QStringLiteral("Advanced Settings"), next, Change::Placement);
}

bool CardDocument::randomizeSides(const std::array<int, 4>& values, ResetRules rules)
{
    closeTyping();
    State next = state();
    std::array<QString, 4> sides;
    for (size_t i = 0; i < sides.size(); ++i)
        sides[i] = sideText(values[i]);
    const bool arrowsLost = changeSides(next.card, sides, rules, next.tickOrder);
    followSides(next);
    followArrows(next);
    push(QStringLiteral("Randomize Numbers"), next, Changes(Change::Sides) | Change::Arrows);
    return arrowsLost;
}

void CardDocument::setName(const QString& name)
{
    closeTyping();
    State next = state();
    next.card.name = name;
    push(QStringLiteral("Name"), next, Change::Name);
}

void CardDocument::setPack(const QString& pack)
{
    closeTyping();
    if (pack == this->pack())
        return;
    State next = state();
    next.pack = pack;
    // The whole card is drawn anew with other parts.
    push(QStringLiteral("Parts"), next, Change::Everything);
}

void CardDocument::markSaved(const QString& path)
{
    closeTyping();
    m_stack->setClean();
    if (path != m_filePath) {
        m_filePath = path;
        emit filePathChanged(path);
    }
}

void CardDocument::startOver(const Card& card, const QString& path, const QString& pack)
{
    m_holder->setPack(pack);
    setCard(card);
    m_stack->clear();
    markSaved(path);
    emit modifiedChanged(false);
}

bool CardDocument::isModified() const
{
    return !m_stack->isClean();
}

QString CardDocument::displayName() const
{
    return orvane::displayName(card(), m_filePath);
}

}  // namespace orvane
