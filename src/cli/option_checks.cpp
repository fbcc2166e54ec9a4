// SPDX-License-Identifier: GPL-3.0-or-later
#include "option_checks.h"

namespace {

QString joinedChoices(const QStringList& choices)
{
    if (choices.size() < 2)
        return choices.join(QString());
    return QStringLiteral("%1 or %2")
        .arg(choices.mid(0, choices.size() - 1).join(QStringLiteral(", ")), choices.constLast());
}

// Options that shape one output: given without any of `outputs` (or, when `refused`, with
// any of them) the run is refused with `problem`.
struct Pairing {
    QStringList options;
    RunOutputs outputs = 0;
    bool refused = false;
    const char* problem = "";
};

const QList<Pairing>& pairings()
{
    static const QList<Pairing> table = {
        {{"out", "sheet", "watch"},
         WithStats,
         true,
         "--stats writes no pictures: not with --out, --sheet or --watch"},
        {{"stats-format", "stats-out"},
         WithStats,
         false,
         "--stats-format and --stats-out go with --stats"},
        {{"profile", "enlarge"}, WithPrint, false, "--profile and --enlarge go with --print"},
        {{"card-mm", "sides", "paper"},
         WithSheet,
         false,
         "--card-mm, --sides and --paper go with --sheet"},
        {{"hidden"}, WithTabletop, false, "--hidden goes with --tts"},
        {{"padding", "extrude"}, WithAtlas, false, "--padding and --extrude go with --atlas"},
        {{"colours"},
         WithTabletop | WithAtlas | WithPrint,
         false,
         "--colours goes with --tts or --atlas (or --print)"},
        {{"back"},
         WithSheet | WithTabletop | WithPrint,
         false,
         "--back goes with --sheet or --tts (or --print)"},
        {{"back-offset-mm", "bleed-mm", "cut-lines"},
         WithSheet,
         false,
         "--back-offset-mm, --bleed-mm and --cut-lines go with --sheet"},
        {{"back-offset-mm"}, WithBack, false, "--back-offset-mm goes with --back"},
        {{"watch"},
         WithSheet | WithTabletop | WithAtlas | WithPrint,
         true,
         "--watch writes the card pictures (and records) only: not with --sheet or the outputs "
         "made of all cards"},
    };
    return table;
}

}  // namespace

QString rangeProblem(const QString& option, int low, int high)
{
    return QStringLiteral("--%1 must be a whole number from %2 to %3")
        .arg(option)
        .arg(low)
        .arg(high);
}

QString rangeProblem(const QString& option, double low, double high)
{
    return QStringLiteral("--%1 must be a size from %2 to %3").arg(option).arg(low).arg(high);
}

std::optional<qsizetype> choiceIn(const QString& text, const QStringList& choices)
{
    for (qsizetype k = 0; k < choices.size(); ++k)
        if (text.compare(choices[k], Qt::CaseInsensitive) == 0)
            return k;
    return std::nullopt;
}

QString choiceProblem(const QString& option, const QStringList& choices)
{
    return QStringLiteral("--%1 must be %2").arg(option, joinedChoices(choices));
}

RunOutputs runOutputs(const QCommandLineParser& parser)
{
    const auto valued = [&](const char* option) {
        return !parser.value(QLatin1String(option)).isEmpty();
    };
    RunOutputs outputs = 0;
    if (parser.isSet(QStringLiteral("stats")))
        outputs |= WithStats;
    if (valued("sheet"))
        outputs |= WithSheet;
    if (valued("tts"))
        outputs |= WithTabletop;
    if (valued("atlas"))
        outputs |= WithAtlas;
    if (valued("print"))
        outputs |= WithPrint;
    if (valued("back"))
        outputs |= WithBack;
    if (parser.isSet(QStringLiteral("watch")))
        outputs |= WithWatch;
    return outputs;
}

QString pairingProblem(const QCommandLineParser& parser, RunOutputs outputs)
{
    for (const Pairing& pairing : pairings()) {
        // The statistics are made instead of pictures: the options that shape the pictures'
        // outputs are not looked at then.
        if ((outputs & WithStats) && !(pairing.outputs & WithStats))
            continue;
        const bool given = std::any_of(pairing.options.cbegin(), pairing.options.cend(),
                                       [&](const QString& option) { return parser.isSet(option); });
        const bool with = (outputs & pairing.outputs) != 0;
        if (given && with == pairing.refused)
            return QLatin1String(pairing.problem);
    }
    return {};
}
