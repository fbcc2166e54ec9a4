// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QRgb>
#include <QString>

#include <vector>

namespace orvane {

// A palette read from a file the user gives: GIMP palettes (.gpl: a "GIMP Palette" line, optional
// "Name:" and "Columns:" lines and # comments, then "R G B [name]" lines), JASC palettes (.pal:
// "JASC-PAL", "0100", the count, then "R G B" lines) and plain lists (.hex and others: one colour
// a line, "rrggbb" or "#rrggbb"). Blank lines are skipped everywhere.
struct PaletteRead {
    std::vector<QRgb> colours;  // in the file's order, repeats dropped; empty on failure
    QString error;              // what is wrong, naming the line; empty on success
};

// The palette in `text`; `fileName` chooses the format by its suffix when the first line does not.
// Refused: no colour at all, more than 256 colours, a line that is not a colour, or only pure
// black (every pixel would vanish).
PaletteRead parsePalette(const QByteArray& text, const QString& fileName);

// The palette in the file at `path` (a regular file of at most a megabyte).
PaletteRead readPaletteFile(const QString& path);

}  // namespace orvane
