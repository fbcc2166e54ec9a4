// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/background_job.h"

#include <QEventLoop>
#include <QThread>

#include <exception>
#include <new>
#include <utility>

namespace orvane {

namespace {

// What a failure of the work says, in the words of the tool's messages.
QString failureOf(const std::exception_ptr& thrown)
{
    try {
        std::rethrow_exception(thrown);
    } catch (const std::bad_alloc&) {
        return BackgroundJob::tr("there is not enough memory");
    } catch (const std::exception& e) {
        return BackgroundJob::tr("it stopped on an error (%1)")
            .arg(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return BackgroundJob::tr("it stopped on an unknown error");
    }
}

}  // namespace

BackgroundJob::BackgroundJob(QObject* parent) : QObject(parent) {}

BackgroundJob::~BackgroundJob()
{
    if (m_worker) {
        m_stop = true;
        m_worker->wait();
        delete m_worker;
    }
}

bool BackgroundJob::start(Work work)
{
    if (m_worker)
        return false;
    m_stop = false;
    m_failure.clear();
    // Reports cross to the window's thread through its event loop, queued behind each other and
    // ahead of the end; those still queued when the job goes are dropped with it.
    const Progress progress(
        [this](int done, int total) {
            QMetaObject::invokeMethod(
                this, [this, done, total] { emit progressed(done, total); }, Qt::QueuedConnection);
        },
        &m_stop);
    m_worker = QThread::create([this, work = std::move(work), progress] {
        try {
            work(progress);
        } catch (...) {
            m_failure = failureOf(std::current_exception());
        }
    });
    connect(m_worker, &QThread::finished, this, &BackgroundJob::workerFinished);
    m_worker->start();
    return true;
}

void BackgroundJob::workerFinished()
{
    m_worker->wait();
    m_worker->deleteLater();
    m_worker = nullptr;
    // The last thing done here: a listener may start the next job or delete this one.
    const QString failure = std::exchange(m_failure, QString());
    emit ended(failure);
}

void BackgroundJob::waitForEnd()
{
    if (!m_worker)
        return;
    QEventLoop loop;
    connect(this, &BackgroundJob::ended, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace orvane
