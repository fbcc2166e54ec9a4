// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dialog.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using orvane::Dialog;

TEST(Dialog, FilterListBecomesQtNameFilters)
{
    Dialog dialog;
    dialog.Filter = QStringLiteral("Windows Bitmaps (*.bmp)|*.bmp|GIF Format (*.gif)|*.gif|JPEG "
                                   "Compression (*.jpg)|*.jpg");
    dialog.FilterIndex = 2;
    EXPECT_EQ(dialog.nameFilters(), QStringList({"Windows Bitmaps (*.bmp)", "GIF Format (*.gif)",
                                                 "JPEG Compression (*.jpg)"}));
    EXPECT_EQ(dialog.selectedNameFilter(), QStringLiteral("GIF Format (*.gif)"));

    // A description without its pattern gets it added; an index out of range selects nothing.
    dialog.Filter = QStringLiteral("Text Files|*.txt");
    dialog.FilterIndex = 3;
    EXPECT_EQ(dialog.nameFilters(), QStringList({"Text Files (*.txt)"}));
    EXPECT_TRUE(dialog.selectedNameFilter().isEmpty());
    dialog.Filter.clear();
    EXPECT_TRUE(dialog.nameFilters().isEmpty());
}

TEST(Dialog, SeveralPatternsOfOneEntryBecomeOneQtFilter)
{
    Dialog dialog;
    dialog.Filter = QStringLiteral("Pictures|*.bmp;*.png|All Pictures (*.bmp *.gif)|*.bmp;*.gif");
    EXPECT_EQ(dialog.nameFilters(),
              QStringList({"Pictures (*.bmp *.png)", "All Pictures (*.bmp *.gif)"}));
}

// The folder the next dialog opens in, and where a typed name lands.
TEST(Dialog, KeepsTheFolderOfTheLastChoice)
{
    struct Case {
        const char* fileName;
        const char* initDir;
        const char* startFolder;
        const char* typed;
        const char* resolved;
    };
    const Case cases[] = {
        {"*.jpg", "/cards", "/cards", "red.jpg", "/cards/red.jpg"},
        {"", "/cards", "/cards", "sub/../red.jpg", "/cards/red.jpg"},
        {"/pictures/hero.bmp", "/cards", "/pictures", "red.jpg", "/pictures/red.jpg"},
        {"hero.bmp", "/cards", "/cards", "/elsewhere/red.jpg", "/elsewhere/red.jpg"},
    };
    for (const Case& c : cases) {
        Dialog dialog;
        dialog.FileName = QString::fromLatin1(c.fileName);
        dialog.InitDir = QString::fromLatin1(c.initDir);
        EXPECT_EQ(dialog.startFolder(), QString::fromLatin1(c.startFolder)) << c.fileName;
        EXPECT_EQ(dialog.resolve(QString::fromLatin1(c.typed)), QString::fromLatin1(c.resolved))
            << c.typed;
        dialog.choose(QString::fromLatin1(c.typed));
        EXPECT_EQ(dialog.FileName, QString::fromLatin1(c.resolved));
        EXPECT_EQ(dialog.InitDir, QFileInfo(QString::fromLatin1(c.resolved)).absolutePath());
    }

    // Nothing chosen yet: the current folder.
    Dialog fresh;
    EXPECT_TRUE(fresh.startFolder().isEmpty());
    EXPECT_EQ(fresh.resolve(QStringLiteral("a.jpg")), QDir::current().absoluteFilePath("a.jpg"));
}

TEST(Dialog, WildcardNames)
{
    for (const char* name : {"*.jpg", "card?.bmp", "/tmp/*/a.jpg", "*"})
        EXPECT_TRUE(orvane::isWildcardName(QString::fromLatin1(name))) << name;
    for (const char* name : {"card.jpg", "", "/tmp/a b.jpg", "[1].jpg"})
        EXPECT_FALSE(orvane::isWildcardName(QString::fromLatin1(name))) << name;
}
