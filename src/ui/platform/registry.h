// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace orvane {

inline constexpr quint32 HKEY_LOCAL_MACHINE_ROOT = 0x80000002u;
inline constexpr quint32 RegistryString = 1;  // REG_SZ
inline constexpr quint32 RegistryDword = 4;   // REG_DWORD

// What one registry read gives: the value's type and its raw bytes, as stored.
struct RegistryValue {
    enum Status { Ok, KeyMissing, ValueMissing, Refused } status = KeyMissing;
    quint32 type = 0;
    QByteArray bytes;
};

// The registry as the system-information look-up reads it.
class Registry {
public:
    virtual ~Registry() = default;
    virtual RegistryValue query(quint32 root, const QString& keyName, const QString& valueName) = 0;
};

// Reads a value as text into keyVal; false (and keyVal empty) when the key or value is missing
// or the value is larger than 1024 bytes. A string stored with or without its terminating zero
// gives the same text; a 32-bit number is given in decimal; other types leave keyVal as it was.
bool GetKeyValue(Registry& registry, quint32 keyRoot, const QString& keyName,
                 const QString& subKeyRef, QString& keyVal);

// The registry of this system: on Windows the real one; elsewhere a stand-in that answers the
// system-information look-ups from the programs installed here.
Registry& systemRegistry();

}  // namespace orvane
