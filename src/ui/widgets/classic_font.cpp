// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/classic_font.h"

#include <QFontDatabase>
#include <QHash>
#include <QStringList>

namespace {

// The first installed face of the wanted family or its stand-ins. Resolved once per family:
// letting every widget's font search the fallbacks itself costs most of the start-up time.
QString installedFamily(const QString& family)
{
    static QHash<QString, QString> resolved;
    const auto found = resolved.constFind(family);
    if (found != resolved.constEnd())
        return *found;
    // Serif faces fall back to serif ones, the rest to faces with Arial's narrow metrics.
    const bool serif = family.contains(QLatin1String("Times"));
    const QStringList candidates =
        serif ? QStringList{family, QStringLiteral("Liberation Serif"),
                            QStringLiteral("DejaVu Serif")}
              : QStringList{family, QStringLiteral("Microsoft Sans Serif"),
                            QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                            QStringLiteral("DejaVu Sans")};
    QString chosen = serif ? QStringLiteral("Serif") : QStringLiteral("Sans Serif");
    // A plain look-up in the installed families; hasFamily() would ask fontconfig to resolve
    // aliases for every miss, which is slow.
    static const QStringList installed = QFontDatabase::families();
    for (const QString& candidate : candidates)
        if (installed.contains(candidate, Qt::CaseInsensitive)) {
            chosen = candidate;
            break;
        }
    resolved.insert(family, chosen);
    return chosen;
}

}  // namespace

QFont classicFont(const QString& family, double pointSize, bool bold)
{
    QFont font(installedFamily(family));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}
