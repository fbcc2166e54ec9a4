// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace orvane {

// Places the top-level `window` centred over the window of `opener`, kept on that window's
// screen. Call it before the window is shown. Nothing happens without an opener.
void centreOver(QWidget* window, const QWidget* opener);

}  // namespace orvane
