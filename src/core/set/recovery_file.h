// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

class QTimer;

namespace orvane {

// A recovery file written a few seconds after the last change while something is unsaved, and
// removed once nothing is, so that a crash or a killed process loses no edit. The timer runs
// only after a change; nothing wakes while nothing changes.
class DelayedRecoveryFile : public QObject {
    Q_OBJECT
public:
    DelayedRecoveryFile(QObject* parent, const QString& path, int delayMs,
                        std::function<QByteArray()> text);
    QString path() const { return m_path; }
    // Writes now, when a change is waiting; false with `error` when the file cannot be written.
    bool flush(QString* error = nullptr);
    void discard();

signals:
    void written();

protected:
    // After each change: schedules a write while something is unsaved, else removes the file.
    void follow(bool unsaved);

private:
    QString m_path;
    std::function<QByteArray()> m_text;
    QTimer* m_timer = nullptr;
    bool m_pending = false;  // a change not written yet
};

}  // namespace orvane
