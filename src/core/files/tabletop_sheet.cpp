// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/tabletop_sheet.h"

#include "files/card_export.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>

#include <algorithm>

namespace orvane {

QList<int> tabletopSheetCounts(int cards)
{
    QList<int> counts;
    for (int left = std::max(0, cards); left > 0; left -= TabletopCardsPerSheet)
        counts.append(std::min(left, TabletopCardsPerSheet));
    return counts;
}

TabletopGrid tabletopGrid(int cards)
{
    const int cells = std::clamp(cards, 0, TabletopCardsPerSheet) + 1;
    // Two rows as long as they hold the cards (the fewest rows the table takes), then full
    // rows of ten.
    if (cells <= 2 * TabletopMaxColumns)
        return {std::max(2, (cells + 1) / 2), 2};
    return {TabletopMaxColumns, (cells + TabletopMaxColumns - 1) / TabletopMaxColumns};
}

bool tabletopScaleFits(int cards, int scale)
{
    if (scale < 1 || scale > TabletopMaxScale)
        return false;
    for (const int count : tabletopSheetCounts(cards)) {
        const TabletopGrid grid = tabletopGrid(count);
        if (std::max(grid.columns, grid.rows) * CardSide * scale > TabletopMaxSide)
            return false;
    }
    return true;
}

int largestTabletopScale(int cards)
{
    int scale = TabletopMaxScale;
    while (scale > 1 && !tabletopScaleFits(cards, scale))
        --scale;
    return scale;
}

QImage composeTabletopSheet(const QList<QImage>& faces, const QImage& hidden, int scale)
{
    const TabletopGrid grid = tabletopGrid(int(faces.size()));
    const int cell = CardSide * scale;
    QImage sheet(grid.columns * cell, grid.rows * cell, QImage::Format_RGB32);
    sheet.fill(Qt::black);
    QPainter painter(&sheet);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const auto place = [&](int slot, const QImage& picture) {
        painter.drawImage(QPoint(slot % grid.columns * cell, slot / grid.columns * cell), picture);
    };
    for (qsizetype k = 0; k < faces.size() && k < TabletopCardsPerSheet; ++k)
        place(int(k), faces[k].width() == cell ? faces[k] : scaleCardPicture(faces[k], scale));
    place(grid.cellCount() - 1, hidden);
    return sheet;
}

namespace {

QJsonObject transform()
{
    // Face down, as a deck lies on the table.
    return {{QStringLiteral("posX"), 0.0},   {QStringLiteral("posY"), 1.0},
            {QStringLiteral("posZ"), 0.0},   {QStringLiteral("rotX"), 0.0},
            {QStringLiteral("rotY"), 180.0}, {QStringLiteral("rotZ"), 180.0},
            {QStringLiteral("scaleX"), 1.0}, {QStringLiteral("scaleY"), 1.0},
            {QStringLiteral("scaleZ"), 1.0}};
}

QJsonObject customDeck(const QString& faceUrl, const QString& backUrl, const TabletopGrid& grid)
{
    return {{QStringLiteral("FaceURL"), faceUrl},
            {QStringLiteral("BackURL"), backUrl},
            {QStringLiteral("NumWidth"), grid.columns},
            {QStringLiteral("NumHeight"), grid.rows},
            {QStringLiteral("BackIsHidden"), true},
            {QStringLiteral("UniqueBack"), false},
            {QStringLiteral("Type"), 0}};
}

}  // namespace

QByteArray tabletopSavedObject(const TabletopDeck& deck)
{
    QJsonObject decks;
    QJsonArray ids;
    QJsonArray cards;
    const QList<int> counts = tabletopSheetCounts(int(deck.cardNames.size()));
    int card = 0;
    for (qsizetype sheet = 0; sheet < counts.size(); ++sheet) {
        const int deckId = deck.firstDeckId + int(sheet);
        const QJsonObject entry =
            customDeck(deck.faceUrls.value(sheet), deck.backUrl, tabletopGrid(counts[sheet]));
        decks.insert(QString::number(deckId), entry);
        for (int index = 0; index < counts[sheet]; ++index, ++card) {
            const int id = deckId * 100 + index;
            ids.append(id);
            cards.append(QJsonObject{
                {QStringLiteral("Name"), QStringLiteral("Card")},
                {QStringLiteral("Nickname"), deck.cardNames[card]},
                {QStringLiteral("CardID"), id},
                {QStringLiteral("Transform"), transform()},
                {QStringLiteral("CustomDeck"), QJsonObject{{QString::number(deckId), entry}}}});
        }
    }
    QJsonObject object;
    if (cards.size() == 1) {
        // A single card is a card object of its own: the table has no deck of one.
        object = cards.first().toObject();
    } else {
        object = {{QStringLiteral("Name"), QStringLiteral("DeckCustom")},
                  {QStringLiteral("Nickname"), deck.nickname},
                  {QStringLiteral("Transform"), transform()},
                  {QStringLiteral("DeckIDs"), ids},
                  {QStringLiteral("CustomDeck"), decks},
                  {QStringLiteral("ContainedObjects"), cards}};
    }
    const QJsonObject saved{{QStringLiteral("SaveName"), deck.nickname},
                            {QStringLiteral("ObjectStates"), QJsonArray{object}}};
    return QJsonDocument(saved).toJson(QJsonDocument::Indented);
}

}  // namespace orvane
