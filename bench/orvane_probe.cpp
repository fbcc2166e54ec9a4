// SPDX-License-Identifier: GPL-3.0-or-later
// Measuring probe: builds the main window exactly as the tool does and reports figures.
//   orvane_probe startup|bare|bare-text   ms from process start to the first paint, peak RSS
//   orvane_probe idle SECONDS       runs the window; --poll: the fixed 16 ms tick of old, with
//                                   --reload every tick decodes all files
//   orvane_probe bare-idle SECONDS  a bare window with one label, for comparison
//   orvane_probe part-latency N     ms from rewriting a card-part file on disk to the preview
//   orvane_probe shots DIR          PNG pictures of every window
//   orvane_probe memory             RSS and open files after 100 and after 1000/10000 rounds
// ORVANE_PROBE_T0 (ns, realtime) times from the launcher; ORVANE_PROBE_PHASES prints the phases.
#include "document/card_document.h"
#include "editor/form2.h"
#include "bench_window.h"
#include "platform/qt_prompts.h"
#include "render/asset_catalogue.h"
#include "widgets/picture_box.h"
#include "windows/export_cards_dialog.h"
#include "windows/form3.h"
#include "windows/form4.h"
#include "windows/frm_about.h"
#include "windows/render_deck_dialog.h"
#include "windows/zoomed_preview.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

// Milliseconds since the launcher stamped ORVANE_PROBE_T0 (ns, realtime) just before starting
// this process; without it, the process age from /proc (10 ms steps).
double processAgeMs()
{
    const QByteArray t0 = qgetenv("ORVANE_PROBE_T0");
    if (!t0.isEmpty()) {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        return (double(now.tv_sec) * 1e9 + double(now.tv_nsec) - t0.toDouble()) / 1e6;
    }
    // Field 22 of /proc/self/stat: start time in clock ticks since boot.
    QFile stat(QStringLiteral("/proc/self/stat"));
    QFile uptime(QStringLiteral("/proc/uptime"));
    if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray s = stat.readAll();
    const QList<QByteArray> fields = s.mid(s.lastIndexOf(')') + 2).split(' ');
    const double started = fields.value(19).toDouble() / double(sysconf(_SC_CLK_TCK));
    const double now = uptime.readAll().split(' ').value(0).toDouble();
    return (now - started) * 1000.0;
}

long statusKb(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toLong();
    return -1;
}

int openFiles()
{
    return int(QDir(QStringLiteral("/proc/self/fd"))
                   .entryList(QDir::NoDotAndDotDot | QDir::System)
                   .size());
}

// A control of the editor, by the object name the layout gives it ("chkArrow_%1" with an index).
template <typename T> T* control(Form2& form, const char* name, int index = -1)
{
    QString objectName = QLatin1String(name);
    if (index >= 0)
        objectName = objectName.arg(index);
    T* found = form.findChild<T*>(objectName);
    if (!found)
        qFatal("no control named %s", qPrintable(objectName));
    return found;
}

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            QTimer::singleShot(0, [] {
                std::printf("startup_ms %.1f peak_rss_mib %.1f\n", processAgeMs(),
                            double(statusKb("VmHWM:")) / 1024.0);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    bool m_done = false;
};

// The editor on a copy of the card parts, its timer running as in the tool: each round rewrites
// the frame file in place with another colour and waits, in the event loop without polling,
// until the frame's preview box shows the new picture.
int partLatency(int rounds)
{
    QTemporaryDir dir;
    const QString frame = orvane::assets::frameFile(3);
    for (const QString& name : orvane::assets::allFiles()) {
        QDir().mkpath(QFileInfo(dir.filePath(name)).path());
        QFile::copy(QCoreApplication::applicationDirPath() + QLatin1Char('/') + name,
                    dir.filePath(name));
    }
    orvane::QtPrompts prompts;
    Form2::Services services;
    services.prompts = &prompts;
    services.assetRoot = dir.path();
    BenchWindow main(services);
    Form2& form = *main.form;
    const PictureBox* frameBox = control<PictureBox>(form, "picFinalFrame");
    main.window->show();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);

    QList<double> ms;
    for (int i = 0; i < rounds; ++i) {
        QImage picture(62, 62, QImage::Format_RGB32);
        picture.fill(qRgb(40 + i, 90, 200 - i));
        const quint64 before = frameBox->pictureTag();
        QElapsedTimer clock;
        clock.start();
        picture.save(dir.filePath(frame), "BMP");
        while (frameBox->pictureTag() == before && clock.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        ms << double(clock.nsecsElapsed()) / 1e6;
        settle.restart();
        while (settle.elapsed() < 100)  // quiet between rounds
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("part file to preview over %d rewrites: median %.1f ms, max %.1f ms\n", rounds,
                ms[ms.size() / 2], ms.back());
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    const double atMain = processAgeMs();
    QApplication app(argc, argv);
    const double afterApp = processAgeMs();
    const QStringList args = QCoreApplication::arguments();
    const QString mode = args.value(1);
    if (mode == QLatin1String("bare-idle")) {
        QWidget window;
        window.resize(532, 377);
        (new QLabel(QStringLiteral("Orvane"), &window))->move(8, 8);
        window.show();
        QTimer::singleShot(int(args.value(2).toDouble() * 1000), [] { QCoreApplication::exit(0); });
        return QApplication::exec();
    }
    if (mode == QLatin1String("part-latency"))
        return partLatency(args.value(2, QStringLiteral("20")).toInt());
    if (mode == QLatin1String("bare") || mode == QLatin1String("bare-text")) {
        // A plain window of the same size, for comparison; with one line of text it pays for
        // the font database as every window with text does.
        QWidget window;
        window.resize(532, 377);
        if (mode == QLatin1String("bare-text"))
            (new QLabel(QStringLiteral("Orvane"), &window))->move(8, 8);
        FirstPaint watcher;
        window.installEventFilter(&watcher);
        window.show();
        return QApplication::exec();
    }
    orvane::QtPrompts prompts;
    Form2::Services services;
    services.prompts = &prompts;
    services.assetRoot = QCoreApplication::applicationDirPath();
    BenchWindow main(services);
    Form2& form = *main.form;
    if (qEnvironmentVariableIsSet("ORVANE_PROBE_PHASES"))
        std::fprintf(stderr, "main %.1f app %.1f form %.1f\n", atMain, afterApp, processAgeMs());

    if (mode == QLatin1String("startup")) {
        FirstPaint watcher;
        main.window->installEventFilter(&watcher);
        main.window->show();
        return QApplication::exec();
    }
    if (mode == QLatin1String("idle")) {
        if (args.contains(QStringLiteral("--reload")))
            form.pictureCache().setAlwaysReload(true);
        if (args.contains(QStringLiteral("--poll")))
            control<WakeTimer>(form, "Timer1")->setPolling(true);
        main.window->show();
        QTimer::singleShot(int(args.value(2).toDouble() * 1000), [] { QCoreApplication::exit(0); });
        return QApplication::exec();
    }
    if (mode == QLatin1String("memory")) {
        control<WakeTimer>(form, "Timer1")->stop();
        main.window->show();
        const auto rounds = [&](int compositions, int ticks) {
            for (int i = 0; i < compositions; ++i)
                runHandler(&form, "cmdCreate_Click");
            for (int i = 0; i < ticks; ++i) {
                if (i % 50 == 0)
                    control<QCheckBox>(form, "chkArrow_%1", i / 50 % 8)
                        ->click();  // vary the files a little
                runHandler(&form, "Timer1_Timer");
            }
        };
        rounds(100, 100);
        const long rss100 = statusKb("VmRSS:");
        const int fds100 = openFiles();
        rounds(1000, 10000);
        std::printf("after_100 rss_kib %ld fds %d\nafter_1000_compositions_10000_ticks rss_kib "
                    "%ld fds %d\n",
                    rss100, fds100, statusKb("VmRSS:"), openFiles());
        return 0;
    }
    if (mode == QLatin1String("shots")) {
        // Pictures of every window, for review: the main window after a few edits, About,
        // Advanced Settings and the picture window.
        const QString folder = args.value(2, QStringLiteral("."));
        main.window->show();
        runHandler(&form, "Timer1_Timer");
        main.window->grab().save(folder + QStringLiteral("/main-start.png"));
        control<QLineEdit>(form, "txtNums_0")->setText(QStringLiteral("7"));
        control<QRadioButton>(form, "optElem_6")->setChecked(true);
        control<QLineEdit>(form, "txtNums_1")->setText(QStringLiteral("5"));
        runHandler(&form, "Timer1_Timer");
        control<QCheckBox>(form, "chkArrow_1")->click();
        control<QCheckBox>(form, "chkArrow_7")->click();
        control<QScrollBar>(form, "scrX")->setValue(4);
        runHandler(&form, "Timer1_Timer");
        main.window->grab().save(folder + QStringLiteral("/main-edited.png"));
        frmAbout about(prompts);
        about.show();
        about.grab().save(folder + QStringLiteral("/about.png"));
        Form4 settings(prompts, form.document().card().placement);
        settings.show();
        settings.grab().save(folder + QStringLiteral("/settings.png"));
        Form3 picture;
        picture.show();
        picture.grab().save(folder + QStringLiteral("/picture.png"));
        control<QCheckBox>(form, "chkArrow_3")->click();
        runHandler(&form, "Timer1_Timer");
        ZoomedPreview zoomed;
        zoomed.showCards(control<PictureBox>(form, "picBlueBase")->image(),
                         control<PictureBox>(form, "picRedBase")->image());
        zoomed.spnZoom->setValue(4);
        zoomed.chkGrid->setChecked(true);
        zoomed.show();
        QCoreApplication::processEvents();
        zoomed.grab().save(folder + QStringLiteral("/zoomed-preview.png"));
        ExportCardsDialog exportCards(prompts, control<PictureBox>(form, "picBlueBase")->image(),
                                      control<PictureBox>(form, "picRedBase")->image(),
                                      QStringLiteral("hero"));
        exportCards.show();
        exportCards.grab().save(folder + QStringLiteral("/export-cards.png"));
        RenderDeckDialog renderDeck(prompts, services.assetRoot, {});
        renderDeck.show();
        renderDeck.grab().save(folder + QStringLiteral("/render-deck.png"));
        return 0;
    }
    std::fprintf(
        stderr,
        "usage: orvane_probe startup | bare | bare-text | idle SECONDS [--poll] [--reload] | "
        "bare-idle SECONDS | part-latency ROUNDS | memory | shots DIR\n");
    return 2;
}
