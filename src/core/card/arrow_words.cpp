// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/arrow_words.h"

#include "card/card.h"

namespace orvane {

std::optional<int> arrowFromWord(const QString& word)
{
    if (const std::optional<int> arrow = arrowFromText(word))
        return arrow;
    // The word with its parts run together: "Top_Left" -> "topleft".
    QString key = word.trimmed().toLower();
    key.remove(QLatin1Char('-'));
    key.remove(QLatin1Char('_'));
    static const struct {
        const char* key;
        int arrow;
    } variants[] = {
        {"upperleft", 0},  {"upleft", 0},      {"topleft", 0},    {"leftup", 0},
        {"lefttop", 0},    {"nw", 0},          {"northwest", 0},  {"top", 1},
        {"upper", 1},      {"north", 1},       {"n", 1},          {"upperright", 2},
        {"upright", 2},    {"topright", 2},    {"rightup", 2},    {"righttop", 2},
        {"ne", 2},         {"northeast", 2},   {"west", 3},       {"w", 3},
        {"east", 4},       {"e", 4},           {"lowerleft", 5},  {"downleft", 5},
        {"bottomleft", 5}, {"leftdown", 5},    {"leftbottom", 5}, {"sw", 5},
        {"southwest", 5},  {"bottom", 6},      {"lower", 6},      {"south", 6},
        {"s", 6},          {"lowerright", 7},  {"downright", 7},  {"bottomright", 7},
        {"rightdown", 7},  {"rightbottom", 7}, {"se", 7},         {"southeast", 7},
    };
    for (const auto& variant : variants)
        if (key == QLatin1String(variant.key))
            return variant.arrow;
    return std::nullopt;
}

}  // namespace orvane
