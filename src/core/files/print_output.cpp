// SPDX-License-Identifier: GPL-3.0-or-later
// A print by a profile: PDF sheets with backs for duplex, or numbered pictures per card and copy.
#include "files/print_output.h"

#include "files/pack_back.h"
#include "files/png_writer.h"
#include "files/print_card.h"
#include "system/file_write.h"
#include "system/parallel_for.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>
#include <set>
#include <vector>

namespace orvane {
namespace {

constexpr int Resolution = 1200;  // dots per inch of the PDF's coordinates
constexpr double MarkOffsetMm = 0.5;
constexpr double MarkLengthMm = 3.0;

bool withBacks(const PrintRequest& request)
{
    return request.profile.backs && !request.backPicture.isEmpty();
}

double dots(double mm)
{
    return mm / 25.4 * Resolution;
}

QRectF dotsRect(const QRectF& mm)
{
    return {dots(mm.x()), dots(mm.y()), dots(mm.width()), dots(mm.height())};
}

double pixelMm(int pixels, int dpi)
{
    return pixels * 25.4 / dpi;
}

// The printed picture's place around a trim place: its pixels at the profile's resolution,
// the trim where the geometry puts it.
QRectF pictureAround(const QRectF& trimMm, const PrintCardGeometry& g, int dpi)
{
    const QPointF centre = trimMm.center();
    const QRectF trim(0, 0, pixelMm(g.trimPx.width(), dpi), pixelMm(g.trimPx.height(), dpi));
    const double left = centre.x() - trim.width() / 2 - pixelMm(g.trimPx.left(), dpi);
    const double top = centre.y() - trim.height() / 2 - pixelMm(g.trimPx.top(), dpi);
    return QRectF(left, top, pixelMm(g.fullPx.width(), dpi), pixelMm(g.fullPx.height(), dpi));
}

QString suffixed(const QString& pdf, const char* part)
{
    const QFileInfo info(pdf);
    return info.dir().filePath(
        QStringLiteral("%1-%2.pdf").arg(info.completeBaseName(), QLatin1String(part)));
}

QStringList sheetFiles(const PrintRequest& request)
{
    if (withBacks(request) && request.profile.backsApart)
        return {suffixed(request.output, "fronts"), suffixed(request.output, "backs")};
    return {request.output};
}

QString pictureName(const PrintProfile& profile, const PrintFace& face, const NamedCard& card,
                    int width, bool back)
{
    QString name = profile.namePattern;
    name.replace(QLatin1String("{number}"),
                 QStringLiteral("%1").arg(face.number, width, 10, QLatin1Char('0')));
    name.replace(QLatin1String("{card}"), card.fileBase);
    name.replace(QLatin1String("{colour}"), colourName(face.blue ? CardColour::Blue : CardColour::Red));
    name.replace(QLatin1String("{side}"), back ? QStringLiteral("back") : QStringLiteral("front"));
    return name + QStringLiteral(".png");
}

struct PictureFile {
    int face = 0;  // index into the faces
    bool back = false;
    QString path;
};

QList<PictureFile> pictureFiles(const PrintRequest& request, const QList<NamedCard>& cards,
                                const QList<PrintFace>& faces)
{
    const QDir folder(request.output);
    const bool backs = withBacks(request);
    const bool apart = backs && request.profile.backsApart;
    const int width = std::max(3, int(QString::number(faces.size()).size()));
    QList<PictureFile> files;
    for (int k = 0; k < int(faces.size()); ++k) {
        const NamedCard& card = cards[faces[k].card];
        const QString front = pictureName(request.profile, faces[k], card, width, false);
        files.append(
            {k, false, folder.absoluteFilePath(apart ? QStringLiteral("fronts/") + front : front)});
        if (backs) {
            const QString back = pictureName(request.profile, faces[k], card, width, true);
            files.append(
                {k, true, folder.absoluteFilePath(apart ? QStringLiteral("backs/") + back : back)});
        }
    }
    return files;
}

// Pictures compressed on every core: each distinct face once, its copies the same bytes.
void writePictures(const PrintRequest& request, const QList<NamedCard>& cards,
                   const QList<PrintFace>& faces, const QImage& back, PrintResult& result,
                   const Progress& progress)
{
    const QList<PictureFile> files = pictureFiles(request, cards, faces);
    for (const QString& sub :
         {QStringLiteral("."), QStringLiteral("fronts"), QStringLiteral("backs")}) {
        if (sub != QLatin1String(".") && !(withBacks(request) && request.profile.backsApart))
            continue;
        const QString folder = QDir(request.output).absoluteFilePath(sub);
        if (!QDir().mkpath(folder)) {
            result.problems << QStringLiteral("the folder %1 cannot be made")
                                   .arg(QDir::toNativeSeparators(QDir::cleanPath(folder)));
            return;
        }
    }
    const PrintCardGeometry geometry = printCardGeometry(request.profile);
    // Groups of files holding the same picture: a back, or a card's face in one colour.
    struct Group {
        int card = -1;  // -1: the back
        bool blue = true;
        QList<int> files;
        QString problem;
        int written = 0;
    };
    std::vector<Group> groups;
    Group backs;
    for (int k = 0; k < int(files.size()); ++k) {
        const PrintFace& face = faces[files[k].face];
        if (files[k].back) {
            backs.files << k;
            continue;
        }
        auto found = std::find_if(groups.begin(), groups.end(), [&](const Group& g) {
            return g.card == face.card && g.blue == face.blue;
        });
        if (found == groups.end()) {
            groups.push_back({face.card, face.blue, {}, {}, 0});
            found = groups.end() - 1;
        }
        found->files << k;
    }
    if (!backs.files.isEmpty())
        groups.push_back(backs);

    // Progress counts groups: each picture is made and compressed once for all its files.
    parallelFor(int(groups.size()), request.threads, progress, [&](int g) {
        Group& group = groups[size_t(g)];
        const QImage picture = group.card < 0
                                   ? composePrintBack(back, request.profile, geometry)
                                   : composePrintFace(cards[group.card].pictures, group.blue,
                                                      request.profile, geometry);
        QString why;
        const QByteArray png = encodePngAtDpi(picture, request.profile.dpi, &why);
        for (const int k : std::as_const(group.files)) {
            if (png.isEmpty() || !writeFileAtomically(files[k].path, png, &why)) {
                group.problem = QStringLiteral("%1 cannot be written: %2")
                                    .arg(QDir::toNativeSeparators(files[k].path), why);
                break;
            }
            ++group.written;
        }
    });

    // Reported in print order: every file of a group written before its problem.
    std::vector<bool> done(size_t(files.size()), false);
    for (const Group& group : groups) {
        for (int n = 0; n < group.written; ++n)
            done[size_t(group.files[n])] = true;
        if (!group.problem.isEmpty())
            result.problems << group.problem;
    }
    for (int k = 0; k < int(files.size()); ++k)
        if (done[size_t(k)]) {
            result.written << files[k].path;
            ++result.pictures;
        }
    result.cancelled = progress.stopRequested();
}

// Short lines on the trim's edge lines, beyond its corners and its bleed.
void drawCornerMarks(QPainter& painter, const QRectF& trim, double bleed)
{
    const double offset = bleed + dots(MarkOffsetMm);
    const double length = dots(MarkLengthMm);
    for (const double y : {trim.top(), trim.bottom()}) {
        painter.drawLine(QLineF(trim.left() - offset - length, y, trim.left() - offset, y));
        painter.drawLine(QLineF(trim.right() + offset, y, trim.right() + offset + length, y));
    }
    for (const double x : {trim.left(), trim.right()}) {
        painter.drawLine(QLineF(x, trim.top() - offset - length, x, trim.top() - offset));
        painter.drawLine(QLineF(x, trim.bottom() + offset, x, trim.bottom() + offset + length));
    }
}

void drawFullLines(QPainter& painter, const QList<QRectF>& trims, const QSizeF& pageDots)
{
    std::set<double> xs, ys;
    for (const QRectF& r : trims) {
        xs.insert({r.left(), r.right()});
        ys.insert({r.top(), r.bottom()});
    }
    for (const double x : xs)
        painter.drawLine(QLineF(x, 0, x, pageDots.height()));
    for (const double y : ys)
        painter.drawLine(QLineF(0, y, pageDots.width(), y));
}

// One PDF being written: the writer, its painter and the bytes.
class SheetPdf {
public:
    explicit SheetPdf(const PrintProfile& profile) : m_buffer(&m_bytes)
    {
        m_buffer.open(QIODevice::WriteOnly);
        m_writer = std::make_unique<QPdfWriter>(&m_buffer);
        m_writer->setResolution(Resolution);
        m_writer->setCreator(QStringLiteral("orvane"));
        m_writer->setPageLayout(QPageLayout(QPageSize(profile.pageMm, QPageSize::Millimeter),
                                            QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                            QPageLayout::Millimeter));
    }
    bool begin()
    {
        if (!m_painter.begin(m_writer.get()))
            return false;
        m_painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        m_painter.setRenderHint(QPainter::Antialiasing, false);
        m_painter.setRenderHint(QPainter::LosslessImageRendering, true);
        return true;
    }
    QPainter& startPage()
    {
        if (m_pages > 0)
            m_writer->newPage();
        ++m_pages;
        QPen pen(Qt::black);
        pen.setWidthF(dots(0.2));
        m_painter.setPen(pen);
        return m_painter;
    }
    QByteArray finish()
    {
        m_painter.end();
        m_writer.reset();
        return m_bytes;
    }
    int pages() const { return m_pages; }

private:
    QByteArray m_bytes;
    QBuffer m_buffer;
    std::unique_ptr<QPdfWriter> m_writer;
    QPainter m_painter;
    int m_pages = 0;
};

void writeSheets(const PrintRequest& request, const QList<NamedCard>& cards,
                 const QList<PrintFace>& faces, const QImage& back, PrintResult& result,
                 const Progress& progress)
{
    const PrintProfile& profile = request.profile;
    const QList<QRectF> places = printSheetPlaces(profile);
    if (places.isEmpty()) {
        result.problems << QStringLiteral("%1: no card fits on the page")
                               .arg(QDir::toNativeSeparators(request.output));
        return;
    }
    const PrintCardGeometry geometry = printCardGeometry(profile);
    const bool backs = withBacks(request);
    const QStringList paths = sheetFiles(request);
    SheetPdf fronts(profile);
    std::optional<SheetPdf> apart;
    if (paths.size() > 1)
        apart.emplace(profile);
    SheetPdf& backPdf = apart ? *apart : fronts;
    if (!fronts.begin() || (apart && !apart->begin())) {
        result.problems << QStringLiteral("%1: the PDF writer could not start")
                               .arg(QDir::toNativeSeparators(request.output));
        return;
    }
    const QImage backPicture = backs ? composePrintBack(back, profile, geometry) : QImage();
    const QSizeF pageDots(dots(profile.pageMm.width()), dots(profile.pageMm.height()));
    const PrinterCalibration& calibration = request.calibration;
    const double bleedDots =
        dots(pixelMm(geometry.trimPx.left(), profile.dpi)) * (100 / calibration.scaleXPercent);
    // The copies of a face follow each other: its picture is made once and the PDF holds it
    // once, every copy drawing the same image.
    int shownCard = -1;
    QImage shown[2];
    const qsizetype perPage = places.size();
    const int pageCount = int((std::max<qsizetype>(faces.size(), 1) + perPage - 1) / perPage);
    for (qsizetype first = 0; first < std::max<qsizetype>(faces.size(), 1); first += perPage) {
        progress.report(int(first / perPage), pageCount);
        if (progress.stopRequested()) {
            result.cancelled = true;
            return;
        }
        const qsizetype count = std::min(perPage, faces.size() - first);
        QPainter& painter = fronts.startPage();
        QList<QRectF> trims;
        for (qsizetype k = 0; k < count; ++k)
            trims << dotsRect(calibratedRect(places[k], profile.pageMm, calibration));
        if (profile.cutMarks == CutMarks::Full)
            drawFullLines(painter, trims, pageDots);
        for (qsizetype k = 0; k < count; ++k) {
            const PrintFace& face = faces[first + k];
            if (face.card != shownCard) {
                shownCard = face.card;
                shown[0] = shown[1] = QImage();
            }
            QImage& picture = shown[face.blue ? 0 : 1];
            if (picture.isNull())
                picture = composePrintFace(cards[face.card].pictures, face.blue, profile, geometry);
            painter.drawImage(
                dotsRect(calibratedRect(pictureAround(places[k], geometry, profile.dpi),
                                        profile.pageMm, calibration)),
                picture);
            if (profile.cutMarks == CutMarks::Corners)
                drawCornerMarks(painter, trims[k], bleedDots);
        }
        if (!backs || count == 0)
            continue;
        QPainter& backPainter = backPdf.startPage();
        for (qsizetype k = 0; k < count; ++k)
            backPainter.drawImage(
                dotsRect(calibratedBackRect(
                    backBehind(pictureAround(places[k], geometry, profile.dpi), profile),
                    profile.pageMm, calibration)),
                backPicture);
    }
    progress.report(pageCount, pageCount);
    result.pages = fronts.pages() + (apart ? apart->pages() : 0);
    const QByteArray frontBytes = fronts.finish();
    const QByteArray backBytes = apart ? apart->finish() : QByteArray();
    QString error;
    if (!writeFileAtomically(paths[0], frontBytes, &error)) {
        result.problems << QStringLiteral("%1 cannot be written: %2")
                               .arg(QDir::toNativeSeparators(paths[0]), error);
        result.pages = 0;
        return;
    }
    result.written << paths[0];
    if (apart) {
        if (!writeFileAtomically(paths[1], backBytes, &error)) {
            result.problems << QStringLiteral("%1 cannot be written: %2")
                                   .arg(QDir::toNativeSeparators(paths[1]), error);
            return;
        }
        result.written << paths[1];
    }
}

}  // namespace

QList<PrintFace> printFaces(const QList<NamedCard>& cards, CardColours colours)
{
    QList<PrintFace> faces;
    for (int card = 0; card < int(cards.size()); ++card)
        for (int copy = 0; copy < cards[card].copies; ++copy)
            for (const CardColour colour : cardFaces(colours))
                faces.append({card, colour == CardColour::Blue, int(faces.size()) + 1});
    return faces;
}

QList<QRectF> printSheetPlaces(const PrintProfile& p)
{
    const QSizeF cell(p.trimMm.width() + 2 * p.bleedMm, p.trimMm.height() + 2 * p.bleedMm);
    const QSizeF usable(p.pageMm.width() - 2 * p.marginMm, p.pageMm.height() - 2 * p.marginMm);
    const auto fitting = [&](double room, double size) {
        return int(std::floor((room + p.gapMm + 1e-9) / (size + p.gapMm)));
    };
    const int columns = p.columns > 0 ? p.columns : fitting(usable.width(), cell.width());
    const int rows = p.rows > 0 ? p.rows : fitting(usable.height(), cell.height());
    const double usedWidth = columns * cell.width() + (columns - 1) * p.gapMm;
    const double usedHeight = rows * cell.height() + (rows - 1) * p.gapMm;
    QList<QRectF> places;
    if (columns < 1 || rows < 1 || usedWidth > usable.width() + 1e-9 ||
        usedHeight > usable.height() + 1e-9)
        return places;
    // The grid is centred on the page.
    const double left = (p.pageMm.width() - usedWidth) / 2 + p.bleedMm;
    const double top = (p.pageMm.height() - usedHeight) / 2 + p.bleedMm;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            places.append(QRectF(left + column * (cell.width() + p.gapMm),
                                 top + row * (cell.height() + p.gapMm), p.trimMm.width(),
                                 p.trimMm.height()));
    return places;
}

int printItemCount(const PrintProfile& profile, int faces, bool backs)
{
    if (profile.layout == PrintLayout::CardImages)
        return faces * (backs ? 2 : 1);
    const int perPage = int(printSheetPlaces(profile).size());
    if (perPage == 0)
        return 0;
    const int pages = std::max(1, (faces + perPage - 1) / perPage);
    return faces > 0 && backs ? 2 * pages : pages;
}

QStringList plannedPrintFiles(const PrintRequest& request, const QList<NamedCard>& cards)
{
    if (request.profile.layout == PrintLayout::Sheets)
        return sheetFiles(request);
    QStringList paths;
    for (const PictureFile& file : pictureFiles(request, cards, printFaces(cards, request.colours)))
        paths << file.path;
    return paths;
}

PrintResult writePrint(const PrintRequest& request, const QList<NamedCard>& cards,
                       const Progress& progress)
{
    PrintResult result;
    if (const QString problem = calibrationProblem(request.calibration); !problem.isEmpty()) {
        result.problems << QStringLiteral("the printer calibration: %1").arg(problem);
        return result;
    }
    QImage back;
    if (withBacks(request)) {
        QString error;
        // Cards all drawn with one pack print its own back in place of ours.
        back = loadCardBack(backWithPack(request.backPicture, packOfCards(cards), false), &error);
        if (back.isNull()) {
            result.problems << QStringLiteral("the card back %1").arg(error);
            return result;
        }
    }
    const QList<PrintFace> faces = printFaces(cards, request.colours);
    if (request.profile.layout == PrintLayout::Sheets)
        writeSheets(request, cards, faces, back, result, progress);
    else
        writePictures(request, cards, faces, back, result, progress);
    return result;
}

}  // namespace orvane
