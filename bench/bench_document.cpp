// SPDX-License-Identifier: GPL-3.0-or-later
// Google Benchmark: the editor window as a view of a card document.
//   cmake -S . -B build-bench -DORVANE_BENCH=ON && cmake --build build-bench --target
//   bench_document QT_QPA_PLATFORM=offscreen build-bench/bin/bench_document
//   --benchmark_repetitions=5
// - ApplyWholeCard: a whole card with a decoded 62 x 62 main picture put into the window's
//   document (what opening a card or picking one in a set does): the controls set, the parts
//   fetched, both cards rendered into their boxes and painted. Two cards in turn.
// - OneEditBothCards: one number typed into a box, from the edit to both cards painted.
// - SwitchPack: the editor's parts switched between the built-in ones and a shipped pack, from
//   the choice to both cards painted with the new parts.
// Each run checks that every step painted both cards, so it never measures less than that.
#include "document/card_document.h"
#include "bench_window.h"
#include "editor/form2.h"
#include "widgets/picture_box.h"

#include "../tests/support/scripted_prompts.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QEvent>
#include <QLineEdit>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

struct Window {
    ScriptedPrompts prompts;
    std::unique_ptr<BenchWindow> main;
    Form2* form = nullptr;

    Window()
    {
        Form2::Services services;
        services.prompts = &prompts;
        services.assetRoot = QCoreApplication::applicationDirPath();
        services.endProcess = [] {};
        main = std::make_unique<BenchWindow>(services);
        form = main->form;
        main->window->show();
        QCoreApplication::processEvents();
    }

    // The cards painted: the paint events the renders queued are handled.
    void paint() { QCoreApplication::processEvents(); }
};

// Counts the paint events of the two cards on screen.
struct CardPaints : QObject {
    int blue = 0;
    int red = 0;

    explicit CardPaints(Form2& form)
    {
        for (const char* name : {"picBlueBase", "picRedBase"})
            form.findChild<PictureBox*>(QLatin1String(name))->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++(watched->objectName() == QLatin1String("picBlueBase") ? blue : red);
        return false;
    }
    // Every step measured painted both cards once.
    void check(benchmark::State& state) const
    {
        if (blue != state.iterations() || red != state.iterations())
            state.SkipWithError("a step did not paint both cards exactly once");
    }
};

orvane::Card cardWithPicture(int seed)
{
    orvane::Card card;
    card.sides = {QString::number(1 + seed % 9), QStringLiteral("A"), QStringLiteral("7"),
                  QString::number(1 + (seed + 4) % 9)};
    card.element = seed % 11;
    card.arrows[size_t(seed % 8)] = true;
    card.x = seed % 5;
    card.y = (seed * 3) % 7;
    QImage picture(62, 62, QImage::Format_RGB32);
    for (int y = 0; y < 62; ++y)
        for (int x = 0; x < 62; ++x)
            picture.setPixel(x, y, qRgb((x * 4 + seed) % 256, (y * 4) % 256, 90));
    card.mainPicture = picture;
    return card;
}

void ApplyWholeCard(benchmark::State& state)
{
    Window window;
    const orvane::Card cards[2] = {cardWithPicture(1), cardWithPicture(6)};
    int next = 0;
    CardPaints paints(*window.form);
    for (auto _ : state) {
        window.form->document().setCard(cards[next]);
        window.paint();
        next ^= 1;
    }
    paints.check(state);
}
BENCHMARK(ApplyWholeCard)->Unit(benchmark::kMicrosecond);

void OneEditBothCards(benchmark::State& state)
{
    Window window;
    window.form->document().setCard(cardWithPicture(2));
    window.paint();
    auto* box = window.form->findChild<QLineEdit*>(QStringLiteral("txtNums_0"));
    const QString texts[2] = {QStringLiteral("5"), QStringLiteral("6")};
    int next = 0;
    CardPaints paints(*window.form);
    for (auto _ : state) {
        box->setText(texts[next]);
        window.paint();
        next ^= 1;
    }
    paints.check(state);
}
BENCHMARK(OneEditBothCards)->Unit(benchmark::kMicrosecond);

void SwitchPack(benchmark::State& state)
{
    Window window;
    window.form->document().setCard(cardWithPicture(3));
    window.paint();
    const QString pack = QDir(QCoreApplication::applicationDirPath())
                             .filePath(QStringLiteral("../share/orvane/packs/table"));
    if (!QFileInfo(pack).isDir()) {
        state.SkipWithError("no shipped pack beside the program");
        return;
    }
    const QString packs[2] = {pack, QString()};
    int next = 0;
    CardPaints paints(*window.form);
    for (auto _ : state) {
        window.form->readPartsFrom(packs[next]);
        window.paint();
        next ^= 1;
    }
    paints.check(state);
}
BENCHMARK(SwitchPack)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
