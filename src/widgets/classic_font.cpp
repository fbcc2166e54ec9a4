#include "widgets/classic_font.h"

#include <QStringList>

QFont classicFont(const QString& family, double pointSize, bool bold)
{
    QFont font;
    font.setFamilies({family, QStringLiteral("Microsoft Sans Serif"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Sans Serif")});
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}
