// SPDX-License-Identifier: GPL-3.0-or-later
// Loading a big main picture: the decoder alone against the tool's whole load (the file checks,
// the decode on its own thread, the picture put in the main picture box), in time and memory.
//   QT_QPA_PLATFORM=offscreen build-bench/bin/bench_main_picture            time (Google Benchmark)
//   QT_QPA_PLATFORM=offscreen build-bench/bin/bench_main_picture --memory   peak memory
// The picture: ORVANE_BENCH_PICTURE, or a 25-megapixel (6000 x 4166) photo-like JPEG made here.
#include "bench_window.h"
#include "editor/form2.h"
#include "files/main_picture.h"
#include "widgets/picture_box.h"

#include "../tests/support/scripted_prompts.h"

#include <QApplication>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>

namespace {

QString picturePath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString given = qEnvironmentVariable("ORVANE_BENCH_PICTURE");
        if (!given.isEmpty())
            return given;
        // Smooth shapes with grain, as a camera's photo: about 9 MB at quality 92.
        QImage photo(6000, 4166, QImage::Format_RGB32);
        quint32 noise = 1;
        for (int y = 0; y < photo.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
            for (int x = 0; x < photo.width(); ++x) {
                noise = noise * 1664525u + 1013904223u;
                const int grain = int(noise >> 28) - 8;
                const int r = 128 + int(90 * std::sin(x / 310.0)) + grain;
                const int g = 128 + int(90 * std::cos(y / 170.0 + x / 900.0)) + grain;
                const int b = 128 + int(90 * std::sin((x + y) / 530.0)) + grain;
                line[x] = qRgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
            }
        }
        const QString made = dir.filePath(QStringLiteral("photo.jpg"));
        QImageWriter writer(made, "jpeg");
        writer.setQuality(92);
        writer.write(photo);
        return made;
    }();
    return path;
}

struct Window {
    ScriptedPrompts prompts;
    std::unique_ptr<BenchWindow> main;
    Form2* form = nullptr;
    Window()
    {
        Form2::Services services;
        services.prompts = &prompts;
        services.assetRoot = QCoreApplication::applicationDirPath();
        main = std::make_unique<BenchWindow>(services);
        form = main->form;
        form->findChild<WakeTimer*>(QStringLiteral("Timer1"))->stop();
    }
};

void BM_DecodeOnly(benchmark::State& state)
{
    const QString path = picturePath();
    for (auto _ : state) {
        QImageReader reader(path);
        const QImage image = reader.read();
        if (image.isNull())
            state.SkipWithError("the picture does not decode");
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_DecodeOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadMainPicture(benchmark::State& state)
{
    const QString path = picturePath();
    for (auto _ : state) {
        const orvane::LoadedPicture loaded = orvane::loadMainPicture(path);
        if (loaded.image.isNull())
            state.SkipWithError(qPrintable(loaded.error));
        benchmark::DoNotOptimize(loaded.image.constBits());
    }
}
BENCHMARK(BM_LoadMainPicture)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadIntoTheWindow(benchmark::State& state)
{
    const QString path = picturePath();
    for (auto _ : state) {
        // A fresh window each time: a new picture, not the same one again (which the undo
        // history would compare pixel by pixel), and no history of pictures kept.
        state.PauseTiming();
        auto window = std::make_unique<Window>();
        state.ResumeTiming();
        if (!window->form->loadMainPictureFile(path))
            state.SkipWithError("the picture was refused");
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadIntoTheWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

qint64 statusKiB(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// Peak memory above the resident size before the load, against the decoded picture's size.
template <typename Load> void measure(const char* what, Load load)
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1) {
        std::printf("%s: cannot reset the peak (/proc/self/clear_refs)\n", what);
        return;
    }
    clear.close();
    const qint64 before = statusKiB("VmRSS:");
    const qint64 pictureBytes = load();
    const qint64 peak = statusKiB("VmHWM:") - before;
    const qint64 steady = statusKiB("VmRSS:") - before;
    std::printf("%-22s peak +%6.1f MiB (%.2f x the picture), held +%6.1f MiB; picture %.1f MiB\n",
                what, double(peak) / 1024, double(peak) * 1024 / double(pictureBytes),
                double(steady) / 1024, double(pictureBytes) / (1 << 20));
}

int measureMemory()
{
    const QString path = picturePath();
    {
        QImage image;
        measure("decode only:", [&] {
            image = QImageReader(path).read();
            return qint64(image.sizeInBytes());
        });
    }
    Window window;
    measure("load into the window:", [&] {
        window.form->loadMainPictureFile(path);
        return qint64(window.form->findChild<PictureBox*>(QStringLiteral("picMainPic"))
                          ->image()
                          .sizeInBytes());
    });
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    picturePath();  // made before anything is measured
    if (argc > 1 && qstrcmp(argv[1], "--memory") == 0)
        return measureMemory();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
