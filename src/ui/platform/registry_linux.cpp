// SPDX-License-Identifier: GPL-3.0-or-later
// Where there is no Windows registry, the two system-information look-ups are answered from the
// programs installed here: the first (a full program path) names the first system-information
// program found on PATH; the second (a folder that must hold the Windows program) has no
// counterpart and is reported missing.
#include "platform/registry.h"

#include <QStandardPaths>

namespace orvane {
namespace {

class SystemInfoRegistry final : public Registry {
public:
    RegistryValue query(quint32 root, const QString& keyName, const QString& valueName) override
    {
        if (root != HKEY_LOCAL_MACHINE_ROOT)
            return {};
        if (keyName.compare(QLatin1String("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                            Qt::CaseInsensitive) != 0)
            return {};
        if (valueName.compare(QLatin1String("PATH"), Qt::CaseInsensitive) != 0)
            return {RegistryValue::ValueMissing, 0, {}};
        // Graphical system-information programs, most specific first.
        for (const char* program : {"hardinfo2", "hardinfo", "kinfocenter", "gnome-system-monitor",
                                    "mate-system-monitor", "xfce4-taskmanager"}) {
            const QString path = QStandardPaths::findExecutable(QLatin1String(program));
            if (!path.isEmpty())
                return {RegistryValue::Ok, RegistryString, path.toLocal8Bit() + '\0'};
        }
        return {RegistryValue::ValueMissing, 0, {}};
    }
};

}  // namespace

Registry& systemRegistry()
{
    static SystemInfoRegistry registry;
    return registry;
}

}  // namespace orvane
