// SPDX-License-Identifier: GPL-3.0-or-later
// Writes every picture of the tool onto one PNG, at 1x and 8x with its name, for review:
//   contact_sheet <assets folder> <folder holding gfx/> <output.png>
#include "render/asset_catalogue.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

namespace {

struct Entry {
    QString label;
    QImage image;
};

constexpr int Zoom = 8;
constexpr int CellPadding = 12;
constexpr int LabelHeight = 16;
constexpr int SheetWidth = 1800;

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr,
                     "usage: contact_sheet <assets folder> <gfx parent folder> <out.png>\n");
        return 2;
    }
    const QString assets = QString::fromLocal8Bit(argv[1]);
    const QString root = QString::fromLocal8Bit(argv[2]);
    std::vector<Entry> entries;
    for (const QString& relative : orvane::assets::allFiles()) {
        const QImage image(root + QLatin1Char('/') + relative);
        if (image.isNull()) {
            std::fprintf(stderr, "contact_sheet: missing %s\n", qPrintable(relative));
            return 1;
        }
        entries.push_back({QFileInfo(relative).fileName(), image});
    }
    const QDir builtin(assets + QStringLiteral("/builtin"));
    for (const QString& name : builtin.entryList({QStringLiteral("*.xpm")}, QDir::Files))
        entries.push_back({QStringLiteral("built-in ") + name, QImage(builtin.filePath(name))});

    // Lay the cells out in rows, each cell: 1x picture, 8x picture, label below.
    struct Placed {
        QRect cell;
        const Entry* entry;
    };
    std::vector<Placed> placed;
    int x = CellPadding, y = CellPadding, rowHeight = 0;
    for (const Entry& e : entries) {
        const int zoom = e.image.width() > 100 ? 2 : Zoom;
        const int w = std::max(e.image.width() * (zoom + 1) + 3 * CellPadding, 150);
        const int h = e.image.height() * zoom + LabelHeight + 2 * CellPadding;
        if (x + w > SheetWidth) {
            x = CellPadding;
            y += rowHeight;
            rowHeight = 0;
        }
        placed.push_back({QRect(x, y, w, h), &e});
        x += w;
        rowHeight = std::max(rowHeight, h);
    }
    QImage sheet(SheetWidth, y + rowHeight + CellPadding, QImage::Format_RGB32);
    sheet.fill(QColor(192, 192, 192));
    QPainter painter(&sheet);
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    for (const Placed& p : placed) {
        const QImage& image = p.entry->image;
        const int zoom = image.width() > 100 ? 2 : Zoom;
        const QPoint origin = p.cell.topLeft() + QPoint(CellPadding, CellPadding);
        painter.drawImage(origin, image);
        painter.drawImage(
            QRect(origin + QPoint(image.width() + CellPadding, 0), image.size() * zoom), image);
        painter.setPen(Qt::black);
        painter.drawText(
            QPoint(origin.x(), origin.y() + image.height() * zoom + LabelHeight - 3),
            QStringLiteral("%1  %2×%3").arg(p.entry->label).arg(image.width()).arg(image.height()));
    }
    painter.end();
    if (!sheet.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "contact_sheet: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
