// SPDX-License-Identifier: GPL-3.0-or-later
// Deck sheets, the atlas, the print sheet's plan and finishing, and the thumbnail: geometry and
// pixels of the core functions.
#include "files/card_sheet.h"
#include "files/card_thumbnail.h"
#include "files/edge_pixels.h"
#include "files/play_outputs.h"
#include "files/tabletop_sheet.h"
#include "files/texture_atlas.h"
#include "support/images.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace orvane;

namespace {

// Card k: a gradient tinted by k, so every card and every pixel of it differs.
QImage numberedCard(int k)
{
    QImage card(62, 62, QImage::Format_RGB32);
    for (int y = 0; y < 62; ++y)
        for (int x = 0; x < 62; ++x)
            card.setPixel(x, y, qRgb(x * 4 + 1, y * 4 + 1, (k * 37) % 250 + 3));
    return card;
}

// Every pixel of `part` equals `picture` placed at `at`.
bool holds(const QImage& image, const QImage& picture, QPoint at)
{
    const QImage piece =
        image.copy(QRect(at, picture.size())).convertToFormat(QImage::Format_RGB32);
    return piece == picture.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

TEST(TabletopSheet, GridHoldsTheCardsAndTheHiddenSlot)
{
    const struct {
        int cards;
        int columns;
        int rows;
    } cases[] = {
        {1, 2, 2},   {2, 2, 2},   {3, 2, 2},   {4, 3, 2},   {9, 5, 2},   {19, 10, 2},
        {20, 10, 3}, {29, 10, 3}, {30, 10, 4}, {68, 10, 7}, {69, 10, 7},
    };
    for (const auto& c : cases) {
        const TabletopGrid grid = tabletopGrid(c.cards);
        EXPECT_EQ(grid, (TabletopGrid{c.columns, c.rows})) << c.cards << " cards";
        EXPECT_GE(grid.cellCount(), c.cards + 1) << c.cards;
    }
}

TEST(TabletopSheet, DecksSplitAtSixtyNine)
{
    EXPECT_EQ(tabletopSheetCounts(0), QList<int>());
    EXPECT_EQ(tabletopSheetCounts(69), QList<int>({69}));
    EXPECT_EQ(tabletopSheetCounts(70), QList<int>({69, 1}));
    EXPECT_EQ(tabletopSheetCounts(110), QList<int>({69, 41}));
    EXPECT_EQ(tabletopSheetCounts(138), QList<int>({69, 69}));
}

TEST(TabletopSheet, ScaleStaysWithinTheLimit)
{
    const struct {
        int cards;
        int largest;
    } cases[] = {{1, 16}, {3, 16}, {9, 13}, {19, 6}, {69, 6}, {110, 6}};
    for (const auto& c : cases) {
        EXPECT_EQ(largestTabletopScale(c.cards), c.largest) << c.cards;
        EXPECT_TRUE(tabletopScaleFits(c.cards, c.largest));
        EXPECT_FALSE(tabletopScaleFits(c.cards, c.largest + 1)) << c.cards;
    }
    EXPECT_FALSE(tabletopScaleFits(5, 0));
}

TEST(TabletopSheet, EveryCardIsAWholeBlockInItsCellWithoutGaps)
{
    for (const int count : {1, 7, 23, 69}) {
        QList<QImage> faces;
        for (int k = 0; k < count; ++k)
            faces << numberedCard(k);
        const int scale = 2;
        const QImage hidden = solid(124, 124, qRgb(9, 200, 30));
        const QImage sheet = composeTabletopSheet(faces, hidden, scale);
        const TabletopGrid grid = tabletopGrid(count);
        ASSERT_EQ(sheet.size(), QSize(grid.columns * 124, grid.rows * 124)) << count;
        for (int k = 0; k < count; ++k) {
            EXPECT_TRUE(holds(sheet, scaleCardPicture(faces[k], scale),
                              {k % grid.columns * 124, k / grid.columns * 124}))
                << "card " << k << " of " << count;
        }
        const int last = grid.cellCount() - 1;
        EXPECT_TRUE(holds(sheet, hidden, {last % grid.columns * 124, last / grid.columns * 124}));
        // The cells between the last card and the hidden one are black.
        for (int slot = count; slot < last; ++slot) {
            EXPECT_TRUE(holds(sheet, solid(124, 124, qRgb(0, 0, 0)),
                              {slot % grid.columns * 124, slot / grid.columns * 124}));
        }
    }
}

TEST(TabletopSheet, SavedObjectFollowsTheTablesConventions)
{
    TabletopDeck deck;
    deck.nickname = QStringLiteral("set (red)");
    for (int k = 0; k < 71; ++k)
        deck.cardNames << QStringLiteral("Card %1").arg(k);
    deck.faceUrls = {QStringLiteral("file:///d/set-red-1.png"),
                     QStringLiteral("file:///d/set-red-2.png")};
    deck.backUrl = QStringLiteral("file:///d/set-back.png");
    deck.firstDeckId = 3;
    const QJsonObject saved = QJsonDocument::fromJson(tabletopSavedObject(deck)).object();
    const QJsonObject object = saved[QStringLiteral("ObjectStates")].toArray()[0].toObject();
    EXPECT_EQ(object[QStringLiteral("Name")].toString(), QStringLiteral("DeckCustom"));
    EXPECT_EQ(object[QStringLiteral("Nickname")].toString(), deck.nickname);

    const QJsonObject decks = object[QStringLiteral("CustomDeck")].toObject();
    ASSERT_EQ(decks.keys(), QStringList({QStringLiteral("3"), QStringLiteral("4")}));
    const struct {
        const char* id;
        const char* face;
        int width;
        int height;
    } sheets[] = {{"3", "file:///d/set-red-1.png", 10, 7}, {"4", "file:///d/set-red-2.png", 2, 2}};
    for (const auto& s : sheets) {
        const QJsonObject entry = decks[QLatin1String(s.id)].toObject();
        EXPECT_EQ(entry[QStringLiteral("FaceURL")].toString(), QLatin1String(s.face));
        EXPECT_EQ(entry[QStringLiteral("BackURL")].toString(), deck.backUrl);
        EXPECT_EQ(entry[QStringLiteral("NumWidth")].toInt(), s.width);
        EXPECT_EQ(entry[QStringLiteral("NumHeight")].toInt(), s.height);
        EXPECT_TRUE(entry[QStringLiteral("BackIsHidden")].toBool());
        EXPECT_FALSE(entry[QStringLiteral("UniqueBack")].toBool(true));
    }

    const QJsonArray ids = object[QStringLiteral("DeckIDs")].toArray();
    const QJsonArray cards = object[QStringLiteral("ContainedObjects")].toArray();
    ASSERT_EQ(ids.size(), 71);
    ASSERT_EQ(cards.size(), 71);
    for (int k = 0; k < 71; ++k) {
        const int id = k < 69 ? 300 + k : 400 + (k - 69);
        EXPECT_EQ(ids[k].toInt(), id) << k;
        const QJsonObject card = cards[k].toObject();
        EXPECT_EQ(card[QStringLiteral("CardID")].toInt(), id);
        EXPECT_EQ(card[QStringLiteral("Nickname")].toString(), deck.cardNames[k]);
        EXPECT_TRUE(
            card[QStringLiteral("CustomDeck")].toObject().contains(QString::number(id / 100)));
    }
}

TEST(TabletopSheet, OneCardIsACardObject)
{
    TabletopDeck deck;
    deck.cardNames = {QStringLiteral("Solo")};
    deck.faceUrls = {QStringLiteral("file:///s-blue-1.png")};
    const QJsonObject object = QJsonDocument::fromJson(tabletopSavedObject(deck))
                                   .object()[QStringLiteral("ObjectStates")]
                                   .toArray()[0]
                                   .toObject();
    EXPECT_EQ(object[QStringLiteral("Name")].toString(), QStringLiteral("Card"));
    EXPECT_EQ(object[QStringLiteral("CardID")].toInt(), 100);
    EXPECT_EQ(object[QStringLiteral("Nickname")].toString(), QStringLiteral("Solo"));
}

TEST(TextureAtlas, FramesMatchThePixelsAndTheIndex)
{
    const struct {
        int count;
        int padding;
        int extrude;
    } cases[] = {{1, 0, 0}, {5, 0, 0}, {5, 3, 0}, {10, 0, 2}, {10, 4, 3}};
    for (const auto& c : cases) {
        QList<QImage> pictures;
        QStringList names;
        for (int k = 0; k < c.count; ++k) {
            pictures << numberedCard(k);
            names << QStringLiteral("card%1").arg(k);
        }
        const AtlasLayout layout = layOutAtlas(c.count, 62, c.padding, c.extrude);
        const QImage atlas = composeAtlas(pictures, layout, c.extrude);
        ASSERT_EQ(atlas.size(), layout.size);
        const int cell = 62 + 2 * c.extrude;
        EXPECT_EQ(layout.size.width(), layout.columns * cell + (layout.columns - 1) * c.padding);
        const QJsonObject index =
            QJsonDocument::fromJson(atlasIndex(layout, names, QStringLiteral("a.png"), 1)).object();
        const QJsonObject frames = index[QStringLiteral("frames")].toObject();
        ASSERT_EQ(frames.size(), c.count);
        for (int k = 0; k < c.count; ++k) {
            const QJsonObject f = frames[names[k]].toObject()[QStringLiteral("frame")].toObject();
            const QRect r(f[QStringLiteral("x")].toInt(), f[QStringLiteral("y")].toInt(),
                          f[QStringLiteral("w")].toInt(), f[QStringLiteral("h")].toInt());
            EXPECT_EQ(r, layout.frames[k]);
            EXPECT_TRUE(holds(atlas, pictures[k], r.topLeft())) << k;
            // The extruded ring repeats the edge pixels; the corner takes the corner pixel.
            if (c.extrude > 0) {
                EXPECT_EQ(atlas.pixel(r.left() - c.extrude, r.top() + 10),
                          pictures[k].pixel(0, 10));
                EXPECT_EQ(atlas.pixel(r.right() + c.extrude, r.top() + 20),
                          pictures[k].pixel(61, 20));
                EXPECT_EQ(atlas.pixel(r.left() - c.extrude, r.top() - c.extrude),
                          pictures[k].pixel(0, 0));
            }
            // Padding is transparent.
            if (c.padding > 0 && k % layout.columns + 1 < layout.columns) {
                EXPECT_EQ(qAlpha(atlas.pixel(r.right() + c.extrude + 1, r.top())), 0);
            }
        }
        const QJsonObject meta = index[QStringLiteral("meta")].toObject();
        EXPECT_EQ(meta[QStringLiteral("image")].toString(), QStringLiteral("a.png"));
        EXPECT_EQ(meta[QStringLiteral("size")].toObject()[QStringLiteral("w")].toInt(),
                  atlas.width());
        EXPECT_EQ(meta[QStringLiteral("size")].toObject()[QStringLiteral("h")].toInt(),
                  atlas.height());
    }
}

TEST(TextureAtlas, RepeatedNamesAreMadeUnique)
{
    EXPECT_EQ(uniqueNames({"a", "b", "a", "a-2", "a"}),
              QStringList({"a", "b", "a-2", "a-2-2", "a-3"}));
}

TEST(EdgePixels, BorderRepeatsTheNearestEdgePixel)
{
    const QImage picture = gradient(5, 4);
    for (const int border : {0, 1, 3}) {
        const QImage out = extendEdges(picture, border);
        ASSERT_EQ(out.size(), QSize(5 + 2 * border, 4 + 2 * border));
        for (int y = 0; y < out.height(); ++y)
            for (int x = 0; x < out.width(); ++x) {
                ASSERT_EQ(out.pixel(x, y),
                          picture.pixel(std::clamp(x - border, 0, 4), std::clamp(y - border, 0, 3)))
                    << border << " at " << x << "," << y;
            }
    }
}

TEST(PrintSheet, BacksAreMirroredForLongEdgeDuplexAndOffset)
{
    SheetLayout layout;
    layout.cardMm = 40;
    layout.paper = SheetPaper::A4;  // 210 mm wide
    const QRectF face(20, 30, 40, 40);
    EXPECT_EQ(backPlaceMm(layout, face), QRectF(150, 30, 40, 40));
    layout.finish.backOffsetXMm = 1.5;
    layout.finish.backOffsetYMm = -2;
    EXPECT_EQ(backPlaceMm(layout, face), QRectF(151.5, 28, 40, 40));
    // A face in the middle of the page has its back in the middle too.
    layout.finish = {};
    EXPECT_EQ(backPlaceMm(layout, QRectF(85, 0, 40, 40)), QRectF(85, 0, 40, 40));
}

TEST(PrintSheet, PlanKeepsBleedOfNeighboursApartAndOnThePage)
{
    for (const double bleed : {0.0, 2.0, 5.0}) {
        for (const SheetSides sides : {SheetSides::Both, SheetSides::BlueOnly}) {
            SheetLayout layout;
            layout.cardMm = 30;
            layout.sides = sides;
            layout.finish.bleedMm = bleed;
            const int perPage = cardsPerSheetPage(layout);
            ASSERT_GT(perPage, 0);
            const QList<SheetPage> pages = planSheetPages(layout, perPage + 1);
            ASSERT_EQ(pages.size(), 2);
            const int faces = sides == SheetSides::Both ? 2 : 1;
            EXPECT_EQ(pages[1].size(), faces);
            const QRectF page(0, 0, 210, 297);
            for (const SheetFace& a : pages[0]) {
                const QRectF withBleed = a.placeMm.adjusted(-bleed, -bleed, bleed, bleed);
                EXPECT_TRUE(page.contains(withBleed));
                for (const SheetFace& b : pages[0]) {
                    if (&a == &b)
                        continue;
                    // Room for two bleeds and the marks between any two cards.
                    const QRectF other =
                        b.placeMm.adjusted(-bleed - 2, -bleed - 2, bleed + 2, bleed + 2);
                    EXPECT_FALSE(withBleed.intersects(other)) << bleed;
                }
            }
        }
    }
}

TEST(CardPictures, ThumbnailIsTheCardEnlargedByWholePixels)
{
    const QImage card = numberedCard(3);
    const struct {
        int size;
        int side;
    } cases[] = {{62, 62}, {127, 124}, {128, 124}, {256, 248}, {1024, 992}, {32, 32}};
    for (const auto& c : cases) {
        const QImage thumb = cardThumbnail(card, c.size);
        ASSERT_EQ(thumb.size(), QSize(c.side, c.side)) << c.size;
        if (c.side % 62 == 0) {
            EXPECT_EQ(thumb, scaleCardPicture(card, c.side / 62)) << c.size;
        }
    }
}

TEST(CardPictures, BackFillsItsSquare)
{
    const QImage back = builtinCardBack();
    ASSERT_EQ(back.size(), QSize(62, 62));
    EXPECT_EQ(cardSquarePicture(back, 186), scaleCardPicture(back, 3));
    // A wide photo covers the square, centred: its middle column stays in the middle.
    QImage wide = solid(300, 100, qRgb(10, 10, 200));
    for (int y = 0; y < 100; ++y)
        wide.setPixel(150, y, qRgb(250, 250, 0));
    const QImage square = cardSquarePicture(wide, 100);
    ASSERT_EQ(square.size(), QSize(100, 100));
    EXPECT_GT(qRed(square.pixel(50, 50)), 100);
    EXPECT_EQ(rgb(square, 5, 50), qRgb(10, 10, 200) & 0xFFFFFF);
}

TEST(PlayOutputs, PlannedFilesAndRefusals)
{
    PlayOutputs outputs;
    outputs.tabletopDir = QStringLiteral("/t");
    outputs.atlasPath = QStringLiteral("/a/cards.png");
    outputs.colours = CardColours::Red;
    EXPECT_EQ(plannedPlayFiles(outputs, QStringLiteral("set"), 70),
              QStringList({"/t/set-back.png", "/t/set-red-1.png", "/t/set-red-2.png",
                           "/t/set-red.json", "/a/cards.png", "/a/cards.json"}));
    EXPECT_TRUE(checkPlayOutputs(outputs, 70).isEmpty());
    outputs.tabletopScale = 7;
    EXPECT_TRUE(
        checkPlayOutputs(outputs, 70).contains(QStringLiteral("largest scale that fits is 6")));
    outputs.tabletopScale = 0;
    outputs.atlasScale = 16;
    EXPECT_TRUE(checkPlayOutputs(outputs, 1000).contains(QStringLiteral("over the limit")));
}
