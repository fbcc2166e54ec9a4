// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/heap_tuning.h"

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif

namespace orvane {

void keepFreedHeapForReuse()
{
#if defined(M_TRIM_THRESHOLD)
    // Up to 32 MiB of free space stays at the top of each heap. Setting the trim threshold also
    // fixes the mmap threshold at its default (128 KiB), so big pictures keep their own mappings
    // and go back to the system the moment they are freed.
    mallopt(M_TRIM_THRESHOLD, 32 * 1024 * 1024);
#endif
}

}  // namespace orvane
