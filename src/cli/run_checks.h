// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

namespace orvane {

// The first option given more than once ("--scale"), if any: a repeated option is refused
// rather than the last one silently winning.
std::optional<QString> repeatedOption(const QCommandLineParser& parser);

// Why an input cannot be read as a deck or card file ("is not there", "is a folder", "is a link
// that leads back to itself"); empty when it is a regular file.
QString inputProblem(const QString& path);

// The first input that cannot be read ("deck.csv is not there"), or that none is given; every
// input is checked before anything is read, and a bad one is a usage error.
std::optional<QString> inputsProblem(const QStringList& inputs);

// "1 card", "2 cards".
QString counted(qint64 count, const char* one, const char* many);

}  // namespace orvane
