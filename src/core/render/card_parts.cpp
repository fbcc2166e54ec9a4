// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/card_parts.h"

#include "card/card_rules.h"
#include "render/asset_catalogue.h"
#include "render/compositor.h"
#include "render/part_pack.h"
#include "render/picture_cache.h"
#include "render/picture_prep.h"

#include <QDir>
#include <QStringList>

// The compiled-in resources live in a static library, so they are registered explicitly; the
// macro must be used outside any namespace.
static void registerCardBases()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(card_bases);
        return true;
    }();
    (void)registered;
}

namespace orvane {
namespace {

QImage builtinBase(const char* resource)
{
    registerCardBases();
    return QImage(QLatin1String(resource)).convertToFormat(QImage::Format_RGB32);
}

}  // namespace

QImage cleanBlueBase()
{
    static const QImage base = builtinBase(":/card/bluebase.xpm");
    return base;
}

QImage cleanRedBase()
{
    static const QImage base = builtinBase(":/card/redbase.xpm");
    return base;
}

std::optional<CardParts> CardParts::load(const QString& root, QString* error)
{
    QStringList problems;
    const auto read = [&](const QString& name) {
        QString why;
        QImage image = readPictureFile(QDir(root).filePath(name), PictureCache::MaxSide, &why);
        if (image.isNull())
            problems << QStringLiteral("%1 (%2)").arg(name, why);
        return image;
    };

    CardParts parts;
    for (int k = 0; k < assets::FrameCount; ++k)
        parts.frames[size_t(k)] = read(assets::frameFile(k));
    for (int k = 0; k < assets::ElementCount; ++k)
        parts.elements[size_t(k)] = read(assets::elementFile(k));
    parts.noElement = parts.elements[ElementNone];
    for (int d = 0; d < 9; ++d)
        parts.digits[size_t(d)] = read(*assets::digitFile(QString::number(d + 1)));
    parts.digits[9] = read(*assets::digitFile(QStringLiteral("A")));
    for (int i = 0; i < assets::ArrowCount; ++i)
        parts.arrows[size_t(i)] = read(assets::arrowFile(i));
    parts.blueBase = cleanBlueBase();
    parts.redBase = cleanRedBase();

    if (!problems.isEmpty()) {
        if (error)
            *error = QStringLiteral("%1 of the %2 card parts in %3 cannot be read:\n  %4")
                         .arg(problems.size())
                         .arg(assets::allFiles().size())
                         .arg(QDir::toNativeSeparators(QDir(root).filePath(QStringLiteral("gfx"))),
                              problems.join(QStringLiteral("\n  ")));
        return std::nullopt;
    }
    return parts;
}

const QImage* CardParts::digit(const QString& text) const
{
    return const_cast<CardParts*>(this)->digit(text);
}

QImage* CardParts::digit(const QString& text)
{
    if (!sideIsDrawable(text))
        return nullptr;
    const QChar c = text.front();
    return c.isDigit() ? &digits[size_t(c.unicode() - '1')] : &digits[9];
}

RenderedCard renderCard(const Card& card, const CardParts& parts)
{
    return renderCard(card, parts, card.sides);
}

RenderedCard renderCard(const Card& card, const CardParts& parts,
                        const std::array<QString, 4>& drawnSides)
{
    CardLayers layers;
    QImage scaledPicture;
    if (parts.scale > 1 && !card.mainPicture.isNull()) {
        scaledPicture =
            card.preparation.source.isNull()
                ? enlargedPicture(card.mainPicture, parts.scale)
                : preparePictureAtScale(card.preparation.source, card.preparation.fit, parts.scale);
        layers.mainPicture = &scaledPicture;
    } else {
        layers.mainPicture = card.mainPicture.isNull() ? nullptr : &card.mainPicture;
    }
    for (size_t i = 0; i < layers.digits.size(); ++i)
        layers.digits[i] = parts.digit(drawnSides[i]);
    layers.frame = &parts.frames[size_t(frameForTotal(cardTotal(card.sides)))];
    layers.element = card.element >= 0 && card.element < ElementOptionCount
                         ? &parts.elements[size_t(card.element)]
                         : nullptr;
    for (size_t i = 0; i < layers.arrows.size(); ++i)
        layers.arrows[i] = card.arrows[i] ? &parts.arrows[i] : &parts.noElement;

    RenderedCard rendered;
    rendered.blue = QImage(parts.blueBase.size(), QImage::Format_RGB32);
    rendered.red = QImage(parts.redBase.size(), QImage::Format_RGB32);
    composeCardAtScale(rendered.blue, parts.blueBase, layers, card.placement, card.x, card.y,
                       parts.scale);
    composeCardAtScale(rendered.red, parts.redBase, layers, card.placement, card.x, card.y,
                       parts.scale);
    return rendered;
}

}  // namespace orvane
