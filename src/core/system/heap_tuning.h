// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace orvane {

// Keeps memory freed by the C library's allocator for the next allocation instead of handing
// it back to the system at once. Encoding a PNG allocates and frees a ~270 KiB deflate state; with
// the default trimming every picture pays for fresh pages and, with several threads, for a TLB
// shoot-down on every core. Large blocks (pictures) are still returned when freed.
// Call once, before other threads start. Does nothing where the allocator has no such setting.
void keepFreedHeapForReuse();

}  // namespace orvane
