// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/picture_fit.h"

#include <gtest/gtest.h>

using namespace orvane;

namespace {

using Settings = QMap<QString, QString>;

TEST(PictureFitText, EmptySettingsAreTheDefaults)
{
    PictureFitProblem problem;
    EXPECT_EQ(parsePictureFit({}, &problem), PictureFit{});
    Settings blanks;
    for (const QString& name : pictureFitNames())
        blanks[name] = QStringLiteral(" ");
    EXPECT_EQ(parsePictureFit(blanks, &problem), PictureFit{});
    EXPECT_TRUE(changedPictureFitSettings(PictureFit{}).isEmpty());
}

TEST(PictureFitText, EverySettingReadsBackEqual)
{
    PictureFit percent;
    percent.mode = FitMode::Percent;
    percent.scalePercent = 12.5;
    percent.resample = Resample::Nearest;
    percent.panX = -40;
    percent.panY = 300;
    PictureFit keyed;
    keyed.mode = FitMode::Fill;
    keyed.key = KeyMode::Colour;
    keyed.keyColour = qRgb(0x12, 0xab, 0xef);
    keyed.tolerance = 255;
    keyed.keepDarkVisible = true;
    PictureFit corners;
    corners.mode = FitMode::None;
    corners.key = KeyMode::Corners;
    corners.tolerance = 30;
    corners.panY = -7;

    for (const PictureFit& fit : {PictureFit{}, percent, keyed, corners}) {
        PictureFitProblem problem;
        EXPECT_EQ(parsePictureFit(pictureFitSettings(fit), &problem), fit)
            << problem.name.toStdString();
        EXPECT_EQ(parsePictureFit(changedPictureFitSettings(fit), &problem), fit);
    }
    EXPECT_EQ(pictureFitSettings(keyed).value("key"), "#12abef");
    EXPECT_EQ(pictureFitSettings(percent).value("scale"), "12.5");
    EXPECT_EQ(pictureFitSettings(percent).value("fit"), "none");
}

TEST(PictureFitText, TextFormsAsWritten)
{
    const auto read = [](const Settings& s) {
        PictureFitProblem problem;
        return parsePictureFit(s, &problem).value_or(PictureFit{});
    };
    EXPECT_EQ(read({{"fit", "FILL"}}).mode, FitMode::Fill);
    EXPECT_EQ(read({{"fit", "none"}}).mode, FitMode::None);
    EXPECT_EQ(read({{"fit", "none"}, {"scale", "100"}}).mode, FitMode::None);
    EXPECT_EQ(read({{"fit", "fit"}, {"scale", "100"}}).mode, FitMode::Fit);
    EXPECT_EQ(read({{"fit", "none"}, {"scale", "250"}}).scalePercent, 250.0);
    EXPECT_EQ(read({{"key", "#FFFFFF"}}).keyColour, qRgb(255, 255, 255));
    EXPECT_EQ(read({{"key", "corners"}}).key, KeyMode::Corners);
    EXPECT_EQ(read({{"pan_x", "-62"}, {"pan_y", "+5"}}).panX, -62);
    EXPECT_EQ(read({{"keep_dark", "yes"}}).keepDarkVisible, true);
}

TEST(PictureFitText, WrongValuesNameTheirSetting)
{
    const struct {
        Settings settings;
        const char* name;
    } cases[] = {
        {{{"fit", "stretch"}}, "fit"},
        {{{"fit", "none"}, {"scale", "0.5"}}, "scale"},
        {{{"fit", "none"}, {"scale", "10001"}}, "scale"},
        {{{"fit", "none"}, {"scale", "50%"}}, "scale"},
        {{{"fit", "none"}, {"scale", "nan"}}, "scale"},
        {{{"fit", "fill"}, {"scale", "50"}}, "scale"},
        {{{"scale", "50"}}, "scale"},
        {{{"resample", "bicubic"}}, "resample"},
        {{{"pan_x", "1.5"}}, "pan_x"},
        {{{"pan_y", "100001"}}, "pan_y"},
        {{{"key", "#12345"}}, "key"},
        {{{"key", "red"}}, "key"},
        {{{"tolerance", "256"}}, "tolerance"},
        {{{"tolerance", "-1"}}, "tolerance"},
        {{{"keep_dark", "maybe"}}, "keep_dark"},
        {{{"colours", "1"}}, "colours"},
        {{{"colours", "257"}}, "colours"},
        {{{"colours", "many"}}, "colours"},
        {{{"dither", "random"}}, "dither"},
        {{{"dither", "ordered 101"}}, "dither"},
        {{{"dither", "diffusion 50 more"}}, "dither"},
        {{{"outline", "around"}}, "outline"},
        {{{"outline", "outside"}, {"outline_colour", "#000000"}}, "outline_colour"},
        {{{"outline_colour", "white"}}, "outline_colour"},
        {{{"palette", "a.hex"}, {"palette_colours", "#000000"}}, "palette_colours"},
        {{{"palette", "a.hex"}, {"palette_colours", "#12345g"}}, "palette_colours"},
    };
    for (const auto& c : cases) {
        PictureFitProblem problem;
        EXPECT_FALSE(parsePictureFit(c.settings, &problem).has_value()) << c.name;
        EXPECT_EQ(problem.name, QString::fromLatin1(c.name));
        EXPECT_FALSE(problem.message.isEmpty());
    }
}

TEST(PictureFitText, ColourSettingsReadAsWritten)
{
    const struct {
        Settings settings;
        ColourMode colours;
        int count;
        Dither dither;
        int strength;
        Outline outline;
    } cases[] = {
        {{}, ColourMode::All, 16, Dither::None, 100, Outline::None},
        {{{"colours", "2"}}, ColourMode::Reduce, 2, Dither::None, 100, Outline::None},
        {{{"colours", " 256 "}, {"dither", "Ordered"}},
         ColourMode::Reduce,
         256,
         Dither::Ordered,
         100,
         Outline::None},
        {{{"colours", "8"}, {"dither", "diffusion 40%"}},
         ColourMode::Reduce,
         8,
         Dither::Diffusion,
         40,
         Outline::None},
        {{{"colours", "8"}, {"palette", "parts"}},
         ColourMode::Palette,
         8,
         Dither::None,
         100,
         Outline::None},
        {{{"outline", "inside"}, {"outline_colour", "#FF0000"}},
         ColourMode::All,
         16,
         Dither::None,
         100,
         Outline::Inside},
    };
    for (const auto& c : cases) {
        const std::optional<PictureFit> fit = parsePictureFit(c.settings, nullptr);
        ASSERT_TRUE(fit);
        EXPECT_EQ(fit->colours, c.colours);
        EXPECT_EQ(fit->colourCount, c.count);
        EXPECT_EQ(fit->dither, c.dither);
        EXPECT_EQ(fit->ditherStrength, c.strength);
        EXPECT_EQ(fit->outline, c.outline);
        // Written and read again: the same preparation.
        if (fit->colours != ColourMode::Palette) {
            EXPECT_EQ(parsePictureFit(pictureFitSettings(*fit), nullptr), fit);
        }
    }
}

TEST(PictureFitText, ACardsOwnSettingsWinFitAndScaleTogether)
{
    const Settings everyCard{{"fit", "none"}, {"scale", "50"}, {"pan_x", "-3"}, {"key", "corners"}};
    const struct {
        Settings own;
        Settings combined;
    } cases[] = {
        {{}, everyCard},
        {{{"pan_x", ""}, {"key", " "}}, everyCard},  // empty cells give nothing
        {{{"pan_x", "4"}, {"tolerance", "9"}},
         {{"fit", "none"},
          {"scale", "50"},
          {"pan_x", "4"},
          {"key", "corners"},
          {"tolerance", "9"}}},
        {{{"fit", "fill"}}, {{"fit", "fill"}, {"pan_x", "-3"}, {"key", "corners"}}},
        {{{"scale", "100"}}, {{"scale", "100"}, {"pan_x", "-3"}, {"key", "corners"}}},
    };
    for (const auto& [own, combined] : cases) {
        EXPECT_EQ(combinePictureFitSettings(own, everyCard), combined);
        EXPECT_TRUE(parsePictureFit(combinePictureFitSettings(own, everyCard), nullptr));
    }
    EXPECT_TRUE(combinePictureFitSettings({{"fit", ""}}, {}).isEmpty());
}

}  // namespace

TEST(PictureHidesBothBases, ComparesTheCardsPixels)
{
    QImage blue(62, 62, QImage::Format_ARGB32);
    blue.fill(qRgb(10, 20, 30));
    QImage oneOff = blue.copy();
    oneOff.setPixel(61, 0, qRgb(10, 20, 31));
    struct Row {
        const char* name;
        QImage red;
        bool hides;
    };
    const Row rows[] = {
        {"same pixels", blue.copy(), true},
        {"same pixels, other format", blue.convertToFormat(QImage::Format_RGB32), true},
        {"one pixel differs", oneOff, false},
        {"other size", blue.copy(0, 0, 61, 62), false},
        {"no red card", QImage(), false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(orvane::pictureHidesBothBases(blue, row.red), row.hides) << row.name;
    EXPECT_FALSE(orvane::pictureHidesBothBases(QImage(), QImage()));
}
