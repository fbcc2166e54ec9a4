// SPDX-License-Identifier: GPL-3.0-or-later
// Google Benchmark: composing both cards, an idle timer tick, a reloading tick, saving cards.
//   cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DORVANE_BENCH=ON
//   cmake --build build-bench
//   QT_QPA_PLATFORM=offscreen build-bench/bin/bench_render

#include "bench_window.h"
#include "editor/form2.h"
#include "render/compositor.h"
#include "widgets/picture_box.h"

#include "../tests/support/scripted_prompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

QString binDir()
{
    return QCoreApplication::applicationDirPath();
}

QImage part(const QString& relative)
{
    return QImage(binDir() + QLatin1Char('/') + relative).convertToFormat(QImage::Format_RGB32);
}

QImage photo(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 7 + y) % 256, (y * 5) % 256, (x * y) % 256 | 1));
    return image;
}

void BM_ComposeBothCards(benchmark::State& state)
{
    const QImage clean = photo(62, 62);
    orvane::CardPictures pictures;
    pictures.mainPicture = photo(62, 62);
    pictures.digits = {part("gfx/bitblts/1.bmp"), part("gfx/bitblts/5.bmp"),
                       part("gfx/bitblts/9.bmp"), part("gfx/bitblts/A.bmp")};
    pictures.frame = part("gfx/bitblts/Lvl10 Frame.bmp");
    pictures.element = part("gfx/bitblts/fireelem.bmp");
    for (int i = 0; i < 8; ++i)
        pictures.arrows[size_t(i)] = part(i % 2 ? QStringLiteral("gfx/arrows/arrow %1.bmp").arg(i)
                                                : QStringLiteral("gfx/bitblts/noelem.bmp"));
    const orvane::CardLayers layers = pictures.layers();
    QImage blue(62, 62, QImage::Format_RGB32), red(62, 62, QImage::Format_RGB32);
    for (auto _ : state) {
        orvane::composeCard(blue, clean, layers, {}, 3, 4);
        orvane::composeCard(red, clean, layers, {}, 3, 4);
        benchmark::DoNotOptimize(blue.constBits());
        benchmark::DoNotOptimize(red.constBits());
    }
}
BENCHMARK(BM_ComposeBothCards);

struct Window {
    ScriptedPrompts prompts;
    std::unique_ptr<BenchWindow> main;
    Form2* form = nullptr;
    Window()
    {
        Form2::Services services;
        services.prompts = &prompts;
        services.assetRoot = binDir();
        main = std::make_unique<BenchWindow>(services);
        form = main->form;
        form->findChild<WakeTimer*>(QStringLiteral("Timer1"))->stop();
        main->window->show();
        form->findChild<QCheckBox*>(QStringLiteral("chkArrow_1"))->click();
        runHandler(form, "Timer1_Timer");
    }
};

void BM_IdleTick(benchmark::State& state)
{
    Window window;
    for (auto _ : state)
        runHandler(window.form, "Timer1_Timer");
}
BENCHMARK(BM_IdleTick);

// The cost of a tick that decodes every file again (what a tick costs without the cache).
void BM_ReloadingTick(benchmark::State& state)
{
    Window window;
    window.form->pictureCache().setAlwaysReload(true);
    for (auto _ : state)
        runHandler(window.form, "Timer1_Timer");
}
BENCHMARK(BM_ReloadingTick);

void BM_ComposeInWindow(benchmark::State& state)
{
    Window window;
    for (auto _ : state)
        runHandler(window.form, "cmdCreate_Click");
}
BENCHMARK(BM_ComposeInWindow);

void BM_SaveBothCards(benchmark::State& state)
{
    Window window;
    QTemporaryDir dir;
    for (auto _ : state) {
        window.prompts.fileAnswers.enqueue(dir.filePath(QStringLiteral("blue.jpg")));
        window.prompts.fileAnswers.enqueue(dir.filePath(QStringLiteral("red.jpg")));
        // From the second round on, each card asks once whether to replace its pair.
        window.prompts.messageAnswers = QQueue<int>({orvane::AnswerYes, orvane::AnswerYes});
        runHandler(window.form, "cmdSaveCards_Click");
    }
    for (const auto& message : window.prompts.messages)
        if (message.text.contains(QStringLiteral("could not be saved")))
            state.SkipWithError("saving failed");
}
BENCHMARK(BM_SaveBothCards);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
