// SPDX-License-Identifier: GPL-3.0-or-later
// orvane-render: every card of a deck (CSV) or a card file as pictures, without a window.
#include "command_line.h"
#include "files/card_export.h"
#include "option_checks.h"
#include "orvane_version.h"
#include "pack_mode.h"
#include "render_options.h"
#include "run_checks.h"
#include "stats_mode.h"
#include "stop_signals.h"
#include "system/heap_tuning.h"
#include "thumbnail_mode.h"
#include "watch.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

using namespace orvane;

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

void printLine(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
}

int usageError(const QCommandLineParser& parser, const QString& problem)
{
    printLine(stderr, QStringLiteral("orvane-render: %1").arg(problem));
    std::fputs(parser.helpText().toLocal8Bit().constData(), stderr);
    return ExitUsage;
}

// The progress line, redrawn in place on a terminal.
class ProgressLine {
public:
    void operator()(int done, int total)
    {
        if (m_timer.isValid() && m_timer.elapsed() < 40 && done < total)
            return;
        m_timer.start();
        std::fprintf(stderr, "\r%d/%d cards", done, total);
        std::fflush(stderr);
        m_shown = true;
    }
    void clear()
    {
        if (m_shown)
            std::fputs("\r\033[K", stderr);
    }

private:
    QElapsedTimer m_timer;
    bool m_shown = false;
};

// The picture decoders' own complaints ("libpng error: Not a PNG file") would come before, and
// say less than, the message the run gives for that picture: only the run's messages are shown.
void dropDecoderChatter(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg || type == QtCriticalMsg) {
        std::fputs(message.toLocal8Bit().constData(), stderr);
        std::fputc('\n', stderr);
    }
}

// "3 cards, 6 pictures, 2 replaced, a sheet of 1 page in 0.02 s; 1 problem".
QString summaryLine(const DeckRenderResult& result, double seconds, bool keepExisting)
{
    QString summary = QStringLiteral("%1, %2").arg(counted(result.cards, "card", "cards"),
                                                   counted(result.pictures, "picture", "pictures"));
    if (result.unchanged > 0)
        summary += QStringLiteral(", %1 unchanged").arg(counted(result.unchanged, "file", "files"));
    if (result.replaced > 0)
        summary += QStringLiteral(", %1 replaced")
                       .arg(counted(result.replaced, "existing file", "existing files"));
    if (keepExisting)
        summary += QStringLiteral(", %1 kept (--no-clobber)")
                       .arg(counted(result.kept, "existing file", "existing files"));
    if (result.sheetPages > 0)
        summary +=
            QStringLiteral(", a sheet of %1").arg(counted(result.sheetPages, "page", "pages"));
    if (result.printPages > 0)
        summary +=
            QStringLiteral(", a print of %1").arg(counted(result.printPages, "page", "pages"));
    if (result.printPictures > 0)
        summary += QStringLiteral(", a print of %1")
                       .arg(counted(result.printPictures, "picture", "pictures"));
    summary += QStringLiteral(" in %1 s").arg(seconds, 0, 'f', 2);
    if (!result.problems.isEmpty())
        summary +=
            QStringLiteral("; %1").arg(counted(result.problems.size(), "problem", "problems"));
    return summary;
}

}  // namespace

int main(int argc, char* argv[])
{
    keepFreedHeapForReuse();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvane-render"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVANE_VERSION));
    qInstallMessageHandler(dropDecoderChatter);

    QCommandLineParser parser;
    const CommandLine line;
    line.addTo(parser);
    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(parser, parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
        return ExitOk;
    }
    if (const std::optional<QString> repeated = repeatedOption(parser))
        return usageError(parser, QStringLiteral("%1 is given more than once").arg(*repeated));
    if (parser.isSet(QStringLiteral("version"))) {
        printLine(stdout, QStringLiteral("orvane-render %1").arg(QStringLiteral(ORVANE_VERSION)));
        return ExitOk;
    }

    // The modes that run instead of a render.
    if (parser.isSet(line.thumbnail))
        return writeThumbnail(parser.positionalArguments(), parser.value(line.parts));
    if (parser.isSet(line.checkPack))
        return checkPackMode(parser.value(line.checkPack));
    if (const std::optional<int> status = line.print.runTool(parser))
        return *status;
    const QStringList inputs = parser.positionalArguments();
    if (parser.isSet(line.stats)) {
        const QStringList formats{QStringLiteral("markdown"), QStringLiteral("json")};
        const std::optional<qsizetype> chosen = choiceIn(parser.value(line.statsFormat), formats);
        if (!chosen)
            return usageError(parser, choiceProblem(line.statsFormat.names().front(), formats));
        if (const QString problem = pairingProblem(parser, runOutputs(parser)); !problem.isEmpty())
            return usageError(parser, problem);
        if (const std::optional<QString> problem = inputsProblem(inputs))
            return usageError(parser, *problem);
        return writeStatistics(inputs, formats[*chosen], parser.value(line.statsOut));
    }

    DeckRenderOptions options;
    if (const QString problem = readRenderOptions(line, parser, options); !problem.isEmpty())
        return usageError(parser, problem);
    if (const QString problem = pairingProblem(parser, runOutputs(parser)); !problem.isEmpty())
        return usageError(parser, problem);
    if (const std::optional<QString> problem = inputsProblem(inputs))
        return usageError(parser, *problem);
    if (parser.isSet(line.watch))
        return runWatch(options, {parser.isSet(line.quiet), parser.isSet(line.listWritten)});

    catchStopSignals();
    const bool showProgress = !parser.isSet(line.quiet) && isatty(fileno(stderr));
    ProgressLine progressLine;
    QElapsedTimer timer;
    timer.start();
    const DeckRenderResult result =
        showProgress ? renderDeck(options, Progress(std::ref(progressLine), &stopRequested()))
                     : renderDeck(options, Progress({}, &stopRequested()));
    progressLine.clear();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;

    if (!result.fatal.isEmpty()) {
        printLine(stderr, QStringLiteral("orvane-render: %1").arg(result.fatal));
        return ExitFailed;
    }
    for (const QString& problem : result.problems)
        printLine(stderr, problem);
    printRunLines(result, parser.isSet(line.listWritten));
    if (!parser.isSet(line.quiet))
        printLine(stdout, summaryLine(result, seconds, options.keepExisting));
    if (stopExitCode() != 0) {
        printLine(stderr, QStringLiteral("orvane-render: stopped; the cards written so far are "
                                         "whole, the others not written"));
        return stopExitCode();
    }
    return result.ok() ? ExitOk : ExitFailed;
}
