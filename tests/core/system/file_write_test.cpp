// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/file_write.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace orvane {
namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void putFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Only the target is left in the folder: no temporary survives a write, whole or failed.
QStringList namesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

TEST(FileWrite, OutcomeAndContentsForEachStartingPoint)
{
    struct Case {
        const char* what;
        const char* before;  // nullptr: no file there
        bool keepExisting;
        WriteOutcome expected;
        const char* after;
    };
    const Case cases[] = {
        {"new file", nullptr, false, WriteOutcome::Created, "new"},
        {"replaced", "old", false, WriteOutcome::Replaced, "new"},
        {"kept as asked", "old", true, WriteOutcome::Kept, "old"},
        {"new file, keep asked", nullptr, true, WriteOutcome::Created, "new"},
    };
    for (const Case& c : cases) {
        for (const bool sync : {false, true}) {
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("card.txt"));
            if (c.before)
                putFile(path, c.before);
            QString error;
            const WriteOutcome outcome = writeWholeFile(
                path, "new", {.syncToDisk = sync, .keepExisting = c.keepExisting}, &error);
            EXPECT_EQ(outcome, c.expected) << c.what << ": " << error.toStdString();
            EXPECT_EQ(contents(path), QByteArray(c.after)) << c.what;
            EXPECT_EQ(namesIn(dir.path()), QStringList{QStringLiteral("card.txt")}) << c.what;
        }
    }
}

TEST(FileWrite, FailuresSayWhyAndLeaveNothingBehind)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken")));
    const struct {
        QString path;
        const char* reasonPart;
    } cases[] = {
        {dir.filePath(QStringLiteral("no/such/folder/a.txt")), ""},
        {dir.filePath(QStringLiteral("taken")), "folder"},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_FALSE(writeFileAtomically(c.path, "bytes", &error)) << c.path.toStdString();
        EXPECT_FALSE(error.isEmpty());
        EXPECT_TRUE(error.contains(QLatin1String(c.reasonPart))) << error.toStdString();
    }
    EXPECT_EQ(namesIn(dir.path()), QStringList{});
}

// The longest name a folder allows is still writable: the temporary's name is never longer.
TEST(FileWrite, LongestLegalNameAndShortTemporaries)
{
    QTemporaryDir dir;
    const QString name = QString(251, QLatin1Char('n')) + QStringLiteral(".txt");
    QString error;
    ASSERT_TRUE(writeFileAtomically(dir.filePath(name), "x", &error)) << error.toStdString();
    EXPECT_EQ(contents(dir.filePath(name)), QByteArray("x"));
    for (int i = 0; i < 3; ++i) {
        const QString temporary = shortTemporaryName(QStringLiteral(".part"));
        EXPECT_LE(temporary.toUtf8().size(), 24) << temporary.toStdString();
        EXPECT_TRUE(temporary.startsWith(QLatin1Char('.')));
        EXPECT_NE(temporary, shortTemporaryName(QStringLiteral(".part")));
    }
}

TEST(FileWrite, ErrorTextNamesAFullDisk)
{
    EXPECT_EQ(writeErrorText(ENOSPC), QStringLiteral("the disk is full"));
#ifdef EDQUOT
    EXPECT_TRUE(writeErrorText(EDQUOT).startsWith(QStringLiteral("the disk is full")));
#endif
    EXPECT_FALSE(writeErrorText(0).isEmpty());
    EXPECT_FALSE(writeErrorText(EACCES).isEmpty());
}

// Saving through a link changes the file it names and keeps the link; a link into a folder
// that is gone is a failure, not a new file in the link's place.
TEST(FileWrite, LinksAreWrittenThrough)
{
    QTemporaryDir dir;
    const QString real = dir.filePath(QStringLiteral("real.txt"));
    const QString link = dir.filePath(QStringLiteral("link.txt"));
    const QString chain = dir.filePath(QStringLiteral("chain.txt"));
    putFile(real, "old");
    ASSERT_TRUE(QFile::link(real, link));
    ASSERT_TRUE(QFile::link(link, chain));
    QString error;
    for (const QString& name : {link, chain}) {
        ASSERT_TRUE(writeFileAtomically(name, name.toUtf8(), &error)) << error.toStdString();
        EXPECT_TRUE(QFileInfo(name).isSymLink());
        EXPECT_EQ(contents(real), name.toUtf8());
    }
    const QString dangling = dir.filePath(QStringLiteral("dangling.txt"));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("gone/x.txt")), dangling));
    EXPECT_FALSE(writeFileAtomically(dangling, "x", &error));
    EXPECT_TRUE(QFileInfo(dangling).isSymLink());
}

// An output's name holding a link (to a file, to a link, to nothing): the link gives way to the
// file, and whatever it named keeps its bytes, with the keep-existing choice or without.
TEST(FileWrite, OutputsReplaceALinkAndNeverWriteItsTarget)
{
    QTemporaryDir dir;
    const QString victim = dir.filePath(QStringLiteral("victim.txt"));
    putFile(victim, "precious");
    const QString viaLink = dir.filePath(QStringLiteral("via.txt"));
    ASSERT_TRUE(QFile::link(victim, viaLink));
    struct Case {
        const char* name;
        QString target;  // what the planted link names
        bool keepExisting;
        WriteOutcome expected;
    };
    const Case cases[] = {
        {"a link to a file", victim, false, WriteOutcome::Replaced},
        {"a link to a link", viaLink, false, WriteOutcome::Replaced},
        {"a dangling link", dir.filePath(QStringLiteral("gone/x.txt")), false,
         WriteOutcome::Replaced},
        {"a link to a file, kept", victim, true, WriteOutcome::Kept},
    };
    for (const Case& c : cases) {
        const QString out = dir.filePath(QStringLiteral("out.png"));
        QFile::remove(out);
        ASSERT_TRUE(QFile::link(c.target, out)) << c.name;
        QString error;
        const WriteOutcome outcome = writeWholeFile(
            out, "card", {.keepExisting = c.keepExisting, .replaceLink = true}, &error);
        EXPECT_EQ(outcome, c.expected) << c.name << ": " << error.toStdString();
        EXPECT_EQ(contents(victim), "precious") << c.name;
        EXPECT_EQ(QFileInfo(out).isSymLink(), c.keepExisting) << c.name;
        if (!c.keepExisting) {
            EXPECT_EQ(contents(out), "card") << c.name;
        }
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("gone"))));
    EXPECT_TRUE(writeOutputFile(viaLink, "out", nullptr));
    EXPECT_EQ(contents(victim), "precious");
}

#ifndef _WIN32
mode_t modeOf(const QString& path)
{
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return info.st_mode & 07777;
}

// A new file gets the mode the umask gives new files; a replaced one keeps its own.
TEST(FileWrite, ModesFollowTheUmaskOrTheReplacedFile)
{
    const struct {
        mode_t umask;
        mode_t before;  // 0: no file there
        mode_t expected;
    } cases[] = {
        {022, 0, 0644}, {077, 0, 0600}, {002, 0, 0664}, {022, 0600, 0600}, {077, 0664, 0664},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.txt"));
        if (c.before) {
            putFile(path, "old");
            ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), c.before), 0);
        }
        const mode_t saved = ::umask(c.umask);
        QString error;
        const bool written = writeFileAtomically(path, "new", &error);
        ::umask(saved);
        ASSERT_TRUE(written) << error.toStdString();
        EXPECT_EQ(modeOf(path), c.expected) << "umask " << c.umask << ", before " << c.before;
    }
}

// A read-only folder refuses the temporary, and the old file stays whole.
TEST(FileWrite, ReadOnlyFolderKeepsTheOldFile)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser writes into read-only folders";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    putFile(path, "old");
    const QByteArray folder = QFile::encodeName(dir.path());
    ASSERT_EQ(::chmod(folder.constData(), 0555), 0);
    QString error;
    EXPECT_FALSE(writeFileAtomically(path, "new", &error));
    ::chmod(folder.constData(), 0755);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(contents(path), QByteArray("old"));
}
#endif

}  // namespace
}  // namespace orvane
