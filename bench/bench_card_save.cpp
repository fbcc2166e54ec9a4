// SPDX-License-Identifier: GPL-3.0-or-later
// Saving a card file of a prepared photo from the window: how long the save takes, how long the
// window goes without running its event loop meanwhile (the longest gap between the ticks of a
// 5 ms timer), and the file's size; the same for opening it. Beside it, the card file written
// directly, with the source as its JPEG and as PNG: what a save on the window's own thread
// would hold it for.
//
//   QT_QPA_PLATFORM=offscreen build-bench/bin/bench_card_save --benchmark_repetitions=5
#include "card/card_file.h"
#include "document/card_document.h"
#include "bench_window.h"
#include "editor/card_file_commands.h"
#include "editor/form2.h"
#include "widgets/picture_box.h"

#include "../tests/support/scripted_prompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

// A 2400 x 1800 photo-like JPEG, as a phone would give.
QString photoPath()
{
    static const QString path = [] {
        QImage photo(2400, 1800, QImage::Format_RGB32);
        quint32 noise = 7;
        for (int y = 0; y < photo.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
            for (int x = 0; x < photo.width(); ++x) {
                noise = noise * 1664525u + 1013904223u;
                const int grain = int(noise >> 28) - 8;
                line[x] = qRgb(std::clamp(128 + int(90 * std::sin(x / 310.0)) + grain, 0, 255),
                               std::clamp(128 + int(90 * std::cos(y / 170.0)) + grain, 0, 255),
                               std::clamp(128 + int(90 * std::sin((x + y) / 530.0)), 0, 255));
            }
        }
        const QString made = folder().filePath(QStringLiteral("photo.jpg"));
        QImageWriter writer(made, "jpeg");
        writer.setQuality(92);
        writer.write(photo);
        return made;
    }();
    return path;
}

// Runs `work` with a 5 ms timer ticking: the longest time the event loop went without running
// (the window without painting), in milliseconds.
template <typename Work> double longestStallMs(Work work)
{
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, sinceTick.nsecsElapsed());
        sinceTick.start();
    });
    ticker.start();
    sinceTick.start();
    work();
    longestGap = std::max(longestGap, sinceTick.nsecsElapsed());
    return double(longestGap) / 1e6;
}

// The editor with the photo loaded as it is (the offer to prepare it declined): its source is
// kept in its own encoding.
struct PhotoWindow {
    ScriptedPrompts prompts;
    std::unique_ptr<BenchWindow> main;
    Form2* form = nullptr;

    PhotoWindow()
    {
        Form2::Services services;
        services.prompts = &prompts;
        services.assetRoot = QCoreApplication::applicationDirPath();
        main = std::make_unique<BenchWindow>(services);
        form = main->form;
        prompts.messageAnswers.enqueue(orvane::AnswerNo);
    }
    bool load() { return form->loadMainPictureFile(photoPath()); }
    orvane::CardFileCommands& cardFiles() const
    {
        return *main->window->findChild<orvane::CardFileCommands*>();
    }
    bool saveAs(const QString& card)
    {
        QFile::remove(card);
        prompts.fileAnswers.enqueue(card);
        return cardFiles().saveCardFileAs();
    }
};

// Runs `step` (false: failed) as each iteration, reporting the longest and the worst stall.
template <typename Step> void timeStalls(benchmark::State& state, Step step)
{
    double worstMs = 0;
    for (auto _ : state) {
        bool done = false;
        const double stall = longestStallMs([&] { done = step(); });
        if (!done)
            state.SkipWithError("the file was not saved or opened");
        worstMs = std::max(worstMs, stall);
        state.counters["longest_stall_ms"] = stall;
    }
    state.counters["worst_stall_ms"] = worstMs;
}

void BM_SaveCardFileOfAPhoto(benchmark::State& state)
{
    PhotoWindow window;
    if (!window.load()) {
        state.SkipWithError("the photo does not load");
        return;
    }
    const QString card = folder().filePath(QStringLiteral("photo.orvcard"));
    timeStalls(state, [&] { return window.saveAs(card); });
    state.counters["file_KB"] = double(QFileInfo(card).size()) / 1000.0;
}
BENCHMARK(BM_SaveCardFileOfAPhoto)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Opening that card file: its JPEG source decoded beside the window.
void BM_OpenCardFileOfAPhoto(benchmark::State& state)
{
    PhotoWindow window;
    const QString card = folder().filePath(QStringLiteral("opened.orvcard"));
    if (!window.load() || !window.saveAs(card)) {
        state.SkipWithError("the card file was not made");
        return;
    }
    const qsizetype messages = window.prompts.messages.size();
    timeStalls(state, [&] {
        window.prompts.fileAnswers.enqueue(card);
        window.cardFiles().openCard();
        return window.prompts.messages.size() == messages;  // no refusal
    });
}
BENCHMARK(BM_OpenCardFileOfAPhoto)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// writeCardFile alone, the source kept as its JPEG (0) or as PNG (1).
void BM_WriteCardFile(benchmark::State& state)
{
    PhotoWindow window;
    if (!window.load()) {
        state.SkipWithError("the photo does not load");
        return;
    }
    orvane::Card card = window.form->document().card();
    if (state.range(0) == 1)
        card.preparation.sourceEncoded.clear();
    const QString file = folder().filePath(QStringLiteral("direct.orvcard"));
    for (auto _ : state) {
        QString error;
        if (!orvane::writeCardFile(card, file, &error))
            state.SkipWithError("the card file was not written");
    }
    state.counters["file_KB"] = double(QFileInfo(file).size()) / 1000.0;
}
BENCHMARK(BM_WriteCardFile)
    ->ArgName("as_png")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
