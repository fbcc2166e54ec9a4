// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/registry.h"

namespace orvane {

bool GetKeyValue(Registry& registry, quint32 keyRoot, const QString& keyName,
                 const QString& subKeyRef, QString& keyVal)
{
    constexpr int BufferSize = 1024;
    const RegistryValue value = registry.query(keyRoot, keyName, subKeyRef);
    if (value.status != RegistryValue::Ok || value.bytes.size() > BufferSize) {
        keyVal.clear();
        return false;
    }
    // The buffer starts all zero; the value is copied in and cut at the size returned, one
    // character less when the last one is the terminating zero.
    QByteArray buffer(BufferSize, '\0');
    std::copy(value.bytes.begin(), value.bytes.end(), buffer.begin());
    qsizetype size = value.bytes.size();
    if (size > 0 && buffer[size - 1] == '\0')
        --size;
    const QByteArray cut = buffer.left(size);
    if (value.type == RegistryString) {
        keyVal = QString::fromLocal8Bit(cut);
    } else if (value.type == RegistryDword && value.bytes.size() >= 4) {
        const auto* b = reinterpret_cast<const unsigned char*>(value.bytes.constData());
        const quint32 number =
            quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16 | quint32(b[3]) << 24;
        keyVal = QString::number(number);
    }
    return true;
}

}  // namespace orvane
