// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card.h"

#include <QString>
#include <QStringList>

#include <array>
#include <span>
#include <optional>
#include <random>

namespace orvane {


// A number box's text read as a decimal number: blanks around it allowed, nothing else. Empty
// text, a lone sign, letters, "inf" or "nan" give no value.
std::optional<double> parseDecimal(const QString& text);

// The card total of four side texts: "A" counts 10, a decimal number counts its value (added in
// double precision, the running sum rounded half to even), any other text counts 0. The running
// sum is held within the 16-bit range, so no text can overflow it.
qint16 cardTotal(const std::array<QString, 4>& sideTexts);

// Frame option for a total: 0 Monster (<= 16), 1 Boss (17-20), 2 GF (21-25), 3 Character (>= 26).
int frameForTotal(int total);

// Most arrows allowed for a total: 1 (<= 12), 2, 3, 4, 5, 6 (>= 26).
qint16 arrowLimit(int total);

// "Arrows Left = 6", "Arrows Left = 0", "Arrows Left =-1".
QString arrowsLeftCaption(int arrowsLeft);

// Card level 1..10 for the data record.
int levelForTotal(int total);

// The element word of the data record ("fire", "thunder", "None", ...).
QString exportElementName(int elementIndex);

// A placement value typed as text: blanks ignored, a fraction rounded half to even, the result
// within -32768..32767. No value for anything else (empty text included).
std::optional<qint16> parsePlacement(const QString& text);

// Draws four side values in 1..ceil(maximum) whose sum is `total`, with exactly the probabilities
// of drawing each value as floor(r * maximum) + 1 until the sum matches: for a whole maximum every
// valid combination is equally likely. Needs a whole total in 4..40 and total <= 4 * maximum.
std::optional<std::array<int, 4>> drawSides(int total, double maximum, std::mt19937& generator);

// The number box text of a side value: "A" for 10, else decimal.
QString sideText(int value);

// ---- Rules of a whole card ---------------------------------------------------------------------

// True for the side values a card holds: "1".."9" and "A" (10).
bool isSideValue(const QString& text);
// True for the side texts a card can draw: a side value, and "a" (drawn as A, counted 0).
bool sideIsDrawable(const QString& text);

// A side whose text the card cannot draw (it shows the digit drawn before there).
struct UndrawableSide {
    int side = 0;   // 0 top, 1 left, 2 right, 3 bottom
    QString name;   // "top", "left", "right", "bottom"
    QString text;   // what the box holds
};
// The first side, top to bottom, that holds text the card cannot draw; none when all can be.
std::optional<UndrawableSide> firstUndrawableSide(const Card& card);
// The question asked before such a card is written: what the side holds, what the card shows.
QString undrawableSideQuestion(const UndrawableSide& side);

// The total, frame and arrow limit of a card's sides.
qint16 cardTotal(const Card& card);
int frameForCard(const Card& card);
qint16 arrowLimit(const Card& card);

// Whether one more arrow may be ticked: fewer ticked than the total allows.
bool mayTickAnotherArrow(const Card& card);

// The four sides an element click puts in the boxes: 2, 2, 2, 2 for Trap, else A, A, A, A.
std::array<QString, 4> elementSides(int element);

// How a change of numbers or element treats what the user chose before: the reset rules (a
// number change unticks every arrow, an element click puts its own numbers in the boxes), or,
// with the user's option, keeping the numbers and the arrows wherever they can stay.
enum class ResetRules { Reset, Keep };

// The number rule: new side texts untick every arrow, but only when a text really changes (a box
// set to the text it holds changes nothing). With `Keep`, only the arrows the new total no longer
// allows are unticked, the last ticked first: `tickOrder` lists arrows in the order they were
// ticked (arrows not in it count as ticked before all of them, in index order). Returns true when
// ticked arrows were lost.
bool changeSides(Card& card, const std::array<QString, 4>& sides,
                 ResetRules rules = ResetRules::Reset, std::span<const int> tickOrder = {});

// The element rule: a click on another element sets it and its sides (then the number rule);
// a click on the element already chosen changes nothing.
struct ElementClick {
    bool changed = false;         // the element was another one
    bool numbersReset = false;    // sides other than the last element's were replaced
    bool arrowsUnticked = false;  // ticked arrows were lost through the new sides
};
// With `Keep`, a click on an element other than Trap leaves the numbers (and so the arrows).
ElementClick clickElement(Card& card, int element, ResetRules rules = ResetRules::Reset,
                          std::span<const int> tickOrder = {});

}  // namespace orvane
