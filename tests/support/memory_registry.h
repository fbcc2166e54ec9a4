// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/registry.h"

#include <QMap>

// A registry held in memory, for tests.
class MemoryRegistry final : public orvane::Registry {
public:
    void set(const QString& key, const QString& name, quint32 type, const QByteArray& bytes)
    {
        m_values[key.toLower()][name.toLower()] = {orvane::RegistryValue::Ok, type, bytes};
    }
    orvane::RegistryValue query(quint32 root, const QString& key, const QString& name) override
    {
        ++queries;
        const auto k = m_values.constFind(key.toLower());
        if (root != orvane::HKEY_LOCAL_MACHINE_ROOT || k == m_values.constEnd())
            return {};
        const auto v = k->constFind(name.toLower());
        if (v == k->constEnd())
            return {orvane::RegistryValue::ValueMissing, 0, {}};
        return *v;
    }
    int queries = 0;

private:
    QMap<QString, QMap<QString, orvane::RegistryValue>> m_values;
};
