// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

#include <QCoreApplication>

CommandLine::CommandLine()
    : out(QStringLiteral("out"),
          QStringLiteral("Folder for the pictures (default: each input's; with --sheet, pictures "
                         "are written only when --out is given)."),
          QStringLiteral("DIR")),
      noClobber(
          QStringLiteral("no-clobber"),
          QStringLiteral("Keep files already there instead of replacing them (the summary counts "
                         "both).")),
      format(QStringLiteral("format"), QStringLiteral("png (default), jpg or bmp."),
             QStringLiteral("png|jpg|bmp"), QStringLiteral("png")),
      scale(QStringLiteral("scale"),
            QStringLiteral("Every card pixel of the output as an N x N block, 1-16 (the picture's "
                           "own size: --picture-scale)."),
            QStringLiteral("N"), QStringLiteral("1")),
      parts(QStringLiteral("parts"),
            QStringLiteral("Folder holding gfx/ with the 33 card parts (default: the program's)."),
            QStringLiteral("GFX-DIR")),
      pack(QStringLiteral("pack"),
           QStringLiteral("Draw the cards with the parts of a pack: an installed pack's name or a "
                          "pack folder; its @2x/@3x/@4x parts serve --scale."),
           QStringLiteral("NAME|FOLDER")),
      checkPack(QStringLiteral("check-pack"),
                QStringLiteral("Instead: print every problem of a pack folder or zip; exit 1 on an "
                               "error."),
                QStringLiteral("FOLDER|ZIP")),
      records(QStringLiteral("records"), QStringLiteral("Also write each card's data record.")),
      jobs(QStringLiteral("jobs"), QStringLiteral("Cards rendered at once (default: every core)."),
           QStringLiteral("N")),
      quiet(QStringLiteral("quiet"), QStringLiteral("No progress and no summary; problems only.")),
      sheet(QStringLiteral("sheet"),
            QStringLiteral("Write a print-and-play sheet (PDF); the "
                           "pictures too only with --out."),
            QStringLiteral("FILE.pdf")),
      cardMm(QStringLiteral("card-mm"),
             QStringLiteral("Printed card size on the sheet, 5-150 mm "
                            "(default 25)."),
             QStringLiteral("MM"), QStringLiteral("25")),
      sides(QStringLiteral("sides"), QStringLiteral("both (default) or blue, on the sheet."),
            QStringLiteral("both|blue"), QStringLiteral("both")),
      paper(QStringLiteral("paper"), QStringLiteral("a4 (default) or letter, for the sheet."),
            QStringLiteral("a4|letter"), QStringLiteral("a4")),
      fit(QStringLiteral("fit"),
          QStringLiteral("Prepare each picture for the card: fit (whole picture inside), fill "
                         "(card covered, the rest cropped) or none (1 : 1 or --picture-scale)."),
          QStringLiteral("fit|fill|none")),
      pictureScale(
          QStringLiteral("picture-scale"),
          QStringLiteral("With --fit none: the picture at this percentage of its size, 1-10000."),
          QStringLiteral("PERCENT")),
      resample(QStringLiteral("resample"),
               QStringLiteral("smooth (default, photos) or nearest (pixel "
                              "art), when a picture is scaled."),
               QStringLiteral("smooth|nearest")),
      panX(QStringLiteral("pan-x"),
           QStringLiteral("Moves the centred picture right (+) or left (-) "
                          "by N card pixels."),
           QStringLiteral("N")),
      panY(QStringLiteral("pan-y"),
           QStringLiteral("Moves the centred picture down (+) or up (-) by "
                          "N card pixels."),
           QStringLiteral("N")),
      key(QStringLiteral("key"),
          QStringLiteral("The picture's background, made transparent: a colour, or corners "
                         "(flooded from the four corners)."),
          QStringLiteral("#rrggbb|corners|none")),
      tolerance(QStringLiteral("tolerance"),
                QStringLiteral("How far from the key colour a pixel may be, 0-255 (default 0)."),
                QStringLiteral("N")),
      keepDark(QStringLiteral("keep-dark"),
               QStringLiteral("Keeps pure black that is not background "
                              "visible (1, 1, 1).")),
      colours(QStringLiteral("picture-colours"),
              QStringLiteral("Reduces each prepared picture to N colours, 2-256 (default all)."),
              QStringLiteral("N|all")),
      palette(
          QStringLiteral("palette"),
          QStringLiteral("Maps each prepared picture to a palette: the card parts' own colours, or "
                         "a palette file (.gpl, .hex, .pal)."),
          QStringLiteral("parts|FILE")),
      dither(QStringLiteral("dither"),
             QStringLiteral(
                 "With --picture-colours or --palette: none, ordered (Bayer 4 x 4) or diffusion, "
                 "optionally with a strength 0-100 (\"diffusion 60\")."),
             QStringLiteral("KIND[ STRENGTH]")),
      outline(QStringLiteral("outline"),
              QStringLiteral("A one-pixel outline outside or inside the picture's shape."),
              QStringLiteral("none|outside|inside")),
      outlineColour(
          QStringLiteral("outline-colour"),
          QStringLiteral("The outline's colour (default #ffffff; pure black is transparent)."),
          QStringLiteral("#rrggbb")),
      listWritten(
          QStringLiteral("list-written"),
          QStringLiteral("Print every file written, one a line (a file that would get the same "
                         "bytes is left as it is, its time stamp kept).")),
      watch(QStringLiteral("watch"),
            QStringLiteral("Render, then render again on each change of the deck, a picture or a "
                           "part, writing only the cards that changed; Ctrl+C ends.")),
      thumbnail(
          QStringLiteral("thumbnail"),
          QStringLiteral("Instead: write the blue card of the card file IN as the PNG OUT of at "
                         "most SIZE pixels a side (arguments IN OUT SIZE).")),
      stats(
          QStringLiteral("stats"),
          QStringLiteral("Instead of pictures: the statistics of the cards (totals, frames, sides, "
                         "elements, arrows) and the dominated, duplicate and over-arrowed cards.")),
      statsFormat(QStringLiteral("stats-format"), QStringLiteral("markdown (default) or json."),
                  QStringLiteral("markdown|json"), QStringLiteral("markdown")),
      statsOut(
          QStringLiteral("stats-out"),
          QStringLiteral("Write the statistics to FILE (whole or not at all) instead of standard "
                         "output."),
          QStringLiteral("FILE"))
{
}

void CommandLine::addTo(QCommandLineParser& parser) const
{
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
    parser.addOptions({out,   format, scale,     parts,    records,      sheet,    cardMm,
                       sides, paper,  jobs,      fit,      pictureScale, resample, panX,
                       panY,  key,    tolerance, keepDark, quiet,        noClobber});
    parser.addOptions({colours, palette, dither, outline, outlineColour});
    parser.addOptions({listWritten, watch, pack, checkPack});
    play.addTo(parser);
    print.addTo(parser);
    parser.addOption(thumbnail);
    parser.addOptions({stats, statsFormat, statsOut});
}
