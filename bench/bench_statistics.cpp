// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics of a 5,000-card set:
// - NumbersAndFindings: counting and finding dominated, duplicate and over-arrowed cards.
// - DockAfterAnEdit: what the Statistics dock does after an edit (the numbers, the findings,
//   the table and the list filled again), shown.
// - PaintCharts/N: painting the charts at N device pixels a pixel.
// - DockInTheWindowAfterAnEdit: the same in the main window, a 5,000-card deck open and the dock
//   shown: an edit of one card through the set, and everything the window does after it.
// Run: QT_QPA_PLATFORM=offscreen build-bench/bench/bench_statistics
#include "card/card_rules.h"
#include "card/card_statistics.h"
#include "bench_window.h"
#include "card/deck_file.h"
#include "session/session.h"
#include "setpanel/set_commands.h"
#include "windows/statistics_charts.h"
#include "windows/statistics_dock.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "../tests/support/scripted_prompts.h"

#include <benchmark/benchmark.h>

#include <random>

using namespace orvane;

namespace {

// Cards as a designer makes them: sides 1-A, every element, arrows within the total's limit.
QList<Card> designedSet(int count)
{
    std::mt19937 generator(5000);
    std::uniform_int_distribution<int> side(1, 10), element(0, ElementOptionCount - 1),
        arrow(0, CardArrowCount - 1);
    QList<Card> cards;
    for (int i = 0; i < count; ++i) {
        Card card;
        card.name = QStringLiteral("Card %1").arg(i);
        card.element = element(generator);
        for (QString& s : card.sides)
            s = sideText(side(generator));
        const int arrows = std::uniform_int_distribution<int>(0, arrowLimit(card))(generator);
        for (int a = 0; a < arrows; ++a)
            card.arrows[size_t(arrow(generator))] = true;
        cards.append(card);
    }
    return cards;
}

void NumbersAndFindings(benchmark::State& state)
{
    const QList<Card> cards = designedSet(5000);
    for (auto _ : state)
        benchmark::DoNotOptimize(cardStatistics(cards, 3));
    state.counters["findings"] = double(cardStatistics(cards, 3).findings.size());
}
BENCHMARK(NumbersAndFindings)->Unit(benchmark::kMillisecond);

void DockAfterAnEdit(benchmark::State& state)
{
    QList<Card> cards = designedSet(5000);
    StatisticsDock dock;
    dock.show();
    int edit = 0;
    for (auto _ : state) {
        cards[edit % 5000].sides[0] = sideText(1 + edit % 10);
        ++edit;
        dock.setCards(cards, 3);
    }
}
BENCHMARK(DockAfterAnEdit)->Unit(benchmark::kMillisecond);

void DockInTheWindowAfterAnEdit(benchmark::State& state)
{
    QTemporaryDir folder;
    QFile deck(folder.filePath(QStringLiteral("set.csv")));
    deck.open(QIODevice::WriteOnly);
    deck.write("name,up,left,right,down,element\n");
    for (const Card& card : designedSet(5000))
        deck.write(QStringLiteral("%1,%2,%3,%4,%5,%6\n")
                       .arg(card.name, card.sides[0], card.sides[1], card.sides[2], card.sides[3],
                            elementCaption(card.element))
                       .toUtf8());
    deck.close();
    ScriptedPrompts prompts;
    Form2::Services services;
    services.prompts = &prompts;
    services.assetRoot = QCoreApplication::applicationDirPath();
    BenchWindow main(services);
    if (!main.window->findChild<SetCommands*>()->openSet(deck.fileName())) {
        state.SkipWithError("the deck does not open");
        return;
    }
    main.window->show();
    if (state.range(0))
        main.window->findChild<QAction*>(QStringLiteral("actViewStatistics"))->trigger();
    QCoreApplication::processEvents();
    CardSet& set = main.window->session().set();
    int edit = 0;
    for (auto _ : state) {
        const quint64 id = set.entries()[edit % 5000].id;
        Card card = set.entry(id)->card;
        card.sides[0] = sideText(1 + edit % 10);
        ++edit;
        set.setCard(id, card);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(DockInTheWindowAfterAnEdit)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void PaintCharts(benchmark::State& state)
{
    const qreal ratio = qreal(state.range(0));
    StatisticsCharts charts;
    charts.resize(charts.sizeHint());
    charts.setStatistics(cardStatistics(designedSet(5000), 3));
    QImage image(charts.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    for (auto _ : state)
        charts.render(&image);
}
BENCHMARK(PaintCharts)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
