// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/progress.h"

#include <functional>

namespace orvane {

// Runs `work(index)` once for every index from 0 to count - 1, on at most `jobs` threads
// (0 or less: one per core; never more than there are indices), in no fixed order.
//
// Before each index the progress is asked whether to stop; a stopped run leaves the indices not
// yet taken undone. When only one thread is used, the calling thread does the work and reports
// after each index. With more, and a progress that is heard, the calling thread only reports:
// every count 1, 2, ... up to the number done, in order, out of `count`, so the listener is
// called from the calling thread alone. Unheard, the calling thread is one of the workers.
//
// An exception thrown by `work` stops the others taking more indices; it is thrown again here
// once every thread has ended. Returns how many indices were done.
int parallelFor(int count, int jobs, const Progress& progress,
                const std::function<void(int index)>& work);

}  // namespace orvane
