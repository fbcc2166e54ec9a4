// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/card.h"

#include <QFileInfo>

#include <algorithm>

namespace orvane {
namespace {

constexpr const char* ElementCaptions[ElementOptionCount] = {
    "Fire", "Water", "Ice", "Earth", "Wind", "Poison", "Bolt", "Holy", "None", "Shadow", "Trap"};

constexpr const char* ArrowWords[CardArrowCount] = {
    "upper-left", "up", "upper-right", "left", "right", "lower-left", "down", "lower-right"};

}  // namespace

int Card::arrowCount() const
{
    return int(std::count(arrows.begin(), arrows.end(), true));
}

QString elementCaption(int element)
{
    if (element < 0 || element >= ElementOptionCount)
        return {};
    return QLatin1String(ElementCaptions[element]);
}

std::optional<int> elementFromCaption(const QString& caption)
{
    const QString wanted = caption.trimmed();
    for (int k = 0; k < ElementOptionCount; ++k)
        if (wanted.compare(QLatin1String(ElementCaptions[k]), Qt::CaseInsensitive) == 0)
            return k;
    return std::nullopt;
}

QString arrowWord(int arrow)
{
    if (arrow < 0 || arrow >= CardArrowCount)
        return {};
    return QLatin1String(ArrowWords[arrow]);
}

std::optional<int> arrowFromText(const QString& text)
{
    const QString wanted = text.trimmed();
    if (wanted.size() == 1 && wanted[0] >= QLatin1Char('0') && wanted[0] <= QLatin1Char('7'))
        return wanted[0].unicode() - '0';
    for (int k = 0; k < CardArrowCount; ++k)
        if (wanted.compare(QLatin1String(ArrowWords[k]), Qt::CaseInsensitive) == 0)
            return k;
    return std::nullopt;
}

QString displayName(const Card& card, const QString& filePath)
{
    if (!card.name.trimmed().isEmpty())
        return card.name;
    if (!filePath.isEmpty())
        return QFileInfo(filePath).completeBaseName();
    return {};
}

std::optional<int> copiesFromText(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return 1;
    bool ok = false;
    const int copies = trimmed.toInt(&ok);
    if (!ok || copies < 0 || copies > MaxCardCopies)
        return std::nullopt;
    return copies;
}

QString safeFileName(const QString& name)
{
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    QString safe;
    safe.reserve(name.size());
    for (const QChar c : name)
        safe += (c.unicode() < 0x20 || c.unicode() == 0x7f || forbidden.contains(c))
                    ? QLatin1Char('_')
                    : c;
    const auto trimmable = [](QChar c) { return c.isSpace() || c == QLatin1Char('.'); };
    qsizetype begin = 0, end = safe.size();
    while (begin < end && trimmable(safe[begin]))
        ++begin;
    while (end > begin && trimmable(safe[end - 1]))
        --end;
    safe = safe.mid(begin, end - begin);
    return safe.isEmpty() ? QStringLiteral("card") : safe;
}

}  // namespace orvane
