// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <cmath>
#include <optional>
#include <type_traits>

// The checks every option of orvane-render goes through: numbers in their range, a word from a
// list, and which options go with which outputs.

// The number `text` holds when it lies from `low` to `high`: a whole number for int, a finite
// one for double; nothing for any other text.
template <typename Number>
std::optional<Number> numberIn(const QString& text, Number low, Number high)
{
    static_assert(std::is_same_v<Number, int> || std::is_same_v<Number, double>);
    bool ok = false;
    Number value{};
    if constexpr (std::is_same_v<Number, int>)
        value = text.toInt(&ok);
    else
        value = text.toDouble(&ok);
    if constexpr (std::is_same_v<Number, double>)
        ok = ok && std::isfinite(value);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

// "--jobs must be a whole number from 1 to 256", "--bleed-mm must be a size from 0 to 5".
QString rangeProblem(const QString& option, int low, int high);
QString rangeProblem(const QString& option, double low, double high);

// Reads the value of `option` (its name without the dashes) as a number from `low` to `high`
// into `value`; returns the range problem when it is not one, else an empty text.
template <typename Number>
QString readNumber(const QCommandLineParser& parser, const QString& option, Number low, Number high,
                   Number& value)
{
    const std::optional<Number> read = numberIn(parser.value(option), low, high);
    if (!read)
        return rangeProblem(option, low, high);
    value = *read;
    return {};
}

// Which of `choices` `text` is, case aside; nothing when it is none of them.
std::optional<qsizetype> choiceIn(const QString& text, const QStringList& choices);

// "--sides must be both or blue", "--format must be png, jpg or bmp".
QString choiceProblem(const QString& option, const QStringList& choices);

// What a run is asked to make, as far as the options that shape one of them need to know.
enum RunOutput : unsigned {
    WithStats = 1u << 0,     // --stats, instead of pictures
    WithSheet = 1u << 1,     // --sheet with a file
    WithTabletop = 1u << 2,  // --tts with a folder
    WithAtlas = 1u << 3,     // --atlas with a file
    WithPrint = 1u << 4,     // --print with a file or folder
    WithBack = 1u << 5,      // --back with a picture
    WithWatch = 1u << 6,     // --watch
};
using RunOutputs = unsigned;

RunOutputs runOutputs(const QCommandLineParser& parser);

// The first option given without the output it goes with, or with one it does not go with:
// its usage problem, or an empty text.
QString pairingProblem(const QCommandLineParser& parser, RunOutputs outputs);
