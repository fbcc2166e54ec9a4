// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "set/set_entry.h"

#include <QByteArray>

#include <optional>

namespace orvane {

// What an open set does when another program changed its files on disk.
enum class FollowStep {
    Nothing,     // nothing to take, or the very file the user already chose to keep theirs over
    Unchanged,   // the deck as the set has it (its own save, or put back): nothing kept matters
    Removed,     // the deck is gone: the set keeps its cards, and says so
    TakeTheirs,  // only card files of cards not edited here were rewritten: taken at once
    Reload,      // nothing of the user's is unsaved: the set is read again
    Ask,         // unsaved changes meet theirs: reload theirs, keep mine or save mine elsewhere
};

// A deck set's file now (`theirs`, none when it is gone), against the bytes the set read or last
// saved, the bytes the user last chose to keep their changes over, and whether the set has
// unsaved changes.
FollowStep deckFollowStep(const std::optional<QByteArray>& theirs, const QByteArray& asRead,
                          const QByteArray& kept, bool modified);
// A folder set's card files changed (`changes`, as the set measured them).
FollowStep folderFollowStep(const FolderChanges& changes, bool modified);

}  // namespace orvane
