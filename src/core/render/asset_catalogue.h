// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card.h"

#include <QSize>
#include <QString>

#include <optional>

namespace orvane {

// File names of the card parts, relative to the executable's folder, '/' as separator.
namespace assets {

inline constexpr int FrameCount = CardFrameCount;
inline constexpr int ElementCount = ElementOptionCount;
inline constexpr int ArrowCount = CardArrowCount;

QString frameFile(int frameIndex);      // 0 Monster .. 3 Character
QString elementFile(int elementIndex);  // 0 Fire .. 10 Trap (8 None -> noelem)
QString noElementFile();
// The digit file for a number box's text: "1".."9", "A" and "a"; anything else has none.
std::optional<QString> digitFile(const QString& text);
QString arrowFile(int arrowIndex);

// The size the card layout is made for; an invalid size where any size goes (arrows).
QSize expectedSize(const QString& relativePath);

// Every file the tool reads, in a fixed order (33 names).
QStringList allFiles();

}  // namespace assets
}  // namespace orvane
