// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QImage;

namespace orvane {

class ImageUtilsLibrary;
class Prompts;
struct Dialog;

// Save Card: the blue card, then the red card, each where `dialog` is answered and each as its
// JPEG and bitmap (written by `converter`). Every file a card would replace is named in one
// question, whose "No" offers the dialog again with the name chosen. A cancelled dialog ends the
// command; a failed save says why in a message box and ends it too. Returns what the status line
// says of it: the names saved, or why no card (or only the blue one) was saved.
QString saveCardPair(Prompts& prompts, Dialog& dialog, const QImage& blue, const QImage& red,
                     ImageUtilsLibrary& converter);

}  // namespace orvane
