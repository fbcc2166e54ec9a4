// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/card_file.h"
#include "card/card_file_pack.h"
#include "files/main_picture.h"
#include "support/images.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace orvane;

namespace {

Card sampleCard()
{
    Card card;
    card.name = QStringLiteral("Hero: \"Ünïcode\"");
    card.sides = {"1", "A", "7", "3"};
    card.element = 9;
    card.arrows[0] = card.arrows[6] = true;
    card.mainPicture = gradient(40, 70);
    card.mainPicture.setPixel(3, 3, qRgb(0, 0, 0));
    card.mainPicturePath = QStringLiteral("/somewhere/else/hero.bmp");
    card.x = 31;
    card.y = 62;
    card.placement.TopX = -5;
    card.placement.ElemY = 300;
    return card;
}

Card preparedCard()
{
    Card card = sampleCard();
    card.preparation.source = gradient(160, 120);
    card.preparation.fit.mode = FitMode::Fill;
    card.preparation.fit.resample = Resample::Nearest;
    card.preparation.fit.panX = -12;
    card.preparation.fit.panY = 7;
    card.preparation.fit.key = KeyMode::Colour;
    card.preparation.fit.keyColour = qRgb(0x12, 0x34, 0x56);
    card.preparation.fit.tolerance = 40;
    card.preparation.fit.keepDarkVisible = true;
    return card;
}

QByteArray edited(const Card& card, const std::function<void(QJsonObject&)>& edit)
{
    QJsonObject root = QJsonDocument::fromJson(cardToJson(card)).object();
    edit(root);
    return QJsonDocument(root).toJson();
}

TEST(CardFile, RoundTripKeepsEveryValueAndPixel)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("hero.orvcard"));
    for (const Card& card : {sampleCard(), Card{}, preparedCard()}) {
        QString error;
        ASSERT_TRUE(writeCardFile(card, path, &error)) << error.toStdString();
        const CardFileRead read = readCardFile(path);
        ASSERT_TRUE(read.card) << read.error.toStdString();
        EXPECT_EQ(*read.card, card);
        EXPECT_EQ(read.card->mainPicture.format(),
                  card.mainPicture.isNull() ? QImage::Format_Invalid : QImage::Format_RGB32);
    }
}

TEST(CardFile, IsReadableText)
{
    const QByteArray json = cardToJson(sampleCard());
    for (const char* part :
         {"\"format\": \"orvane-card\"", "\"version\": 1", "\"element\": \"Shadow\"",
          "\"upper-left\"", "\"down\"", "\"TopX\": -5", "hero.bmp"})
        EXPECT_TRUE(json.contains(part)) << part;
}

TEST(CardFile, RefusalsNameTheFileAndTheProblem)
{
    const Card card = sampleCard();
    const QByteArray whole = cardToJson(card);
    const auto set = [&](const char* key, const QJsonValue& value) {
        return edited(card, [&](QJsonObject& root) { root[QLatin1String(key)] = value; });
    };
    const std::pair<QByteArray, const char*> cases[] = {
        {whole.left(whole.size() / 2), "it is damaged ("},
        {QByteArray(), "it is damaged ("},
        {"[1, 2]", "not an Orvane card file"},
        {set("format", QStringLiteral("something-else")), "not an Orvane card file"},
        {set("version", 2), "format version 2 by a newer Orvane"},
        {set("version", QStringLiteral("1")), "format version is missing or wrong"},
        {set("version", 0.5), "format version is missing or wrong"},
        {set("version", 1.9e39), "format version beyond 1000000 by a newer Orvane"},
        {set("sides", 4), "\"sides\" is missing"},
        {set("pack", 4), "\"pack\" is not a text"},
        {set("copies", 100), "\"copies\" is not a whole number from 0 to 99"},
        {set("copies", -1), "\"copies\" is not a whole number"},
        {set("copies", 2.5), "\"copies\" is not a whole number"},
        {set("copies", QStringLiteral("3")), "\"copies\" is not a whole number"},
        {set("element", QStringLiteral("Lava")), "not an element's name"},
        {set("arrows", QJsonArray{QStringLiteral("sideways")}), "no direction"},
        {set("x", 63), "\"x\" is not a whole number from 0 to 62"},
        {set("y", 1.5), "\"y\" is not a whole number"},
        {set("x", 1e47), "\"x\" is not a whole number from 0 to 62"},
        {set("placement", QJsonObject{{"TopX", QStringLiteral("7")}}), "\"TopX\""},
        {set("picture", QJsonObject{{"png", QStringLiteral("@@@")}}), "not valid base64"},
        {set("picture", QJsonObject{{"png", QStringLiteral("iVBORw0KGgoAAAA=")}}),
         "pixels are damaged"},
        {set("picture", QJsonObject{{"path", QStringLiteral("a.bmp")}}),
         "pixels (\"png\") are missing"},
        {set("preparation", 3), "\"preparation\" is not an object"},
        {set("preparation", QJsonObject{{"png", QStringLiteral("")}}),
         "preparation's \"settings\" are missing"},
        {set("preparation", QJsonObject{{"settings", QJsonObject{{"fit", 2}}}}),
         "setting \"fit\" is not a text"},
        {set("preparation", QJsonObject{{"settings", QJsonObject{{"tolerance", "300"}}}}),
         "setting \"tolerance\" is wrong"},
        {set("preparation", QJsonObject{{"settings", QJsonObject{}}}),
         "the source picture's pixels (\"png\") are missing"},
    };
    for (const auto& [bytes, expected] : cases) {
        const CardFileRead read = cardFromJson(bytes, QStringLiteral("/decks/hero.orvcard"));
        EXPECT_FALSE(read.card) << expected;
        EXPECT_TRUE(read.error.contains(QStringLiteral("/decks/hero.orvcard"))) << expected;
        EXPECT_TRUE(read.error.contains(QLatin1String(expected)))
            << read.error.toStdString() << " / " << expected;
    }
}

TEST(CardFile, UnknownMembersOfTheSameVersionAreSkipped)
{
    const QByteArray json = edited(sampleCard(), [](QJsonObject& root) {
        root[QLatin1String("comment")] = QStringLiteral("added by hand");
    });
    const CardFileRead read = cardFromJson(json, QStringLiteral("x.orvcard"));
    ASSERT_TRUE(read.card) << read.error.toStdString();
    EXPECT_EQ(*read.card, sampleCard());
}

TEST(CardFile, PackIsWrittenOnlyWhenChosen)
{
    // Files of cards on the built-in parts stay byte for byte as before packs existed.
    EXPECT_EQ(cardToJsonWithPack(sampleCard(), {}), cardToJson(sampleCard()));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.orvcard"));
    QString error;
    ASSERT_TRUE(
        writeCardFileWithPack(preparedCard(), QStringLiteral("My Own Parts"), path, &error));
    const CardFileRead read = readCardFile(path);
    ASSERT_TRUE(read.card) << read.error.toStdString();
    EXPECT_EQ(*read.card, preparedCard());
    EXPECT_EQ(readCardFilePack(path), QStringLiteral("My Own Parts"));
    EXPECT_EQ(packOfCardJson(cardToJson(sampleCard())), QString());
}

TEST(CardFile, FileWithoutPreparationReadsAsUnprepared)
{
    // Files written before pictures were prepared have no "preparation" member at all.
    const QByteArray json =
        edited(sampleCard(), [](QJsonObject& root) { root.remove(QLatin1String("preparation")); });
    ASSERT_FALSE(json.contains("preparation"));
    const CardFileRead read = cardFromJson(json, QStringLiteral("old.orvcard"));
    ASSERT_TRUE(read.card) << read.error.toStdString();
    EXPECT_TRUE(read.card->preparation.source.isNull());
    EXPECT_EQ(*read.card, sampleCard());
}

TEST(CardFile, MissingFileAndFailedWriteLeaveNothingBehind)
{
    QTemporaryDir dir;
    const CardFileRead missing = readCardFile(dir.filePath(QStringLiteral("none.orvcard")));
    EXPECT_FALSE(missing.card);
    EXPECT_TRUE(missing.error.contains(QStringLiteral("none.orvcard")));

    QString error;
    const QString inMissingFolder = dir.filePath(QStringLiteral("no/such/folder/a.orvcard"));
    EXPECT_FALSE(writeCardFile(sampleCard(), inMissingFolder, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("a.orvcard")));

    // A file already there is replaced whole; nothing else is left in the folder.
    const QString path = dir.filePath(QStringLiteral("a.orvcard"));
    ASSERT_TRUE(writeCardFile(Card{}, path, &error));
    ASSERT_TRUE(writeCardFile(sampleCard(), path, &error));
    EXPECT_EQ(*readCardFile(path).card, sampleCard());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("a.orvcard")});
}

// A photo-like picture as a JPEG file's bytes, and the pixels the main picture loader reads.
LoadedPicture jpegPhoto(int w, int h)
{
    QImage photo(w, h, QImage::Format_RGB32);
    quint32 state = 99;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            state = state * 1664525u + 1013904223u;
            photo.setPixel(x, y, qRgb((x * 3 + (state >> 28)) % 256, (y * 2) % 256, 120));
        }
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    photo.save(&out, "JPEG", 85);
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    return readMainPicture(in, true);
}

// A prepared photo keeps its JPEG bytes in the file instead of a PNG of their pixels: the file
// is far smaller, and opens to the very same source and cards.
TEST(CardFile, APreparedPhotoStaysAJpeg)
{
    const LoadedPicture photo = jpegPhoto(480, 360);
    ASSERT_FALSE(photo.image.isNull()) << photo.error.toStdString();
    ASSERT_TRUE(photo.encoded.startsWith("\xFF\xD8\xFF"));
    Card card = preparedCard();
    card.preparation.source = photo.image;
    card.preparation.sourceEncoded = photo.encoded;
    Card asPixels = card;
    asPixels.preparation.sourceEncoded.clear();

    const QByteArray json = cardToJson(card);
    const QJsonObject preparation =
        QJsonDocument::fromJson(json).object().value("preparation").toObject();
    EXPECT_TRUE(preparation.contains("original"));
    EXPECT_FALSE(preparation.contains("png"));
    EXPECT_LT(json.size() * 2, cardToJson(asPixels).size());
    const CardFileRead read = cardFromJson(json, QStringLiteral("photo.orvcard"));
    ASSERT_TRUE(read.card) << read.error.toStdString();
    EXPECT_EQ(*read.card, card);              // the bytes, the source pixels, the prepared picture
    EXPECT_EQ(cardToJson(*read.card), json);  // saved again: still the JPEG

    // Bytes that do not give the source's pixels are not trusted: the pixels are kept instead.
    Card mismatched = card;
    mismatched.preparation.sourceEncoded = jpegPhoto(480, 361).encoded;
    const CardFileRead safe = cardFromJson(cardToJson(mismatched), QStringLiteral("m.orvcard"));
    ASSERT_TRUE(safe.card);
    EXPECT_EQ(safe.card->preparation.source, card.preparation.source);
    EXPECT_TRUE(safe.card->preparation.sourceEncoded.isEmpty());
}

TEST(CardFile, ADamagedOriginalIsRefused)
{
    Card card = preparedCard();
    const LoadedPicture photo = jpegPhoto(100, 80);
    card.preparation.source = photo.image;
    card.preparation.sourceEncoded = photo.encoded;
    const struct {
        QJsonValue original;
        const char* problem;
    } cases[] = {
        {QJsonValue(3), "\"original\" is not valid base64"},
        {QStringLiteral("@@@"), "\"original\" is not valid base64"},
        {QString::fromLatin1(QByteArray("plain text").toBase64()), "not a picture Orvane reads"},
        {QString::fromLatin1(jpegPhoto(60, 80).encoded.toBase64()), "not of the size"},
    };
    for (const auto& c : cases) {
        const QByteArray json = edited(card, [&](QJsonObject& root) {
            QJsonObject p = root.value("preparation").toObject();
            p["original"] = c.original;
            root["preparation"] = p;
        });
        const CardFileRead read = cardFromJson(json, QStringLiteral("bad.orvcard"));
        EXPECT_FALSE(read.card) << c.problem;
        EXPECT_TRUE(read.error.contains(QLatin1String(c.problem))) << read.error.toStdString();
    }
}

}  // namespace
