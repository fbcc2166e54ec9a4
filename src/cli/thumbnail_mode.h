// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

// orvane-render --thumbnail IN OUT SIZE: a card file's blue card as a PNG of at most SIZE pixels
// a side, for a file manager. Returns the exit code.
int writeThumbnail(const QStringList& arguments, const QString& partsRoot);
