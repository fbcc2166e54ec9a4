#pragma once

#include "card/card_placement.h"

#include <QList>

#include <functional>
#include <utility>

namespace orvane {

// The "compose the cards again" flag. It reads and assigns like a bool; raising it also wakes
// the windows that listen, so the editor composes promptly without polling the flag.
class RedrawFlag {
public:
    RedrawFlag& operator=(bool on);
    operator bool() const { return m_on; }

    // `owner` identifies the listener so it can be removed again (the editor window).
    void addListener(const void* owner, std::function<void()> wake);
    void removeListener(const void* owner);

private:
    bool m_on = false;
    QList<std::pair<const void*, std::function<void()>>> m_listeners;
};

}  // namespace orvane

// The process-wide card state shared by the windows: the placement of the digits and the
// element icon, and the flag that asks the next timer tick to compose the cards again.
struct Module1 {
    static orvane::CardPlacement CardPlacement;
    static orvane::RedrawFlag NeedsRedraw;
};
