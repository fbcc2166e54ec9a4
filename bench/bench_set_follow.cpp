// SPDX-License-Identifier: GPL-3.0-or-later
// Google Benchmark: the set panel following its files as another program writes them.
//   cmake -S . -B build -DORVANE_BENCH=ON && cmake --build build --target bench_set_follow
//   QT_QPA_PLATFORM=offscreen build/bin/bench_set_follow
// - DeckRowChanged/rename:0|1: a 110-card deck shown in the panel (every thumbnail painted);
//   one row changed by another program (written in place, or a new file renamed over it), timed
//   from just before the write to every shown thumbnail painted again from the deck read anew.
// - PictureChanged/rename:0|1: one card's picture rewritten; timed to its thumbnail painted again.
//   Both: 21 changes, counters median_ms, min_ms, max_ms.
// - PictureAppears: one row names a picture that is missing (a bad row); the picture is written
//   (in place, or renamed into place), timed to the healed card's thumbnail painted; then removed
//   again and waited for the row to be bad once more (not timed).
// - FolderCardChanged/rename:0|1: a folder set of 110 card files; one card file rewritten by
//   another program, timed to its thumbnail painted again.
// - IdleFollowing: the events delivered in 2 s while the deck and its pictures are watched and
//   nothing changes (the wait's own timer and the event loop's two are all there is).
#include "card/card_file.h"
#include "session/session.h"
#include "set/card_set.h"
#include "setpanel/set_file_follower.h"
#include "setpanel/set_panel.h"
#include "setpanel/set_thumbnails.h"

#include "../tests/support/event_counter.h"
#include "../tests/support/event_loop_wait.h"
#include "../tests/support/file_bytes.h"
#include "../tests/support/scripted_prompts.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QListView>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Cards = 110;
constexpr int Changes = 21;

QImage picture(int seed)
{
    QImage image(62, 62, QImage::Format_RGB32);
    for (int y = 0; y < 62; ++y)
        for (int x = 0; x < 62; ++x)
            image.setPixel(x, y, qRgb((x * 4 + seed * 7) % 256, (y * 4 + seed * 3) % 256, 91));
    return image;
}

// The deck's bytes; the first card's up side is `firstUp`.
QByteArray deckBytes(int firstUp)
{
    QByteArray csv = "name,up,left,right,down,element,picture\n";
    for (int i = 0; i < Cards; ++i)
        csv += QStringLiteral("Card %1,%2,2,3,4,fire,pic%3.png\n")
                   .arg(i)
                   .arg(i == 0 ? firstUp : 1 + i % 9)
                   .arg(i)
                   .toUtf8();
    return csv;
}

bool write(const QString& path, const QByteArray& bytes, bool byRename)
{
    return byRename ? replaceFileByRename(path, bytes) : writeFileBytes(path, bytes);
}

QByteArray pngBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A deck with its pictures, open in a shown panel that follows it.
struct Followed {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    orvane::Session session;
    orvane::CardSet& set = session.set();
    orvane::SetPanel panel{set, prompts, QCoreApplication::applicationDirPath()};
    orvane::SetFileFollower follower{session, prompts};

    Followed()
    {
        for (int i = 0; i < Cards; ++i)
            picture(i).save(dir.filePath(QStringLiteral("pic%1.png").arg(i)));
        write(deck(), deckBytes(1), false);
        panel.spnSetZoom->setValue(1);
        panel.resize(2200, 1500);  // every thumbnail shown
        panel.show();
        set.open(deck(), nullptr);
        waitUntil([&] { return panel.thumbnails()->made() >= Cards; });
        waitUntil([&] { return follower.watchedFiles().size() == Cards + 1; });
    }
    QString deck() const { return dir.filePath(QStringLiteral("deck.csv")); }
};

void report(benchmark::State& state, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["min_ms"] = ms.front();
    state.counters["max_ms"] = ms.back();
}

void DeckRowChanged(benchmark::State& state)
{
    const bool byRename = state.range(0) != 0;
    Followed f;
    std::vector<double> ms;
    for (auto _ : state) {
        for (int k = 0; k < Changes; ++k) {
            runEventLoopFor(30);
            // Read again, every card is new: every shown thumbnail is made and painted anew.
            const int target = f.panel.thumbnails()->made() + Cards;
            QElapsedTimer timer;
            timer.start();
            write(f.deck(), deckBytes(2 + k % 8), byRename);
            if (!waitUntil([&] { return f.panel.thumbnails()->made() >= target; })) {
                state.SkipWithError("the thumbnails were not painted again");
                return;
            }
            ms.push_back(double(timer.nsecsElapsed()) / 1e6);
            if (f.set.entries().front().card.sides[0] != QString::number(2 + k % 8)) {
                state.SkipWithError("the deck was not read again");
                return;
            }
        }
    }
    report(state, ms);
}
BENCHMARK(DeckRowChanged)->ArgName("rename")->Arg(0)->Arg(1)->Iterations(1);

void PictureChanged(benchmark::State& state)
{
    const bool byRename = state.range(0) != 0;
    Followed f;
    const QString path = f.dir.filePath(QStringLiteral("pic7.png"));
    std::vector<double> ms;
    for (auto _ : state) {
        for (int k = 0; k < Changes; ++k) {
            runEventLoopFor(30);
            const QByteArray bytes = pngBytes(picture(1000 + k));
            const int target = f.panel.thumbnails()->made() + 1;
            QElapsedTimer timer;
            timer.start();
            write(path, bytes, byRename);
            if (!waitUntil([&] { return f.panel.thumbnails()->made() >= target; })) {
                state.SkipWithError("the thumbnail was not painted again");
                return;
            }
            ms.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
    }
    report(state, ms);
}
BENCHMARK(PictureChanged)->ArgName("rename")->Arg(0)->Arg(1)->Iterations(1);

void PictureAppears(benchmark::State& state)
{
    const bool byRename = state.range(0) != 0;
    Followed f;
    const QString path = f.dir.filePath(QStringLiteral("pic7.png"));
    const QByteArray bytes = pngBytes(picture(7));
    const auto rowIsBad = [&] { return f.set.entries()[7].isBad(); };
    std::vector<double> ms;
    for (auto _ : state) {
        for (int k = 0; k < Changes; ++k) {
            QFile::remove(path);
            if (!waitUntil(rowIsBad)) {
                state.SkipWithError("the row did not become bad");
                return;
            }
            runEventLoopFor(30);
            const int target = f.panel.thumbnails()->made() + 1;
            QElapsedTimer timer;
            timer.start();
            write(path, bytes, byRename);
            if (!waitUntil([&] { return !rowIsBad() && f.panel.thumbnails()->made() >= target; })) {
                state.SkipWithError("the row did not heal");
                return;
            }
            ms.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
    }
    report(state, ms);
}
BENCHMARK(PictureAppears)->ArgName("rename")->Arg(0)->Arg(1)->Iterations(1);

void FolderCardChanged(benchmark::State& state)
{
    const bool byRename = state.range(0) != 0;
    QTemporaryDir dir;
    const auto cardFile = [&](int i) {
        return dir.filePath(QStringLiteral("Card %1.orvcard").arg(i));
    };
    const auto card = [](int i, int up) {
        orvane::Card c;
        c.name = QStringLiteral("Card %1").arg(i);
        c.sides = {QString::number(up), "2", "3", "4"};
        c.mainPicture = picture(i);
        return c;
    };
    for (int i = 0; i < Cards; ++i)
        orvane::writeCardFile(card(i, 1 + i % 9), cardFile(i), nullptr);
    ScriptedPrompts prompts;
    orvane::Session session;
    orvane::CardSet& set = session.set();
    orvane::SetPanel panel{set, prompts, QCoreApplication::applicationDirPath()};
    orvane::SetFileFollower follower{session, prompts};
    panel.spnSetZoom->setValue(1);
    panel.resize(2200, 1500);
    panel.show();
    set.open(dir.path(), nullptr);
    waitUntil([&] { return panel.thumbnails()->made() >= Cards; });
    waitUntil([&] { return follower.watchedFiles().size() == Cards + 1; });
    std::vector<double> ms;
    for (auto _ : state) {
        for (int k = 0; k < Changes; ++k) {
            runEventLoopFor(30);
            const QByteArray bytes = orvane::cardToJson(card(7, 1 + k % 9));
            const int target = panel.thumbnails()->made() + 1;
            QElapsedTimer timer;
            timer.start();
            write(cardFile(7), bytes, byRename);
            if (!waitUntil([&] { return panel.thumbnails()->made() >= target; })) {
                state.SkipWithError("the thumbnail was not painted again");
                return;
            }
            ms.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
    }
    report(state, ms);
}
BENCHMARK(FolderCardChanged)->ArgName("rename")->Arg(0)->Arg(1)->Iterations(1);

void IdleFollowing(benchmark::State& state)
{
    QApplication::setCursorFlashTime(0);  // a focused text box's cursor is not the follower's
    Followed f;
    runEventLoopFor(500);
    for (auto _ : state) {
        EventCounter counter;
        runEventLoopFor(2000);
        state.counters["events_in_2s"] = counter.events;
    }
}
BENCHMARK(IdleFollowing)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
