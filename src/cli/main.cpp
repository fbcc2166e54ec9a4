// orvane-render: every card of a deck (CSV) or a card file as pictures, without a window.
#include "card/palette_file.h"
#include "files/card_export.h"
#include "files/card_sheet.h"
#include "orvane_version.h"
#include "pack_mode.h"
#include "play_options.h"
#include "print_options.h"
#include "run_checks.h"
#include "stats_mode.h"
#include "stop_signals.h"
#include "system/heap_tuning.h"
#include "thumbnail_mode.h"
#include "watch.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>

#include <cmath>
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

std::optional<int> wholeNumber(const QString& text, int low, int high)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
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

// Checks every input before anything is read: a missing one is a usage error.
std::optional<QString> inputsProblem(const QStringList& inputs)
{
    if (inputs.isEmpty())
        return QStringLiteral("no deck or card file given");
    for (const QString& input : inputs)
        if (const QString why = inputProblem(input); !why.isEmpty())
            return QStringLiteral("%1 %2").arg(QDir::toNativeSeparators(input), why);
    return std::nullopt;
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
    parser.setApplicationDescription(QStringLiteral(
        "Renders every card of a deck (CSV) or a card file as a blue and a red picture.\n"
        "The picture options (--fit ... --keep-dark, --picture-colours ... --outline-colour) "
        "prepare each\n"
        "card's picture as Prepare Main Picture... does; a deck row's own cells (fit, scale,\n"
        "resample, pan_x, pan_y, key, tolerance, keep_dark, colours, palette, dither, outline,\n"
        "outline_colour) win, and a card file prepared in the editor keeps its own."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("input"),
        QStringLiteral("Decks (CSV) and card files, one or more; told apart by their content."),
        QStringLiteral("DECK.csv|CARD-FILE..."));
    const QCommandLineOption out(
        QStringLiteral("out"),
        QStringLiteral("Folder for the pictures (default: each input's; with --sheet, pictures "
                       "are written only when --out is given)."),
        QStringLiteral("DIR"));
    const QCommandLineOption noClobber(
        QStringLiteral("no-clobber"),
        QStringLiteral("Keep files already there instead of replacing them (the summary counts "
                       "both)."));
    const QCommandLineOption format(QStringLiteral("format"),
                                    QStringLiteral("png (default), jpg or bmp."),
                                    QStringLiteral("png|jpg|bmp"), QStringLiteral("png"));
    const QCommandLineOption scale(
        QStringLiteral("scale"),
        QStringLiteral("Every card pixel of the output as an N x N block, 1-16 (the picture's "
                       "own size: --picture-scale)."),
        QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption parts(
        QStringLiteral("parts"),
        QStringLiteral("Folder holding gfx/ with the 33 card parts (default: the program's)."),
        QStringLiteral("GFX-DIR"));
    const QCommandLineOption pack(
        QStringLiteral("pack"),
        QStringLiteral("Draw the cards with the parts of a pack: an installed pack's name or a "
                       "pack folder; its @2x/@3x/@4x parts serve --scale."),
        QStringLiteral("NAME|FOLDER"));
    const QCommandLineOption checkPack(
        QStringLiteral("check-pack"),
        QStringLiteral("Instead: print every problem of a pack folder or zip; exit 1 on an "
                       "error."),
        QStringLiteral("FOLDER|ZIP"));
    const QCommandLineOption records(QStringLiteral("records"),
                                     QStringLiteral("Also write each card's data record."));
    const QCommandLineOption sheet(QStringLiteral("sheet"),
                                   QStringLiteral("Write a print-and-play sheet (PDF); the "
                                                  "pictures too only with --out."),
                                   QStringLiteral("FILE.pdf"));
    const QCommandLineOption cardMm(QStringLiteral("card-mm"),
                                    QStringLiteral("Printed card size on the sheet, 5-150 mm "
                                                   "(default 25)."),
                                    QStringLiteral("MM"), QStringLiteral("25"));
    const QCommandLineOption sides(QStringLiteral("sides"),
                                   QStringLiteral("both (default) or blue, on the sheet."),
                                   QStringLiteral("both|blue"), QStringLiteral("both"));
    const QCommandLineOption paper(QStringLiteral("paper"),
                                   QStringLiteral("a4 (default) or letter, for the sheet."),
                                   QStringLiteral("a4|letter"), QStringLiteral("a4"));
    const QCommandLineOption jobs(QStringLiteral("jobs"),
                                  QStringLiteral("Cards rendered at once (default: every core)."),
                                  QStringLiteral("N"));
    // The preparation of every card's picture (a deck row's own cells win); each option is
    // named after its setting, --picture-scale apart, since --scale enlarges the output.
    const QCommandLineOption fit(
        QStringLiteral("fit"),
        QStringLiteral("Prepare each picture for the card: fit (whole picture inside), fill "
                       "(card covered, the rest cropped) or none (1 : 1 or --picture-scale)."),
        QStringLiteral("fit|fill|none"));
    const QCommandLineOption pictureScale(
        QStringLiteral("picture-scale"),
        QStringLiteral("With --fit none: the picture at this percentage of its size, 1-10000."),
        QStringLiteral("PERCENT"));
    const QCommandLineOption resample(QStringLiteral("resample"),
                                      QStringLiteral("smooth (default, photos) or nearest (pixel "
                                                     "art), when a picture is scaled."),
                                      QStringLiteral("smooth|nearest"));
    const QCommandLineOption panX(QStringLiteral("pan-x"),
                                  QStringLiteral("Moves the centred picture right (+) or left (-) "
                                                 "by N card pixels."),
                                  QStringLiteral("N"));
    const QCommandLineOption panY(QStringLiteral("pan-y"),
                                  QStringLiteral("Moves the centred picture down (+) or up (-) by "
                                                 "N card pixels."),
                                  QStringLiteral("N"));
    const QCommandLineOption key(
        QStringLiteral("key"),
        QStringLiteral("The picture's background, made transparent: a colour, or corners "
                       "(flooded from the four corners)."),
        QStringLiteral("#rrggbb|corners|none"));
    const QCommandLineOption tolerance(
        QStringLiteral("tolerance"),
        QStringLiteral("How far from the key colour a pixel may be, 0-255 (default 0)."),
        QStringLiteral("N"));
    const QCommandLineOption keepDark(QStringLiteral("keep-dark"),
                                      QStringLiteral("Keeps pure black that is not background "
                                                     "visible (1, 1, 1)."));
    const QCommandLineOption quiet(QStringLiteral("quiet"),
                                   QStringLiteral("No progress and no summary; problems only."));
    parser.addOptions({out,   format, scale,     parts,    records,      sheet,    cardMm,
                       sides, paper,  jobs,      fit,      pictureScale, resample, panX,
                       panY,  key,    tolerance, keepDark, quiet,        noClobber});
    // The colour step of the preparation, after fit, pan and key.
    // --picture-colours, since --colours chooses the cards of the deck sheets.
    const QCommandLineOption colours(
        QStringLiteral("picture-colours"),
        QStringLiteral("Reduces each prepared picture to N colours, 2-256 (default all)."),
        QStringLiteral("N|all"));
    const QCommandLineOption palette(
        QStringLiteral("palette"),
        QStringLiteral("Maps each prepared picture to a palette: the card parts' own colours, or "
                       "a palette file (.gpl, .hex, .pal)."),
        QStringLiteral("parts|FILE"));
    const QCommandLineOption dither(
        QStringLiteral("dither"),
        QStringLiteral(
            "With --picture-colours or --palette: none, ordered (Bayer 4 x 4) or diffusion, "
            "optionally with a strength 0-100 (\"diffusion 60\")."),
        QStringLiteral("KIND[ STRENGTH]"));
    const QCommandLineOption outline(
        QStringLiteral("outline"),
        QStringLiteral("A one-pixel outline outside or inside the picture's shape."),
        QStringLiteral("none|outside|inside"));
    const QCommandLineOption outlineColour(
        QStringLiteral("outline-colour"),
        QStringLiteral("The outline's colour (default #ffffff; pure black is transparent)."),
        QStringLiteral("#rrggbb"));
    parser.addOptions({colours, palette, dither, outline, outlineColour});
    // Following the deck: which files a run wrote, and rendering again on every change.
    const QCommandLineOption listWritten(
        QStringLiteral("list-written"),
        QStringLiteral("Print every file written, one a line (a file that would get the same "
                       "bytes is left as it is, its time stamp kept)."));
    const QCommandLineOption watch(
        QStringLiteral("watch"),
        QStringLiteral("Render, then render again on each change of the deck, a picture or a "
                       "part, writing only the cards that changed; Ctrl+C ends."));
    parser.addOptions({listWritten, watch, pack, checkPack});

    // Deck sheets, the atlas, a print sheet's backs and finishing; a file manager's thumbnail.
    const PlayOptions playOptions;
    playOptions.addTo(parser);
    // A print by a profile, the printer's calibration.
    const PrintOptions printOptions;
    printOptions.addTo(parser);
    const QCommandLineOption thumbnail(
        QStringLiteral("thumbnail"),
        QStringLiteral("Instead: write the blue card of the card file IN as the PNG OUT of at "
                       "most SIZE pixels a side (arguments IN OUT SIZE)."));
    parser.addOption(thumbnail);
    // The balance of the cards instead of their pictures.
    const QCommandLineOption stats(
        QStringLiteral("stats"),
        QStringLiteral("Instead of pictures: the statistics of the cards (totals, frames, sides, "
                       "elements, arrows) and the dominated, duplicate and over-arrowed cards."));
    const QCommandLineOption statsFormat(
        QStringLiteral("stats-format"), QStringLiteral("markdown (default) or json."),
        QStringLiteral("markdown|json"), QStringLiteral("markdown"));
    const QCommandLineOption statsOut(
        QStringLiteral("stats-out"),
        QStringLiteral("Write the statistics to FILE (whole or not at all) instead of standard "
                       "output."),
        QStringLiteral("FILE"));
    parser.addOptions({stats, statsFormat, statsOut});

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
    if (parser.isSet(thumbnail))
        return writeThumbnail(parser.positionalArguments(), parser.value(parts));
    if (parser.isSet(checkPack))
        return checkPackMode(parser.value(checkPack));
    if (const std::optional<int> status = printOptions.runTool(parser))
        return *status;

    const QStringList inputs = parser.positionalArguments();
    if (parser.isSet(stats)) {
        const QString chosen = parser.value(statsFormat).toLower();
        if (chosen != QLatin1String("markdown") && chosen != QLatin1String("json"))
            return usageError(parser, QStringLiteral("--stats-format must be markdown or json"));
        if (parser.isSet(watch) || parser.isSet(sheet) || parser.isSet(out))
            return usageError(parser, QStringLiteral("--stats writes no pictures: not with "
                                                     "--out, --sheet or --watch"));
        if (const std::optional<QString> problem = inputsProblem(inputs))
            return usageError(parser, *problem);
        return writeStatistics(inputs, chosen, parser.value(statsOut));
    }
    if (parser.isSet(statsFormat) || parser.isSet(statsOut))
        return usageError(parser, QStringLiteral("--stats-format and --stats-out go with --stats"));

    DeckRenderOptions options;
    if (!inputs.isEmpty()) {
        options.input = inputs.front();
        options.moreInputs = inputs.mid(1);
    }
    options.outDir = parser.value(out);
    options.partsRoot = parser.value(parts);
    if (parser.isSet(pack))
        options.pack = choosePack(parser.value(pack));
    options.records = parser.isSet(records);
    options.sheet = parser.value(sheet);
    if (const QString problem = printOptions.read(parser, options); !problem.isEmpty())
        return usageError(parser, problem);
    options.pictures = (options.sheet.isEmpty() && !options.print.active()) || parser.isSet(out);
    options.keepExisting = parser.isSet(noClobber);
    // What each output folder's last run wrote is kept in the user's cache, so that a run where
    // little changed renders only that; without a cache folder every card is compared.
    if (const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        !cache.isEmpty())
        options.recordFolder = QDir(cache).filePath(QStringLiteral("written"));

    const std::optional<ExportFormat> chosenFormat = exportFormatFromName(parser.value(format));
    if (!chosenFormat)
        return usageError(parser, QStringLiteral("--format must be png, jpg or bmp"));
    options.format = *chosenFormat;
    const std::optional<int> chosenScale = wholeNumber(parser.value(scale), 1, MaxExportScale);
    if (!chosenScale)
        return usageError(parser, QStringLiteral("--scale must be a whole number from 1 to 16"));
    options.scale = *chosenScale;
    if (parser.isSet(jobs)) {
        const std::optional<int> chosenJobs = wholeNumber(parser.value(jobs), 1, 256);
        if (!chosenJobs)
            return usageError(parser,
                              QStringLiteral("--jobs must be a whole number from 1 to 256"));
        options.jobs = *chosenJobs;
    }
    bool mmOk = false;
    options.cardMm = parser.value(cardMm).toDouble(&mmOk);
    if (!mmOk || !std::isfinite(options.cardMm) || options.cardMm < MinSheetCardMm ||
        options.cardMm > MaxSheetCardMm)
        return usageError(parser, QStringLiteral("--card-mm must be a size from 5 to 150"));
    const QString sidesText = parser.value(sides).toLower();
    if (sidesText != QLatin1String("both") && sidesText != QLatin1String("blue"))
        return usageError(parser, QStringLiteral("--sides must be both or blue"));
    options.sides = sidesText == QLatin1String("blue") ? SheetSides::BlueOnly : SheetSides::Both;
    const QString paperText = parser.value(paper).toLower();
    if (paperText != QLatin1String("a4") && paperText != QLatin1String("letter"))
        return usageError(parser, QStringLiteral("--paper must be a4 or letter"));
    options.paper = paperText == QLatin1String("letter") ? SheetPaper::Letter : SheetPaper::A4;
    if ((parser.isSet(cardMm) || parser.isSet(sides) || parser.isSet(paper)) &&
        options.sheet.isEmpty())
        return usageError(parser, QStringLiteral("--card-mm, --sides and --paper go with --sheet"));
    if (!options.sheet.isEmpty() &&
        cardsPerSheetPage({options.cardMm, options.sides, options.paper}) == 0)
        return usageError(
            parser,
            QStringLiteral("--card-mm %1: %2 of that size do not fit on "
                           "%3 page (try a smaller size%4)")
                .arg(parser.value(cardMm),
                     options.sides == SheetSides::Both ? QStringLiteral("a blue and a red card")
                                                       : QStringLiteral("cards"),
                     options.paper == SheetPaper::A4 ? QStringLiteral("an A4")
                                                     : QStringLiteral("a Letter"),
                     options.sides == SheetSides::Both ? QStringLiteral(" or --sides blue")
                                                       : QString()));

    const struct {
        const QCommandLineOption& option;
        const char* setting;
    } fitOptions[] = {{fit, "fit"},
                      {pictureScale, "scale"},
                      {resample, "resample"},
                      {panX, "pan_x"},
                      {panY, "pan_y"},
                      {key, "key"},
                      {tolerance, "tolerance"},
                      {colours, "colours"},
                      {palette, "palette"},
                      {dither, "dither"},
                      {outline, "outline"},
                      {outlineColour, "outline_colour"}};
    for (const auto& [option, setting] : fitOptions)
        if (parser.isSet(option))
            options.pictureFit.insert(QLatin1String(setting), parser.value(option));
    // A palette file is read once here, so a bad one stops the run before any card.
    const QString paletteFile = options.pictureFit.value(QStringLiteral("palette")).trimmed();
    if (!paletteFile.isEmpty() &&
        paletteFile.compare(QLatin1String(PartsPaletteName), Qt::CaseInsensitive) != 0 &&
        paletteFile.compare(QLatin1String("none"), Qt::CaseInsensitive) != 0) {
        const QString whole = QFileInfo(paletteFile).absoluteFilePath();
        const PaletteRead read = readPaletteFile(whole);
        if (!read.error.isEmpty())
            return usageError(parser, QStringLiteral("--palette: %1").arg(read.error));
        options.pictureFit.insert(QStringLiteral("palette"), whole);
    }
    if (parser.isSet(keepDark))
        options.pictureFit.insert(QStringLiteral("keep_dark"), QStringLiteral("yes"));
    PictureFitProblem fitProblem;
    if (!parsePictureFit(options.pictureFit, &fitProblem)) {
        for (const auto& [option, setting] : fitOptions)
            if (fitProblem.name == QLatin1String(setting))
                return usageError(
                    parser,
                    QStringLiteral("--%1: %2").arg(option.names().front(), fitProblem.message));
        return usageError(parser, fitProblem.message);
    }

    if (const QString problem = playOptions.read(parser, parser.isSet(scale), options);
        !problem.isEmpty())
        return usageError(parser, problem);
    PrintOptions::finish(options);

    if (const std::optional<QString> problem = inputsProblem(inputs))
        return usageError(parser, *problem);

    if (parser.isSet(watch)) {
        if (!options.sheet.isEmpty() || options.play.any() || options.print.active())
            return usageError(parser, QStringLiteral("--watch writes the card pictures (and "
                                                     "records) only: not with --sheet or the "
                                                     "outputs made of all cards"));
        return runWatch(options, {parser.isSet(quiet), parser.isSet(listWritten)});
    }

    catchStopSignals();
    const bool showProgress = !parser.isSet(quiet) && isatty(fileno(stderr));
    ProgressLine line;
    QElapsedTimer timer;
    timer.start();
    const DeckRenderResult result =
        showProgress ? renderDeck(options, Progress(std::ref(line), &stopRequested()))
                     : renderDeck(options, Progress({}, &stopRequested()));
    line.clear();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;

    if (!result.fatal.isEmpty()) {
        printLine(stderr, QStringLiteral("orvane-render: %1").arg(result.fatal));
        return ExitFailed;
    }
    for (const QString& problem : result.problems)
        printLine(stderr, problem);
    printRunLines(result, parser.isSet(listWritten));
    if (!parser.isSet(quiet))
        printLine(stdout, summaryLine(result, seconds, options.keepExisting));
    if (stopExitCode() != 0) {
        printLine(stderr, QStringLiteral("orvane-render: stopped; the cards written so far are "
                                         "whole, the others not written"));
        return stopExitCode();
    }
    return result.ok() ? ExitOk : ExitFailed;
}
