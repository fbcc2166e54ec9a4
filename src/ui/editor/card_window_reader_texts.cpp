// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/card_window_reader_texts.h"

namespace {

constexpr AccessibleText Texts[] = {
    {"txtNums_0", "Top number", "The card's upper side value: 1 to 9, or A for 10"},
    {"txtNums_1", "Left number", "The card's left side value: 1 to 9, or A for 10"},
    {"txtNums_2", "Right number", "The card's right side value: 1 to 9, or A for 10"},
    {"txtNums_3", "Bottom number", "The card's lower side value: 1 to 9, or A for 10"},
    {"scrX", "Main picture X", "Moves the main picture across the card, 0 to 62 pixels"},
    {"scrY", "Main picture Y", "Moves the main picture down the card, 0 to 62 pixels"},
    {"picMainPic", "Main picture", "The main picture as loaded; double-click to prepare it"},
    {"picBlueBase", "Blue card", ""},  // described by its card, kept current
    {"picRedBase", "Red card", ""},
    {"picBlueClean", "Blue card base", "The blue base the card is drawn on"},
    {"picRedClean", "Red card base", "The red base the card is drawn on"},
    {"chkArrow_0", "Arrow upper left", ""},
    {"chkArrow_1", "Arrow up", ""},
    {"chkArrow_2", "Arrow upper right", ""},
    {"chkArrow_3", "Arrow left", ""},
    {"chkArrow_4", "Arrow right", ""},
    {"chkArrow_5", "Arrow lower left", ""},
    {"chkArrow_6", "Arrow down", ""},
    {"chkArrow_7", "Arrow lower right", ""},
    {"cmdRandom", "Randomize Numbers", "Draws four side values for a total you give"},
    {"cmdAdvanced", "Advanced Settings", "Moves the digits and the element icon on the card"},
    {"cmdSaveCards", "Save Card", "Saves the blue card, then the red card, as JPEG and BMP"},
    {"Image1", "Orvane", ""},
};

}  // namespace

std::span<const AccessibleText> cardWindowReaderTexts()
{
    return Texts;
}
