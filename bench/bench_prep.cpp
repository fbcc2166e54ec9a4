// SPDX-License-Identifier: GPL-3.0-or-later
// Google Benchmark: preparing a 24-megapixel picture for the card.
//   cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DORVANE_BENCH=ON
//   cmake --build build-bench --target bench_prep
//   build-bench/bin/bench_prep
// BM_PreviewPan is one preview update while dragging (prepare from the reduced copy, then
// compose both cards); BM_Key* is the background key on the full source.

#include "render/compositor.h"
#include "render/picture_colours.h"
#include "render/picture_prep.h"

#include <QImage>

#include <benchmark/benchmark.h>

using namespace orvane;

namespace {

constexpr int PhotoWidth = 6000;
constexpr int PhotoHeight = 4000;

// A photo-like 24-megapixel picture: a slightly noisy pale background around a round subject
// with a colour gradient, so the corner flood fills most of the picture and stops at the disc.
const QImage& photo()
{
    static const QImage image = [] {
        QImage out(PhotoWidth, PhotoHeight, QImage::Format_RGB32);
        const qint64 cx = PhotoWidth / 2, cy = PhotoHeight / 2, r = 1500;
        quint32 noise = 12345;
        for (int y = 0; y < PhotoHeight; ++y) {
            auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < PhotoWidth; ++x) {
                noise = noise * 1664525u + 1013904223u;
                const int n = int(noise >> 29);  // 0..7
                const qint64 dx = x - cx, dy = y - cy;
                line[x] = dx * dx + dy * dy < r * r ? qRgb(x % 200 + 30, y % 180 + 40, 60 + n)
                                                    : qRgb(236 + n, 236 + n, 230 + n);
            }
        }
        return out;
    }();
    return image;
}

PictureFit fitFor(int mode)
{
    PictureFit fit;
    switch (mode) {
    case 0: fit.mode = FitMode::Fit; break;
    case 1: fit.mode = FitMode::Fill; break;
    case 2: fit.mode = FitMode::None; break;
    default:
        fit.mode = FitMode::Percent;
        fit.scalePercent = 5;
        break;
    }
    fit.key = KeyMode::Corners;
    fit.tolerance = 12;
    fit.keepDarkVisible = true;
    return fit;
}

void BM_PreviewPan(benchmark::State& state)
{
    PicturePreview preview(photo());
    PictureFit fit = fitFor(int(state.range(0)));
    preview.prepared(fit);  // the mask and the reduced copy, made once when the window opens
    CardPictures parts;
    for (QImage& digit : parts.digits)
        digit = QImage(9, 9, QImage::Format_RGB32);
    QImage card(62, 62, QImage::Format_RGB32);
    QImage clean(62, 62, QImage::Format_RGB32);
    clean.fill(0xFF3050A0);
    int step = 0;
    for (auto _ : state) {
        fit.panX = (step % 41) - 20;
        fit.panY = 20 - (step % 37);
        ++step;
        parts.mainPicture = preview.prepared(fit);
        for (int side = 0; side < 2; ++side)
            composeCard(card, clean, parts.layers(), CardPlacement{}, 0, 0);
        benchmark::DoNotOptimize(card.constBits());
    }
}
BENCHMARK(BM_PreviewPan)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

// Dragging a colour setting in the window: each step a new preview of both cards. Arg 0: the
// number of colours (2..256, diffusion); 1: the dithering strength with a 64-colour palette
// (ordered, then diffusion); 2: the outline's colour over 16 colours.
void BM_PreviewColourDrag(benchmark::State& state)
{
    PicturePreview preview(photo());
    PictureFit fit = fitFor(1);
    std::vector<QRgb> palette;
    for (int k = 0; k < 64; ++k)
        palette.push_back(qRgb((k * 37) % 256, (k * 91) % 256, (k * 53) % 256 + 0));
    preview.prepared(fit);  // the mask and the reduced copy, made once when the window opens
    CardPictures parts;
    for (QImage& digit : parts.digits)
        digit = QImage(9, 9, QImage::Format_RGB32);
    QImage card(62, 62, QImage::Format_RGB32);
    QImage clean(62, 62, QImage::Format_RGB32);
    clean.fill(0xFF3050A0);
    int step = 0;
    for (auto _ : state) {
        switch (state.range(0)) {
        case 0:
            fit.colours = ColourMode::Reduce;
            fit.colourCount = 2 + step % 255;
            fit.dither = Dither::Diffusion;
            break;
        case 1:
            fit.colours = ColourMode::Palette;
            fit.paletteColours = palette;
            fit.dither = step % 2 ? Dither::Ordered : Dither::Diffusion;
            fit.ditherStrength = step % 101;
            break;
        default:
            fit.colours = ColourMode::Reduce;
            fit.colourCount = 16;
            fit.outline = Outline::Outside;
            fit.outlineColour = qRgb(255, step % 256, 40);
            break;
        }
        ++step;
        parts.mainPicture = preview.prepared(fit);
        for (int side = 0; side < 2; ++side)
            composeCard(card, clean, parts.layers(), CardPlacement{}, 0, 0);
        benchmark::DoNotOptimize(card.constBits());
    }
}
BENCHMARK(BM_PreviewColourDrag)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The colour step alone on one card's 62 x 62 picture (as a deck row with colours = 16 and
// dither = diffusion runs it). Arg 0: reduce only; 1: with diffusion.
void BM_ColourStep(benchmark::State& state)
{
    QImage picture(62, 62, QImage::Format_RGB32);
    for (int y = 0; y < 62; ++y)
        for (int x = 0; x < 62; ++x)
            picture.setPixel(
                x, y, (x + y) % 7 == 0 ? 0xFF000000u : qRgb(x * 4 % 256, y * 4 % 256, x * 9 % 256));
    PictureFit fit;
    fit.colours = ColourMode::Reduce;
    fit.dither = state.range(0) ? Dither::Diffusion : Dither::None;
    for (auto _ : state)
        benchmark::DoNotOptimize(applyPictureColours(picture, fit).constBits());
}
BENCHMARK(BM_ColourStep)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_KeyCorners(benchmark::State& state)
{
    PictureFit fit = fitFor(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(subjectMask(photo(), fit).values.data());
}
BENCHMARK(BM_KeyCorners)->Unit(benchmark::kMillisecond);

void BM_KeyColour(benchmark::State& state)
{
    PictureFit fit = fitFor(1);
    fit.key = KeyMode::Colour;
    fit.keyColour = qRgb(240, 240, 234);
    for (auto _ : state)
        benchmark::DoNotOptimize(subjectMask(photo(), fit).values.data());
}
BENCHMARK(BM_KeyColour)->Unit(benchmark::kMillisecond);

// Opening the window or changing the key: the full mask and the reduced copy.
void BM_PreviewRebuild(benchmark::State& state)
{
    const PictureFit fit = fitFor(1);
    for (auto _ : state) {
        PicturePreview preview(photo());
        benchmark::DoNotOptimize(preview.prepared(fit).constBits());
    }
}
BENCHMARK(BM_PreviewRebuild)->Unit(benchmark::kMillisecond);

// OK: the finished picture from the full source (key included).
void BM_FinishedPicture(benchmark::State& state)
{
    const PictureFit fit = fitFor(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(preparePicture(photo(), fit).constBits());
}
BENCHMARK(BM_FinishedPicture)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
