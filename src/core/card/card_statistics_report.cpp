// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/card_statistics_report.h"

#include "card/card_rules.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace orvane {
namespace {

constexpr std::array<FindingKind, 3> FindingKinds = {FindingKind::Dominated, FindingKind::Duplicate,
                                                     FindingKind::TooManyArrows};

QString elementLabel(int element)
{
    const QString caption = elementCaption(element);
    return caption.isEmpty() ? QStringLiteral("no element") : caption;
}

QString findingKindKey(FindingKind kind)
{
    switch (kind) {
    case FindingKind::Dominated: return QStringLiteral("dominated");
    case FindingKind::Duplicate: return QStringLiteral("duplicate");
    case FindingKind::TooManyArrows: return QStringLiteral("too-many-arrows");
    }
    return {};
}

QString counted(int n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

// A card name may hold characters Markdown would read as markup.
QString markdownText(const QString& text)
{
    static const QString special = QStringLiteral("\\`*_[]<>|#");
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (special.contains(c))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

QString markdownRow(const QStringList& cells)
{
    QStringList escaped;
    for (const QString& cell : cells)
        escaped << markdownText(cell);
    return QStringLiteral("| %1 |\n").arg(escaped.join(QStringLiteral(" | ")));
}

}  // namespace

QList<StatisticsTable> statisticsTables(const CardStatistics& stats)
{
    QList<StatisticsTable> tables;

    StatisticsTable totals{
        QStringLiteral("Totals"),
        {QStringLiteral("Total"), QStringLiteral("Frame"), QStringLiteral("Cards")},
        {}};
    for (auto it = stats.totals.cbegin(); it != stats.totals.cend(); ++it)
        totals.rows.append({QString::number(it.key()), frameName(frameForTotal(it.key())),
                            QString::number(it.value())});
    tables.append(totals);

    StatisticsTable frames{
        QStringLiteral("Frames"),
        {QStringLiteral("Frame"), QStringLiteral("Totals"), QStringLiteral("Cards")},
        {}};
    for (const FrameBand& band : frameBands())
        frames.rows.append({frameName(band.frame),
                            QStringLiteral("%1-%2").arg(band.lowest).arg(band.highest),
                            QString::number(stats.frames[size_t(band.frame)])});
    tables.append(frames);

    StatisticsTable sides{QStringLiteral("Sides"), {QStringLiteral("Value")}, {}};
    for (int side = 0; side < 4; ++side) {
        QString name = statisticsSideName(side);
        name[0] = name[0].toUpper();
        sides.header << name;
    }
    for (int value = LowestSideValue; value <= HighestSideValue; ++value) {
        QStringList row{sideText(value)};
        for (size_t side = 0; side < 4; ++side)
            row << QString::number(stats.sideValues[side][size_t(value - 1)]);
        sides.rows.append(row);
    }
    if (stats.otherSides != std::array<int, 4>{}) {
        QStringList row{QStringLiteral("other")};
        for (const int n : stats.otherSides)
            row << QString::number(n);
        sides.rows.append(row);
    }
    tables.append(sides);

    StatisticsTable elements{
        QStringLiteral("Elements"), {QStringLiteral("Element"), QStringLiteral("Cards")}, {}};
    for (int element = 0; element < ElementOptionCount; ++element)
        elements.rows.append({elementLabel(element), QString::number(stats.elementCount(element))});
    if (const int none = stats.elementCount(NoElementChosen); none > 0)
        elements.rows.append({elementLabel(NoElementChosen), QString::number(none)});
    tables.append(elements);

    StatisticsTable arrows{
        QStringLiteral("Arrows"), {QStringLiteral("Arrows"), QStringLiteral("Cards")}, {}};
    for (int n = 0; n <= CardArrowCount; ++n)
        arrows.rows.append({QString::number(n), QString::number(stats.arrowCounts[size_t(n)])});
    tables.append(arrows);

    StatisticsTable directions{QStringLiteral("Arrow directions"),
                               {QStringLiteral("Direction"), QStringLiteral("Cards")},
                               {}};
    for (int a = 0; a < CardArrowCount; ++a)
        directions.rows.append({arrowWord(a), QString::number(stats.arrowDirections[size_t(a)])});
    tables.append(directions);
    return tables;
}

QString statisticsSummary(const CardStatistics& stats)
{
    QString summary = stats.cards == 0 ? QStringLiteral("No cards to count")
                                       : counted(stats.cards, "card", "cards");
    if (stats.badRows > 0)
        summary += QStringLiteral("; ") + badRowsSentence(stats.badRows);
    return summary;
}

QString findingKindTitle(FindingKind kind)
{
    switch (kind) {
    case FindingKind::Dominated: return QStringLiteral("Dominated");
    case FindingKind::Duplicate: return QStringLiteral("Duplicates");
    case FindingKind::TooManyArrows: return QStringLiteral("Too many arrows");
    }
    return {};
}

QByteArray statisticsMarkdown(const CardStatistics& stats, const QString& title)
{
    QString text = QStringLiteral("# Statistics of %1\n\n%2.\n")
                       .arg(markdownText(title), statisticsSummary(stats));
    for (const StatisticsTable& table : statisticsTables(stats)) {
        text += QStringLiteral("\n## %1\n\n").arg(table.title);
        text += markdownRow(table.header);
        text += QStringLiteral("|%1\n").arg(QStringLiteral("---|").repeated(table.header.size()));
        for (const QStringList& row : table.rows)
            text += markdownRow(row);
    }
    text += QStringLiteral("\n## Findings\n");
    if (stats.findings.isEmpty())
        text += QStringLiteral("\nNo findings.\n");
    for (const FindingKind kind : FindingKinds) {
        const int count = stats.findingCount(kind);
        if (count == 0)
            continue;
        text += QStringLiteral("\n### %1 (%2)\n\n").arg(findingKindTitle(kind)).arg(count);
        for (const CardFinding& finding : stats.findings)
            if (finding.kind == kind)
                text += QStringLiteral("- %1\n").arg(markdownText(finding.text));
    }
    return text.toUtf8();
}

QByteArray statisticsJson(const CardStatistics& stats, const QList<Card>& cards,
                          const QString& source)
{
    QJsonObject root;
    root.insert(QStringLiteral("source"), source);
    root.insert(QStringLiteral("cards"), stats.cards);
    root.insert(QStringLiteral("badRows"), stats.badRows);

    QJsonArray totals;
    for (auto it = stats.totals.cbegin(); it != stats.totals.cend(); ++it)
        totals.append(QJsonObject{{QStringLiteral("total"), it.key()},
                                  {QStringLiteral("frame"), frameName(frameForTotal(it.key()))},
                                  {QStringLiteral("cards"), it.value()}});
    root.insert(QStringLiteral("totals"), totals);

    QJsonArray frames;
    for (const FrameBand& band : frameBands())
        frames.append(QJsonObject{{QStringLiteral("frame"), frameName(band.frame)},
                                  {QStringLiteral("lowest"), band.lowest},
                                  {QStringLiteral("highest"), band.highest},
                                  {QStringLiteral("cards"), stats.frames[size_t(band.frame)]}});
    root.insert(QStringLiteral("frames"), frames);

    QJsonObject sides;
    for (size_t side = 0; side < 4; ++side) {
        QJsonObject values;
        for (int value = LowestSideValue; value <= HighestSideValue; ++value)
            values.insert(sideText(value), stats.sideValues[side][size_t(value - 1)]);
        values.insert(QStringLiteral("other"), stats.otherSides[side]);
        sides.insert(statisticsSideName(int(side)), values);
    }
    root.insert(QStringLiteral("sides"), sides);

    QJsonObject elements;
    for (int element = NoElementChosen; element < ElementOptionCount; ++element)
        elements.insert(elementLabel(element), stats.elementCount(element));
    root.insert(QStringLiteral("elements"), elements);

    QJsonArray arrowCounts;
    for (const int n : stats.arrowCounts)
        arrowCounts.append(n);
    root.insert(QStringLiteral("arrowCounts"), arrowCounts);

    QJsonObject directions;
    for (int a = 0; a < CardArrowCount; ++a)
        directions.insert(arrowWord(a), stats.arrowDirections[size_t(a)]);
    root.insert(QStringLiteral("arrowDirections"), directions);

    QJsonArray findings;
    for (const CardFinding& finding : stats.findings) {
        QJsonObject item{{QStringLiteral("kind"), findingKindKey(finding.kind)},
                         {QStringLiteral("card"), statisticsCardName(cards, finding.card)},
                         {QStringLiteral("text"), finding.text}};
        if (finding.other >= 0)
            item.insert(QStringLiteral("other"), statisticsCardName(cards, finding.other));
        findings.append(item);
    }
    root.insert(QStringLiteral("findings"), findings);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

}  // namespace orvane
