#include "files/card_sheet.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

namespace orvane {
namespace {

constexpr double MarginMm = 10.0;
constexpr double GapMm = 4.0;         // between cards: room for the cut marks
constexpr double MarkOffsetMm = 0.5;  // a mark starts this far from the card's corner
constexpr double MarkLengthMm = 3.0;
constexpr int Resolution = 1200;      // dots per inch of the PDF's coordinates
constexpr double PrintedDpi = 300.0;  // card pixels are enlarged to at least this density

struct Grid {
    int columns = 0;  // units (a blue and red pair, or one blue card) across
    int rows = 0;
    double unitMm = 0;
};

QPageSize pageSize(SheetPaper paper)
{
    return QPageSize(paper == SheetPaper::Letter ? QPageSize::Letter : QPageSize::A4);
}

Grid gridFor(const SheetLayout& layout)
{
    const QSizeF page = pageSize(layout.paper).size(QPageSize::Millimeter);
    Grid grid;
    const int cardsAcross = layout.sides == SheetSides::Both ? 2 : 1;
    grid.unitMm = cardsAcross * layout.cardMm + (cardsAcross - 1) * GapMm;
    grid.columns = int(std::floor((page.width() - 2 * MarginMm + GapMm) / (grid.unitMm + GapMm)));
    grid.rows = int(std::floor((page.height() - 2 * MarginMm + GapMm) / (layout.cardMm + GapMm)));
    if (grid.columns < 1 || grid.rows < 1)
        grid.columns = grid.rows = 0;
    return grid;
}

double dots(double mm)
{
    return mm / 25.4 * Resolution;
}

// Short lines on the card's edge lines, outside its corners.
void drawCutMarks(QPainter& painter, const QRectF& card)
{
    const double offset = dots(MarkOffsetMm);
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

}  // namespace

int cardsPerSheetPage(const SheetLayout& layout)
{
    const Grid grid = gridFor(layout);
    return grid.columns * grid.rows;
}

bool writeCardSheet(const QString& path, const QList<RenderedCard>& cards,
                    const SheetLayout& layout, int* pages, QString* error)
{
    const Grid grid = gridFor(layout);
    const int perPage = grid.columns * grid.rows;
    if (perPage == 0) {
        *error = QStringLiteral("cards of %1 mm do not fit on the paper").arg(layout.cardMm);
        return false;
    }
    // Enlarged by whole pixels before they go in, so no viewer needs to smooth them.
    const int scale = int(std::ceil(layout.cardMm / 25.4 * PrintedDpi / 62.0));

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

        const double cardDots = dots(layout.cardMm);
        const QSizeF page = pageSize(layout.paper).size(QPageSize::Millimeter);
        // The grid is centred on the page.
        const double usedWidth = grid.columns * grid.unitMm + (grid.columns - 1) * GapMm;
        const double usedHeight = grid.rows * layout.cardMm + (grid.rows - 1) * GapMm;
        const double originX = (page.width() - usedWidth) / 2;
        const double originY = (page.height() - usedHeight) / 2;

        *pages = 0;
        for (qsizetype k = 0; k < cards.size(); ++k) {
            const int onPage = int(k % perPage);
            if (onPage == 0) {
                if (k > 0)
                    writer.newPage();
                ++*pages;
            }
            const double x = originX + (onPage % grid.columns) * (grid.unitMm + GapMm);
            const double y = originY + (onPage / grid.columns) * (layout.cardMm + GapMm);
            QList<QImage> faces{cards[k].blue};
            if (layout.sides == SheetSides::Both)
                faces << cards[k].red;
            for (qsizetype f = 0; f < faces.size(); ++f) {
                const QRectF target(dots(x + double(f) * (layout.cardMm + GapMm)), dots(y),
                                    cardDots, cardDots);
                painter.drawImage(target, scaleCardPicture(faces[f], scale));
                drawCutMarks(painter, target);
            }
        }
        if (cards.isEmpty())
            *pages = 1;  // an empty sheet is still a page
        painter.end();
    }
    return writeFileAtomically(path, pdf, error);
}

}  // namespace orvane
