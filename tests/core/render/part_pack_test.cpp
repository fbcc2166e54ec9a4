// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/card.h"
#include "render/asset_catalogue.h"
#include "render/card_parts.h"
#include "render/part_pack.h"
#include "render/picture_prep.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace orvane;

namespace {

QString binDir()
{
    return qEnvironmentVariable("ORVANE_BIN_DIR");
}

const CardParts& builtParts()
{
    static const CardParts parts = [] {
        QString error;
        auto loaded = CardParts::load(binDir(), &error);
        EXPECT_TRUE(loaded) << error.toStdString();
        return loaded.value_or(CardParts{});
    }();
    return parts;
}

// A pack folder holding a copy of the built-in parts.
struct CopiedPack {
    QTemporaryDir dir;
    CopiedPack()
    {
        for (const QString& name : assets::allFiles()) {
            const QString target = dir.filePath(name.mid(4));
            QDir().mkpath(QFileInfo(target).path());
            QFile::copy(QDir(binDir()).filePath(name), target);
        }
    }
    QString path() const { return dir.path(); }
    QString file(const QString& name) const { return dir.filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const
    {
        QFile out(file(name));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
};

QImage filled(QSize size, QRgb colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

Card sampleCard()
{
    Card card;
    card.sides = {QStringLiteral("7"), QStringLiteral("A"), QStringLiteral("2"),
                  QStringLiteral("9")};
    card.element = 3;
    card.arrows = {true, false, true, true, false, true, true, false};
    card.mainPicture = filled({40, 30}, qRgb(10, 200, 90));
    card.mainPicture.setPixel(3, 4, qRgb(250, 5, 5));
    card.x = 11;
    card.y = 17;
    card.placement.ElemX = 20;
    return card;
}

bool hasProblem(const QList<PackProblem>& problems, bool error, const QString& part)
{
    for (const PackProblem& p : problems)
        if (p.error == error && p.text.contains(part))
            return true;
    return false;
}

// Without variants a card at scale N is the 1 x card with every pixel an N x N block: the
// placements, the arrows' places and the main picture's offset all scale exactly.
TEST(PackRender, EnlargedPartsGiveTheEnlargedCard)
{
    const Card card = sampleCard();
    const RenderedCard one = renderCard(card, builtParts());
    for (const int scale : {1, 2, 3, 4, 7}) {
        const RenderedCard large = renderCard(card, enlargedParts(builtParts(), scale));
        EXPECT_EQ(large.blue, enlargedPicture(one.blue, scale)) << "scale " << scale;
        EXPECT_EQ(large.red, enlargedPicture(one.red, scale)) << "scale " << scale;
    }
}

TEST(PackRender, BuiltInCopyAsPackMatchesTheBuiltInParts)
{
    const CopiedPack pack;
    for (const int scale : {1, 4}) {
        const PackParts loaded = loadPackParts(pack.path(), scale, builtParts());
        EXPECT_TRUE(loaded.problems.isEmpty()) << loaded.problems.join('\n').toStdString();
        EXPECT_EQ(renderCard(sampleCard(), loaded.parts).blue,
                  renderCard(sampleCard(), enlargedParts(builtParts(), scale)).blue);
    }
}

// The variant that serves a scale best: @2x at 2 and (enlarged) at 4, never at 3.
TEST(PackRender, VariantsServeTheirMultiples)
{
    const CopiedPack pack;
    const QImage twice = filled({18, 18}, qRgb(1, 2, 250));
    ASSERT_TRUE(twice.save(pack.file(QStringLiteral("bitblts/7@2x.png"))));
    const Card card = sampleCard();  // the top digit is 7
    const QPoint top(card.placement.TopX, card.placement.TopY);
    const struct {
        int scale;
        bool fromVariant;
    } cases[] = {{1, false}, {2, true}, {3, false}, {4, true}, {6, true}};
    for (const auto& c : cases) {
        const PackParts loaded = loadPackParts(pack.path(), c.scale, builtParts());
        ASSERT_TRUE(loaded.problems.isEmpty());
        const QImage blue = renderCard(card, loaded.parts).blue;
        ASSERT_EQ(blue.size(), QSize(62, 62) * c.scale);
        const QRgb inside = blue.pixel(top * c.scale + QPoint(1, 1));
        EXPECT_EQ(inside == qRgb(1, 2, 250), c.fromVariant) << "scale " << c.scale;
    }
}

TEST(PackRender, PreparedPictureIsPreparedAgainFromItsSource)
{
    // A 248 x 248 checkerboard fitted to the card: at 4 x every source pixel is one card pixel.
    QImage source(248, 248, QImage::Format_RGB32);
    for (int y = 0; y < 248; ++y)
        for (int x = 0; x < 248; ++x)
            source.setPixel(x, y, (x + y) % 2 ? qRgb(240, 240, 240) : qRgb(20, 20, 200));
    PictureFit fit;
    fit.resample = Resample::Nearest;
    EXPECT_EQ(preparePictureAtScale(source, fit, 1), preparePicture(source, fit));
    const QImage sharp = preparePictureAtScale(source, fit, 4);
    EXPECT_EQ(sharp, source);

    Card card;
    card.preparation = {source, fit};
    card.mainPicture = preparePicture(source, fit);
    const QImage blue = renderCard(card, enlargedParts(builtParts(), 4)).blue;
    EXPECT_EQ(blue.pixel(100, 100), source.pixel(100, 100));
    EXPECT_EQ(blue.pixel(101, 100), source.pixel(101, 100));
}

TEST(PackLoad, BrokenPartsComeFromTheFallbackAndAreNamed)
{
    const CopiedPack pack;
    QFile::remove(pack.file(QStringLiteral("bitblts/7.bmp")));
    ASSERT_TRUE(filled({10, 9}, qRgb(9, 9, 9)).save(pack.file(QStringLiteral("bitblts/A.bmp"))));
    pack.write(QStringLiteral("arrows/arrow 2.bmp"), "not a picture");
    ASSERT_TRUE(
        filled({17, 17}, qRgb(9, 9, 9)).save(pack.file(QStringLiteral("bitblts/2@2x.bmp"))));

    const PackParts loaded = loadPackParts(pack.path(), 2, builtParts());
    const QString problems = loaded.problems.join('\n');
    EXPECT_EQ(loaded.problems.size(), 3) << problems.toStdString();
    EXPECT_TRUE(
        problems.contains(QStringLiteral("bitblts/7.bmp or .png is missing (it must be 9 × 9")));
    EXPECT_TRUE(
        problems.contains(QStringLiteral("bitblts/A.bmp is 10 × 9 pixels; it must be 9 × 9")));
    EXPECT_TRUE(problems.contains(QStringLiteral("arrows/arrow 2.bmp cannot be read")));
    EXPECT_TRUE(loaded.warnings.join('\n').contains(QStringLiteral("bitblts/2@2x.bmp is 17 × 17")));
    // The built-in digit stands in, enlarged; the wrong variant is not used.
    EXPECT_EQ(loaded.parts.digits[6], enlargedPicture(builtParts().digits[6], 2));
    EXPECT_EQ(loaded.parts.digits[1], enlargedPicture(builtParts().digits[1], 2));

    const QList<PackProblem> checked = checkPack(pack.path());
    EXPECT_TRUE(hasProblem(checked, true, QStringLiteral("bitblts/7.bmp")));
    EXPECT_TRUE(hasProblem(checked, true, QStringLiteral("bitblts/A.bmp")));
    EXPECT_TRUE(hasProblem(checked, true, QStringLiteral("bitblts/2@2x.bmp")));
}

TEST(PackLoad, ManifestProblemsAreWarningsOnly)
{
    const struct {
        QByteArray json;
        QString warning;  // empty: none
        QString name;
    } cases[] = {
        {"{\"name\": \"Table\", \"author\": \"Ann\", \"licence\": \"CC0\"}", {}, "Table"},
        {"{\"name\": \"Table\", \"colour\": 3}", "unknown member \"colour\"", "Table"},
        {"{\"name\": 5}", "member \"name\" is not text", {}},
        {"{\"name\": \"Table\"", "not a JSON object", {}},
        {"[1, 2]", "not a JSON object", {}},
    };
    for (const auto& c : cases) {
        const CopiedPack pack;
        pack.write(QStringLiteral("pack.json"), c.json);
        const PackManifestRead read = readPackManifest(pack.path());
        EXPECT_EQ(read.manifest.name, c.name) << c.json.toStdString();
        EXPECT_EQ(read.warnings.isEmpty(), c.warning.isEmpty()) << c.json.toStdString();
        if (!c.warning.isEmpty()) {
            EXPECT_TRUE(read.warnings.join('\n').contains(c.warning)) << c.json.toStdString();
        }
        const PackParts loaded = loadPackParts(pack.path(), 1, builtParts());
        EXPECT_TRUE(loaded.problems.isEmpty());
        EXPECT_FALSE(hasProblem(checkPack(pack.path()), true, {}));
    }
}

TEST(PackLoad, ManifestBasesAndFrameCoverage)
{
    const CopiedPack pack;
    ASSERT_TRUE(filled({62, 62}, qRgb(200, 0, 200)).save(pack.file(QStringLiteral("blue.png"))));
    pack.write(QStringLiteral("pack.json"),
               "{\"blue_base\": \"blue.png\", \"red_base\": \"../outside.png\"}");
    QImage frame = builtParts().frames[0];
    frame.setPixel(CardPlacement().TopX + 1, CardPlacement().TopY + 1, qRgb(255, 255, 255));
    ASSERT_TRUE(frame.save(pack.file(QStringLiteral("bitblts/Monster Frame.bmp"))));

    const PackParts loaded = loadPackParts(pack.path(), 2, builtParts());
    EXPECT_EQ(loaded.parts.blueBase, filled({124, 124}, qRgb(200, 0, 200)));
    EXPECT_EQ(loaded.parts.redBase, enlargedPicture(builtParts().redBase, 2));
    EXPECT_TRUE(loaded.problems.join('\n').contains(QStringLiteral("not inside the pack")));

    const QList<PackProblem> checked = checkPack(pack.path());
    EXPECT_TRUE(hasProblem(checked, false, QStringLiteral("the top digit")));
    EXPECT_TRUE(hasProblem(checked, true, QStringLiteral("../outside.png")));
}

TEST(PackLoad, WatchFilesCoverPartsVariantsAndManifest)
{
    const QStringList files = packWatchFiles(QStringLiteral("/p"));
    EXPECT_TRUE(files.contains(QStringLiteral("/p/bitblts/Monster Frame.bmp")));
    EXPECT_TRUE(files.contains(QStringLiteral("/p/bitblts/A@4x.png")));
    EXPECT_TRUE(files.contains(QStringLiteral("/p/arrows/arrow 7@3x.bmp")));
    EXPECT_TRUE(files.contains(QStringLiteral("/p/pack.json")));
}

}  // namespace
