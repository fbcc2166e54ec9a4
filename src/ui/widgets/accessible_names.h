// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <span>

// What a screen reader says for a control that has no caption of its own to say, found by the
// control's object name.
struct AccessibleText {
    const char* objectName;
    const char* name;
    const char* description;  // empty: the name says enough
};

// Gives every control inside `window` an accessible name where it has none: the entry of `texts`
// for its object name, else its caption (a button's text without its shortcut mark, a group's
// title). An entry's description is set too. Picture boxes are read as pictures.
void nameControls(QWidget& window, std::span<const AccessibleText> texts);
