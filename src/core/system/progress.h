// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <functional>

namespace orvane {

// What long work tells whoever started it and hears back: how far it has come (`report`) and
// whether it should stop before its next step (`stopRequested`). A default one tells nobody and
// is never stopped. The work may report from a thread of its own, one call at a time: the
// listener must be safe to call from there.
class Progress {
public:
    using Listener = std::function<void(int done, int total)>;

    Progress() = default;
    explicit Progress(Listener listener, const std::atomic_bool* stop = nullptr)
        : m_listener(std::move(listener)), m_stop(stop)
    {
    }

    // Whether anyone listens: work that would only count for nobody need not.
    bool isHeard() const { return bool(m_listener); }
    void report(int done, int total) const
    {
        if (m_listener)
            m_listener(done, total);
    }
    bool stopRequested() const { return m_stop && m_stop->load(); }

    // The same stop, with `listener` in place of this one's: a step of larger work that counts
    // its own way and passes the count on.
    Progress withListener(Listener listener) const { return Progress(std::move(listener), m_stop); }

private:
    Listener m_listener;
    const std::atomic_bool* m_stop = nullptr;
};

}  // namespace orvane
