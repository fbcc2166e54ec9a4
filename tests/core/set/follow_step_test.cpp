// SPDX-License-Identifier: GPL-3.0-or-later
#include "set/follow_step.h"

#include <gtest/gtest.h>

using namespace orvane;

namespace {

TEST(FollowStep, DeckOrFolderChangedOnDisk)
{
    const QByteArray read = "A", theirs = "B";
    const std::optional<QByteArray> gone;
    EXPECT_EQ(deckFollowStep(gone, read, {}, true), FollowStep::Removed);
    EXPECT_EQ(deckFollowStep(read, read, theirs, true), FollowStep::Unchanged);  // its own save
    EXPECT_EQ(deckFollowStep(theirs, read, theirs, false), FollowStep::Reload);
    EXPECT_EQ(deckFollowStep(theirs, read, {}, true), FollowStep::Ask);
    EXPECT_EQ(deckFollowStep(theirs, read, theirs, true), FollowStep::Nothing);  // asked already

    FolderChanges rewrite, added, conflict;
    rewrite.theirs.append(FileCard{{}, QStringLiteral("/f/a.orvcard"), {}});
    added.added << QStringLiteral("/f/b.orvcard");
    conflict.conflicts << QStringLiteral("/f/a.orvcard");
    EXPECT_EQ(folderFollowStep({}, true), FollowStep::Nothing);
    EXPECT_EQ(folderFollowStep(rewrite, true), FollowStep::TakeTheirs);  // nothing of mine lost
    EXPECT_EQ(folderFollowStep(added, false), FollowStep::Reload);
    EXPECT_EQ(folderFollowStep(added, true), FollowStep::Ask);
    EXPECT_EQ(folderFollowStep(conflict, true), FollowStep::Ask);
}

}  // namespace
