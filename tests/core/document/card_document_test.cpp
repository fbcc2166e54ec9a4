// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/card_document.h"

#include <QUndoStack>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using namespace orvane;
using Change = CardDocument::Change;
using Changes = CardDocument::Changes;

namespace {

std::array<QString, 4> sides(const char* a, const char* b, const char* c, const char* d)
{
    return {QLatin1String(a), QLatin1String(b), QLatin1String(c), QLatin1String(d)};
}

// A card with everything set away from the defaults, so an edit that touches the wrong field
// shows.
Card startCard()
{
    Card card;
    card.name = QStringLiteral("Start");
    card.sides = sides("A", "A", "A", "A");
    card.element = 8;
    card.arrows[0] = card.arrows[7] = true;
    card.x = 3;
    card.y = 4;
    QImage picture(10, 10, QImage::Format_RGB32);
    picture.fill(Qt::red);
    card.mainPicture = picture;
    return card;
}

struct Recorder {
    std::vector<Changes> seen;
    explicit Recorder(CardDocument& document)
    {
        QObject::connect(&document, &CardDocument::changed,
                         [this](Changes what) { seen.push_back(what); });
    }
};

// A holder kept outside the document, as a set keeps its cards: the document reads and writes
// the card there and keeps none of its own.
struct OutsideHolder final : CardHolder {
    Card* held;
    int writes = 0;
    explicit OutsideHolder(Card* card) : held(card) {}
    const Card& card() const override { return *held; }
    void setCard(const Card& card) override
    {
        *held = card;
        ++writes;
    }
    QString pack() const override { return heldPack; }
    void setPack(const QString& pack) override { heldPack = pack; }
    QString heldPack;
};

TEST(CardDocumentHolder, TheCardIsReadAndWrittenWhereItIsHeld)
{
    Card held = startCard();
    auto holder = std::make_unique<OutsideHolder>(&held);
    OutsideHolder* outside = holder.get();
    CardDocument document(std::move(holder), nullptr);
    Recorder recorder(document);
    EXPECT_EQ(outside->writes, 0);  // made without writing
    document.typeSide(0, "7");
    EXPECT_EQ(held.sides[0], "7");  // the edit is in the holder at once
    EXPECT_EQ(document.drawnSides()[0], "7");
    EXPECT_EQ(outside->writes, 1);

    // Changed where it is held: the document shows it, closes the typing, and says so.
    held.sides = sides("3", "4", "5", "6");
    held.name = QStringLiteral("Elsewhere");
    document.cardReplaced();
    EXPECT_EQ(document.card().name, "Elsewhere");
    EXPECT_EQ(document.drawnSides(), sides("3", "4", "5", "6"));
    ASSERT_FALSE(recorder.seen.empty());
    EXPECT_EQ(recorder.seen.back(), Changes(Change::Everything));
    document.typeSide(0, "8");  // a new step, not merged with the typing before
    EXPECT_EQ(document.undoStack()->count(), 2);

    // Undo writes the state each step recorded back into the holder.
    document.undoStack()->undo();
    EXPECT_EQ(held.sides[0], "3");
    document.undoStack()->undo();
    EXPECT_EQ(held, startCard());
    EXPECT_EQ(outside->writes, 4);
}

}  // namespace

// Every kind of edit: one step, the expected card after redo, the start card after undo, the
// edited card again after redo, and `changed` naming what changed.
TEST(CardDocument, EveryEditIsOneStepThatUndoesAndRedoes)
{
    QImage other(5, 5, QImage::Format_RGB32);
    other.fill(Qt::green);
    CardPlacement moved;
    moved.TopX = 20;

    struct Case {
        const char* what;
        std::function<void(CardDocument&)> edit;
        std::function<void(Card&)> expected;
        Changes changes;
        QString undoText;
    } cases[] = {
        {"side", [](CardDocument& d) { d.typeSide(1, QStringLiteral("5")); },
         [](Card& c) {
             c.sides[1] = QStringLiteral("5");
             c.arrows.fill(false);
         },
         Changes(Change::Sides) | Change::Arrows, QStringLiteral("Typing")},
        {"element", [](CardDocument& d) { d.clickElement(ElementTrap); },
         [](Card& c) {
             c.element = ElementTrap;
             c.sides = sides("2", "2", "2", "2");
             c.arrows.fill(false);
         },
         Changes(Change::Element) | Change::Sides | Change::Arrows, QStringLiteral("Element")},
        {"arrow off", [](CardDocument& d) { d.setArrow(7, false); },
         [](Card& c) { c.arrows[7] = false; }, Change::Arrows, QStringLiteral("Arrow")},
        {"arrow on", [](CardDocument& d) { d.setArrow(2, true); },
         [](Card& c) { c.arrows[2] = true; }, Change::Arrows, QStringLiteral("Arrow")},
        {"offset", [](CardDocument& d) { d.moveMainPicture(9, 11); },
         [](Card& c) {
             c.x = 9;
             c.y = 11;
         },
         Change::Offset, QStringLiteral("Picture Position")},
        {"main picture",
         [&](CardDocument& d) {
             d.setMainPicture(other, QStringLiteral("/p.png"), {other, PictureFit{}});
         },
         [&](Card& c) {
             c.mainPicture = other;
             c.mainPicturePath = QStringLiteral("/p.png");
             c.preparation = {other, PictureFit{}};
         },
         Change::MainPicture, QStringLiteral("Main Picture")},
        {"prepared picture",
         [&](CardDocument& d) {
             d.setPreparedPicture(other, QString(), {other, PictureFit{}});
         },
         [&](Card& c) {
             c.mainPicture = other;
             c.mainPicturePath.clear();
             c.preparation = {other, PictureFit{}};
             c.x = c.y = 0;
         },
         Changes(Change::MainPicture) | Change::Offset, QStringLiteral("Main Picture")},
        {"placement", [&](CardDocument& d) { d.setPlacement(moved); },
         [&](Card& c) { c.placement = moved; }, Change::Placement,
         QStringLiteral("Advanced Settings")},
        {"random",
         [](CardDocument& d) {
             d.randomizeSides({1, 10, 3, 4});
         },
         [](Card& c) {
             c.sides = sides("1", "A", "3", "4");
             c.arrows.fill(false);
         },
         Changes(Change::Sides) | Change::Arrows, QStringLiteral("Randomize Numbers")},
        {"name", [](CardDocument& d) { d.setName(QStringLiteral("Other")); },
         [](Card& c) { c.name = QStringLiteral("Other"); }, Change::Name, QStringLiteral("Name")},
    };
    for (const Case& c : cases) {
        CardDocument document;
        document.setCard(startCard());
        EXPECT_EQ(document.undoStack()->count(), 0) << c.what;  // setCard makes no step
        Recorder recorder(document);
        Card expected = startCard();
        c.expected(expected);

        c.edit(document);
        EXPECT_EQ(document.undoStack()->count(), 1) << c.what;
        EXPECT_EQ(document.undoStack()->undoText(), c.undoText) << c.what;
        EXPECT_EQ(document.card(), expected) << c.what;
        EXPECT_TRUE(document.isModified()) << c.what;
        document.undoStack()->undo();
        EXPECT_EQ(document.card(), startCard()) << c.what;
        EXPECT_FALSE(document.isModified()) << c.what;
        document.undoStack()->redo();
        EXPECT_EQ(document.card(), expected) << c.what;
        ASSERT_EQ(recorder.seen.size(), 3u) << c.what;
        for (Changes seen : recorder.seen)
            EXPECT_EQ(seen, c.changes) << c.what;
    }
}

TEST(CardDocument, EditsThatChangeNothingMakeNoStep)
{
    CardDocument document;
    document.setCard(startCard());
    document.typeSide(0, QStringLiteral("A"));
    document.clickElement(8);
    document.setArrow(0, true);
    document.moveMainPicture(3, 4);
    document.setName(QStringLiteral("Start"));
    document.setPlacement(CardPlacement{});
    EXPECT_EQ(document.undoStack()->count(), 0);
    EXPECT_FALSE(document.isModified());
}

TEST(CardDocument, TypingInOneBoxIsOneStepUntilTheBoxIsLeft)
{
    CardDocument document;
    document.setCard(startCard());
    document.typeSide(0, QStringLiteral("1"));
    document.typeSide(0, QStringLiteral("12"));
    document.typeSide(0, QStringLiteral("1"));
    EXPECT_EQ(document.undoStack()->count(), 1);
    document.typeSide(1, QStringLiteral("2"));  // another box: a step of its own
    EXPECT_EQ(document.undoStack()->count(), 2);
    document.closeTyping();
    document.typeSide(1, QStringLiteral("3"));  // the box was left and entered again
    EXPECT_EQ(document.undoStack()->count(), 3);

    document.undoStack()->undo();
    EXPECT_EQ(document.card().sides, sides("1", "2", "A", "A"));
    document.undoStack()->undo();
    document.undoStack()->undo();
    EXPECT_EQ(document.card(), startCard());  // the arrows the typing unticked are back
}

TEST(CardDocument, TypingBackToTheStartLeavesNoStep)
{
    CardDocument document;
    Card card = startCard();
    card.arrows.fill(false);
    document.setCard(card);
    document.typeSide(2, QStringLiteral("7"));
    document.typeSide(2, QStringLiteral("A"));
    EXPECT_EQ(document.undoStack()->count(), 0);
    EXPECT_FALSE(document.isModified());
}

TEST(CardDocument, ADragIsOneStep)
{
    CardDocument document;
    document.setCard(startCard());
    document.moveMainPicture(5, 4);
    for (int x = 6; x < 20; ++x)
        document.moveMainPicture(x, 4, true);
    EXPECT_EQ(document.undoStack()->count(), 1);
    document.moveMainPicture(20, 5);  // a new drag or a click on the bar
    EXPECT_EQ(document.undoStack()->count(), 2);
    document.undoStack()->undo();
    document.undoStack()->undo();
    EXPECT_EQ(document.card().x, 3);
}

TEST(CardDocument, OneArrowMoreThanTheTotalAllowsIsRefused)
{
    CardDocument document;
    Card card;
    card.sides = sides("1", "1", "1", "1");  // total 4: one arrow
    document.setCard(card);
    EXPECT_TRUE(document.setArrow(0, true));
    EXPECT_FALSE(document.setArrow(1, true));
    EXPECT_FALSE(document.card().arrows[1]);
    EXPECT_EQ(document.undoStack()->count(), 1);
    // The limit follows the total the moment it changes.
    document.typeSide(0, QStringLiteral("A"));  // 13: two arrows, and the arrows unticked
    EXPECT_TRUE(document.setArrow(1, true));
    EXPECT_TRUE(document.setArrow(2, true));
    EXPECT_FALSE(document.setArrow(3, true));
}

TEST(CardDocument, SaysWhatTheRulesThrewAway)
{
    CardDocument document;
    document.setCard(startCard());                            // None, A A A A, two arrows
    EXPECT_TRUE(document.typeSide(0, QStringLiteral("5")));   // arrows lost
    EXPECT_FALSE(document.typeSide(0, QStringLiteral("6")));  // nothing left to lose
    const ElementClick click = document.clickElement(0);
    EXPECT_TRUE(click.numbersReset);
    EXPECT_FALSE(click.arrowsUnticked);
}

TEST(CardDocument, AnUndrawableSideKeepsTheDigitDrawnBefore)
{
    CardDocument document;
    document.setCard(startCard());
    document.typeSide(0, QStringLiteral("7"));
    document.typeSide(0, QStringLiteral("7x"));
    EXPECT_EQ(document.card().sides[0], QStringLiteral("7x"));
    EXPECT_EQ(document.drawnSides()[0], QStringLiteral("7"));
    document.closeTyping();
    document.typeSide(0, QString());
    EXPECT_EQ(document.drawnSides()[0], QStringLiteral("7"));
    document.undoStack()->undo();
    document.undoStack()->undo();
    EXPECT_EQ(document.drawnSides()[0], QStringLiteral("A"));  // undo brings the drawing back
}

TEST(CardDocument, DocumentsSharingOneStackUndoInOrder)
{
    QUndoStack stack;
    CardDocument first(&stack), second(&stack);
    EXPECT_EQ(first.undoStack(), &stack);
    first.setCard(startCard());
    second.setCard(startCard());
    first.setName(QStringLiteral("One"));
    second.setName(QStringLiteral("Two"));
    first.typeSide(0, QStringLiteral("3"));
    second.typeSide(0, QStringLiteral("4"));  // same box, other document: no merge
    EXPECT_EQ(stack.count(), 4);
    stack.undo();
    EXPECT_EQ(second.card().sides[0], QStringLiteral("A"));
    EXPECT_EQ(first.card().sides[0], QStringLiteral("3"));
    stack.undo();
    stack.undo();
    EXPECT_EQ(second.card().name, QStringLiteral("Start"));
    EXPECT_EQ(first.card().name, QStringLiteral("One"));
}

TEST(CardDocument, CardFileStateAndDisplayName)
{
    CardDocument document;
    Card card = startCard();
    card.name.clear();
    EXPECT_TRUE(document.displayName().isEmpty());
    document.startOver(card, QStringLiteral("/cards/Hero.v2.orvcard"));
    EXPECT_EQ(document.displayName(), QStringLiteral("Hero.v2"));
    EXPECT_FALSE(document.isModified());
    document.setName(QStringLiteral("Named"));
    EXPECT_EQ(document.displayName(), QStringLiteral("Named"));
    EXPECT_TRUE(document.isModified());
    document.markSaved(QStringLiteral("/cards/Named.orvcard"));
    EXPECT_FALSE(document.isModified());
    EXPECT_EQ(document.filePath(), QStringLiteral("/cards/Named.orvcard"));
    EXPECT_EQ(document.undoStack()->count(), 1);  // saving keeps the history
}

TEST(CardDocument, NeedsRedrawAfterEveryChange)
{
    CardDocument document;
    EXPECT_TRUE(document.needsRedraw());  // a fresh document was never drawn
    document.setNeedsRedraw(false);
    document.setArrow(3, true);
    EXPECT_TRUE(document.needsRedraw());
    document.setNeedsRedraw(false);
    document.undoStack()->undo();
    EXPECT_TRUE(document.needsRedraw());
}

// The card's pack is one undo step of its own that redraws the whole card; choosing the pack
// it already has makes none, and a card read from a file starts with the file's pack.
TEST(CardDocument, ThePackIsOneStepAndAFileReadSetsIt)
{
    CardDocument document;
    std::vector<Changes> seen;
    QObject::connect(&document, &CardDocument::changed, [&](Changes what) { seen.push_back(what); });
    QUndoStack& stack = *document.undoStack();

    struct Step {
        const char* pack;
        int steps;  // on the stack afterwards
    };
    const Step steps[] = {{"Ink", 1}, {"Ink", 1}, {"Chalk", 2}, {"", 3}};
    for (const Step& step : steps) {
        document.setPack(QString::fromLatin1(step.pack));
        EXPECT_EQ(document.pack(), QString::fromLatin1(step.pack));
        EXPECT_EQ(stack.count(), step.steps) << step.pack;
    }
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), Changes(Change::Everything));
    stack.undo();
    EXPECT_EQ(document.pack(), QStringLiteral("Chalk"));
    stack.setIndex(0);
    EXPECT_EQ(document.pack(), QString());
    EXPECT_FALSE(document.isModified());

    document.startOver(Card{}, QStringLiteral("/tmp/card.json"), QStringLiteral("Slate"));
    EXPECT_EQ(document.pack(), QStringLiteral("Slate"));
    EXPECT_EQ(stack.count(), 0);
    document.startOver(Card{}, QStringLiteral("/tmp/other.json"));
    EXPECT_EQ(document.pack(), QString());
}

namespace {

std::vector<int> tickedArrows(const Card& card)
{
    std::vector<int> ticked;
    for (int i = 0; i < CardArrowCount; ++i)
        if (card.arrows[size_t(i)])
            ticked.push_back(i);
    return ticked;
}

}  // namespace

TEST(CardDocument, KeepRulesUntickTheLastTickedAndUndoRestoresTheOrder)
{
    CardDocument document;
    Card card;
    card.sides = sides("5", "5", "5", "5");  // total 20: three arrows
    document.setCard(card);
    for (int arrow : {4, 1, 6})
        document.setArrow(arrow, true);
    EXPECT_EQ(document.tickOrder(), (std::vector<int>{4, 1, 6}));
    document.setArrow(1, false);
    document.setArrow(1, true);  // ticked again: now the last
    EXPECT_EQ(document.tickOrder(), (std::vector<int>{4, 6, 1}));

    EXPECT_TRUE(document.typeSide(0, QStringLiteral("1"), ResetRules::Keep));  // total 16
    EXPECT_EQ(tickedArrows(document.card()), (std::vector<int>{4, 6}));
    EXPECT_EQ(document.tickOrder(), (std::vector<int>{4, 6}));
    document.undoStack()->undo();
    EXPECT_EQ(document.tickOrder(), (std::vector<int>{4, 6, 1}));
    // The same change again loses the same arrow.
    EXPECT_TRUE(document.typeSide(0, QStringLiteral("1"), ResetRules::Keep));
    EXPECT_EQ(tickedArrows(document.card()), (std::vector<int>{4, 6}));

    // The reset rules untick every arrow and forget the order.
    EXPECT_TRUE(document.typeSide(1, QStringLiteral("4"), ResetRules::Reset));
    EXPECT_TRUE(tickedArrows(document.card()).empty());
    EXPECT_TRUE(document.tickOrder().empty());
}

TEST(CardDocument, CardJustOpenedFallsBackToIndexOrder)
{
    CardDocument document;
    document.setArrow(2, true);
    Card card;
    card.sides = sides("5", "5", "4", "4");  // total 18: three arrows
    card.arrows[0] = card.arrows[3] = card.arrows[7] = true;
    document.setCard(card);
    EXPECT_TRUE(document.tickOrder().empty());
    EXPECT_TRUE(document.typeSide(0, QStringLiteral("1"), ResetRules::Keep));  // total 14: two
    EXPECT_EQ(tickedArrows(document.card()), (std::vector<int>{0, 3}));
    // An element other than Trap keeps the numbers and arrows with the keep rules.
    const ElementClick click = document.clickElement(2, ResetRules::Keep);
    EXPECT_TRUE(click.changed);
    EXPECT_FALSE(click.numbersReset);
    EXPECT_EQ(document.card().sides, sides("1", "5", "4", "4"));
    EXPECT_EQ(tickedArrows(document.card()), (std::vector<int>{0, 3}));
}
