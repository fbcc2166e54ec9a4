// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// orvane-render --check-pack FOLDER|ZIP: prints every problem of the pack, one a line
// ("error: ..." or "warning: ..."). Returns the exit code: 1 when there is an error.
int checkPackMode(const QString& folderOrZip);

// The pack folder for --pack NAME|FOLDER; empty, after a line naming the pack on stderr, when
// it is neither an installed pack nor a folder (the built-in parts are used then).
QString choosePack(const QString& nameOrFolder);
