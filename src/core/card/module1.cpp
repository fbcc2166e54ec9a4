#include "card/module1.h"

orvane::CardPlacement Module1::CardPlacement;
orvane::RedrawFlag Module1::NeedsRedraw;

namespace orvane {

RedrawFlag& RedrawFlag::operator=(bool on)
{
    m_on = on;
    if (on)
        for (const auto& listener : m_listeners)
            listener.second();
    return *this;
}

void RedrawFlag::addListener(const void* owner, std::function<void()> wake)
{
    m_listeners.append({owner, std::move(wake)});
}

void RedrawFlag::removeListener(const void* owner)
{
    m_listeners.removeIf([owner](const auto& listener) { return listener.first == owner; });
}

}  // namespace orvane
