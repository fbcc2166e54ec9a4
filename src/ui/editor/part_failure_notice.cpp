// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/part_failure_notice.h"

#include "platform/prompts.h"
#include "render/asset_catalogue.h"

#include <QDir>

namespace orvane {

void PartFailureNotice::add(const QString& relativePath, const QString& error,
                            const QString& fullPath)
{
    const QSize size = assets::expectedSize(relativePath);
    const QString expected =
        size.isValid()
            ? QStringLiteral("a BMP picture of %1 × %2 pixels").arg(size.width()).arg(size.height())
            : QStringLiteral("a BMP picture");
    m_failures << QStringLiteral("\"%1\": %2.\nLooked for at %3; expected there: %4.")
                      .arg(relativePath.section(QLatin1Char('/'), -1), error,
                           QDir::toNativeSeparators(fullPath), expected);
}

void PartFailureNotice::tell(Prompts& prompts)
{
    if (m_failures.isEmpty())
        return;
    const bool one = m_failures.size() == 1;
    prompts.notify(
        (one ? QStringLiteral("A card part could not be loaded:\n\n")
             : QStringLiteral("%1 card parts could not be loaded:\n\n").arg(m_failures.size())) +
            m_failures.join(QStringLiteral("\n\n")) +
            QStringLiteral("\n\nThe card keeps the last picture of each part; put the file back "
                           "and it is used again at once."),
        QStringLiteral("Card part missing"));
    m_failures.clear();
}

}  // namespace orvane
