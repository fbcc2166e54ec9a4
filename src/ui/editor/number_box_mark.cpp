// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/number_box_mark.h"

#include "card/card_rules.h"
#include "render/asset_catalogue.h"

#include <QLineEdit>

using namespace orvane;

// The card shows 1 to 9 and A (a lower-case a too, which counts 0); for any other text it keeps
// the digit it showed before. The box accepts any text and the total counts it all the same.
void markNumberBox(QLineEdit* box)
{
    static const QString rule = QStringLiteral("The card shows 1 to 9, or A for 10.");
    const QString text = box->text();
    const std::optional<double> value = parseDecimal(text);
    const QString counted = value ? QString::number(*value) : QStringLiteral("0");
    QString problem;
    if (text == QLatin1String("a"))
        problem = QStringLiteral("\"a\": the card shows A, but the total counts it as 0 (a "
                                 "capital A counts 10).");
    else if (!assets::digitFile(text))
        problem =
            QStringLiteral("%1: the card cannot show this and keeps the digit shown "
                           "before; the total counts it as %2.")
                .arg(text.isEmpty() ? QStringLiteral("Empty") : QStringLiteral("\"%1\"").arg(text),
                     counted);
    // Set only when different: a new style sheet re-polishes the box, the dearest step of all.
    const QString tip = problem.isEmpty() ? rule : problem + QLatin1Char('\n') + rule;
    if (box->toolTip() != tip)
        box->setToolTip(tip);
    const QString style = problem.isEmpty()
                              ? QString()
                              : QStringLiteral("QLineEdit { color: red; border: 2px solid red; }");
    if (box->styleSheet() != style)
        box->setStyleSheet(style);
}
