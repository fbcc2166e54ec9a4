// SPDX-License-Identifier: GPL-3.0-or-later
#include "stop_signals.h"

#include <csignal>

namespace orvane {
namespace {

std::atomic_bool stop{false};
volatile std::sig_atomic_t stopSignal = 0;

extern "C" void onStopSignal(int signal)
{
    if (stop.load()) {  // asked twice: end now, as without a handler
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    stopSignal = signal;
    stop.store(true);
}

}  // namespace

void catchStopSignals()
{
    static_assert(std::atomic_bool::is_always_lock_free, "set from a signal handler");
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
}

const std::atomic_bool& stopRequested()
{
    return stop;
}

int stopExitCode()
{
    return stopSignal == 0 ? 0 : 128 + int(stopSignal);
}

}  // namespace orvane
