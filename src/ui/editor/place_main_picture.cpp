// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/place_main_picture.h"

#include "document/card_document.h"
#include "render/picture_prep.h"

#include <utility>

namespace orvane {

bool placeMainPicture(CardDocument& document, const QImage& picture, const QString& path,
                      QByteArray encoded)
{
    if (picture.width() <= PreparedPictureMaxSide && picture.height() <= PreparedPictureMaxSide) {
        document.setMainPicture(picture, path);
        return false;
    }
    const PictureFit fit = asLoadedFit(picture.size());
    document.setMainPicture(preparePicture(picture, fit), path, {picture, fit, std::move(encoded)});
    return true;
}

}  // namespace orvane
