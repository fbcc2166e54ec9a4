// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/picture_fit.h"

#include <QLocale>
#include <QRegularExpression>

namespace orvane {

namespace {

const QString FitName = QStringLiteral("fit");
const QString ScaleName = QStringLiteral("scale");
const QString ResampleName = QStringLiteral("resample");
const QString PanXName = QStringLiteral("pan_x");
const QString PanYName = QStringLiteral("pan_y");
const QString KeyName = QStringLiteral("key");
const QString ToleranceName = QStringLiteral("tolerance");
const QString KeepDarkName = QStringLiteral("keep_dark");
const QString ColoursName = QStringLiteral("colours");
const QString PaletteName = QStringLiteral("palette");
const QString DitherName = QStringLiteral("dither");
const QString OutlineName = QStringLiteral("outline");
const QString OutlineColourName = QStringLiteral("outline_colour");
const QString PaletteColoursName = QStringLiteral("palette_colours");

bool fail(PictureFitProblem* problem, const QString& name, const QString& message)
{
    if (problem)
        *problem = {name, message};
    return false;
}

bool readInt(const QString& text, int low, int high, int* value)
{
    bool ok = false;
    const int read = QLocale::c().toInt(text, &ok);
    if (!ok || read < low || read > high)
        return false;
    *value = read;
    return true;
}

bool readFit(const QMap<QString, QString>& settings, PictureFit& fit, PictureFitProblem* problem)
{
    const QString mode = settings.value(FitName).trimmed().toLower();
    const QString scaleText = settings.value(ScaleName).trimmed();
    if (mode.isEmpty() || mode == QLatin1String("fit"))
        fit.mode = FitMode::Fit;
    else if (mode == QLatin1String("fill"))
        fit.mode = FitMode::Fill;
    else if (mode == QLatin1String("none"))
        fit.mode = FitMode::None;
    else
        return fail(problem, FitName,
                    QStringLiteral("\"%1\" is not fit, fill or none").arg(settings.value(FitName)));
    if (scaleText.isEmpty())
        return true;

    bool ok = false;
    const double scale = QLocale::c().toDouble(scaleText, &ok);
    if (!ok || !(scale >= MinScalePercent && scale <= MaxScalePercent))
        return fail(problem, ScaleName,
                    QStringLiteral("\"%1\" is not a percentage from %2 to %3")
                        .arg(scaleText)
                        .arg(MinScalePercent)
                        .arg(MaxScalePercent));
    if (fit.mode != FitMode::None) {
        if (scale == 100.0)
            return true;
        return fail(problem, ScaleName,
                    QStringLiteral("a percentage needs fit = none (fit and fill choose the size)"));
    }
    if (scale != 100.0) {
        fit.mode = FitMode::Percent;
        fit.scalePercent = scale;
    }
    return true;
}

bool readKey(const QString& raw, PictureFit& fit, PictureFitProblem* problem)
{
    const QString text = raw.trimmed().toLower();
    static const QRegularExpression colour(QStringLiteral("^#[0-9a-f]{6}$"));
    if (text.isEmpty() || text == QLatin1String("none")) {
        fit.key = KeyMode::None;
    } else if (text == QLatin1String("corners")) {
        fit.key = KeyMode::Corners;
    } else if (colour.match(text).hasMatch()) {
        fit.key = KeyMode::Colour;
        fit.keyColour = 0xFF000000u | text.mid(1).toUInt(nullptr, 16);
    } else {
        return fail(problem, KeyName,
                    QStringLiteral("\"%1\" is not none, corners or a colour #rrggbb").arg(raw));
    }
    return true;
}

bool readResample(const QMap<QString, QString>& settings, PictureFit& fit,
                  PictureFitProblem* problem)
{
    const QString text = settings.value(ResampleName).trimmed().toLower();
    if (text.isEmpty() || text == QLatin1String("smooth"))
        fit.resample = Resample::Smooth;
    else if (text == QLatin1String("nearest"))
        fit.resample = Resample::Nearest;
    else
        return fail(
            problem, ResampleName,
            QStringLiteral("\"%1\" is not smooth or nearest").arg(settings.value(ResampleName)));
    return true;
}

bool readPan(const QMap<QString, QString>& settings, const QString& name, int* pan,
             PictureFitProblem* problem)
{
    const QString text = settings.value(name).trimmed();
    if (text.isEmpty() || readInt(text, -MaxPan, MaxPan, pan))
        return true;
    return fail(problem, name,
                QStringLiteral("\"%1\" is not a whole number of pixels from %2 to %3")
                    .arg(text)
                    .arg(-MaxPan)
                    .arg(MaxPan));
}

bool readTolerance(const QMap<QString, QString>& settings, PictureFit& fit,
                   PictureFitProblem* problem)
{
    const QString text = settings.value(ToleranceName).trimmed();
    if (text.isEmpty() || readInt(text, 0, MaxTolerance, &fit.tolerance))
        return true;
    return fail(problem, ToleranceName,
                QStringLiteral("\"%1\" is not a whole number from 0 to 255").arg(text));
}

bool readKeepDark(const QMap<QString, QString>& settings, PictureFit& fit,
                  PictureFitProblem* problem)
{
    const QString text = settings.value(KeepDarkName).trimmed().toLower();
    if (text.isEmpty() || text == QLatin1String("no"))
        fit.keepDarkVisible = false;
    else if (text == QLatin1String("yes"))
        fit.keepDarkVisible = true;
    else
        return fail(problem, KeepDarkName,
                    QStringLiteral("\"%1\" is not yes or no").arg(settings.value(KeepDarkName)));
    return true;
}

std::optional<QRgb> readColour(const QString& raw)
{
    static const QRegularExpression colour(QStringLiteral("^#[0-9a-f]{6}$"));
    const QString text = raw.trimmed().toLower();
    if (!colour.match(text).hasMatch())
        return std::nullopt;
    return 0xFF000000u | text.mid(1).toUInt(nullptr, 16);
}

bool readColours(const QMap<QString, QString>& settings, PictureFit& fit,
                 PictureFitProblem* problem)
{
    const QString text = settings.value(ColoursName).trimmed().toLower();
    if (text.isEmpty() || text == QLatin1String("all")) {
        fit.colours = ColourMode::All;
    } else if (readInt(text, MinColours, MaxColours, &fit.colourCount)) {
        fit.colours = ColourMode::Reduce;
    } else {
        return fail(problem, ColoursName,
                    QStringLiteral("\"%1\" is not all or a number of colours from %2 to %3")
                        .arg(settings.value(ColoursName))
                        .arg(MinColours)
                        .arg(MaxColours));
    }
    return true;
}

bool readPalette(const QMap<QString, QString>& settings, PictureFit& fit,
                 PictureFitProblem* problem)
{
    const QString name = settings.value(PaletteName).trimmed();
    if (name.isEmpty() || name.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0)
        return true;
    fit.colours = ColourMode::Palette;
    fit.palette = name.compare(QLatin1String(PartsPaletteName), Qt::CaseInsensitive) == 0
                      ? QString::fromLatin1(PartsPaletteName)
                      : name;
    const QStringList colours =
        settings.value(PaletteColoursName).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (colours.size() > MaxColours)
        return fail(problem, PaletteColoursName,
                    QStringLiteral("more than %1 colours").arg(MaxColours));
    bool onlyBlack = !colours.isEmpty();
    for (const QString& text : colours) {
        const std::optional<QRgb> colour = readColour(text);
        if (!colour)
            return fail(problem, PaletteColoursName,
                        QStringLiteral("\"%1\" is not a colour #rrggbb").arg(text));
        onlyBlack = onlyBlack && *colour == 0xFF000000u;
        fit.paletteColours.push_back(*colour);
    }
    if (onlyBlack)
        return fail(problem, PaletteColoursName,
                    QStringLiteral("a palette of only pure black would make the picture vanish"));
    return true;
}

bool readDither(const QMap<QString, QString>& settings, PictureFit& fit, PictureFitProblem* problem)
{
    const QString raw = settings.value(DitherName);
    const QStringList words = raw.trimmed().toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const auto wrong = [&] {
        return fail(problem, DitherName,
                    QStringLiteral("\"%1\" is not none, ordered or diffusion, optionally followed "
                                   "by a strength from 0 to %2")
                        .arg(raw)
                        .arg(MaxDitherStrength));
    };
    if (words.isEmpty())
        return true;
    if (words.size() > 2)
        return wrong();
    if (words[0] == QLatin1String("none"))
        fit.dither = Dither::None;
    else if (words[0] == QLatin1String("ordered"))
        fit.dither = Dither::Ordered;
    else if (words[0] == QLatin1String("diffusion"))
        fit.dither = Dither::Diffusion;
    else
        return wrong();
    QString strength = words.value(1);
    if (strength.endsWith(QLatin1Char('%')))
        strength.chop(1);
    if (words.size() == 2 && !readInt(strength, 0, MaxDitherStrength, &fit.ditherStrength))
        return wrong();
    return true;
}

bool readOutline(const QMap<QString, QString>& settings, PictureFit& fit,
                 PictureFitProblem* problem)
{
    const QString text = settings.value(OutlineName).trimmed().toLower();
    if (text.isEmpty() || text == QLatin1String("none"))
        fit.outline = Outline::None;
    else if (text == QLatin1String("outside"))
        fit.outline = Outline::Outside;
    else if (text == QLatin1String("inside"))
        fit.outline = Outline::Inside;
    else
        return fail(problem, OutlineName,
                    QStringLiteral("\"%1\" is not none, outside or inside")
                        .arg(settings.value(OutlineName)));
    const QString colourText = settings.value(OutlineColourName).trimmed();
    if (colourText.isEmpty())
        return true;
    const std::optional<QRgb> colour = readColour(colourText);
    if (!colour)
        return fail(problem, OutlineColourName,
                    QStringLiteral("\"%1\" is not a colour #rrggbb").arg(colourText));
    if (*colour == 0xFF000000u)
        return fail(problem, OutlineColourName,
                    QStringLiteral("pure black is transparent on the card; choose another colour"));
    fit.outlineColour = *colour;
    return true;
}

}  // namespace

QStringList pictureFitNames()
{
    return {FitName,    ScaleName,     ResampleName,     PanXName,    PanYName,
            KeyName,    ToleranceName, KeepDarkName,     ColoursName, PaletteName,
            DitherName, OutlineName,   OutlineColourName};
}

QString paletteColoursName()
{
    return PaletteColoursName;
}

QString keyColourText(QRgb colour)
{
    return QStringLiteral("#%1").arg(colour & 0xFFFFFFu, 6, 16, QLatin1Char('0'));
}

std::optional<PictureFit> parsePictureFit(const QMap<QString, QString>& settings,
                                          PictureFitProblem* problem)
{
    PictureFit fit;
    if (readFit(settings, fit, problem) && readResample(settings, fit, problem) &&
        readPan(settings, PanXName, &fit.panX, problem) &&
        readPan(settings, PanYName, &fit.panY, problem) &&
        readKey(settings.value(KeyName), fit, problem) && readTolerance(settings, fit, problem) &&
        readKeepDark(settings, fit, problem) && readColours(settings, fit, problem) &&
        readPalette(settings, fit, problem) && readDither(settings, fit, problem) &&
        readOutline(settings, fit, problem))
        return fit;
    return std::nullopt;
}

QMap<QString, QString> pictureFitSettings(const PictureFit& fit)
{
    QMap<QString, QString> out;
    switch (fit.mode) {
    case FitMode::Fit: out[FitName] = QStringLiteral("fit"); break;
    case FitMode::Fill: out[FitName] = QStringLiteral("fill"); break;
    case FitMode::None:
    case FitMode::Percent: out[FitName] = QStringLiteral("none"); break;
    }
    const double scale = fit.mode == FitMode::Percent ? fit.scalePercent : 100.0;
    out[ScaleName] = QLocale::c().toString(scale, 'g', 12);
    out[ResampleName] =
        fit.resample == Resample::Nearest ? QStringLiteral("nearest") : QStringLiteral("smooth");
    out[PanXName] = QString::number(fit.panX);
    out[PanYName] = QString::number(fit.panY);
    switch (fit.key) {
    case KeyMode::None: out[KeyName] = QStringLiteral("none"); break;
    case KeyMode::Colour: out[KeyName] = keyColourText(fit.keyColour); break;
    case KeyMode::Corners: out[KeyName] = QStringLiteral("corners"); break;
    }
    out[ToleranceName] = QString::number(fit.tolerance);
    out[KeepDarkName] = fit.keepDarkVisible ? QStringLiteral("yes") : QStringLiteral("no");
    out[ColoursName] = fit.colours == ColourMode::Reduce ? QString::number(fit.colourCount)
                                                         : QStringLiteral("all");
    if (fit.colours == ColourMode::Palette) {
        out[PaletteName] = fit.palette.isEmpty() ? QStringLiteral("none") : fit.palette;
        QStringList colours;
        for (const QRgb colour : fit.paletteColours)
            colours << keyColourText(colour);
        if (!colours.isEmpty())
            out[PaletteColoursName] = colours.join(QLatin1Char(' '));
    } else {
        out[PaletteName] = QStringLiteral("none");
    }
    static const char* const DitherWords[] = {"none", "ordered", "diffusion"};
    out[DitherName] = QString::fromLatin1(DitherWords[int(fit.dither)]);
    if (fit.dither != Dither::None && fit.ditherStrength != MaxDitherStrength)
        out[DitherName] += QStringLiteral(" %1").arg(fit.ditherStrength);
    static const char* const OutlineWords[] = {"none", "outside", "inside"};
    out[OutlineName] = QString::fromLatin1(OutlineWords[int(fit.outline)]);
    out[OutlineColourName] = keyColourText(fit.outlineColour);
    return out;
}

QMap<QString, QString> changedPictureFitSettings(const PictureFit& fit)
{
    const QMap<QString, QString> defaults = pictureFitSettings(PictureFit{});
    QMap<QString, QString> out = pictureFitSettings(fit);
    for (auto it = out.begin(); it != out.end();) {
        if (defaults.value(it.key()) == it.value())
            it = out.erase(it);
        else
            ++it;
    }
    // A percentage is read together with fit = none.
    if (out.contains(ScaleName))
        out[FitName] = QStringLiteral("none");
    return out;
}

QMap<QString, QString> combinePictureFitSettings(const QMap<QString, QString>& own,
                                                 const QMap<QString, QString>& forEveryCard)
{
    const auto given = [](const QMap<QString, QString>& settings) {
        QMap<QString, QString> out;
        for (auto it = settings.cbegin(); it != settings.cend(); ++it)
            if (!it.value().trimmed().isEmpty())
                out.insert(it.key(), it.value());
        return out;
    };
    const QMap<QString, QString> mine = given(own);
    QMap<QString, QString> out = given(forEveryCard);
    if (mine.contains(FitName) || mine.contains(ScaleName)) {
        out.remove(FitName);
        out.remove(ScaleName);
    }
    out.insert(mine);
    return out;
}

bool pictureHidesBothBases(const QImage& blueCard, const QImage& redCard)
{
    if (blueCard.isNull() || blueCard.size() != redCard.size())
        return false;
    // One format, so cards drawn in different ones still compare by their pixels.
    const QImage::Format format = QImage::Format_ARGB32_Premultiplied;
    return blueCard.convertToFormat(format) == redCard.convertToFormat(format);
}

QString pictureHidesBothBasesNote()
{
    return QStringLiteral("The main picture covers the whole card: the blue and the red card look "
                          "the same.");
}

}  // namespace orvane
