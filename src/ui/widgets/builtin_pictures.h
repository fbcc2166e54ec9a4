// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Registers the pictures compiled into the tool (card bases, icons, marks) under ":/builtin".
// The resources live in a static library, so they must be registered explicitly before use.
void ensureBuiltinPictures();
