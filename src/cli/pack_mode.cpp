// SPDX-License-Identifier: GPL-3.0-or-later
#include "pack_mode.h"

#include "files/pack_store.h"
#include "render/part_pack.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace {

void printLine(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
}

}  // namespace

int checkPackMode(const QString& folderOrZip)
{
    const QFileInfo info(folderOrZip);
    QList<orvane::PackProblem> problems;
    if (info.isDir()) {
        problems = orvane::checkPack(folderOrZip);
    } else {
        // An archive is checked as Install Pack... would take it, in a folder of its own.
        QTemporaryDir scratch;
        const orvane::PackInstallResult installed =
            orvane::installPack(folderOrZip, scratch.path(), {});
        if (!installed.error.isEmpty())
            problems.append({true, installed.error});
        for (const QString& warning : installed.warnings)
            problems.append({false, warning});
    }
    bool failed = false;
    for (const orvane::PackProblem& problem : std::as_const(problems)) {
        printLine(stdout, QStringLiteral("%1: %2").arg(problem.error ? QStringLiteral("error")
                                                                     : QStringLiteral("warning"),
                                                       problem.text));
        failed = failed || problem.error;
    }
    if (problems.isEmpty())
        printLine(
            stdout,
            QStringLiteral("%1: the pack is complete").arg(QDir::toNativeSeparators(folderOrZip)));
    return failed ? 1 : 0;
}

QString choosePack(const QString& nameOrFolder)
{
    QString error;
    const QString folder = orvane::findPack(nameOrFolder, orvane::installedPacks(), &error);
    if (folder.isEmpty())
        printLine(stderr,
                  QStringLiteral("orvane-render: %1; the built-in parts are used").arg(error));
    return folder;
}
