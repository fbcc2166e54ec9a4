// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace orvane {

// A folder set keeps its cards' order in a small text file beside the card files: one card
// file name a line, UTF-8. The card files keep the names the cards have (no number in front),
// so reordering rewrites one small file instead of renaming every card file, and a user can
// read or edit the order in any text editor. A folder whose order is the plain name order needs
// no such file.
inline constexpr const char* SetOrderFileName = "card-order.txt";

// The file names listed in an order file, in its order (empty when there is none or it cannot
// be read; blank lines skipped).
QStringList readOrderFile(const QString& path);

// `files` (in name order) put in the order `order` lists: the listed ones first, as listed, then
// the others in the order they came. A listed name with no file is skipped.
QStringList orderedCardFiles(const QStringList& files, const QStringList& order);

// The text of an order file listing `files`.
QByteArray orderFileText(const QStringList& files);

}  // namespace orvane
