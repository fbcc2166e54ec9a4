// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace orvane {

class Prompts;

// The card parts that began failing during one tick, told in one notice: a missing folder is one
// message, not one for each part.
class PartFailureNotice {
public:
    // A part that just began failing: `relativePath` its file under the asset root, `error` why,
    // `fullPath` where it was looked for.
    void add(const QString& relativePath, const QString& error, const QString& fullPath);
    // Tells every part added since the last notice, and starts again; nothing when there is none.
    void tell(Prompts& prompts);

private:
    QStringList m_failures;
};

}  // namespace orvane
