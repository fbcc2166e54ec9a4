// SPDX-License-Identifier: GPL-3.0-or-later
// Google Benchmark: a set of cards in the window.
//   cmake -S . -B build -DORVANE_BENCH=ON && cmake --build build --target bench_set
//   QT_QPA_PLATFORM=offscreen build/bin/bench_set
// - OpenSet200: a 200-card deck with its 200 pictures opened, the panel shown with every
//   thumbnail painted (a window large enough for all of them).
// - PartsChanged200: the same 200 thumbnails made again after card part files changed.
// - PickCard: another card of the set shown for the first time: its card document made (the
//   picture read) and both cards rendered.
// - Scroll5000: a 5,000-card deck opened and its thumbnails scrolled page by page; counters:
//   open_ms, the slowest page (worst_page_ms) and the process's peak memory (peak_MiB).
#include "render/card_parts.h"
#include "set/card_set.h"
#include "set/set_card_views.h"
#include "setpanel/set_panel.h"
#include "setpanel/set_thumbnails.h"

#include "../tests/support/event_counter.h"
#include "../tests/support/scripted_prompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QListView>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

QString partsRoot()
{
    return QCoreApplication::applicationDirPath();
}

// A deck of `cards` rows, each with a picture of its own (`pictures` files, used in turn), each
// drawn with the part pack `pack` (empty: the built-in parts).
QString makeDeck(const QTemporaryDir& dir, int cards, int pictures, const QString& pack = {})
{
    for (int p = 0; p < pictures; ++p) {
        QImage image(62, 62, QImage::Format_RGB32);
        for (int y = 0; y < 62; ++y)
            for (int x = 0; x < 62; ++x)
                image.setPixel(x, y, qRgb((x * 4 + p) % 256, (y * 4 + p * 3) % 256, 90 | 1));
        image.save(dir.filePath(QStringLiteral("pic%1.bmp").arg(p)));
    }
    QByteArray csv = "name,up,left,right,down,element,arrows,picture,pack,notes\n";
    static const char* elements[] = {"fire", "water", "ice", "earth", "wind", "holy", ""};
    for (int i = 0; i < cards; ++i)
        csv += QStringLiteral("Card %1,%2,%3,%4,%5,%6,up,pic%7.bmp,%8,\"note, %1\"\n")
                   .arg(i)
                   .arg(1 + i % 9)
                   .arg(1 + (i / 9) % 9)
                   .arg(1 + (i / 3) % 9)
                   .arg(1 + (i / 7) % 9)
                   .arg(QLatin1String(elements[i % 7]))
                   .arg(i % pictures)
                   .arg(pack)
                   .toUtf8();
    const QString path = dir.filePath(QStringLiteral("deck.csv"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(csv);
    return path;
}

double peakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;  // KiB on Linux
}

void OpenSet200(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString deck = makeDeck(dir, 200, 200);
    ScriptedPrompts prompts;
    for (auto _ : state) {
        // The panel is there before the set is opened, as in the window.
        state.PauseTiming();
        orvane::CardSet set;
        orvane::SetPanel panel(set, prompts, partsRoot());
        panel.spnSetZoom->setValue(1);
        panel.resize(2200, 1500);
        panel.show();
        QApplication::processEvents();
        state.ResumeTiming();
        if (!set.open(deck, nullptr))
            state.SkipWithError("the deck cannot be opened");
        QApplication::processEvents();                  // the view lays its items out
        panel.lstSetThumbnails->viewport()->repaint();  // every thumbnail painted now
        if (panel.thumbnails()->made() != 200)
            state.SkipWithError("not every thumbnail was shown");
    }
}
BENCHMARK(OpenSet200)->Unit(benchmark::kMillisecond);

// Card part files changed on disk: the parts read again and the 200 thumbnails shown painted
// anew (what the panel does once after a burst of changes). Argument 1: every card drawn with
// a shipped pack, whose parts are read again too.
void PartsChanged200(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString deck =
        makeDeck(dir, 200, 200, state.range(0) ? QStringLiteral("Table") : QString());
    ScriptedPrompts prompts;
    orvane::CardSet set;
    orvane::SetPanel panel(set, prompts, partsRoot());
    panel.spnSetZoom->setValue(1);
    panel.resize(2200, 1500);
    panel.show();
    set.open(deck, nullptr);
    QApplication::processEvents();
    panel.lstSetThumbnails->viewport()->repaint();
    for (auto _ : state) {
        const int before = panel.thumbnails()->made();
        panel.thumbnails()->reloadParts();
        panel.lstSetThumbnails->viewport()->repaint();
        if (panel.thumbnails()->made() != before + 200)
            state.SkipWithError("not every thumbnail was made again");
    }
}
BENCHMARK(PartsChanged200)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void PickCard(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString deck = makeDeck(dir, 200, 200);
    orvane::CardSet set;
    set.open(deck, nullptr);
    auto documents = std::make_unique<orvane::SetCardViews>(set);
    QString error;
    const std::optional<orvane::CardParts> parts = orvane::CardParts::load(partsRoot(), &error);
    int row = 0;
    int shown = 0;
    for (auto _ : state) {
        if (shown++ == set.count()) {  // every card shown once: shown for the first time again
            state.PauseTiming();
            documents = std::make_unique<orvane::SetCardViews>(set);
            shown = 1;
            state.ResumeTiming();
        }
        const orvane::CardDocument* document = documents->document(set.entries()[row].id);
        const orvane::RenderedCard cards = orvane::renderCard(document->card(), *parts);
        benchmark::DoNotOptimize(cards.blue.constBits());
        row = (row + 37) % set.count();
    }
}
BENCHMARK(PickCard)->Unit(benchmark::kMicrosecond);

void Scroll5000(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString deck = makeDeck(dir, 5000, 500);
    ScriptedPrompts prompts;
    for (auto _ : state) {
        orvane::CardSet set;
        orvane::SetPanel panel(set, prompts, partsRoot());
        panel.resize(900, 1000);
        panel.show();
        QApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        set.open(deck, nullptr);
        state.counters["read_ms"] = double(timer.nsecsElapsed()) / 1e6;
        QApplication::processEvents();
        panel.lstSetThumbnails->viewport()->repaint();
        const double openMs = double(timer.nsecsElapsed()) / 1e6;
        QScrollBar* bar = panel.lstSetThumbnails->verticalScrollBar();
        double worst = 0;
        for (int value = 0; value <= bar->maximum(); value += bar->pageStep()) {
            timer.restart();
            bar->setValue(value);
            QApplication::processEvents();
            panel.lstSetThumbnails->viewport()->repaint();
            worst = std::max(worst, double(timer.nsecsElapsed()) / 1e6);
        }
        state.counters["open_ms"] = openMs;
        state.counters["worst_page_ms"] = worst;
        state.counters["thumbnails_made"] = panel.thumbnails()->made();
    }
    state.counters["peak_MiB"] = peakMiB();
}
BENCHMARK(Scroll5000)->Unit(benchmark::kMillisecond)->Iterations(3);

// Idle with a set open, changed (its recovery file written) and its panel shown: the events
// delivered in 2 s; the timer ending the wait and the event loop's own two are all there is when
// nothing else wakes.
void IdleWithSetOpen(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString deck = makeDeck(dir, 200, 200);
    ScriptedPrompts prompts;
    // A focused text box blinks its cursor: the platform's wake-up, not the set's.
    QApplication::setCursorFlashTime(0);
    orvane::CardSet set;
    orvane::SetPanel panel(set, prompts, partsRoot());
    set.open(deck, nullptr);
    panel.resize(900, 1000);
    panel.show();
    orvane::RecoveryWriter recovery(set, dir.filePath(QStringLiteral("recovery")), 100);
    set.renameCard(set.entries().front().id, QStringLiteral("Renamed"), nullptr);
    QEventLoop settle;
    QTimer::singleShot(1000, &settle, &QEventLoop::quit);  // the recovery file written meanwhile
    settle.exec();
    for (auto _ : state) {
        EventCounter counter;
        QEventLoop idle;
        QTimer::singleShot(2000, &idle, &QEventLoop::quit);
        idle.exec();
        state.counters["events_in_2s"] = counter.events;
        if (qEnvironmentVariableIsSet("SHOW_EVENTS"))
            qInfo() << counter.seen;
    }
}
BENCHMARK(IdleWithSetOpen)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
