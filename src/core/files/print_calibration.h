// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/print_profile.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

namespace orvane {

// What a home printer does to a page, as measured on a printed calibration page: how long its
// 100 mm rulers came out (per cent), and how far the back's crosses lie from the front's (seen
// on the back, + right and down). Sheets undo both.
struct PrinterCalibration {
    double scaleXPercent = 100;
    double scaleYPercent = 100;
    double backOffsetXMm = 0;
    double backOffsetYMm = 0;
    bool operator==(const PrinterCalibration&) const = default;
};

inline constexpr double MinCalibrationPercent = 90;
inline constexpr double MaxCalibrationPercent = 110;
inline constexpr double MaxCalibrationOffsetMm = 10;

// Why the values look like a typing error (a scale outside 90-110 %, an offset over 10 mm), or
// empty.
QString calibrationProblem(const PrinterCalibration& calibration);

// The calibration kept for a profile in `folder` (printDataFolder()/calibration by default);
// none kept: 100 %, no offset. A file that cannot be read or holds values refused: the same,
// with `error` set.
PrinterCalibration loadCalibration(const QString& profileName, QString* error,
                                   const QString& folder = {});
// Keeps it, whole or not at all; refused values are not written.
bool saveCalibration(const QString& profileName, const PrinterCalibration& calibration,
                     QString* error, const QString& folder = {});

// A place on a page of `pageMm` as it must be drawn so that the printer puts it where it was
// meant: scaled about the page's centre by the inverse of the printer's scale.
QRectF calibratedRect(const QRectF& placeMm, const QSizeF& pageMm,
                      const PrinterCalibration& calibration);
// The same for a place on a back page: first moved against the back's offset.
QRectF calibratedBackRect(const QRectF& placeMm, const QSizeF& pageMm,
                          const PrinterCalibration& calibration);

// The place of a back behind a face at `faceMm`: mirrored about the page's middle line along
// the duplex edge (the long edge flips left and right on an upright page), or the same place
// when the profile does not mirror backs.
QRectF backBehind(const QRectF& faceMm, const PrintProfile& profile);

// A calibration page for a sheet profile: a 100 mm ruler across and one down with millimetre
// ticks, crosses near the corners and in the middle, and a back page whose crosses fall behind
// the front's. Drawn true to the millimetre, no calibration applied, so that what the page
// measures is what the printer does. Whole or not at all.
bool writeCalibrationPage(const QString& path, const PrintProfile& profile, QString* error);

}  // namespace orvane
