#include "widgets/classic_font.h"

#include <QStringList>

QFont classicFont(const QString& family, double pointSize, bool bold)
{
    QFont font;
    // Serif faces fall back to serif ones, the rest to faces with Arial's narrow metrics.
    const bool serif = family.contains(QLatin1String("Times"));
    font.setFamilies(serif ? QStringList{family, QStringLiteral("Liberation Serif"),
                                         QStringLiteral("DejaVu Serif"), QStringLiteral("Serif")}
                           : QStringList{family, QStringLiteral("Microsoft Sans Serif"),
                                         QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                         QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}
