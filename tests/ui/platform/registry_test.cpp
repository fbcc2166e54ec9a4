// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/registry.h"
#include "support/memory_registry.h"

#include <gtest/gtest.h>

using namespace orvane;

namespace {

const QString Key = QStringLiteral("SOFTWARE\\Test");

TEST(GetKeyValue, StringsWithAndWithoutTheirTerminatingZero)
{
    MemoryRegistry registry;
    registry.set(Key, QStringLiteral("with"), RegistryString, QByteArray("C:\\Tools\0", 9));
    registry.set(Key, QStringLiteral("without"), RegistryString, QByteArray("C:\\Tools"));
    QString a, b;
    EXPECT_TRUE(GetKeyValue(registry, HKEY_LOCAL_MACHINE_ROOT, Key, QStringLiteral("with"), a));
    EXPECT_TRUE(GetKeyValue(registry, HKEY_LOCAL_MACHINE_ROOT, Key, QStringLiteral("without"), b));
    EXPECT_EQ(a, QStringLiteral("C:\\Tools"));
    EXPECT_EQ(b, a);
}

TEST(GetKeyValue, MissingTooLargeAndOtherTypes)
{
    MemoryRegistry registry;
    registry.set(Key, QStringLiteral("big"), RegistryString, QByteArray(1025, 'x'));
    registry.set(Key, QStringLiteral("edge"), RegistryString, QByteArray(1024, 'y'));
    registry.set(Key, QStringLiteral("number"), RegistryDword, QByteArray("\x2A\0\0\0", 4));
    registry.set(Key, QStringLiteral("binary"), 3, QByteArray("\x01\x02", 2));
    QString value = QStringLiteral("kept");
    EXPECT_FALSE(GetKeyValue(registry, HKEY_LOCAL_MACHINE_ROOT, Key, QStringLiteral("big"), value));
    EXPECT_TRUE(value.isEmpty());
    EXPECT_TRUE(GetKeyValue(registry, HKEY_LOCAL_MACHINE_ROOT, Key, QStringLiteral("edge"), value));
    EXPECT_EQ(value.size(), 1024);
    EXPECT_TRUE(
        GetKeyValue(registry, HKEY_LOCAL_MACHINE_ROOT, Key, QStringLiteral("number"), value));
    EXPECT_EQ(value, QStringLiteral("42"));
    value = QStringLiteral("kept");
    EXPECT_TRUE(
        GetKeyValue(registry, HKEY_LOCAL_MACHINE_ROOT, Key, QStringLiteral("binary"), value));
    EXPECT_EQ(value, QStringLiteral("kept"));
    EXPECT_FALSE(
        GetKeyValue(registry, HKEY_LOCAL_MACHINE_ROOT, Key, QStringLiteral("none"), value));
    EXPECT_FALSE(GetKeyValue(registry, HKEY_LOCAL_MACHINE_ROOT, QStringLiteral("SOFTWARE\\None"),
                             QStringLiteral("big"), value));
    EXPECT_TRUE(value.isEmpty());
}

TEST(SystemRegistry, AnswersOnlyTheSystemInformationLookUps)
{
    QString value;
    EXPECT_FALSE(GetKeyValue(systemRegistry(), HKEY_LOCAL_MACHINE_ROOT,
                             QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                             QStringLiteral("MSINFO"), value));
    EXPECT_FALSE(GetKeyValue(systemRegistry(), HKEY_LOCAL_MACHINE_ROOT,
                             QStringLiteral("SOFTWARE\\Elsewhere"), QStringLiteral("PATH"), value));
}

}  // namespace
