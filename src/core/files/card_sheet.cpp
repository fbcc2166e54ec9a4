// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/card_sheet.h"

#include "files/edge_pixels.h"
#include "files/play_outputs.h"
#include "render/part_scales.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>
#include <set>

namespace orvane {
namespace {

constexpr double MarginMm = 10.0;
constexpr double GapMm = 4.0;         // between cards' bleed: room for the cut marks
constexpr double MarkOffsetMm = 0.5;  // a mark starts this far beyond the card's bleed
constexpr double MarkLengthMm = 3.0;
constexpr int Resolution = 1200;      // dots per inch of the PDF's coordinates
constexpr double PrintedDpi = 300.0;  // card pixels are enlarged to at least this density

struct Grid {
    int columns = 0;  // units (a blue and red pair, or one blue card) across
    int rows = 0;
    double unitMm = 0;
    double gapMm = 0;
};

QPageSize pageSize(SheetPaper paper)
{
    return QPageSize(paper == SheetPaper::Letter ? QPageSize::Letter : QPageSize::A4);
}

QSizeF pageMm(SheetPaper paper)
{
    return pageSize(paper).size(QPageSize::Millimeter);
}

Grid gridFor(const SheetLayout& layout)
{
    const QSizeF page = pageMm(layout.paper);
    Grid grid;
    grid.gapMm = GapMm + 2 * layout.finish.bleedMm;
    const int cardsAcross = layout.sides == SheetSides::Both ? 2 : 1;
    grid.unitMm = cardsAcross * layout.cardMm + (cardsAcross - 1) * grid.gapMm;
    // The outer cards' bleed stays inside the margin.
    const double usableWidth = page.width() - 2 * (MarginMm + layout.finish.bleedMm);
    const double usableHeight = page.height() - 2 * (MarginMm + layout.finish.bleedMm);
    grid.columns = int(std::floor((usableWidth + grid.gapMm) / (grid.unitMm + grid.gapMm)));
    grid.rows = int(std::floor((usableHeight + grid.gapMm) / (layout.cardMm + grid.gapMm)));
    if (grid.columns < 1 || grid.rows < 1)
        grid.columns = grid.rows = 0;
    return grid;
}

double dots(double mm)
{
    return mm / 25.4 * Resolution;
}

QRectF dotsRect(const QRectF& mm)
{
    return {dots(mm.x()), dots(mm.y()), dots(mm.width()), dots(mm.height())};
}

// Short lines on the card's edge lines, beyond its corners and its bleed.
void drawCornerMarks(QPainter& painter, const QRectF& card, double bleed)
{
    const double offset = bleed + dots(MarkOffsetMm);
    const double length = dots(MarkLengthMm);
    const double left = card.left(), right = card.right(), top = card.top(), bottom = card.bottom();
    for (const double y : {top, bottom}) {
        painter.drawLine(QLineF(left - offset - length, y, left - offset, y));
        painter.drawLine(QLineF(right + offset, y, right + offset + length, y));
    }
    for (const double x : {left, right}) {
        painter.drawLine(QLineF(x, top - offset - length, x, top - offset));
        painter.drawLine(QLineF(x, bottom + offset, x, bottom + offset + length));
    }
}

// Lines across the whole page through every card edge, drawn under the cards.
void drawFullLines(QPainter& painter, const SheetPage& page, const QSizeF& pageDots)
{
    std::set<double> xs, ys;
    for (const SheetFace& face : page) {
        const QRectF r = dotsRect(face.placeMm);
        xs.insert({r.left(), r.right()});
        ys.insert({r.top(), r.bottom()});
    }
    for (const double x : xs)
        painter.drawLine(QLineF(x, 0, x, pageDots.height()));
    for (const double y : ys)
        painter.drawLine(QLineF(0, y, pageDots.width(), y));
}

// The picture and its place with bleed: whole card pixels of edge repeated outward.
void drawWithBleed(QPainter& painter, const QImage& picture, const QRectF& card, double bleedMm,
                   double cardMm)
{
    const int bleedPixels = int(std::lround(bleedMm / cardMm * picture.width()));
    const double pixel = card.width() / picture.width();
    const double out = bleedPixels * pixel;
    painter.drawImage(card.adjusted(-out, -out, out, out), extendEdges(picture, bleedPixels));
}

}  // namespace

int cardsPerSheetPage(const SheetLayout& layout)
{
    const Grid grid = gridFor(layout);
    return grid.columns * grid.rows;
}

QList<SheetPage> planSheetPages(const SheetLayout& layout, int cards)
{
    const Grid grid = gridFor(layout);
    const int perPage = grid.columns * grid.rows;
    QList<SheetPage> pages;
    if (perPage == 0)
        return pages;
    // The grid is centred on the page.
    const QSizeF page = pageMm(layout.paper);
    const double usedWidth = grid.columns * grid.unitMm + (grid.columns - 1) * grid.gapMm;
    const double usedHeight = grid.rows * layout.cardMm + (grid.rows - 1) * grid.gapMm;
    const double originX = (page.width() - usedWidth) / 2;
    const double originY = (page.height() - usedHeight) / 2;
    pages.append(SheetPage());
    for (int k = 0; k < cards; ++k) {
        const int onPage = k % perPage;
        if (onPage == 0 && k > 0)
            pages.append(SheetPage());
        const double x = originX + (onPage % grid.columns) * (grid.unitMm + grid.gapMm);
        const double y = originY + (onPage / grid.columns) * (layout.cardMm + grid.gapMm);
        pages.last().append({k, true, QRectF(x, y, layout.cardMm, layout.cardMm)});
        if (layout.sides == SheetSides::Both)
            pages.last().append(
                {k, false,
                 QRectF(x + layout.cardMm + grid.gapMm, y, layout.cardMm, layout.cardMm)});
    }
    return pages;
}

QRectF backPlaceMm(const SheetLayout& layout, const QRectF& facePlaceMm)
{
    const double pageWidth = pageMm(layout.paper).width();
    return QRectF(pageWidth - facePlaceMm.right() + layout.finish.backOffsetXMm,
                  facePlaceMm.top() + layout.finish.backOffsetYMm, facePlaceMm.width(),
                  facePlaceMm.height());
}

bool writeCardSheet(const QString& path, const QList<RenderedCard>& cards,
                    const SheetLayout& layout, int* pages, QString* error)
{
    const QList<SheetPage> plan = planSheetPages(layout, int(cards.size()));
    if (plan.isEmpty()) {
        *error = QStringLiteral("cards of %1 mm do not fit on the paper").arg(layout.cardMm);
        return false;
    }
    // Enlarged by whole pixels before they go in, so no viewer needs to smooth them.
    const int scale = int(std::ceil(layout.cardMm / 25.4 * PrintedDpi / 62.0));
    const QImage back =
        layout.back.isNull() ? QImage() : cardSquarePicture(layout.back, 62 * scale);

    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(Resolution);
        writer.setCreator(QStringLiteral("orvane-render"));
        writer.setPageLayout(QPageLayout(pageSize(layout.paper), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        QPainter painter;
        if (!painter.begin(&writer)) {
            *error = QStringLiteral("the PDF writer could not start");
            return false;
        }
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::LosslessImageRendering, true);
        QPen pen(Qt::black);
        pen.setWidthF(dots(0.2));
        painter.setPen(pen);
        const QSizeF pageDots(dots(pageMm(layout.paper).width()),
                              dots(pageMm(layout.paper).height()));
        const double bleedDots = dots(layout.finish.bleedMm);

        *pages = 0;
        const auto startPage = [&] {
            if (*pages > 0)
                writer.newPage();
            ++*pages;
        };
        for (const SheetPage& page : plan) {
            startPage();
            if (layout.finish.cutLines == CutLines::Full)
                drawFullLines(painter, page, pageDots);
            // A card drawn with a pack is drawn again at the sheet's scale with its larger
            // parts; its blue and red faces sit side by side, so it is drawn once for both.
            int drawnCard = -1;
            RenderedCard drawn;
            for (const SheetFace& face : page) {
                const QRectF target = dotsRect(face.placeMm);
                if (face.card != drawnCard) {
                    drawn = cardAtScale(cards[face.card], scale);
                    drawnCard = face.card;
                }
                drawWithBleed(painter, scaleCardPicture(face.blue ? drawn.blue : drawn.red, 1),
                              target, layout.finish.bleedMm, layout.cardMm);
                if (layout.finish.cutLines == CutLines::Corners)
                    drawCornerMarks(painter, target, bleedDots);
            }
            if (back.isNull() || page.isEmpty())
                continue;
            startPage();
            for (const SheetFace& face : page)
                drawWithBleed(painter, back, dotsRect(backPlaceMm(layout, face.placeMm)),
                              layout.finish.bleedMm, layout.cardMm);
        }
        painter.end();
    }
    return writeOutputFile(path, pdf, error);
}

}  // namespace orvane
