// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/random_sides_questions.h"

#include "card/card_rules.h"
#include "platform/prompts.h"

#include <cmath>

namespace orvane {

std::optional<RandomSidesAsked> askRandomSides(Prompts& prompts)
{
    std::optional<double> total;
    for (;;) {
        const QString answer = prompts.inputBox(
            QStringLiteral("What is the total of all the sides' values?"), QStringLiteral("Total"));
        if (answer.isEmpty())
            return std::nullopt;
        total = parseDecimal(answer);
        if (total && *total >= 4 && *total <= 40 && *total == std::floor(*total))
            break;
    }
    std::optional<double> maximum;
    for (;;) {
        const QString answer = prompts.inputBox(
            QStringLiteral("What is the maximum value any one side can have?     (10 for A)"),
            QStringLiteral("Maximum Value"));
        if (answer.isEmpty())
            return std::nullopt;
        maximum = parseDecimal(answer);
        if (maximum && !(*total > 4.0 * *maximum))
            break;
    }
    return RandomSidesAsked{int(*total), *maximum};
}

}  // namespace orvane
