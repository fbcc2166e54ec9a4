// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/picture_colours.h"

#include "card/palette_file.h"
#include "render/card_parts.h"

#include <libimagequant.h>

#include <QHash>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

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

// The nearest of `palette` (none pure black, at most 256 colours) to a colour, weighted as the
// eye weighs the channels so that dark greens and blues map sensibly. Each distance (a whole
// number below 2^20, exact in floats) is kept with its colour's index in the low byte, so the
// smallest of them names the first nearest colour, as a search in order finds it, and the
// search runs side by side over the palette. The answers are kept in a small table: a
// card-sized picture asks for the same colour again and again.
class NearestColour {
public:
    explicit NearestColour(const std::vector<QRgb>& palette) : m_palette(palette)
    {
        for (const QRgb p : palette) {
            m_red.push_back(float(qRed(p)));
            m_green.push_back(float(qGreen(p)));
            m_blue.push_back(float(qBlue(p)));
        }
        m_known.fill(Unknown);
    }

    QRgb operator()(Colour c)
    {
        const int r = std::clamp(int(c.r + 0.5f), 0, 255);
        const int g = std::clamp(int(c.g + 0.5f), 0, 255);
        const int b = std::clamp(int(c.b + 0.5f), 0, 255);
        const quint32 key = quint32(r << 16 | g << 8 | b);
        Known& known = m_known[(key * 2654435761u) >> (32 - KnownBits)];
        if (known.key == key)
            return m_palette[known.index];
        const int n = int(m_palette.size());
        const float fr = float(r), fg = float(g), fb = float(b);
        const float* __restrict red = m_red.data();
        const float* __restrict green = m_green.data();
        const float* __restrict blue = m_blue.data();
        std::int32_t nearest = std::numeric_limits<std::int32_t>::max();
        for (int k = 0; k < n; ++k) {
            const float dr = red[k] - fr;
            const float dg = green[k] - fg;
            const float db = blue[k] - fb;
            const auto distance = std::int32_t(3.0f * dr * dr + 4.0f * dg * dg + 2.0f * db * db);
            nearest = std::min(nearest, distance << 8 | k);
        }
        const auto index = quint32(nearest & 0xFF);
        known = {key, index};
        return m_palette[index];
    }

private:
    static constexpr int KnownBits = 12;
    struct Known {
        quint32 key;  // 0xRRGGBB, or Unknown
        quint32 index;
    };
    static constexpr Known Unknown = {0xFFFFFFFFu, 0};
    const std::vector<QRgb>& m_palette;
    std::vector<float> m_red, m_green, m_blue;
    std::array<Known, size_t(1) << KnownBits> m_known;
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

struct LiqHistogramDeleter {
    void operator()(liq_histogram* h) const { liq_histogram_destroy(h); }
};
struct LiqAttrDeleter {
    void operator()(liq_attr* a) const { liq_attr_destroy(a); }
};
struct LiqImageDeleter {
    void operator()(liq_image* i) const { liq_image_destroy(i); }
};
struct LiqResultDeleter {
    void operator()(liq_result* r) const { liq_result_destroy(r); }
};

// A picture with few colours gives each of them with its count, so that a palette with room
// for all keeps them exactly.
constexpr size_t ExactHistogramColours = 256;

// At most this many boxes (or four for each palette colour), whose means the quantiser weighs:
// its work grows with them, about 0.15 microseconds each.
constexpr size_t HistogramBoxes = 512;

liq_histogram_entry histogramEntry(quint64 red, quint64 green, quint64 blue, quint64 pixels)
{
    liq_histogram_entry e{};
    e.color = {uchar((red + pixels / 2) / pixels), uchar((green + pixels / 2) / pixels),
               uchar((blue + pixels / 2) / pixels), 255};
    e.count = unsigned(pixels);
    return e;
}

// The box of a colour at `bits` bits a channel.
quint32 boxOf(QRgb c, int bits)
{
    const int drop = 8 - bits;
    return quint32((qRed(c) >> drop) << (2 * bits) | (qGreen(c) >> drop) << bits |
                   (qBlue(c) >> drop));
}

// `colours` (0xRRGGBB) gathered into boxes of 2^(8 - bits) levels a channel, each the mean
// colour of its pixels with their count, in the order of the boxes. Coarse boxes are tallied in
// a table of every box; fine ones, of which a card-sized picture fills few, by sorting.
std::vector<liq_histogram_entry> boxesOf(const std::vector<QRgb>& colours, int bits)
{
    std::vector<liq_histogram_entry> boxes;
    if (bits <= 4) {
        struct Sum {
            quint64 red = 0, green = 0, blue = 0, pixels = 0;
        };
        std::vector<Sum> sums(size_t(1) << (3 * bits));
        for (const QRgb c : colours) {
            Sum& sum = sums[boxOf(c, bits)];
            sum.red += quint64(qRed(c));
            sum.green += quint64(qGreen(c));
            sum.blue += quint64(qBlue(c));
            ++sum.pixels;
        }
        for (const Sum& sum : sums)
            if (sum.pixels > 0)
                boxes.push_back(histogramEntry(sum.red, sum.green, sum.blue, sum.pixels));
        return boxes;
    }
    std::vector<quint64> keyed;  // box, then colour: a box's pixels adjoin once sorted
    keyed.reserve(colours.size());
    for (const QRgb c : colours)
        keyed.push_back(quint64(boxOf(c, bits)) << 24 | c);
    std::sort(keyed.begin(), keyed.end());
    for (size_t k = 0; k < keyed.size();) {
        quint64 r = 0, g = 0, b = 0;
        size_t end = k;
        for (; end < keyed.size() && keyed[end] >> 24 == keyed[k] >> 24; ++end) {
            r += qRed(QRgb(keyed[end]));
            g += qGreen(QRgb(keyed[end]));
            b += qBlue(QRgb(keyed[end]));
        }
        boxes.push_back(histogramEntry(r, g, b, end - k));
        k = end;
    }
    return boxes;
}

// Each colour of `colours` with its count, in the order first seen; empty when there are more
// than ExactHistogramColours (told as soon as one more is seen).
std::vector<liq_histogram_entry> exactHistogram(const std::vector<QRgb>& colours)
{
    constexpr int SlotBits = 9;  // twice the colours kept, so the probes stay short
    constexpr quint32 Empty = 0xFFFFFFFFu;
    std::array<quint32, size_t(1) << SlotBits> keys;
    std::array<quint32, size_t(1) << SlotBits> entry;
    keys.fill(Empty);
    std::vector<liq_histogram_entry> exact;
    for (const QRgb c : colours) {
        size_t slot = (c * 2654435761u) >> (32 - SlotBits);
        while (keys[slot] != Empty && keys[slot] != c)
            slot = (slot + 1) & (keys.size() - 1);
        if (keys[slot] == Empty) {
            if (exact.size() == ExactHistogramColours)
                return {};
            keys[slot] = c;
            entry[slot] = quint32(exact.size());
            exact.push_back({{uchar(qRed(c)), uchar(qGreen(c)), uchar(qBlue(c)), 255}, 0});
        }
        ++exact[entry[slot]].count;
    }
    return exact;
}

// The visible pixels' colours as the quantiser's histogram: each colour and its count when
// there are few; else the pixels gathered into boxes, as fine as the box count allows (finer
// for larger palettes), each given as the mean colour of its pixels. A card-sized photo has
// thousands of colours, which the quantiser would weigh one by one; the boxes are finer than
// the palette's own, and a box's mean keeps its colour.
std::vector<liq_histogram_entry> visibleHistogram(const QImage& prepared, int count)
{
    const QImage image = prepared.convertToFormat(QImage::Format_RGB32);
    std::vector<QRgb> colours;
    colours.reserve(size_t(image.width()) * size_t(image.height()));
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x)
            if (visible(line[x]))
                colours.push_back(line[x] & 0xFFFFFFu);
    }
    if (colours.empty())
        return {};
    if (std::vector<liq_histogram_entry> exact = exactHistogram(colours); !exact.empty())
        return exact;
    const size_t most = std::max(HistogramBoxes, size_t(count) * 4);
    std::vector<liq_histogram_entry> boxes;
    for (int bits = count <= 16 ? 3 : count <= 64 ? 4 : count <= 128 ? 5 : 6; bits >= 2; --bits) {
        boxes = boxesOf(colours, bits);
        if (boxes.size() <= most)
            break;
    }
    return boxes;
}

}  // namespace

std::vector<QRgb> reducedColours(const QImage& prepared, int count)
{
    count = std::clamp(count, MinColours, MaxColours);
    const std::vector<liq_histogram_entry> histogram = visibleHistogram(prepared, count);
    if (histogram.empty())
        return {};
    const std::unique_ptr<liq_attr, LiqAttrDeleter> attr(liq_attr_create());
    // Speed 7 of 1 to 10: a card-sized picture needs no exhaustive search, and the preview is
    // made again on every step of a drag; from 8 up, the quantiser leaves out the refining
    // pass that a histogram (unlike a whole picture) needs: two regions of colour asked for two
    // colours come out as one of them and a mix.
    if (!attr || liq_set_max_colors(attr.get(), count) != LIQ_OK ||
        liq_set_speed(attr.get(), 7) != LIQ_OK)
        return {};
    const std::unique_ptr<liq_histogram, LiqHistogramDeleter> colours(
        liq_histogram_create(attr.get()));
    if (!colours || liq_histogram_add_colors(colours.get(), attr.get(), histogram.data(),
                                             int(histogram.size()), 0.0) != LIQ_OK)
        return {};
    liq_result* raw = nullptr;
    if (liq_histogram_quantize(colours.get(), attr.get(), &raw) != LIQ_OK || !raw)
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
