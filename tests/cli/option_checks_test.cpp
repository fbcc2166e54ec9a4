// SPDX-License-Identifier: GPL-3.0-or-later
// The option checks of orvane-render on their own: numbers in range, words from a list, and the
// table of which options go with which outputs.
#include "option_checks.h"

#include <QCommandLineParser>

#include <gtest/gtest.h>

namespace {

TEST(OptionChecks, NumbersAreReadOnlyInTheirRange)
{
    const struct {
        const char* text;
        int low, high;
        std::optional<int> expected;
    } whole[] = {
        {"1", 1, 16, 1},    {"16", 1, 16, 16}, {"0", 1, 16, {}},   {"17", 1, 16, {}},
        {"1.5", 1, 16, {}}, {"x", 1, 16, {}},  {"", 0, 64, {}},    {"-1", 0, 64, {}},
        {"+3", 0, 64, 3},   {"64", 0, 64, 64}, {"3x", 1, 256, {}},
    };
    for (const auto& c : whole)
        EXPECT_EQ(numberIn(QString::fromLatin1(c.text), c.low, c.high), c.expected) << c.text;

    const struct {
        const char* text;
        double low, high;
        std::optional<double> expected;
    } sizes[] = {
        {"5", 5, 150, 5.0},  {"150", 5, 150, 150.0},  {"4.99", 5, 150, {}}, {"nan", 5, 150, {}},
        {"inf", 5, 150, {}}, {"-20", -20, 20, -20.0}, {"2.5", 0, 5, 2.5},   {"1,5", 0, 5, {}},
    };
    for (const auto& c : sizes)
        EXPECT_EQ(numberIn(QString::fromLatin1(c.text), c.low, c.high), c.expected) << c.text;
}

// The messages are made from the limits, word for word as users and scripts know them.
TEST(OptionChecks, ProblemsNameTheOptionAndItsLimits)
{
    EXPECT_EQ(rangeProblem(QStringLiteral("scale"), 1, 16),
              QStringLiteral("--scale must be a whole number from 1 to 16"));
    EXPECT_EQ(rangeProblem(QStringLiteral("card-mm"), 5.0, 150.0),
              QStringLiteral("--card-mm must be a size from 5 to 150"));
    EXPECT_EQ(rangeProblem(QStringLiteral("bleed-mm"), 0.0, 5.0),
              QStringLiteral("--bleed-mm must be a size from 0 to 5"));
    EXPECT_EQ(
        choiceProblem(QStringLiteral("sides"), {QStringLiteral("both"), QStringLiteral("blue")}),
        QStringLiteral("--sides must be both or blue"));
    EXPECT_EQ(choiceProblem(QStringLiteral("format"),
                            {QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("bmp")}),
              QStringLiteral("--format must be png, jpg or bmp"));
    const QStringList papers{QStringLiteral("a4"), QStringLiteral("letter")};
    EXPECT_EQ(choiceIn(QStringLiteral("Letter"), papers), 1);
    EXPECT_EQ(choiceIn(QStringLiteral("a3"), papers), std::nullopt);
}

// A parser knowing the options the table names, given `arguments`.
class Parsed {
public:
    explicit Parsed(QStringList arguments)
    {
        for (const char* name :
             {"out",          "sheet",    "tts",     "atlas",          "print",    "back",
              "profile",      "enlarge",  "card-mm", "sides",          "paper",    "hidden",
              "padding",      "extrude",  "colours", "back-offset-mm", "bleed-mm", "cut-lines",
              "stats-format", "stats-out"})
            m_parser.addOption(
                QCommandLineOption(QLatin1String(name), QString(), QStringLiteral("V")));
        m_parser.addOption(QCommandLineOption(QStringLiteral("stats")));
        m_parser.addOption(QCommandLineOption(QStringLiteral("watch")));
        arguments.prepend(QStringLiteral("orvane-render"));
        m_parsed = m_parser.parse(arguments);
    }
    QString problem() const
    {
        EXPECT_TRUE(m_parsed) << m_parser.errorText().toStdString();
        return pairingProblem(m_parser, runOutputs(m_parser));
    }

private:
    QCommandLineParser m_parser;
    bool m_parsed = false;
};

TEST(OptionChecks, EachOptionGoesWithTheOutputItShapes)
{
    const struct {
        QStringList arguments;
        const char* problem;  // empty: accepted
    } cases[] = {
        {{}, ""},
        {{"--stats", "--out", "o"},
         "--stats writes no pictures: not with --out, --sheet or --watch"},
        {{"--stats", "--watch"}, "--stats writes no pictures: not with --out, --sheet or --watch"},
        // The statistics ignore the pictures' outputs' options.
        {{"--stats", "--hidden", "h.png", "--card-mm", "20"}, ""},
        {{"--stats-out", "s.md"}, "--stats-format and --stats-out go with --stats"},
        {{"--stats", "--stats-format", "json"}, ""},
        {{"--enlarge", "scale2x"}, "--profile and --enlarge go with --print"},
        {{"--print", "p.pdf", "--profile", "home-a4"}, ""},
        {{"--paper", "letter"}, "--card-mm, --sides and --paper go with --sheet"},
        {{"--sheet", "", "--sides", "blue"}, "--card-mm, --sides and --paper go with --sheet"},
        {{"--sheet", "s.pdf", "--sides", "blue"}, ""},
        {{"--hidden", "h.png", "--atlas", "a.png"}, "--hidden goes with --tts"},
        {{"--extrude", "2", "--tts", "d"}, "--padding and --extrude go with --atlas"},
        {{"--colours", "red"}, "--colours goes with --tts or --atlas (or --print)"},
        {{"--colours", "red", "--print", "p"}, ""},
        {{"--back", "builtin"}, "--back goes with --sheet or --tts (or --print)"},
        {{"--back", "builtin", "--tts", "d"}, ""},
        {{"--cut-lines", "none", "--tts", "d"},
         "--back-offset-mm, --bleed-mm and --cut-lines go with --sheet"},
        {{"--back-offset-mm", "1", "--sheet", "s.pdf"}, "--back-offset-mm goes with --back"},
        {{"--sheet", "s.pdf", "--back", "b.png", "--back-offset-mm", "1,2", "--bleed-mm", "1"}, ""},
        {{"--watch", "--atlas", "a.png"},
         "--watch writes the card pictures (and records) only: not with --sheet or the outputs "
         "made of all cards"},
        {{"--watch", "--out", "o"}, ""},
        // The first of two mistakes in the table's order is the one told.
        {{"--hidden", "h.png", "--paper", "a4"}, "--card-mm, --sides and --paper go with --sheet"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Parsed(c.arguments).problem(), QLatin1String(c.problem))
            << c.arguments.join(QLatin1Char(' ')).toStdString();
}

}  // namespace
