// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Counts every event delivered in the process while installed (an idle program has none of its
// own), and names them for the report.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QStringList>

class EventCounter : public QObject {
public:
    EventCounter() { QCoreApplication::instance()->installEventFilter(this); }
    ~EventCounter() override { QCoreApplication::instance()->removeEventFilter(this); }

    int events = 0;
    QStringList seen;  // "<receiver class> <event type>", in order

    bool eventFilter(QObject* object, QEvent* event) override
    {
        ++events;
        seen << QStringLiteral("%1 %2")
                    .arg(QLatin1String(object->metaObject()->className()))
                    .arg(int(event->type()));
        return false;
    }
};
