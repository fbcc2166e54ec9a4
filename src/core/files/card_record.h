// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <array>

namespace orvane {

struct CardRecordInput {
    QString name;
    std::array<QString, 4> sides;  // number box texts: 0 top, 1 left, 2 right, 3 bottom
    int total = 0;
    int element = 8;  // element option index
    QString date;     // short date text
};

// The ten-line card data record, CRLF line ends, 8-bit text in the system code page.
QByteArray cardRecord(const CardRecordInput& input);

}  // namespace orvane
