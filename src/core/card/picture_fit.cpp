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

}  // namespace

QStringList pictureFitNames()
{
    return {FitName,  ScaleName, ResampleName,  PanXName,
            PanYName, KeyName,   ToleranceName, KeepDarkName};
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
        readKeepDark(settings, fit, problem))
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

}  // namespace orvane
