// SPDX-License-Identifier: GPL-3.0-or-later
#include "print_options.h"

#include "files/print_calibration.h"
#include "files/print_profile.h"

#include <QDir>

#include <cstdio>

using namespace orvane;

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;
constexpr const char* DefaultSheetProfile = "home-a4";

int fail(const QString& text, int status)
{
    std::fputs(QStringLiteral("orvane-render: %1\n").arg(text).toLocal8Bit().constData(), stderr);
    return status;
}

// "SX,SY" or "SX,SY,DX,DY": the scales in per cent, the back's offset in millimetres.
std::optional<PrinterCalibration> calibrationFromText(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2 && parts.size() != 4)
        return std::nullopt;
    double values[4] = {100, 100, 0, 0};
    for (qsizetype k = 0; k < parts.size(); ++k) {
        bool ok = false;
        values[k] = parts[k].trimmed().toDouble(&ok);
        if (!ok)
            return std::nullopt;
    }
    return PrinterCalibration{values[0], values[1], values[2], values[3]};
}

}  // namespace

PrintOptions::PrintOptions()
    : m_print(QStringLiteral("print"),
              QStringLiteral("Print by --profile: a PDF of sheets, or a folder of one picture "
                             "per card and copy for a print service (the deck's copies column "
                             "counted; --back adds the backs)."),
              QStringLiteral("FILE.pdf|DIR")),
      m_profile(QStringLiteral("profile"),
                QStringLiteral("The print profile: a shipped or own one by name (see "
                               "--list-profiles), or a JSON file."),
                QStringLiteral("NAME|FILE")),
      m_enlarge(QStringLiteral("enlarge"),
                QStringLiteral("How card pixels are enlarged for the print: blocks (default), "
                               "scale2x or scale3x (instead of the profile's)."),
                QStringLiteral("blocks|scale2x|scale3x")),
      m_listProfiles(QStringLiteral("list-profiles"),
                     QStringLiteral("Instead: list the print profiles and end.")),
      m_calibrationPage(QStringLiteral("calibration-page"),
                        QStringLiteral("Instead: write a calibration page for the sheet profile "
                                       "(--profile, default home-a4) and end."),
                        QStringLiteral("FILE.pdf")),
      m_calibrate(QStringLiteral("calibrate"),
                  QStringLiteral("Instead: keep what the printed calibration page measured for "
                                 "--profile: the rulers' length in per cent across and down "
                                 "(90-110) and the back's offset in mm (at most 10), and end."),
                  QStringLiteral("X%,Y%[,BACK-X,BACK-Y]"))
{
}

void PrintOptions::addTo(QCommandLineParser& parser) const
{
    parser.addOptions(
        {m_print, m_profile, m_enlarge, m_listProfiles, m_calibrationPage, m_calibrate});
}

std::optional<int> PrintOptions::runTool(const QCommandLineParser& parser) const
{
    const bool list = parser.isSet(m_listProfiles);
    const bool page = parser.isSet(m_calibrationPage);
    const bool calibrate = parser.isSet(m_calibrate);
    if (!list && !page && !calibrate)
        return std::nullopt;
    if (int(list) + int(page) + int(calibrate) > 1 || parser.isSet(m_print) ||
        !parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("--list-profiles, --calibration-page and --calibrate each "
                                   "run alone (with --profile), without a deck"),
                    ExitUsage);
    if (list) {
        for (const QString& name : printProfileNames()) {
            QString error;
            const std::optional<PrintProfile> profile = loadPrintProfile(name, &error);
            std::printf("%s\n", (profile ? QStringLiteral("%1\t%2").arg(name, profile->title)
                                         : QStringLiteral("%1\t(%2)").arg(name, error))
                                    .toLocal8Bit()
                                    .constData());
        }
        return ExitOk;
    }
    const QString name =
        parser.isSet(m_profile) ? parser.value(m_profile) : QLatin1String(DefaultSheetProfile);
    QString error;
    const std::optional<PrintProfile> profile = loadPrintProfile(name, &error);
    if (!profile)
        return fail(error, ExitFailed);
    if (page) {
        if (!writeCalibrationPage(parser.value(m_calibrationPage), *profile, &error))
            return fail(QStringLiteral("%1: %2").arg(
                            QDir::toNativeSeparators(parser.value(m_calibrationPage)), error),
                        ExitFailed);
        return ExitOk;
    }
    if (!parser.isSet(m_profile))
        return fail(QStringLiteral("--calibrate needs the --profile it is for"), ExitUsage);
    const std::optional<PrinterCalibration> values =
        calibrationFromText(parser.value(m_calibrate).remove(QLatin1Char('%')));
    if (!values)
        return fail(QStringLiteral("--calibrate must be X,Y or X,Y,BACK-X,BACK-Y (numbers)"),
                    ExitUsage);
    if (!saveCalibration(profile->name, *values, &error))
        return fail(QStringLiteral("the calibration is refused: %1").arg(error), ExitFailed);
    return ExitOk;
}

QString PrintOptions::read(const QCommandLineParser& parser, DeckRenderOptions& options) const
{
    if (!parser.isSet(m_print))
        return {};
    PrintRequest& print = options.print;
    print.output = parser.value(m_print);
    if (print.output.isEmpty())
        return QStringLiteral("--print needs a file or folder");
    if (!parser.isSet(m_profile))
        return QStringLiteral("--print needs --profile (see --list-profiles)");
    QString error;
    std::optional<PrintProfile> profile = loadPrintProfile(parser.value(m_profile), &error);
    if (!profile)
        return error;
    if (parser.isSet(m_enlarge)) {
        const std::optional<Enlargement> enlargement = enlargementFromName(parser.value(m_enlarge));
        if (!enlargement)
            return QStringLiteral("--enlarge must be blocks, scale2x or scale3x");
        profile->enlargement = *enlargement;
    }
    print.profile = *profile;
    if (profile->layout == PrintLayout::Sheets) {
        print.calibration = loadCalibration(profile->name, &error);
        if (!error.isEmpty())
            std::fputs(QStringLiteral("orvane-render: %1\n").arg(error).toLocal8Bit().constData(),
                       stderr);
    }
    return {};
}

void PrintOptions::finish(DeckRenderOptions& options)
{
    options.print.colours = options.play.colours;
    options.print.backPicture = options.play.backPicture;
    options.print.threads = options.jobs;
}
