#include "platform/dialog.h"

#include <gtest/gtest.h>

using orvane::Dialog;

TEST(Dialog, FilterListBecomesQtNameFilters)
{
    Dialog dialog;
    dialog.Filter = QStringLiteral("Windows Bitmaps (*.bmp)|*.bmp|GIF Format (*.gif)|*.gif|JPEG "
                                   "Compression (*.jpg)|*.jpg");
    dialog.FilterIndex = 2;
    EXPECT_EQ(dialog.nameFilters(),
              QStringList({"Windows Bitmaps (*.bmp)", "GIF Format (*.gif)",
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
