// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Running a program as a child process in a test: its exit code and what it printed, and the
// small file helpers the tests around it share.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <ostream>

// Google Test prints a QString as its text.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

// orvane-render keeps a record of each output folder in the user's cache folder: the programs a
// test starts keep theirs in a folder of the test's own, however the test is started.
inline const bool childrenCacheApart = [] {
    static const QTemporaryDir cache;
    return qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
}();

struct ChildRun {
    int exitCode = -1;  // -1: did not end in time (and was killed); -2: crashed
    QString out;
    QString err;
};

// Runs `program` with `arguments` in `folder` (empty: this process's own) and waits for it at
// most `timeoutMs`.
inline ChildRun runChild(const QString& program, const QStringList& arguments,
                         const QString& folder = {}, int timeoutMs = 120000)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    if (!folder.isEmpty())
        process.setWorkingDirectory(folder);
    process.start();
    ChildRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

#ifdef ORVANE_RENDER
// The built orvane-render.
inline ChildRun render(const QStringList& arguments, const QString& folder = {})
{
    return runChild(QStringLiteral(ORVANE_RENDER), arguments, folder);
}
#endif

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The whole file; empty when it cannot be read.
inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The names of the files in `folder` (hidden ones too), sorted.
inline QStringList filesIn(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.sort();
    return names;
}
