// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

class QImage;

namespace orvane {

class CardDocument;

// Makes `picture` the document's main picture, in one step; `path` is where it came from (empty:
// pasted). The scroll bars move a picture right and down only, so nothing beyond its upper-left
// 62 x 62 ever reaches the card: a larger picture is kept as that part, and once whole (with
// `encoded`, its own bytes, when there are any) as the source Prepare Main Picture... can still
// scale and pan. True when the picture was larger than the card.
bool placeMainPicture(CardDocument& document, const QImage& picture, const QString& path,
                      QByteArray encoded);

}  // namespace orvane
