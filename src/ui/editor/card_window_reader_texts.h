// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/accessible_names.h"

#include <span>

// The names and descriptions screen readers say for the card window's controls that have no
// caption, or whose caption does not say enough.
std::span<const AccessibleText> cardWindowReaderTexts();
