// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/program_starter.h"

#include <QProcess>

namespace orvane {
namespace {

class DetachedStarter final : public ProgramStarter {
public:
    bool start(const QString& program) override { return QProcess::startDetached(program, {}); }
};

}  // namespace

ProgramStarter& systemProgramStarter()
{
    static DetachedStarter starter;
    return starter;
}

}  // namespace orvane
