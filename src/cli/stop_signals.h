// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>

namespace orvane {

// Ctrl+C (SIGINT) and SIGTERM ask the run to stop instead of ending the process at once: the
// cards in flight are finished whole and no temporary file is left. A second signal of the same
// kind ends the process as the system would.
void catchStopSignals();

// Set once a stop signal came.
const std::atomic_bool& stopRequested();

// The exit code a shell expects after that signal (130 for SIGINT, 143 for SIGTERM); 0 if none.
int stopExitCode();

}  // namespace orvane
