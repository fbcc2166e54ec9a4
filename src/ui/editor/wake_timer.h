// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>

// The editor's Timer1: enabled and disabled like a timer, but it fires only when something
// changed. `wake()` (a control, the redraw flag or a part file changed) schedules one tick
// `interval()` ms later; several wake-ups before it fires make one tick. Where part files cannot
// be watched, `setPolling(true)` makes it tick every interval as a plain timer would.
class WakeTimer : public QObject {
    Q_OBJECT
public:
    explicit WakeTimer(QObject* parent = nullptr);

    int interval() const { return m_timer.interval(); }
    void setInterval(int ms) { m_timer.setInterval(ms); }
    // Enabled: ticks follow changes. Enabling ticks once, for what changed while disabled.
    void start();
    void stop();
    bool isActive() const { return m_enabled; }
    // A tick is scheduled and has not run yet.
    bool isPending() const { return m_timer.isActive(); }

    void setPolling(bool on);
    bool isPolling() const { return m_polling; }

public slots:
    void wake();

signals:
    void timeout();

private:
    QTimer m_timer;
    bool m_enabled = false;
    bool m_polling = false;
};
