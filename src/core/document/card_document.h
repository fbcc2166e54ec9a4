// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card.h"
#include "card/card_rules.h"
#include "document/card_holder.h"

#include <QFlags>
#include <QObject>
#include <QString>

#include <array>
#include <memory>
#include <vector>

class QUndoStack;

namespace orvane {

// One card being edited, as data: the card, what the editor drew for it, its undo history and
// the card file it belongs to. Every edit is a command on the undo stack that sets the new
// value on redo and the old one on undo; `changed` says what changed. Knows no widgets, so
// several documents can live in one process, alone or sharing one undo stack. The card is read
// and written through a `CardHolder`: the document's own, or the entry of a set.
class CardDocument : public QObject {
    Q_OBJECT
public:
    enum class Change {
        Sides = 0x1,
        Element = 0x2,
        Arrows = 0x4,
        Offset = 0x8,
        MainPicture = 0x10,
        Placement = 0x20,
        Name = 0x40,
        Everything = 0x7f,
    };
    Q_DECLARE_FLAGS(Changes, Change)

    // What the editor shows beside the card: the text each side's digit was last drawn for (a
    // box holding text the card cannot draw keeps the digit drawn before), and the ticked
    // arrows in the order they were ticked (empty for a card just opened: index order then).
    struct State {
        Card card;
        std::array<QString, 4> drawnSides{"A", "A", "A", "A"};
        QString pack{};  // the part pack the card is drawn with; empty: the built-in parts
        std::vector<int> tickOrder;
        bool operator==(const State&) const = default;
    };

    static constexpr int UndoLimit = 100;

    // With no stack the document owns one of its own; a shared stack stays its owner's. The
    // first keeps its card itself; the second reads and writes it through `holder`.
    explicit CardDocument(QUndoStack* sharedStack = nullptr, QObject* parent = nullptr);
    CardDocument(std::unique_ptr<CardHolder> holder, QUndoStack* sharedStack,
                 QObject* parent = nullptr);
    ~CardDocument() override;

    const Card& card() const { return m_holder->card(); }
    State state() const { return {card(), m_drawnSides, pack(), m_tickOrder}; }
    // The part pack the card is drawn with (empty: the built-in parts), installed or not.
    QString pack() const { return m_holder->pack(); }
    const std::array<QString, 4>& drawnSides() const { return m_drawnSides; }
    const std::vector<int>& tickOrder() const { return m_tickOrder; }
    QUndoStack* undoStack() const { return m_stack; }

    // Replaces the whole card without an undo step (opening a card, switching cards).
    void setCard(const Card& card);

    // ---- Edits: each pushes one undo command ----------------------------------------------
    // Typing in one box: one step until closeTyping() (the box was left) or another edit.
    // Returns true when ticked arrows were lost (the number rule). `rules` say whether the
    // arrows the new total still allows stay ticked.
    bool typeSide(int box, const QString& text, ResetRules rules = ResetRules::Reset);
    void closeTyping();
    // A click on an element option (the element rule; nothing for the element already chosen).
    // With `Keep`, an element other than Trap leaves the numbers and the arrows.
    ElementClick clickElement(int element, ResetRules rules = ResetRules::Reset);
    // Ticks or unticks one arrow. False (and nothing changed) when one more arrow is not allowed.
    bool setArrow(int arrow, bool ticked);
    // Moves the main picture; `continuing` merges with the previous move (one drag).
    void moveMainPicture(int x, int y, bool continuing = false);
    // A new main picture (null: none), where it came from, and its preparation if it was made
    // from a larger source.
    void setMainPicture(const QImage& picture, const QString& path,
                        const PicturePreparation& preparation = {});
    // A picture prepared from a larger source: placed at X 0, Y 0, where the preparation's own
    // pan put it, in the same step.
    void setPreparedPicture(const QImage& picture, const QString& path,
                            const PicturePreparation& preparation);
    void setPlacement(const CardPlacement& placement);
    // Four drawn side values (10 is A). Returns true when ticked arrows were lost.
    bool randomizeSides(const std::array<int, 4>& values, ResetRules rules = ResetRules::Reset);
    void setName(const QString& name);
    // Draws the card with the pack of this name from now on (empty: the built-in parts).
    void setPack(const QString& pack);

    // The cards on screen are stale until the view composed them again.
    bool needsRedraw() const { return m_needsRedraw; }
    void setNeedsRedraw(bool on) { m_needsRedraw = on; }

    // ---- The card file ---------------------------------------------------------------------
    QString filePath() const { return m_filePath; }
    // The card now matches the card file at `path` (opened or saved).
    void markSaved(const QString& path);
    // A card just read from a file: the card, its pack, and a history that starts again.
    void startOver(const Card& card, const QString& path, const QString& pack = {});
    bool isModified() const;
    // The card's name, else the card file's base name, else empty.
    QString displayName() const;

    // Used by the undo commands: puts a state in place and says what changed.
    void restore(const State& state, Changes what);
    // The holder's card was changed from elsewhere (a set operation, a file changed on disk):
    // typing closes, the drawn digits follow the card, and `changed` says everything changed.
    void cardReplaced();

signals:
    void changed(orvane::CardDocument::Changes what);
    void modifiedChanged(bool modified);
    void filePathChanged(const QString& path);

private:
    void push(const QString& text, const State& after, Changes what, int mergeId = -1,
              int detail = -1, bool continuing = false);
    static void followSides(State& state);
    // Drops the arrows no longer ticked from the tick order.
    static void followArrows(State& state);

    std::unique_ptr<CardHolder> m_holder;
    QUndoStack* m_stack = nullptr;
    std::array<QString, 4> m_drawnSides{"A", "A", "A", "A"};
    std::vector<int> m_tickOrder;
    QString m_filePath;
    bool m_needsRedraw = true;
    int m_openTypingBox = -1;
};

}  // namespace orvane

Q_DECLARE_OPERATORS_FOR_FLAGS(orvane::CardDocument::Changes)
