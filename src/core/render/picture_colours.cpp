// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/picture_colours.h"

#include "card/palette_file.h"
#include "render/card_parts.h"

#include <libimagequant.h>

#include <QHash>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace orvane {

namespace {

constexpr QRgb Black = 0xFF000000u;
constexpr QRgb DarkVisible = 0xFF010101u;

bool visible(QRgb pixel)
{
    return (pixel | Black) != Black;
}

struct Colour {
    float r, g, b;
};

Colour colourOf(QRgb pixel)
{
    return {float(qRed(pixel)), float(qGreen(pixel)), float(qBlue(pixel))};
}

// The nearest of `palette` (none pure black) to a colour. A large palette keeps a cache of the
// answers (a card-sized picture repeats its colours); a small one is searched faster than that.
class NearestColour {
public:
    explicit NearestColour(const std::vector<QRgb>& palette)
        : m_palette(palette), m_cached(palette.size() > 64)
    {
    }

    QRgb operator()(Colour c)
    {
        const int r = std::clamp(int(c.r + 0.5f), 0, 255);
        const int g = std::clamp(int(c.g + 0.5f), 0, 255);
        const int b = std::clamp(int(c.b + 0.5f), 0, 255);
        const QRgb key = qRgb(r, g, b);
        if (m_cached) {
            const auto known = m_cache.constFind(key);
            if (known != m_cache.cend())
                return *known;
        }
        QRgb best = m_palette.front();
        int bestDistance = std::numeric_limits<int>::max();
        for (const QRgb p : m_palette) {
            const int dr = qRed(p) - r;
            const int dg = qGreen(p) - g;
            const int db = qBlue(p) - b;
            // Weighted as the eye weighs the channels, so dark greens and blues map sensibly.
            const int distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = p;
            }
        }
        if (m_cached)
            m_cache.insert(key, best);
        return best;
    }

private:
    const std::vector<QRgb>& m_palette;
    bool m_cached = false;
    QHash<QRgb, QRgb> m_cache;
};

// The palette a visible pixel may take: no pure black, no repeats.
std::vector<QRgb> visibleColours(const std::vector<QRgb>& colours)
{
    std::vector<QRgb> out;
    for (const QRgb colour : colours) {
        const QRgb opaque = colour | Black;
        if (opaque != Black && std::find(out.begin(), out.end(), opaque) == out.end())
            out.push_back(opaque);
    }
    return out;
}

constexpr std::array<std::array<int, 4>, 4> Bayer = {{
    {0, 8, 2, 10},
    {12, 4, 14, 6},
    {3, 11, 1, 9},
    {15, 7, 13, 5},
}};

// Every visible pixel of `image` set to a colour of `palette`, dithered as `fit` says.
void mapColours(QImage& image, const std::vector<QRgb>& palette, const PictureFit& fit)
{
    NearestColour nearest(palette);
    const int w = image.width();
    const int h = image.height();
    const float strength = float(std::clamp(fit.ditherStrength, 0, MaxDitherStrength)) / 100.0f;
    // The ordered pattern's reach: about the distance between neighbouring palette colours.
    const float spread =
        std::clamp(255.0f / std::cbrt(float(palette.size())), 16.0f, 128.0f) * strength;
    std::vector<Colour> errors;
    if (fit.dither == Dither::Diffusion)
        errors.assign(size_t(w + 2) * 2, Colour{0, 0, 0});
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        Colour* here = errors.empty() ? nullptr : errors.data() + size_t(y % 2) * size_t(w + 2) + 1;
        Colour* below =
            errors.empty() ? nullptr : errors.data() + size_t((y + 1) % 2) * size_t(w + 2) + 1;
        if (below)
            std::fill(below - 1, below + w + 1, Colour{0, 0, 0});
        for (int x = 0; x < w; ++x) {
            if (!visible(line[x]))
                continue;  // transparent: takes no colour and passes on no error
            Colour c = colourOf(line[x]);
            if (fit.dither == Dither::Ordered) {
                const float t = (float(Bayer[size_t(y & 3)][size_t(x & 3)]) + 0.5f) / 16.0f - 0.5f;
                c = {c.r + t * spread, c.g + t * spread, c.b + t * spread};
            } else if (here) {
                c = {c.r + here[x].r, c.g + here[x].g, c.b + here[x].b};
            }
            const QRgb chosen = nearest(c);
            line[x] = chosen;
            if (!here)
                continue;
            // Floyd-Steinberg: 7/16 right, 3/16 below left, 5/16 below, 1/16 below right.
            const Colour e{(c.r - float(qRed(chosen))) * strength,
                           (c.g - float(qGreen(chosen))) * strength,
                           (c.b - float(qBlue(chosen))) * strength};
            const auto add = [](Colour& to, const Colour& error, float share) {
                to.r += error.r * share;
                to.g += error.g * share;
                to.b += error.b * share;
            };
            add(here[x + 1], e, 7.0f / 16.0f);
            add(below[x - 1], e, 3.0f / 16.0f);
            add(below[x], e, 5.0f / 16.0f);
            add(below[x + 1], e, 1.0f / 16.0f);
        }
    }
}

// The outline on the 4-neighbours of the shape: outside on the transparent pixels beside it,
// inside on the shape's pixels beside transparency. Pixels beyond the picture count as
// transparent except beyond the card's own edges (left, top, and right or bottom at 62).
QImage drawOutline(const QImage& image, const PictureFit& fit)
{
    const int side = 62;
    QImage out = image;
    if (fit.outline == Outline::Outside) {
        const QSize grown(std::min(image.width() + 1, side), std::min(image.height() + 1, side));
        if (grown != image.size()) {
            out = QImage(grown, QImage::Format_RGB32);
            out.fill(Black);
            for (int y = 0; y < image.height(); ++y)
                std::copy_n(reinterpret_cast<const QRgb*>(image.constScanLine(y)), image.width(),
                            reinterpret_cast<QRgb*>(out.scanLine(y)));
        }
    }
    const int w = out.width();
    const int h = out.height();
    const QImage shape = out;
    const auto at = [&](int x, int y) {
        return reinterpret_cast<const QRgb*>(shape.constScanLine(y))[x];
    };
    const auto shapeAt = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < w && y < h && visible(at(x, y));
    };
    const auto transparentAt = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= side || y >= side)
            return false;
        return x >= w || y >= h || !visible(at(x, y));
    };
    const QRgb colour = fit.outlineColour | Black;
    const QRgb drawn = colour == Black ? DarkVisible : colour;
    constexpr std::array<QPoint, 4> Steps = {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1),
                                             QPoint(0, -1)};
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const bool inShape = visible(at(x, y));
            if (fit.outline == Outline::Outside && inShape)
                continue;
            if (fit.outline == Outline::Inside && !inShape)
                continue;
            bool edge = false;
            for (const QPoint step : Steps) {
                const int nx = x + step.x();
                const int ny = y + step.y();
                edge = edge || (inShape ? transparentAt(nx, ny) : shapeAt(nx, ny));
            }
            if (edge)
                line[x] = drawn;
        }
    }
    return out;
}

struct LiqAttrDeleter {
    void operator()(liq_attr* a) const { liq_attr_destroy(a); }
};
struct LiqImageDeleter {
    void operator()(liq_image* i) const { liq_image_destroy(i); }
};
struct LiqResultDeleter {
    void operator()(liq_result* r) const { liq_result_destroy(r); }
};

}  // namespace

std::vector<QRgb> reducedColours(const QImage& prepared, int count)
{
    // Only the visible pixels, in one row: transparency must not take a palette entry.
    std::vector<unsigned char> rgba;
    const QImage image = prepared.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (visible(line[x]))
                rgba.insert(rgba.end(), {static_cast<unsigned char>(qRed(line[x])),
                                         static_cast<unsigned char>(qGreen(line[x])),
                                         static_cast<unsigned char>(qBlue(line[x])), 255});
    }
    if (rgba.empty())
        return {};
    const std::unique_ptr<liq_attr, LiqAttrDeleter> attr(liq_attr_create());
    // Speed 8 of 1 to 10: a card-sized picture needs no exhaustive search, and the preview is
    // made again on every step of a drag.
    if (!attr ||
        liq_set_max_colors(attr.get(), std::clamp(count, MinColours, MaxColours)) != LIQ_OK ||
        liq_set_speed(attr.get(), 8) != LIQ_OK)
        return {};
    const std::unique_ptr<liq_image, LiqImageDeleter> input(
        liq_image_create_rgba(attr.get(), rgba.data(), int(rgba.size() / 4), 1, 0.0));
    liq_result* raw = nullptr;
    if (!input || liq_image_quantize(input.get(), attr.get(), &raw) != LIQ_OK || !raw)
        return {};
    const std::unique_ptr<liq_result, LiqResultDeleter> result(raw);
    const liq_palette* palette = liq_get_palette(result.get());
    std::vector<QRgb> out;
    for (unsigned k = 0; palette && k < palette->count; ++k) {
        QRgb colour = qRgb(palette->entries[k].r, palette->entries[k].g, palette->entries[k].b);
        if (colour == Black)
            colour = DarkVisible;  // a reduced dark colour stays visible
        if (std::find(out.begin(), out.end(), colour) == out.end())
            out.push_back(colour);
    }
    return out;
}

QImage applyPictureColours(const QImage& prepared, const PictureFit& fit)
{
    if (prepared.isNull() || !fit.changesColours())
        return prepared;
    QImage image = prepared.convertToFormat(QImage::Format_RGB32);
    std::vector<QRgb> palette;
    if (fit.colours == ColourMode::Reduce)
        palette = reducedColours(image, fit.colourCount);
    else if (fit.colours == ColourMode::Palette)
        palette = visibleColours(fit.paletteColours);
    if (!palette.empty())
        mapColours(image, palette, fit);
    if (fit.outline != Outline::None)
        image = drawOutline(image, fit);
    return image;
}

std::vector<QRgb> cardPartColours(const CardParts& parts)
{
    QHash<QRgb, qint64> uses;
    const auto count = [&](const QImage& picture) {
        const QImage image = picture.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if (visible(line[x]))
                    ++uses[line[x] | Black];
        }
    };
    for (const QImage& p : parts.frames)
        count(p);
    for (const QImage& p : parts.elements)
        count(p);
    for (const QImage& p : parts.arrows)
        count(p);
    for (const QImage& p : parts.digits)
        count(p);
    count(parts.noElement);
    count(parts.blueBase);
    count(parts.redBase);
    std::vector<std::pair<qint64, QRgb>> ranked;
    for (auto it = uses.cbegin(); it != uses.cend(); ++it)
        ranked.emplace_back(it.value(), it.key());
    // The most used first; equal uses by colour, so the order never depends on the hash.
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    std::vector<QRgb> out;
    for (const auto& [used, colour] : ranked) {
        if (out.size() == size_t(MaxColours))
            break;
        out.push_back(colour);
    }
    return out;
}

bool resolvePalette(PictureFit& fit, const CardParts* parts, QString* error)
{
    if (fit.colours != ColourMode::Palette || !fit.paletteColours.empty())
        return true;
    if (fit.palette == QLatin1String(PartsPaletteName)) {
        if (!parts) {
            *error = QStringLiteral("palette: the card parts are not at hand");
            return false;
        }
        fit.paletteColours = cardPartColours(*parts);
        return true;
    }
    const PaletteRead read = readPaletteFile(fit.palette);
    if (!read.error.isEmpty()) {
        *error = QStringLiteral("palette: %1").arg(read.error);
        return false;
    }
    fit.paletteColours = read.colours;
    return true;
}

}  // namespace orvane
