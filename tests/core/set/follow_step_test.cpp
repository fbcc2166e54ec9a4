#include "set/follow_step.h"

#include <gtest/gtest.h>

using namespace orvane;

namespace {

TEST(FollowStep, ADeckChangedOnDisk)
{
    const QByteArray read = "name\nA\n";
    const QByteArray theirs = "name\nB\n";
    struct Case {
        std::optional<QByteArray> onDisk;
        QByteArray kept;
        bool modified;
        FollowStep step;
    };
    const Case cases[] = {
        {std::nullopt, {}, false, FollowStep::Removed},
        {std::nullopt, {}, true, FollowStep::Removed},
        {read, theirs, true, FollowStep::Unchanged},  // the set's own save
        {theirs, {}, false, FollowStep::Reload},
        {theirs, theirs, false, FollowStep::Reload},  // nothing unsaved: kept or not
        {theirs, {}, true, FollowStep::Ask},
        {theirs, theirs, true, FollowStep::Nothing},  // asked about this very file already
        {theirs, "name\nC\n", true, FollowStep::Ask},
    };
    for (const Case& c : cases)
        EXPECT_EQ(deckFollowStep(c.onDisk, read, c.kept, c.modified), c.step)
            << (c.onDisk ? c.onDisk->toStdString() : "gone") << " kept " << c.kept.toStdString()
            << " modified " << c.modified;
}

TEST(FollowStep, AFolderOfCardFilesChangedOnDisk)
{
    FolderChanges rewrite;
    rewrite.theirs.append(FileCard{{}, QStringLiteral("/f/a.orvcard"), {}});
    FolderChanges added = rewrite;
    added.added << QStringLiteral("/f/b.orvcard");
    FolderChanges conflict;
    conflict.conflicts << QStringLiteral("/f/a.orvcard");
    struct Case {
        FolderChanges changes;
        bool modified;
        FollowStep step;
    };
    const Case cases[] = {
        {{}, true, FollowStep::Nothing},
        {rewrite, true, FollowStep::TakeTheirs},  // cards not edited here lose nothing
        {added, false, FollowStep::Reload},
        {added, true, FollowStep::Ask},
        {conflict, true, FollowStep::Ask},
    };
    for (const Case& c : cases)
        EXPECT_EQ(folderFollowStep(c.changes, c.modified), c.step);
}

}  // namespace
