// SPDX-License-Identifier: GPL-3.0-or-later
#include "set/follow_step.h"

namespace orvane {

FollowStep deckFollowStep(const std::optional<QByteArray>& theirs, const QByteArray& asRead,
                          const QByteArray& kept, bool modified)
{
    if (!theirs)
        return FollowStep::Removed;
    if (*theirs == asRead)
        return FollowStep::Unchanged;
    if (!modified)
        return FollowStep::Reload;
    return *theirs == kept ? FollowStep::Nothing : FollowStep::Ask;
}

FollowStep folderFollowStep(const FolderChanges& changes, bool modified)
{
    if (changes.isEmpty())
        return FollowStep::Nothing;
    if (changes.onlyRewrites())
        return FollowStep::TakeTheirs;
    return modified ? FollowStep::Ask : FollowStep::Reload;
}

}  // namespace orvane
