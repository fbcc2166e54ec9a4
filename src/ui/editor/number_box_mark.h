// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QLineEdit;

// Marks a number box whose text differs from what the card shows or counts: red, with a tooltip
// that says what the card makes of it. A box the card takes as typed is plain, its tooltip the
// rule alone.
void markNumberBox(QLineEdit* box);
