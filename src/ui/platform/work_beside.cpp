// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/work_beside.h"

#include "platform/background_job.h"

#include <QCursor>
#include <QGuiApplication>

namespace orvane {

QString WorkBeside::run(const std::function<void()>& work)
{
    ++m_running;  // a timer's work may start one while another waits
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QString failure;
    {
        BackgroundJob job;
        connect(&job, &BackgroundJob::ended, this,
                [&failure](const QString& why) { failure = why; });
        job.start([&work](const Progress&) { work(); });
        job.waitForEnd();
    }
    QGuiApplication::restoreOverrideCursor();
    if (--m_running == 0)
        QMetaObject::invokeMethod(this, &WorkBeside::allDone, Qt::QueuedConnection);
    return failure;
}

}  // namespace orvane
