// SPDX-License-Identifier: GPL-3.0-or-later
#include "watch.h"

#include "files/deck_render.h"
#include "files/deck_watcher.h"
#include "render/asset_catalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>
#include <QSocketNotifier>

#include <atomic>
#include <csignal>
#include <cstdio>

#ifndef _WIN32
#include <sys/socket.h>
#include <unistd.h>
#endif

using namespace orvane;

namespace {

constexpr int MostNamesShown = 8;

void printLine(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

// Set by SIGINT or SIGTERM: a render in progress stops after the cards being written.
std::atomic_bool stopRequested{false};
int signalPipe[2] = {-1, -1};

#ifndef _WIN32
extern "C" void onWatchStopSignal(int signal)
{
    stopRequested.store(true);
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}
#endif

// The warnings a watch has printed: each is printed when it appears, and again only after a
// run without it, so that a change elsewhere in the deck does not repeat every warning. A
// warning names its row, so the same text is the same row's same warning.
class PrintedWarnings {
public:
    // Those of `warnings` not printed yet, in their order. A run that could not read the deck
    // (`whole` false) says nothing of the warnings it lacks: they stay printed.
    QStringList fresh(const QStringList& warnings, bool whole)
    {
        QStringList unseen;
        QSet<QString> now;
        for (const QString& warning : warnings) {
            if (!m_printed.contains(warning) && !now.contains(warning))
                unseen << warning;
            now.insert(warning);
        }
        if (whole)
            m_printed = std::move(now);
        else
            m_printed.unite(now);
        return unseen;
    }

private:
    QSet<QString> m_printed;
};

void printWarnings(const QStringList& warnings)
{
    for (const QString& warning : warnings)
        printLine(stderr, QStringLiteral("warning: %1").arg(warning));
}

void printWritten(const QStringList& written)
{
    for (const QString& path : written)
        printLine(stdout, path);
}

}  // namespace

QString changedCardsLine(const QStringList& names)
{
    if (names.isEmpty())
        return QStringLiteral("no card changed");
    QStringList shown = names.mid(0, MostNamesShown);
    if (names.size() > MostNamesShown)
        shown << QStringLiteral("and %1 more").arg(names.size() - MostNamesShown);
    return QStringLiteral("%1 %2 changed: %3")
        .arg(names.size())
        .arg(names.size() == 1 ? QStringLiteral("card") : QStringLiteral("cards"),
             shown.join(QStringLiteral(", ")));
}

void printRunLines(const DeckRenderResult& result, bool listWritten)
{
    printWarnings(result.warnings);
    if (listWritten)
        printWritten(result.written);
}

int runWatch(DeckRenderOptions options, const WatchOutput& output)
{
#ifndef _WIN32
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) {
        printLine(stderr, QStringLiteral("orvane-render: --watch cannot wait for Ctrl+C here"));
        return 1;
    }
    struct sigaction action {};
    action.sa_handler = &onWatchStopSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    QSocketNotifier stopNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&stopNotifier, &QSocketNotifier::activated, [] {
        char signal = 0;
        [[maybe_unused]] const ssize_t got = ::read(signalPipe[0], &signal, 1);
        QCoreApplication::exit(128 + signal);
    });
#endif

    DeckRenderMemo memo;
    options.memo = &memo;
    // The part files: a change to one renders every card again.
    const QDir partsRoot(options.partsRoot.isEmpty() ? QCoreApplication::applicationDirPath()
                                                     : options.partsRoot);
    QSet<QString> parts;
    for (const QString& part : assets::allFiles())
        parts.insert(partsRoot.absoluteFilePath(part));
    DeckWatcher watcher;
    PrintedWarnings printedWarnings;

    const auto render = [&](bool first) {
        QElapsedTimer timer;
        timer.start();
        const DeckRenderResult result = renderDeck(options, Progress({}, &stopRequested));
        if (stopRequested.load())
            return;
        // Before anything is said, so that a change made on seeing it is caught.
        if (result.sources != watcher.files())
            watcher.watch(result.sources);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        if (!result.fatal.isEmpty())
            printLine(stderr, QStringLiteral("orvane-render: %1").arg(result.fatal));
        for (const QString& problem : result.problems)
            printLine(stderr, problem);
        printWarnings(printedWarnings.fresh(result.warnings, result.fatal.isEmpty()));
        if (output.listWritten)
            printWritten(result.written);
        if (!output.quiet) {
            QString line = first ? QStringLiteral("%1 cards, %2 pictures, %3 files unchanged")
                                       .arg(result.cards)
                                       .arg(result.pictures)
                                       .arg(result.unchanged)
                                 : changedCardsLine(result.changedCards);
            line += QStringLiteral(" in %1 ms").arg(ms, 0, 'f', 1);
            if (!result.problems.isEmpty())
                line += QStringLiteral("; %1 %2")
                            .arg(result.problems.size())
                            .arg(result.problems.size() == 1 ? QStringLiteral("problem")
                                                             : QStringLiteral("problems"));
            if (first)
                line += QStringLiteral(". Watching for changes; Ctrl+C ends.");
            printLine(stdout, line);
        }
    };
    QObject::connect(&watcher, &DeckWatcher::changed, [&](const QStringList& files) {
        for (const QString& file : files)
            if (parts.contains(file)) {
                memo.cards.clear();  // a part changed: every card may look different
                break;
            }
        render(false);
    });
    // The inputs and parts are watched from before the first run: a change during it counts.
    QStringList before;
    for (const QString& input : QStringList{options.input} + options.moreInputs)
        before << QFileInfo(input).absoluteFilePath();
    before << QStringList(parts.cbegin(), parts.cend());
    watcher.watch(before);
    render(true);
    // A stop asked for during the first run is waiting in the pipe: the loop ends at once.
    return QCoreApplication::exec();
}
