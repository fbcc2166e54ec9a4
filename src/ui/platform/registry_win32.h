// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Windows registry read, in plain Win32 (no Qt), so it builds with any Windows compiler.

enum Win32RegistryStatus { Win32RegistryOk = 0, Win32RegistryNoKey = 1, Win32RegistryNoValue = 2 };

// Reads value `valueName` of key `keyName` under root `root` (an HKEY such as 0x80000002) into
// `buffer` (capacity *size bytes). On success *type is the value type and *size the bytes read.
// A value larger than the buffer fails like a missing one.
int win32ReadRegistryValue(unsigned long root, const char* keyName, const char* valueName,
                           unsigned long* type, unsigned char* buffer, unsigned long* size);
