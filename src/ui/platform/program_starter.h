// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace orvane {

// Starts another program in a normal, focused window.
class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    virtual bool start(const QString& program) = 0;
};

ProgramStarter& systemProgramStarter();

}  // namespace orvane
