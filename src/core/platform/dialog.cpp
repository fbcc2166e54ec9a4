#include "platform/dialog.h"

namespace orvane {

QStringList Dialog::nameFilters() const
{
    const QStringList parts = Filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // Qt takes the patterns from the parentheses; make sure the pattern is there.
        const QString& description = parts[i];
        const QString& pattern = parts[i + 1];
        filters << (description.contains(QLatin1Char('('))
                        ? description
                        : QStringLiteral("%1 (%2)").arg(description, pattern));
    }
    return filters;
}

QString Dialog::selectedNameFilter() const
{
    const QStringList filters = nameFilters();
    const int index = FilterIndex - 1;
    return index >= 0 && index < filters.size() ? filters[index] : QString();
}

}  // namespace orvane
