// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/window_placement.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace orvane {

void centreOver(QWidget* window, const QWidget* opener)
{
    if (!window || !opener)
        return;
    const QWidget* owner = opener->window();
    // A window that is not shown yet has no frame; take the owner's as the measure of it,
    // unless the window is drawn without one.
    const QSize frameExtra = window->windowFlags().testFlag(Qt::FramelessWindowHint)
                                 ? QSize()
                                 : owner->frameGeometry().size() - owner->geometry().size();
    // A window never resized takes the size its layout asks for when it is first shown.
    const QSize size = window->testAttribute(Qt::WA_Resized) || window->isVisible()
                           ? window->size()
                           : window->sizeHint().expandedTo(window->minimumSizeHint());
    QRect frame(QPoint(), size + frameExtra);
    frame.moveCenter(owner->frameGeometry().center());
    if (const QScreen* screen = owner->screen()) {
        const QRect area = screen->availableGeometry();
        frame.moveLeft(
            std::max(area.left(), std::min(frame.left(), area.x() + area.width() - frame.width())));
        frame.moveTop(
            std::max(area.top(), std::min(frame.top(), area.y() + area.height() - frame.height())));
    }
    // For a top-level window move() places the frame, also before the first show.
    window->move(frame.topLeft());
}

}  // namespace orvane
