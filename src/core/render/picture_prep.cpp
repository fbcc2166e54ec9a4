// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/picture_prep.h"

#include "render/picture_colours.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace orvane {

namespace {

constexpr QRgb Black = 0xFF000000u;
constexpr QRgb DarkVisible = 0xFF010101u;
// The preview's reduced copy is this many times the scaled picture's size: enough for the
// area average to look like the full source's, little enough to redo on every pan.
constexpr int PreviewOversample = 4;

QImage rgb32(const QImage& image)
{
    if (image.isNull() || image.format() == QImage::Format_RGB32)
        return image;
    return image.convertToFormat(QImage::Format_RGB32);
}

int floorHalf(int value)
{
    return value >= 0 ? value / 2 : -((1 - value) / 2);
}

// numerator / denominator rounded half up, both positive.
int roundedRatio(qint64 numerator, qint64 denominator)
{
    return int((2 * numerator + denominator) / (2 * denominator));
}

QSize scaledSize(QSize source, const PictureFit& fit, int scale)
{
    const qint64 w = source.width();
    const qint64 h = source.height();
    const qint64 side = qint64(PreparedPictureMaxSide) * scale;
    switch (fit.mode) {
    case FitMode::Fit:
        if (w >= h)
            return {int(side), std::max(1, roundedRatio(side * h, w))};
        return {std::max(1, roundedRatio(side * w, h)), int(side)};
    case FitMode::Fill:
        if (w <= h)
            return {int(side), std::max(1, roundedRatio(side * h, w))};
        return {std::max(1, roundedRatio(side * w, h)), int(side)};
    case FitMode::None: return source * scale;
    case FitMode::Percent: break;
    }
    const double factor =
        std::clamp(fit.scalePercent, MinScalePercent, MaxScalePercent) / 100.0 * scale;
    return {std::max(1, int(std::lround(double(w) * factor))),
            std::max(1, int(std::lround(double(h) * factor)))};
}

bool near(QRgb pixel, QRgb reference, int tolerance)
{
    return std::abs(qRed(pixel) - qRed(reference)) <= tolerance &&
           std::abs(qGreen(pixel) - qGreen(reference)) <= tolerance &&
           std::abs(qBlue(pixel) - qBlue(reference)) <= tolerance;
}

// Mask states while flooding: 0 background (filled), Candidate near the current corner's colour
// but not reached yet, 255 subject.
constexpr quint8 Candidate = 1;

void markCandidates(const QImage& image, std::vector<quint8>& mask, QRgb seed, int tolerance)
{
    const int w = image.width();
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        quint8* m = mask.data() + size_t(y) * size_t(w);
        for (int x = 0; x < w; ++x)
            if (m[x] != 0)
                m[x] = near(line[x], seed, tolerance) ? Candidate : 255;
    }
}

// Scanline flood over the candidates connected (4-neighbours) to (x, y).
void floodCandidates(std::vector<quint8>& mask, int w, int h, int x, int y)
{
    std::vector<QPoint> stack{{x, y}};
    while (!stack.empty()) {
        const QPoint at = stack.back();
        stack.pop_back();
        quint8* row = mask.data() + size_t(at.y()) * size_t(w);
        if (row[at.x()] != Candidate)
            continue;
        int left = at.x();
        while (left > 0 && row[left - 1] == Candidate)
            --left;
        int right = at.x();
        while (right + 1 < w && row[right + 1] == Candidate)
            ++right;
        std::fill(row + left, row + right + 1, quint8(0));
        for (const int ny : {at.y() - 1, at.y() + 1}) {
            if (ny < 0 || ny >= h)
                continue;
            const quint8* next = mask.data() + size_t(ny) * size_t(w);
            bool inRun = false;
            for (int i = left; i <= right; ++i) {
                const bool open = next[i] == Candidate;
                if (open && !inRun)
                    stack.emplace_back(i, ny);
                inRun = open;
            }
        }
    }
}

struct Tap {
    int index;
    float weight;
};

// For each scaled coordinate from..to-1 on one axis, the source pixels it is made of and their
// weights (summing to 1): nearest; an area average when shrinking; bilinear when enlarging.
std::vector<std::vector<Tap>> axisTaps(int sourceLength, int scaledLength, int from, int to,
                                       Resample resample)
{
    const double ratio = double(sourceLength) / double(scaledLength);
    const int last = sourceLength - 1;
    std::vector<std::vector<Tap>> taps(size_t(to - from));
    for (int o = from; o < to; ++o) {
        std::vector<Tap>& out = taps[size_t(o - from)];
        if (resample == Resample::Nearest) {
            out.push_back({std::clamp(int(std::floor((o + 0.5) * ratio)), 0, last), 1.0f});
        } else if (ratio > 1.0) {
            const double start = o * ratio;
            const double end = std::min((o + 1) * ratio, double(sourceLength));
            for (int i = int(std::floor(start)); i < end; ++i) {
                const double part = std::min(end, i + 1.0) - std::max(start, double(i));
                if (part > 0.0)
                    out.push_back({std::min(i, last), float(part / ratio)});
            }
        } else {
            const double centre = (o + 0.5) * ratio - 0.5;
            const int below = int(std::floor(centre));
            const float t = float(centre - below);
            out.push_back({std::clamp(below, 0, last), 1.0f - t});
            out.push_back({std::clamp(below + 1, 0, last), t});
        }
    }
    return taps;
}

// Resamples the part `region` (in scaled coordinates) of `source` scaled to `scaled`, calling
// sink(u, v, r, g, b, a) for each of its pixels with the colour premultiplied by the subject
// share a (0..1). `alpha` is one value per source pixel, or null when all is subject.
template <typename Sink>
void resampleRegion(const QImage& source, const quint8* alpha, QSize scaled, QRect region,
                    Resample resample, Sink sink)
{
    const auto columns =
        axisTaps(source.width(), scaled.width(), region.left(), region.right() + 1, resample);
    const auto rows =
        axisTaps(source.height(), scaled.height(), region.top(), region.bottom() + 1, resample);
    int low = source.width();
    int high = 0;
    for (const auto& taps : columns)
        for (const Tap& tap : taps) {
            low = std::min(low, tap.index);
            high = std::max(high, tap.index + 1);
        }
    const size_t width = size_t(source.width());
    std::vector<float> sums(size_t(high - low) * 4);
    for (int v = 0; v < region.height(); ++v) {
        std::fill(sums.begin(), sums.end(), 0.0f);
        for (const Tap& row : rows[size_t(v)]) {
            const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(row.index));
            float* s = sums.data();
            if (alpha) {
                const quint8* a = alpha + size_t(row.index) * width;
                for (int i = low; i < high; ++i, s += 4) {
                    const float w = row.weight * float(a[i]) * (1.0f / 255.0f);
                    s[0] += w * float(qRed(line[i]));
                    s[1] += w * float(qGreen(line[i]));
                    s[2] += w * float(qBlue(line[i]));
                    s[3] += w;
                }
            } else {
                for (int i = low; i < high; ++i, s += 4) {
                    s[0] += row.weight * float(qRed(line[i]));
                    s[1] += row.weight * float(qGreen(line[i]));
                    s[2] += row.weight * float(qBlue(line[i]));
                    s[3] += row.weight;
                }
            }
        }
        for (int u = 0; u < region.width(); ++u) {
            float r = 0, g = 0, b = 0, a = 0;
            for (const Tap& column : columns[size_t(u)]) {
                const float* s = sums.data() + size_t(column.index - low) * 4;
                r += column.weight * s[0];
                g += column.weight * s[1];
                b += column.weight * s[2];
                a += column.weight * s[3];
            }
            sink(u, v, r, g, b, a);
        }
    }
}

int channel(float premultiplied, float share)
{
    return std::clamp(int(premultiplied / share + 0.5f), 0, 255);
}

// The prepared picture of `geometry` sampled from `plane` (the source or a reduced copy of it).
QImage render(const QImage& plane, const SubjectMask& mask, const PictureGeometry& geometry,
              const PictureFit& fit)
{
    QImage out(geometry.prepared, QImage::Format_RGB32);
    out.fill(Black);
    const QRect onCard = QRect(geometry.offset, geometry.scaled) & QRect(QPoint(), out.size());
    if (onCard.isEmpty())
        return applyPictureColours(out, fit);
    const quint8* alpha = mask.isEmpty() ? nullptr : mask.values.data();
    const bool keepDark = fit.keepDarkVisible;
    uchar* bits = out.bits();
    const qsizetype stride = out.bytesPerLine();
    // A subject pixel that came out pure black would vanish; with the option it stays visible.
    const auto put = [&](int u, int v, QRgb pixel) {
        if (pixel == Black && keepDark)
            pixel = DarkVisible;
        reinterpret_cast<QRgb*>(bits + (onCard.top() + v) * stride)[onCard.left() + u] = pixel;
    };
    const QRect region = onCard.translated(-geometry.offset);
    if (geometry.scaled == plane.size()) {
        // Not scaled: every sample is one source pixel at full weight, so the resampling would
        // give each pixel back unchanged; it is copied, with the same subject test.
        for (int v = 0; v < region.height(); ++v) {
            const int y = region.top() + v;
            const auto* line = reinterpret_cast<const QRgb*>(plane.constScanLine(y));
            const quint8* a = alpha ? alpha + size_t(y) * size_t(plane.width()) : nullptr;
            for (int u = 0; u < region.width(); ++u) {
                const int x = region.left() + u;
                if (a && float(a[x]) * (1.0f / 255.0f) < 0.5f)
                    continue;  // background: stays pure black
                put(u, v, line[x] | Black);
            }
        }
        return applyPictureColours(out, fit);
    }
    resampleRegion(plane, alpha, geometry.scaled, region, fit.resample,
                   [&](int u, int v, float r, float g, float b, float a) {
                       if (a < 0.5f)
                           return;  // background: stays pure black
                       put(u, v, qRgb(channel(r, a), channel(g, a), channel(b, a)));
                   });
    return applyPictureColours(out, fit);
}

}  // namespace

PictureGeometry pictureGeometry(QSize source, const PictureFit& fit)
{
    return pictureGeometry(source, fit, 1);
}

PictureGeometry pictureGeometry(QSize source, const PictureFit& fit, int scale)
{
    PictureGeometry g;
    if (source.isEmpty() || scale < 1)
        return g;
    g.scaled = scaledSize(source, fit, scale);
    const int side = PreparedPictureMaxSide * scale;
    g.offset = {floorHalf(side - g.scaled.width()) + std::clamp(fit.panX, -MaxPan, MaxPan) * scale,
                floorHalf(side - g.scaled.height()) +
                    std::clamp(fit.panY, -MaxPan, MaxPan) * scale};
    const int right = g.offset.x() + g.scaled.width();
    const int bottom = g.offset.y() + g.scaled.height();
    const bool reaches = right > 0 && bottom > 0 && g.offset.x() < side && g.offset.y() < side;
    g.prepared = reaches ? QSize(std::min(right, side), std::min(bottom, side)) : QSize(1, 1);
    return g;
}

PictureFit asLoadedFit(QSize source)
{
    PictureFit fit;
    fit.mode = FitMode::None;
    fit.resample = Resample::Nearest;
    fit.panX = -floorHalf(PreparedPictureMaxSide - source.width());
    fit.panY = -floorHalf(PreparedPictureMaxSide - source.height());
    return fit;
}

SubjectMask subjectMask(const QImage& picture, const PictureFit& fit)
{
    SubjectMask mask;
    if (fit.key == KeyMode::None || picture.isNull())
        return mask;
    const QImage source = rgb32(picture);
    const int w = source.width();
    const int h = source.height();
    const int tolerance = std::clamp(fit.tolerance, 0, MaxTolerance);
    mask.values.assign(size_t(w) * size_t(h), 255);

    if (fit.key == KeyMode::Colour) {
        for (int y = 0; y < h; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
            quint8* m = mask.values.data() + size_t(y) * size_t(w);
            for (int x = 0; x < w; ++x)
                if (near(line[x], fit.keyColour, tolerance))
                    m[x] = 0;
        }
        return mask;
    }

    bool marked = false;
    QRgb markedFor = 0;
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)}) {
        const size_t at = size_t(corner.y()) * size_t(w) + size_t(corner.x());
        if (mask.values[at] == 0)
            continue;  // flooded from an earlier corner
        const QRgb seed = source.pixel(corner) | Black;
        if (!marked || seed != markedFor)
            markCandidates(source, mask.values, seed, tolerance);
        marked = true;
        markedFor = seed;
        floodCandidates(mask.values, w, h, corner.x(), corner.y());
    }
    for (quint8& value : mask.values)
        if (value == Candidate)
            value = 255;
    return mask;
}

QImage preparePicture(const QImage& source, const PictureFit& fit)
{
    if (source.isNull())
        return {};
    const QImage plane = rgb32(source);
    return render(plane, subjectMask(plane, fit), pictureGeometry(plane.size(), fit), fit);
}

QImage preparePictureAtScale(const QImage& source, const PictureFit& fit, int scale)
{
    if (source.isNull())
        return {};
    const QImage plane = rgb32(source);
    return render(plane, subjectMask(plane, fit), pictureGeometry(plane.size(), fit, scale), fit);
}

QImage preparePicture(const QImage& source, const SubjectMask& mask, const PictureFit& fit)
{
    if (source.isNull())
        return {};
    return render(rgb32(source), mask, pictureGeometry(source.size(), fit), fit);
}

PicturePreview::PicturePreview(const QImage& source) : m_source(rgb32(source)) {}

void PicturePreview::updateMask(const PictureFit& fit)
{
    const bool sameKey =
        m_maskValid && m_maskFit.key == fit.key &&
        (fit.key == KeyMode::None || (m_maskFit.tolerance == fit.tolerance &&
                                      (fit.key != KeyMode::Colour ||
                                       (m_maskFit.keyColour | Black) == (fit.keyColour | Black))));
    if (!sameKey) {
        m_mask = subjectMask(m_source, fit);
        m_maskFit = fit;
        m_maskValid = true;
        m_reducedFor = {};
    }
}

void PicturePreview::updateReduced(const PictureFit& fit)
{
    const QSize scaled = pictureGeometry(m_source.size(), fit).scaled;
    const QSize reduced = scaled * PreviewOversample;
    if (m_source.width() <= reduced.width() || m_source.height() <= reduced.height()) {
        m_reduced = {};
        m_reducedMask = {};
        m_reducedFor = {};
        return;
    }
    if (!m_reduced.isNull() && m_reducedFor == scaled && m_reducedResample == fit.resample)
        return;

    // The reduced copy keeps how much of each of its pixels is subject, so the preview's
    // background edge falls where the full source's does.
    m_reduced = QImage(reduced, QImage::Format_RGB32);
    m_reducedMask = {};
    if (!m_mask.isEmpty())
        m_reducedMask.values.assign(size_t(reduced.width()) * size_t(reduced.height()), 0);
    const quint8* alpha = m_mask.isEmpty() ? nullptr : m_mask.values.data();
    resampleRegion(m_source, alpha, reduced, QRect(QPoint(), reduced), fit.resample,
                   [&](int u, int v, float r, float g, float b, float a) {
                       auto* line = reinterpret_cast<QRgb*>(m_reduced.scanLine(v));
                       line[u] =
                           a > 0.0f ? qRgb(channel(r, a), channel(g, a), channel(b, a)) : Black;
                       if (!m_reducedMask.isEmpty())
                           m_reducedMask.values[size_t(v) * size_t(reduced.width()) + size_t(u)] =
                               quint8(std::clamp(int(a * 255.0f + 0.5f), 0, 255));
                   });
    m_reducedFor = scaled;
    m_reducedResample = fit.resample;
}

QImage PicturePreview::prepared(const PictureFit& fit)
{
    if (m_source.isNull())
        return {};
    updateMask(fit);
    updateReduced(fit);
    const PictureGeometry geometry = pictureGeometry(m_source.size(), fit);
    if (m_reduced.isNull())
        return render(m_source, m_mask, geometry, fit);
    return render(m_reduced, m_reducedMask, geometry, fit);
}

QImage PicturePreview::finished(const PictureFit& fit)
{
    if (m_source.isNull())
        return {};
    updateMask(fit);
    return render(m_source, m_mask, pictureGeometry(m_source.size(), fit), fit);
}

}  // namespace orvane
