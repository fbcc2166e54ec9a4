// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/pack_store.h"
#include "render/asset_catalogue.h"
#include "render/part_pack.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include "support/file_bytes.h"

#include <sys/stat.h>
#include <zip.h>

using namespace orvane;

namespace {

QString binDir()
{
    return qEnvironmentVariable("ORVANE_BIN_DIR");
}

struct ZipEntry {
    QString name;
    QByteArray bytes;
    bool symlink = false;
};

// The built-in parts as zip entries below `prefix` ("" or "folder/").
QList<ZipEntry> partEntries(const QString& prefix)
{
    QList<ZipEntry> entries;
    for (const QString& name : assets::allFiles())
        entries.append({prefix + name.mid(4), fileBytes(QDir(binDir()).filePath(name))});
    return entries;
}

void writeZip(const QString& path, const QList<ZipEntry>& entries)
{
    int code = 0;
    zip_t* archive =
        zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(archive, nullptr);
    std::vector<QByteArray> keep;  // libzip reads the buffers when the archive is closed
    for (const ZipEntry& entry : entries) {
        keep.push_back(entry.bytes);
        zip_source_t* source = zip_source_buffer(archive, keep.back().constData(),
                                                 zip_uint64_t(keep.back().size()), 0);
        const zip_int64_t index =
            zip_file_add(archive, entry.name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
        ASSERT_GE(index, 0) << entry.name.toStdString();
        if (entry.symlink)
            zip_file_set_external_attributes(archive, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX,
                                             zip_uint32_t(S_IFLNK | 0777) << 16);
    }
    ASSERT_EQ(zip_close(archive), 0);
}

QStringList folderContents(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

TEST(PackStore, HostileOrBrokenArchivesAreRefusedBeforeAnythingIsWritten)
{
    QList<ZipEntry> bomb = partEntries({});
    bomb.append({QStringLiteral("filler.bin"), QByteArray(12 << 20, '\0')});
    QList<ZipEntry> outside = partEntries({});
    outside.append({QStringLiteral("bitblts/../../evil.txt"), "x"});
    QList<ZipEntry> absolute = partEntries({});
    absolute.append({QStringLiteral("/tmp/evil.txt"), "x"});
    QList<ZipEntry> link = partEntries({});
    link.append({QStringLiteral("bitblts/link"), "/etc/passwd", true});
    QList<ZipEntry> missing = partEntries({});
    missing.removeLast();

    const struct {
        const char* what;
        QList<ZipEntry> entries;
        QByteArray raw;  // instead of entries: these bytes as the file
        QString message;
    } cases[] = {
        {"bomb", bomb, {}, QStringLiteral("filler.bin would unpack")},
        {"dot-dot", outside, {}, QStringLiteral("would be written outside the pack")},
        {"absolute", absolute, {}, QStringLiteral("is an absolute path")},
        {"symlink", link, {}, QStringLiteral("symbolic link")},
        {"missing part", missing, {}, QStringLiteral("arrows/arrow 7.bmp or .png is missing")},
        {"broken", {}, "PK\x03\x04 not really a zip", QStringLiteral("not a readable zip")},
        {"not a pack", {{QStringLiteral("readme.txt"), "hi"}}, {}, QStringLiteral("holds no pack")},
    };
    for (const auto& c : cases) {
        QTemporaryDir work;
        const QString zip = work.filePath(QStringLiteral("pack.zip"));
        if (c.raw.isEmpty()) {
            writeZip(zip, c.entries);
        } else {
            QFile file(zip);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.raw);
        }
        const QString packs = work.filePath(QStringLiteral("packs"));
        const PackInstallResult result = installPack(zip, packs, {});
        EXPECT_TRUE(result.folder.isEmpty()) << c.what;
        EXPECT_TRUE(result.error.contains(c.message))
            << c.what << ": " << result.error.toStdString();
        EXPECT_TRUE(folderContents(packs).isEmpty()) << c.what;
        EXPECT_FALSE(QFile::exists(QStringLiteral("/tmp/evil.txt")));
        EXPECT_FALSE(QFile::exists(work.filePath(QStringLiteral("evil.txt"))));
    }
}

TEST(PackStore, InstallsFromZipAndFolderAndRefusesATakenName)
{
    QTemporaryDir work;
    const QString packs = work.filePath(QStringLiteral("packs"));
    QList<ZipEntry> entries = partEntries(QStringLiteral("Bright/"));
    entries.append({QStringLiteral("Bright/pack.json"), "{\"name\": \"Bright Table\"}"});
    const QString zip = work.filePath(QStringLiteral("bright.zip"));
    writeZip(zip, entries);

    const PackInstallResult first = installPack(zip, packs, {});
    ASSERT_TRUE(first.error.isEmpty()) << first.error.toStdString();
    EXPECT_EQ(first.name, QStringLiteral("Bright Table"));
    EXPECT_EQ(fileBytes(QDir(first.folder).filePath(QStringLiteral("bitblts/A.bmp"))),
              fileBytes(QDir(binDir()).filePath(QStringLiteral("gfx/bitblts/A.bmp"))));
    const QList<InstalledPack> installed = packsIn({packs}, packs);
    ASSERT_EQ(installed.size(), 1);
    EXPECT_TRUE(installed[0].forUser);
    EXPECT_EQ(installed[0].name, QStringLiteral("Bright Table"));

    const PackInstallResult again = installPack(zip, packs, installed);
    EXPECT_TRUE(again.error.contains(QStringLiteral("installed already")));
    EXPECT_EQ(folderContents(packs), QStringList{QStringLiteral("Bright Table")});

    // A folder: the parts of gfx/ beside the program, installed under the folder's name.
    const PackInstallResult folder =
        installPack(QDir(binDir()).filePath(QStringLiteral("gfx")), packs, installed);
    ASSERT_TRUE(folder.error.isEmpty()) << folder.error.toStdString();
    EXPECT_EQ(folder.name, QStringLiteral("gfx"));

    QString error;
    EXPECT_EQ(findPack(QStringLiteral("bright table"), packsIn({packs}), &error), first.folder);
    EXPECT_TRUE(findPack(QStringLiteral("Nope"), packsIn({packs}), &error).isEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("Bright Table, gfx")));
    EXPECT_TRUE(removePack(first.folder, &error)) << error.toStdString();
    EXPECT_EQ(folderContents(packs), QStringList{QStringLiteral("gfx")});
}

TEST(PackStore, FolderWithASymbolicLinkIsRefused)
{
    QTemporaryDir work;
    const QString source = work.filePath(QStringLiteral("mine"));
    QString error;
    ASSERT_TRUE(writePackFromParts(QDir(binDir()).filePath(QStringLiteral("gfx")), source,
                                   QStringLiteral("Mine"), &error))
        << error.toStdString();
    EXPECT_FALSE(writePackFromParts(QDir(binDir()).filePath(QStringLiteral("gfx")), source,
                                    QStringLiteral("Mine"), &error));
    EXPECT_EQ(packName(source), QStringLiteral("Mine"));
    EXPECT_TRUE(checkPack(source).isEmpty());
    ASSERT_TRUE(
        QFile::link(QStringLiteral("/etc/passwd"), QDir(source).filePath(QStringLiteral("x"))));
    const QString packs = work.filePath(QStringLiteral("packs"));
    const PackInstallResult result = installPack(source, packs, {});
    EXPECT_TRUE(result.error.contains(QStringLiteral("x is a symbolic link")));
    EXPECT_TRUE(folderContents(packs).isEmpty());
}

}  // namespace
