// SPDX-License-Identifier: GPL-3.0-or-later
// The real registry on Windows, through the plain Win32 reader.
#include "platform/registry.h"
#include "platform/registry_win32.h"

namespace orvane {
namespace {

class WindowsRegistry final : public Registry {
public:
    RegistryValue query(quint32 root, const QString& keyName, const QString& valueName) override
    {
        unsigned char buffer[1024] = {};
        unsigned long type = 0;
        unsigned long size = sizeof buffer;
        const int status =
            win32ReadRegistryValue(root, keyName.toLocal8Bit().constData(),
                                   valueName.toLocal8Bit().constData(), &type, buffer, &size);
        if (status == Win32RegistryNoKey)
            return {RegistryValue::KeyMissing, 0, {}};
        if (status != Win32RegistryOk)
            return {RegistryValue::ValueMissing, 0, {}};
        return {RegistryValue::Ok, quint32(type),
                QByteArray(reinterpret_cast<const char*>(buffer), qsizetype(size))};
    }
};

}  // namespace

Registry& systemRegistry()
{
    static WindowsRegistry registry;
    return registry;
}

}  // namespace orvane
