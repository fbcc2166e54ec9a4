// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

// The window layouts were drawn for "MS Sans Serif" 8.25 pt; where it is missing the closest
// sans-serif stands in at the same size.
QFont classicFont(const QString& family, double pointSize, bool bold = false);
inline QFont sansSerif(double pointSize = 8.25, bool bold = false)
{
    return classicFont(QStringLiteral("MS Sans Serif"), pointSize, bold);
}
