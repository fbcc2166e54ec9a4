// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/form2.h"
#include "shell/main_window.h"

#include <QTemporaryDir>

#include <memory>

// The editor as the program starts it: the main window around the card window, its recovery
// files in a folder of their own.
struct BenchWindow {
    QTemporaryDir recovery;
    std::unique_ptr<orvane::MainWindow> window;
    Form2* form = nullptr;

    explicit BenchWindow(const Form2::Services& services)
        : window(std::make_unique<orvane::MainWindow>(services, recovery.path())),
          form(&window->form())
    {
    }
};

// Runs one of the card window's handlers as its control would (the timer's tick, a button).
inline void runHandler(QObject* form, const char* handler)
{
    QMetaObject::invokeMethod(form, handler, Qt::DirectConnection);
}
