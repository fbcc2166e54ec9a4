// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/wake_timer.h"

WakeTimer::WakeTimer(QObject* parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &WakeTimer::timeout);
}

void WakeTimer::start()
{
    m_enabled = true;
    m_timer.start();
}

void WakeTimer::stop()
{
    m_enabled = false;
    m_timer.stop();
}

void WakeTimer::wake()
{
    if (m_enabled && !m_timer.isActive())
        m_timer.start();
}

void WakeTimer::setPolling(bool on)
{
    m_polling = on;
    m_timer.setSingleShot(!on);
    if (m_enabled && on)
        m_timer.start();
}
