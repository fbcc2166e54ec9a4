// SPDX-License-Identifier: GPL-3.0-or-later
#include "play_options.h"

#include "files/card_sheet.h"
#include "files/texture_atlas.h"
#include "option_checks.h"

#include <optional>

using namespace orvane;

PlayOptions::PlayOptions()
    : m_tabletop(QStringLiteral("tts"),
                 QStringLiteral("Also write virtual-tabletop deck sheets (10 x 7 cards at most, "
                                "the last slot the hidden card) and their saved objects in DIR."),
                 QStringLiteral("DIR")),
      m_hidden(QStringLiteral("hidden"),
               QStringLiteral("The picture of a card in a player's hand on the deck sheets "
                              "(default: the back)."),
               QStringLiteral("PICTURE")),
      m_atlas(QStringLiteral("atlas"),
              QStringLiteral("Also write every card in one picture with a JSON index beside it."),
              QStringLiteral("FILE.png")),
      m_padding(QStringLiteral("padding"),
                QStringLiteral("Transparent pixels between the atlas frames, 0-64 (default 0)."),
                QStringLiteral("N"), QStringLiteral("0")),
      m_extrude(QStringLiteral("extrude"),
                QStringLiteral("Each atlas frame's edge pixels repeated N pixels outward, 0-64 "
                               "(default 0)."),
                QStringLiteral("N"), QStringLiteral("0")),
      m_colours(QStringLiteral("colours"),
                QStringLiteral("both (default), blue or red, on the deck sheets and the atlas."),
                QStringLiteral("both|blue|red"), QStringLiteral("both")),
      m_back(QStringLiteral("back"),
             QStringLiteral("The card back: a picture, or builtin for Orvane's own. With "
                            "--sheet, adds back pages for long-edge duplex printing; on the deck "
                            "sheets it replaces the built-in back."),
             QStringLiteral("PICTURE|builtin")),
      m_backOffset(QStringLiteral("back-offset-mm"),
                   QStringLiteral("Moves the backs right (and down) on their pages, -20 to 20 "
                                  "mm, to match a printer's duplex."),
                   QStringLiteral("X[,Y]")),
      m_bleed(QStringLiteral("bleed-mm"),
              QStringLiteral("Each card's edge pixels repeated outward on the sheet, 0-5 mm."),
              QStringLiteral("MM"), QStringLiteral("0")),
      m_cutLines(QStringLiteral("cut-lines"),
                 QStringLiteral("corners (default), full (lines across the page) or none."),
                 QStringLiteral("corners|full|none"), QStringLiteral("corners"))
{
}

void PlayOptions::addTo(QCommandLineParser& parser) const
{
    parser.addOptions({m_tabletop, m_hidden, m_atlas, m_padding, m_extrude, m_colours, m_back,
                       m_backOffset, m_bleed, m_cutLines});
}

QString PlayOptions::read(const QCommandLineParser& parser, bool scaleGiven,
                          DeckRenderOptions& options) const
{
    PlayOutputs& play = options.play;
    play.tabletopDir = parser.value(m_tabletop);
    play.hiddenPicture = parser.value(m_hidden);
    play.atlasPath = parser.value(m_atlas);
    play.backPicture = parser.value(m_back);
    if (parser.isSet(m_tabletop) && play.tabletopDir.isEmpty())
        return QStringLiteral("--tts needs a folder");
    if (parser.isSet(m_atlas) && play.atlasPath.isEmpty())
        return QStringLiteral("--atlas needs a file");
    if (parser.isSet(m_back) && play.backPicture.isEmpty())
        return QStringLiteral("--back needs a picture or builtin");
    if (scaleGiven)
        play.tabletopScale = options.scale;
    play.atlasScale = options.scale;
    play.threads = options.jobs;

    const std::optional<CardColours> colours = cardColoursFromName(parser.value(m_colours));
    if (!colours)
        return QStringLiteral("--colours must be both, blue or red");
    play.colours = *colours;
    if (const QString problem =
            readNumber(parser, m_padding.names().front(), 0, MaxAtlasPadding, play.atlasPadding);
        !problem.isEmpty())
        return problem;
    if (const QString problem =
            readNumber(parser, m_extrude.names().front(), 0, MaxAtlasExtrude, play.atlasExtrude);
        !problem.isEmpty())
        return problem;

    SheetFinish& finish = play.sheetFinish;
    if (const QString problem =
            readNumber(parser, m_bleed.names().front(), 0.0, MaxSheetBleedMm, finish.bleedMm);
        !problem.isEmpty())
        return problem;
    const std::optional<CutLines> cutLines = cutLinesFromName(parser.value(m_cutLines));
    if (!cutLines)
        return QStringLiteral("--cut-lines must be corners, full or none");
    finish.cutLines = *cutLines;
    if (parser.isSet(m_backOffset)) {
        const QStringList parts = parser.value(m_backOffset).split(QLatin1Char(','));
        const std::optional<double> x = numberIn(parts.value(0), -MaxBackOffsetMm, MaxBackOffsetMm);
        const std::optional<double> y =
            parts.size() < 2 ? 0.0 : numberIn(parts[1], -MaxBackOffsetMm, MaxBackOffsetMm);
        if (parts.size() > 2 || !x || !y)
            return QStringLiteral("--back-offset-mm must be X or X,Y, each from -20 to 20");
        finish.backOffsetXMm = *x;
        finish.backOffsetYMm = *y;
    }

    return {};
}
