// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/builtin_pictures.h"

#include <QtGlobal>

void ensureBuiltinPictures()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(builtin);
        return true;
    }();
    (void)registered;
}
