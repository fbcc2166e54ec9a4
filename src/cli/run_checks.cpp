// SPDX-License-Identifier: GPL-3.0-or-later
#include "run_checks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <filesystem>
#include <system_error>

namespace orvane {

std::optional<QString> repeatedOption(const QCommandLineParser& parser)
{
    QSet<QString> seen;
    for (const QString& name : parser.optionNames()) {
        if (seen.contains(name))
            return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        seen.insert(name);
    }
    return std::nullopt;
}

QString inputProblem(const QString& path)
{
    const QFileInfo info(path);
    if (info.isFile())
        return {};
    if (info.isDir())
        return QStringLiteral("is a folder, not a deck or card file");
    if (info.isSymLink()) {
        std::error_code ec;
#ifdef _WIN32
        (void)std::filesystem::status(std::filesystem::path(path.toStdWString()), ec);
#else
        (void)std::filesystem::status(std::filesystem::path(QFile::encodeName(path).toStdString()),
                                      ec);
#endif
        if (ec == std::errc::too_many_symbolic_link_levels)
            return QStringLiteral("is a symbolic link that leads round in a loop");
        if (!info.exists())
            return QStringLiteral("is a symbolic link to %1, which is not there")
                .arg(QDir::toNativeSeparators(info.symLinkTarget()));
    }
    if (!info.exists())
        return QStringLiteral("is not there");
    return QStringLiteral("is not a regular file (a device, a pipe or a socket)");
}

std::optional<QString> inputsProblem(const QStringList& inputs)
{
    if (inputs.isEmpty())
        return QStringLiteral("no deck or card file given");
    for (const QString& input : inputs)
        if (const QString why = inputProblem(input); !why.isEmpty())
            return QStringLiteral("%1 %2").arg(QDir::toNativeSeparators(input), why);
    return std::nullopt;
}

QString counted(qint64 count, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

}  // namespace orvane
