// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/registry_win32.h"

#ifdef _WIN32
#include <windows.h>

int win32ReadRegistryValue(unsigned long root, const char* keyName, const char* valueName,
                           unsigned long* type, unsigned char* buffer, unsigned long* size)
{
    HKEY key = nullptr;
    // Read access only: the look-up never writes, and asking for more is refused to users
    // without administrator rights.
    if (RegOpenKeyExA(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(root)), keyName, 0, KEY_READ,
                      &key) != ERROR_SUCCESS)
        return Win32RegistryNoKey;
    DWORD valueType = 0;
    DWORD valueSize = *size;
    const LONG result = RegQueryValueExA(key, valueName, nullptr, &valueType, buffer, &valueSize);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return Win32RegistryNoValue;
    *type = valueType;
    *size = valueSize;
    return Win32RegistryOk;
}
#endif
