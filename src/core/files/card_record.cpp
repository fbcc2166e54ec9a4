// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/card_record.h"

#include "card/card_rules.h"

#include <QStringList>

namespace orvane {
namespace {

QString sideValue(const QString& text)
{
    return text == QLatin1String("A") ? QStringLiteral("10") : text;
}

}  // namespace

QByteArray cardRecord(const CardRecordInput& in)
{
    const QStringList lines = {QStringLiteral("[%1]").arg(in.name),
                               QStringLiteral("ID="),
                               QStringLiteral("Level=%1").arg(levelForTotal(in.total)),
                               QStringLiteral("Left=") + sideValue(in.sides[1]),
                               QStringLiteral("Up=") + sideValue(in.sides[0]),
                               QStringLiteral("Right=") + sideValue(in.sides[2]),
                               QStringLiteral("Down=") + sideValue(in.sides[3]),
                               QStringLiteral("Element=") + exportElementName(in.element),
                               QStringLiteral("Date=") + in.date,
                               QStringLiteral("Available=Yes")};
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toLocal8Bit() + "\r\n";
    return bytes;
}

}  // namespace orvane
