// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/undrawable_side_question.h"

#include "card/card_rules.h"

namespace orvane {

bool mayWriteCard(Prompts& prompts, const Card& card, const QString& title)
{
    const std::optional<UndrawableSide> side = firstUndrawableSide(card);
    if (!side)
        return true;
    // No is the default: the picture would not show what the box holds.
    return prompts.messageBox(undrawableSideQuestion(*side), YesNo | Exclamation | DefaultButton2,
                              title) == AnswerYes;
}

}  // namespace orvane
