// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/print_calibration.h"

#include "system/file_write.h"
#include "system/regular_file.h"

#include <QBuffer>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

namespace orvane {
namespace {

constexpr int Resolution = 1200;  // dots per inch of the PDF's coordinates
constexpr double RulerMm = 100;

QString calibrationFolder(const QString& folder)
{
    return folder.isEmpty() ? QDir(printDataFolder()).filePath(QStringLiteral("calibration"))
                            : folder;
}

QString calibrationFile(const QString& profileName, const QString& folder)
{
    return QDir(calibrationFolder(folder)).filePath(profileName + QStringLiteral(".json"));
}

double dots(double mm)
{
    return mm / 25.4 * Resolution;
}

// Digits drawn as seven strokes, so the page needs no font.
void drawNumber(QPainter& painter, int number, QPointF at, double heightMm)
{
    // Segments a-g as lines in a 1 x 2 box: top, upper right, lower right, bottom, lower left,
    // upper left, middle.
    static const QLineF segments[7] = {{0, 0, 1, 0}, {1, 0, 1, 1}, {1, 1, 1, 2}, {0, 2, 1, 2},
                                       {0, 1, 0, 2}, {0, 0, 0, 1}, {0, 1, 1, 1}};
    static const char* lit[10] = {"abcdef", "bc",     "abdeg", "abcdg",   "bcfg",
                                  "acdfg",  "acdefg", "abc",   "abcdefg", "abcdfg"};
    const QString text = QString::number(number);
    const double unit = dots(heightMm) / 2;
    for (qsizetype k = 0; k < text.size(); ++k) {
        const int digit = text[k].digitValue();
        const QPointF origin = at + QPointF(double(k) * unit * 1.6, 0);
        for (const char* s = lit[digit]; *s; ++s) {
            const QLineF& line = segments[*s - 'a'];
            painter.drawLine(QLineF(origin + line.p1() * unit, origin + line.p2() * unit));
        }
    }
}

void drawCross(QPainter& painter, QPointF centreMm)
{
    const QPointF c(dots(centreMm.x()), dots(centreMm.y()));
    const double arm = dots(6);
    painter.drawLine(QLineF(c.x() - arm, c.y(), c.x() + arm, c.y()));
    painter.drawLine(QLineF(c.x(), c.y() - arm, c.x(), c.y() + arm));
    painter.drawEllipse(c, dots(2), dots(2));
}

// A ruler of RulerMm from `startMm`, across or down, a tick every millimetre.
void drawRuler(QPainter& painter, QPointF startMm, bool across)
{
    const QPointF along = across ? QPointF(1, 0) : QPointF(0, 1);
    const QPointF side = across ? QPointF(0, 1) : QPointF(1, 0);
    const QPointF start(dots(startMm.x()), dots(startMm.y()));
    painter.drawLine(QLineF(start, start + along * dots(RulerMm)));
    for (int mm = 0; mm <= int(RulerMm); ++mm) {
        const double length = mm % 10 == 0 ? 6 : mm % 5 == 0 ? 4 : 2;
        const QPointF at = start + along * dots(mm);
        painter.drawLine(QLineF(at, at + side * dots(length)));
        if (mm % 10 == 0)
            drawNumber(painter, mm, at + side * dots(8) - along * dots(1), 3);
    }
}

QList<QPointF> crossesMm(const QSizeF& page, double margin)
{
    const double inset = margin + 10;
    return {{inset, inset},
            {page.width() - inset, inset},
            {inset, page.height() - inset},
            {page.width() - inset, page.height() - inset},
            {page.width() / 2, page.height() / 2}};
}

}  // namespace

QString calibrationProblem(const PrinterCalibration& c)
{
    for (const auto& [value, axis] :
         {std::pair{c.scaleXPercent, "across"}, std::pair{c.scaleYPercent, "down"}})
        if (!(value >= MinCalibrationPercent && value <= MaxCalibrationPercent))
            return QStringLiteral("a scale %1 of %2 % is outside 90-110 %; it is likely a typing "
                                  "error (measure the 100 mm ruler: 99.5 mm is 99.5 %)")
                .arg(QLatin1String(axis))
                .arg(value);
    for (const double offset : {c.backOffsetXMm, c.backOffsetYMm})
        if (!(std::abs(offset) <= MaxCalibrationOffsetMm))
            return QStringLiteral("a back offset of %1 mm is over 10 mm; it is likely a typing "
                                  "error")
                .arg(offset);
    return {};
}

PrinterCalibration loadCalibration(const QString& profileName, QString* error,
                                   const QString& folder)
{
    const QString path = calibrationFile(profileName, folder);
    if (!QFileInfo::exists(path))
        return {};
    const ReadFile read = readRegularFile(path, 64 * 1024);
    const QJsonObject object = QJsonDocument::fromJson(read.bytes).object();
    PrinterCalibration c;
    c.scaleXPercent = object.value(QLatin1String("scale_x_percent")).toDouble(-1);
    c.scaleYPercent = object.value(QLatin1String("scale_y_percent")).toDouble(-1);
    c.backOffsetXMm = object.value(QLatin1String("back_offset_x_mm")).toDouble(1e9);
    c.backOffsetYMm = object.value(QLatin1String("back_offset_y_mm")).toDouble(1e9);
    QString problem = read.error;
    if (problem.isEmpty())
        problem = calibrationProblem(c);
    if (!problem.isEmpty()) {
        if (error)
            *error = QStringLiteral("the calibration %1 is not used: %2")
                         .arg(QDir::toNativeSeparators(path), problem);
        return {};
    }
    return c;
}

bool saveCalibration(const QString& profileName, const PrinterCalibration& c, QString* error,
                     const QString& folder)
{
    if (const QString problem = calibrationProblem(c); !problem.isEmpty()) {
        *error = problem;
        return false;
    }
    const QString path = calibrationFile(profileName, folder);
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QStringLiteral("the folder %1 cannot be made")
                     .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
        return false;
    }
    const QJsonObject object{{"scale_x_percent", c.scaleXPercent},
                             {"scale_y_percent", c.scaleYPercent},
                             {"back_offset_x_mm", c.backOffsetXMm},
                             {"back_offset_y_mm", c.backOffsetYMm}};
    return writeFileAtomically(path, QJsonDocument(object).toJson(), error);
}

QRectF calibratedRect(const QRectF& placeMm, const QSizeF& pageMm, const PrinterCalibration& c)
{
    const double sx = 100 / c.scaleXPercent, sy = 100 / c.scaleYPercent;
    const double cx = pageMm.width() / 2, cy = pageMm.height() / 2;
    return QRectF(cx + (placeMm.left() - cx) * sx, cy + (placeMm.top() - cy) * sy,
                  placeMm.width() * sx, placeMm.height() * sy);
}

QRectF calibratedBackRect(const QRectF& placeMm, const QSizeF& pageMm, const PrinterCalibration& c)
{
    return calibratedRect(placeMm.translated(-c.backOffsetXMm, -c.backOffsetYMm), pageMm, c);
}

QRectF backBehind(const QRectF& faceMm, const PrintProfile& profile)
{
    if (!profile.mirrorBacks)
        return faceMm;
    const QSizeF page = profile.pageMm;
    // Turning the sheet over its long edge swaps left and right on an upright page, top and
    // bottom on a lying one; the short edge the other way round.
    const bool upright = page.height() >= page.width();
    const bool acrossSwapped = (profile.duplex == DuplexEdge::Long) == upright;
    if (acrossSwapped)
        return QRectF(page.width() - faceMm.right(), faceMm.top(), faceMm.width(), faceMm.height());
    return QRectF(faceMm.left(), page.height() - faceMm.bottom(), faceMm.width(), faceMm.height());
}

bool writeCalibrationPage(const QString& path, const PrintProfile& profile, QString* error)
{
    if (profile.layout != PrintLayout::Sheets) {
        *error = QStringLiteral("the profile %1 writes one picture per card; a calibration page "
                                "is for a profile of sheets")
                     .arg(profile.name);
        return false;
    }
    const QSizeF page = profile.pageMm;
    if (page.width() < RulerMm + 2 * profile.marginMm + 20 ||
        page.height() < RulerMm + 2 * profile.marginMm + 20) {
        *error = QStringLiteral("the page is too small for a 100 mm ruler");
        return false;
    }
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(Resolution);
        writer.setCreator(QStringLiteral("orvane"));
        writer.setPageLayout(QPageLayout(QPageSize(page, QPageSize::Millimeter),
                                         QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                         QPageLayout::Millimeter));
        QPainter painter;
        if (!painter.begin(&writer)) {
            *error = QStringLiteral("the PDF writer could not start");
            return false;
        }
        QPen pen(Qt::black);
        pen.setWidthF(dots(0.15));
        painter.setPen(pen);
        const double margin = profile.marginMm;
        const QPointF rulerStart((page.width() - RulerMm) / 2, page.height() / 2 - RulerMm / 2);
        drawRuler(painter, QPointF(rulerStart.x(), margin + 25), true);
        drawRuler(painter, QPointF(margin + 25, rulerStart.y()), false);
        for (const QPointF& cross : crossesMm(page, margin))
            drawCross(painter, cross);
        // The back: the same crosses where they fall behind the front's, and its own rulers.
        writer.newPage();
        painter.setPen(pen);
        for (const QPointF& cross : crossesMm(page, margin))
            drawCross(painter, backBehind(QRectF(cross, QSizeF(0, 0)), profile).center());
        drawRuler(painter, QPointF(rulerStart.x(), margin + 25), true);
        drawRuler(painter, QPointF(margin + 25, rulerStart.y()), false);
        painter.end();
    }
    return writeFileAtomically(path, pdf, error);
}

}  // namespace orvane
