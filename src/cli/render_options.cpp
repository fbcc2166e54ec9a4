// SPDX-License-Identifier: GPL-3.0-or-later
#include "render_options.h"

#include "card/palette_file.h"
#include "files/card_sheet.h"
#include "option_checks.h"
#include "pack_mode.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using namespace orvane;

namespace {

constexpr int MaxJobs = 256;  // cards rendered at once, at most

QString readSheet(const CommandLine& line, const QCommandLineParser& parser,
                  DeckRenderOptions& options)
{
    if (const QString problem = readNumber(parser, line.cardMm.names().front(), MinSheetCardMm,
                                           MaxSheetCardMm, options.cardMm);
        !problem.isEmpty())
        return problem;
    const QStringList sides{QStringLiteral("both"), QStringLiteral("blue")};
    const std::optional<qsizetype> side = choiceIn(parser.value(line.sides), sides);
    if (!side)
        return choiceProblem(line.sides.names().front(), sides);
    options.sides = *side == 1 ? SheetSides::BlueOnly : SheetSides::Both;
    const QStringList papers{QStringLiteral("a4"), QStringLiteral("letter")};
    const std::optional<qsizetype> paper = choiceIn(parser.value(line.paper), papers);
    if (!paper)
        return choiceProblem(line.paper.names().front(), papers);
    options.paper = *paper == 1 ? SheetPaper::Letter : SheetPaper::A4;
    if (!options.sheet.isEmpty() &&
        cardsPerSheetPage({options.cardMm, options.sides, options.paper}) == 0)
        return QStringLiteral("--card-mm %1: %2 of that size do not fit on "
                              "%3 page (try a smaller size%4)")
            .arg(parser.value(line.cardMm),
                 options.sides == SheetSides::Both ? QStringLiteral("a blue and a red card")
                                                   : QStringLiteral("cards"),
                 options.paper == SheetPaper::A4 ? QStringLiteral("an A4")
                                                 : QStringLiteral("a Letter"),
                 options.sides == SheetSides::Both ? QStringLiteral(" or --sides blue")
                                                   : QString());
    return {};
}

// The options of the picture preparation, each with the deck column it stands for.
struct FitOption {
    const QCommandLineOption& option;
    const char* setting;
};

QString readPictureFit(const CommandLine& line, const QCommandLineParser& parser,
                       DeckRenderOptions& options)
{
    const FitOption fitOptions[] = {{line.fit, "fit"},
                                    {line.pictureScale, "scale"},
                                    {line.resample, "resample"},
                                    {line.panX, "pan_x"},
                                    {line.panY, "pan_y"},
                                    {line.key, "key"},
                                    {line.tolerance, "tolerance"},
                                    {line.colours, "colours"},
                                    {line.palette, "palette"},
                                    {line.dither, "dither"},
                                    {line.outline, "outline"},
                                    {line.outlineColour, "outline_colour"}};
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
            return QStringLiteral("--palette: %1").arg(read.error);
        options.pictureFit.insert(QStringLiteral("palette"), whole);
    }
    if (parser.isSet(line.keepDark))
        options.pictureFit.insert(QStringLiteral("keep_dark"), QStringLiteral("yes"));
    PictureFitProblem fitProblem;
    if (!parsePictureFit(options.pictureFit, &fitProblem)) {
        for (const auto& [option, setting] : fitOptions)
            if (fitProblem.name == QLatin1String(setting))
                return QStringLiteral("--%1: %2").arg(option.names().front(), fitProblem.message);
        return fitProblem.message;
    }
    return {};
}

}  // namespace

QString readRenderOptions(const CommandLine& line, const QCommandLineParser& parser,
                          DeckRenderOptions& options)
{
    const QStringList inputs = parser.positionalArguments();
    if (!inputs.isEmpty()) {
        options.input = inputs.front();
        options.moreInputs = inputs.mid(1);
    }
    options.outDir = parser.value(line.out);
    options.partsRoot = parser.value(line.parts);
    if (parser.isSet(line.pack))
        options.pack = choosePack(parser.value(line.pack));
    options.records = parser.isSet(line.records);
    options.sheet = parser.value(line.sheet);
    if (const QString problem = line.print.read(parser, options); !problem.isEmpty())
        return problem;
    options.pictures =
        (options.sheet.isEmpty() && !options.print.active()) || parser.isSet(line.out);
    options.keepExisting = parser.isSet(line.noClobber);
    // What each output folder's last run wrote is kept in the user's cache, so that a run where
    // little changed renders only that; without a cache folder every card is compared.
    if (const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        !cache.isEmpty())
        options.recordFolder = QDir(cache).filePath(QStringLiteral("written"));

    const std::optional<ExportFormat> format = exportFormatFromName(parser.value(line.format));
    if (!format)
        return QStringLiteral("--format must be png, jpg or bmp");
    options.format = *format;
    if (const QString problem =
            readNumber(parser, line.scale.names().front(), 1, MaxExportScale, options.scale);
        !problem.isEmpty())
        return problem;
    if (parser.isSet(line.jobs))
        if (const QString problem =
                readNumber(parser, line.jobs.names().front(), 1, MaxJobs, options.jobs);
            !problem.isEmpty())
            return problem;
    if (const QString problem = readSheet(line, parser, options); !problem.isEmpty())
        return problem;
    if (const QString problem = readPictureFit(line, parser, options); !problem.isEmpty())
        return problem;
    if (const QString problem = line.play.read(parser, parser.isSet(line.scale), options);
        !problem.isEmpty())
        return problem;
    PrintOptions::finish(options);
    return {};
}
