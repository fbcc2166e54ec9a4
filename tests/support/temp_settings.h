// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>

// Settings kept in a folder of the test's own, empty at the start, so a test neither reads nor
// changes the user's recent cards and dialog folders.
struct TempSettings {
    QTemporaryDir dir;

    TempSettings()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("OrvaneTest"));
        QCoreApplication::setApplicationName(QStringLiteral("Orvane"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
        QSettings().clear();
    }
    ~TempSettings() { QSettings().clear(); }
};
