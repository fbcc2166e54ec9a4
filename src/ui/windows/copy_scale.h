// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

class QAction;
class QMenu;

namespace orvane {

// The scale Copy puts a card on the clipboard at: 1 × unless the user picks another in
// Edit ▸ Copy Scale (kept between runs; an export's scale has no say in it).
inline constexpr int CopyScales[] = {1, 2, 4, 8, 16};
int copyScale();
void setCopyScale(int scale);  // one of CopyScales; anything else is ignored

// Adds the Copy Scale submenu to `edit` and keeps the captions of `copyActions` saying the scale
// ("Copy Blue Card (4 ×)"); their captions are given without it.
QMenu* addCopyScaleMenu(QMenu* edit, QAction* before, const QList<QAction*>& copyActions);

}  // namespace orvane
