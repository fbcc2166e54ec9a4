// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace orvane {

// The card files opened or saved last, newest first, kept between runs in the settings.
inline constexpr int RecentCardsKept = 8;

QStringList recentCards();
void addRecentCard(const QString& path);
void removeRecentCard(const QString& path);

// A path as the status line shows it: the home folder as "~".
QString homeRelative(const QString& path);
// "Saved blue card.jpg and red card.jpg in ~/cards" (one folder) or both paths in full.
QString savedPairText(const QString& first, const QString& second);

}  // namespace orvane
