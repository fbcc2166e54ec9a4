// SPDX-License-Identifier: GPL-3.0-or-later
#include "set/recovery_file.h"

#include "system/file_write.h"

#include <QFile>
#include <QTimer>

namespace orvane {

DelayedRecoveryFile::DelayedRecoveryFile(QObject* parent, const QString& path, int delayMs,
                                         std::function<QByteArray()> text)
    : QObject(parent), m_path(path), m_text(std::move(text)), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setInterval(delayMs);
    connect(m_timer, &QTimer::timeout, this, [this] { flush(); });
}

void DelayedRecoveryFile::follow(bool unsaved)
{
    if (unsaved) {
        m_pending = true;
        m_timer->start();
    } else {
        discard();
    }
}

bool DelayedRecoveryFile::flush(QString* error)
{
    if (!m_pending)
        return true;
    m_timer->stop();
    QString why;
    if (!writeFileAtomically(m_path, m_text(), &why, true)) {
        if (error)
            *error = why;
        return false;
    }
    m_pending = false;
    emit written();
    return true;
}

void DelayedRecoveryFile::discard()
{
    m_timer->stop();
    m_pending = false;
    QFile::remove(m_path);
}

}  // namespace orvane
