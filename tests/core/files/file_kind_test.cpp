// SPDX-License-Identifier: GPL-3.0-or-later
// Telling a card file, a picture and anything else apart by their first bytes.
#include "files/file_kind.h"
#include "support/images.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace orvane;

namespace {

QByteArray encoded(const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    gradient(8, 8).save(&buffer, format);
    return bytes;
}

TEST(FileKind, TheBytesDecideNotTheName)
{
    const struct {
        QByteArray start;
        FileKind kind;
    } cases[] = {
        {encoded("PNG"), FileKind::Picture},
        {encoded("JPEG"), FileKind::Picture},
        {encoded("BMP"), FileKind::Picture},
        {"GIF89a\x08\x00", FileKind::Picture},
        {"GIF87a\x08\x00", FileKind::Picture},
        {"{\"format\": \"orvane-card\"}", FileKind::CardFile},
        {"\xEF\xBB\xBF \r\n\t{", FileKind::CardFile},
        {"name,up,left,right,down\n", FileKind::Other},
        {"\xEF\xBB\xBFname,up\n", FileKind::Other},
        {"", FileKind::Other},
        {"   \n", FileKind::Other},
        {"BX not a bitmap", FileKind::Other},
        {"\x89PNG broken", FileKind::Other},
        {"%PDF-1.4", FileKind::Other},
        {" [1, 2]", FileKind::CardFile},
        {"\"name\",up\n", FileKind::Other},  // a deck with a quoted header
    };
    for (const auto& c : cases)
        EXPECT_EQ(fileKindOfBytes(c.start), c.kind) << c.start.left(12).toStdString();
}

TEST(FileKind, OnlyRegularFilesAreRead)
{
    QTemporaryDir dir;
    const QString picture = dir.filePath("photo.orvcard");  // a picture, whatever its name
    QFile file(picture);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(encoded("JPEG"));
    file.close();
    EXPECT_EQ(fileKindOf(picture), FileKind::Picture);
    EXPECT_EQ(fileKindOf(dir.filePath("missing.png")), FileKind::NotAFile);
    EXPECT_EQ(fileKindOf(dir.path()), FileKind::NotAFile);
    const QString fifo = dir.filePath("pipe.png");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(fileKindOf(fifo), FileKind::NotAFile);  // never opened: it would block
}

// Named .orvcard, a file is a card file whatever it holds, unless it is a picture; other names
// go by the bytes alone.
TEST(FileKind, TheCardFileNameMakesAnyNonPictureACardFile)
{
    QTemporaryDir dir;
    const struct {
        const char* name;
        QByteArray bytes;
        FileKind kind;
    } cases[] = {
        {"text.orvcard", "name,up,left,right,down\n", FileKind::CardFile},
        {"empty.orvcard", "", FileKind::CardFile},
        {"string.ORVCARD", "\"a card\"", FileKind::CardFile},
        {"picture.orvcard", encoded("PNG"), FileKind::Picture},
        {"empty.csv", "", FileKind::Other},
        {"deck.csv", "name,up\n", FileKind::Other},
        {"array.csv", "[]", FileKind::CardFile},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.bytes);
        file.close();
        EXPECT_EQ(fileKindOf(path), c.kind) << c.name;
    }
    EXPECT_EQ(fileKindOf(dir.filePath("missing.orvcard")), FileKind::NotAFile);
}

}  // namespace
