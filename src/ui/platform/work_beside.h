// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace orvane {

// Short file work (a picture read, a card file written) on a thread of its own while the window
// goes on painting; its input waits meanwhile. It counts the work under way, so that a window
// asked to close meanwhile can close once the work is done.
class WorkBeside : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Runs `work` (no widget, no document) under a wait cursor and returns once it is done:
    // empty, or why it broke off.
    QString run(const std::function<void()>& work);
    bool isBusy() const { return m_running > 0; }

signals:
    // The last work under way ended (queued: its caller has finished with its file first).
    void allDone();

private:
    int m_running = 0;
};

}  // namespace orvane
