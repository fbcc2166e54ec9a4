// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/regular_file.h"

namespace orvane {

// A picture file opens as every file the tool reads does (system/regular_file.h).
using OpenedPictureFile = OpenedFile;

inline OpenedPictureFile openPictureFile(const QString& path)
{
    return openRegularFile(path);
}

}  // namespace orvane
