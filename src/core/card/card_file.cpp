// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/card_file.h"
#include "card/card_file_pack.h"

#include "card/arrow_words.h"
#include "card/card_rules.h"
#include "card/png_pixels.h"
#include "system/file_write.h"
#include "system/regular_file.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <utility>

namespace orvane {
namespace {

// A card file is a few kilobytes, or megabytes with a photo kept as the source of its picture;
// anything far larger is not one. The bound keeps the reading of a hostile file (its text, the
// parsed document and the decoded pixels) within a few hundred megabytes.
constexpr qint64 MaxCardFileBytes = 64LL * 1024 * 1024;
// A card has a few dozen values; a file with many more (a list of millions of arrows) is refused
// before it is parsed, since a parsed value costs many times its text.
constexpr int MaxCardFileValues = 1000;
constexpr qsizetype MaxNameChars = 1000;
constexpr qsizetype MaxSideChars = 16;
// The same limits as a main picture read from its own file.
constexpr int MaxPictureSide = 16384;
constexpr qint64 MaxPicturePixels = 25LL * 1000 * 1000;

constexpr const char* SideKeys[4] = {"up", "left", "right", "down"};

QByteArray pngBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB32).save(&buffer, "png");
    return bytes;
}

// A source picture kept in its own encoding (a JPEG file's bytes), decoded as the main picture
// loader decodes it; null when it is no picture of the size limits.
QImage decodeOriginal(const QByteArray& encoded, QString* error)
{
    QByteArray bytes = encoded;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > MaxPictureSide || size.height() > MaxPictureSide ||
        qint64(size.width()) * size.height() > MaxPicturePixels) {
        *error = QStringLiteral("the source picture is not a picture Orvane reads, or too large");
        return {};
    }
    QImage image = reader.read();
    if (image.isNull()) {
        *error = QStringLiteral("the source picture is damaged (%1)").arg(reader.errorString());
        return {};
    }
    return std::move(image).convertToFormat(QImage::Format_RGB32);
}

// Whether the source is kept in its own encoding: only when that decodes to its very pixels.
bool keepsOriginal(const PicturePreparation& preparation)
{
    QString ignored;
    return !preparation.sourceEncoded.isEmpty() &&
           decodeOriginal(preparation.sourceEncoded, &ignored) == preparation.source;
}

// Reads one card from its JSON object; the first problem found ends the read.
class CardReader {
public:
    explicit CardReader(const QJsonObject& root) : m_root(root) {}

    std::optional<Card> read(QString* problem)
    {
        Card card;
        const bool ok = readName(card) && readSides(card) && readElement(card) &&
                        readArrows(card) && readOffset(card) && readPlacement(card) &&
                        readPicture(card) && readPreparation(card);
        if (!ok) {
            *problem = m_problem;
            return std::nullopt;
        }
        return card;
    }

private:
    bool fail(const QString& problem)
    {
        m_problem = problem;
        return false;
    }

    bool readName(Card& card)
    {
        const QJsonValue name = m_root.value(QLatin1String("name"));
        if (name.isUndefined())
            return true;
        if (!name.isString())
            return fail(QStringLiteral("\"name\" is not a text"));
        card.name = name.toString();
        if (card.name.size() > MaxNameChars)
            return fail(QStringLiteral("\"name\" is longer than %1 characters").arg(MaxNameChars));
        return readPack(card);
    }

    // The pack the card is drawn with; optional (older files have none: the built-in parts).
    bool readPack(Card&)
    {
        const QJsonValue pack = m_root.value(QLatin1String("pack"));
        if (pack.isUndefined() || pack.isNull())
            return true;
        if (!pack.isString())
            return fail(QStringLiteral("\"pack\" is not a text"));
        if (pack.toString().size() > MaxNameChars)
            return fail(QStringLiteral("\"pack\" is longer than %1 characters").arg(MaxNameChars));
        return true;
    }

    bool readSides(Card& card)
    {
        const QJsonValue sides = m_root.value(QLatin1String("sides"));
        if (!sides.isObject())
            return fail(QStringLiteral("\"sides\" is missing or not an object"));
        for (size_t i = 0; i < 4; ++i) {
            const QJsonValue side = sides.toObject().value(QLatin1String(SideKeys[i]));
            if (!side.isString())
                return fail(QStringLiteral("side \"%1\" is missing or not a text")
                                .arg(QLatin1String(SideKeys[i])));
            card.sides[i] = side.toString();
            if (card.sides[i].size() > MaxSideChars)
                return fail(QStringLiteral("side \"%1\" is longer than %2 characters")
                                .arg(QLatin1String(SideKeys[i]))
                                .arg(MaxSideChars));
        }
        return true;
    }

    bool readElement(Card& card)
    {
        const QJsonValue element = m_root.value(QLatin1String("element"));
        if (element.isNull() || element.isUndefined()) {
            card.element = NoElementChosen;
            return true;
        }
        const std::optional<int> index =
            element.isString() ? elementFromCaption(element.toString()) : std::nullopt;
        if (!index)
            return fail(QStringLiteral("\"element\" is not an element's name"));
        card.element = *index;
        return true;
    }

    bool readArrows(Card& card)
    {
        const QJsonValue arrows = m_root.value(QLatin1String("arrows"));
        if (arrows.isUndefined())
            return true;
        if (!arrows.isArray())
            return fail(QStringLiteral("\"arrows\" is not a list"));
        if (arrows.toArray().size() > CardArrowCount)
            return fail(QStringLiteral("\"arrows\" lists more than %1 arrows").arg(CardArrowCount));
        for (const QJsonValue arrow : arrows.toArray()) {
            const std::optional<int> index =
                arrow.isString() ? arrowFromWord(arrow.toString()) : std::nullopt;
            if (!index)
                return fail(QStringLiteral("\"arrows\" holds something that is no direction"));
            if (card.arrows[size_t(*index)])
                return fail(QStringLiteral("\"arrows\" names %1 twice").arg(arrowWord(*index)));
            card.arrows[size_t(*index)] = true;
        }
        // The editor never ticks more arrows than the total allows: such a file was not made by
        // it, and would show a negative number of arrows left.
        const int total = cardTotal(card.sides);
        const int limit = arrowLimit(total);
        if (card.arrowCount() > limit)
            return fail(QStringLiteral("it has %1 arrows, but a card of total %2 may have %3 at "
                                       "most")
                            .arg(card.arrowCount())
                            .arg(total)
                            .arg(limit));
        return true;
    }

    bool readWhole(const QJsonObject& object, const char* key, int low, int high, int* value)
    {
        const QJsonValue v = object.value(QLatin1String(key));
        if (v.isUndefined())
            return true;  // the default stays
        const double d = v.toDouble(-1e300);
        // The range first: a number beyond any integer type must not be converted to one.
        if (!v.isDouble() || d < low || d > high || d != std::floor(d))
            return fail(QStringLiteral("\"%1\" is not a whole number from %2 to %3")
                            .arg(QLatin1String(key))
                            .arg(low)
                            .arg(high));
        *value = int(d);
        return true;
    }

    bool readOffset(Card& card)
    {
        return readWhole(m_root, "x", 0, MainPictureMaxOffset, &card.x) &&
               readWhole(m_root, "y", 0, MainPictureMaxOffset, &card.y);
    }

    bool readPlacement(Card& card)
    {
        const QJsonValue placement = m_root.value(QLatin1String("placement"));
        if (placement.isUndefined())
            return true;
        if (!placement.isObject())
            return fail(QStringLiteral("\"placement\" is not an object"));
        for (const PlacementField& field : PlacementFields) {
            int value = card.placement.*field.member;
            if (!readWhole(placement.toObject(), field.key, -32768, 32767, &value))
                return false;
            card.placement.*field.member = qint16(value);
        }
        return true;
    }

    bool readPicture(Card& card)
    {
        const QJsonValue picture = m_root.value(QLatin1String("picture"));
        if (picture.isNull() || picture.isUndefined())
            return true;
        if (!picture.isObject())
            return fail(QStringLiteral("\"picture\" is not an object"));
        const QJsonObject p = picture.toObject();
        const QJsonValue path = p.value(QLatin1String("path"));
        if (!path.isUndefined() && !path.isString())
            return fail(QStringLiteral("the picture's \"path\" is not a text"));
        card.mainPicturePath = path.toString();

        return readPixels(p, "the picture", &card.mainPicture);
    }

    // The pixels of a picture kept as PNG in base64 under "png".
    bool readPixels(const QJsonObject& p, const char* what, QImage* out)
    {
        const QString name = QLatin1String(what);
        const QJsonValue png = p.value(QLatin1String("png"));
        if (!png.isString())
            return fail(QStringLiteral("%1's pixels (\"png\") are missing").arg(name));
        const auto decoded = QByteArray::fromBase64Encoding(
            png.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            return fail(QStringLiteral("%1's pixels are not valid base64").arg(name));
        QString why;
        const QImage image = decodePngPixels(*decoded, MaxPictureSide, MaxPicturePixels, &why);
        if (image.isNull())
            return fail(why.startsWith(QLatin1String("it is too large"))
                            ? QStringLiteral("%1 %2").arg(name, why.mid(3))
                            : QStringLiteral("%1's pixels are damaged (%2)").arg(name, why));
        *out = image;
        return true;
    }

    // The source picture and the settings that prepared the main picture.
    bool readPreparation(Card& card)
    {
        const QJsonValue preparation = m_root.value(QLatin1String("preparation"));
        if (preparation.isNull() || preparation.isUndefined())
            return true;
        if (!preparation.isObject())
            return fail(QStringLiteral("\"preparation\" is not an object"));
        const QJsonObject p = preparation.toObject();
        const QJsonValue settings = p.value(QLatin1String("settings"));
        if (!settings.isObject())
            return fail(QStringLiteral("the preparation's \"settings\" are missing"));
        QMap<QString, QString> texts;
        const QJsonObject object = settings.toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (!it.value().isString())
                return fail(
                    QStringLiteral("the preparation's setting \"%1\" is not a text").arg(it.key()));
            texts[it.key()] = it.value().toString();
        }
        PictureFitProblem problem;
        const std::optional<PictureFit> fit = parsePictureFit(texts, &problem);
        if (!fit)
            return fail(QStringLiteral("the preparation's setting \"%1\" is wrong: %2")
                            .arg(problem.name, problem.message));
        card.preparation.fit = *fit;
        const QJsonValue original = p.value(QLatin1String("original"));
        if (original.isUndefined())
            return readPixels(p, "the source picture", &card.preparation.source);
        // The source in its own encoding, which decodes to the size the file gives.
        const auto decoded = QByteArray::fromBase64Encoding(
            original.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!original.isString() || !decoded)
            return fail(QStringLiteral("the source picture's \"original\" is not valid base64"));
        QString why;
        QImage source = decodeOriginal(*decoded, &why);
        if (source.isNull())
            return fail(why);
        if (source.size() != QSize(p.value(QLatin1String("width")).toInt(-1),
                                   p.value(QLatin1String("height")).toInt(-1)))
            return fail(QStringLiteral("the source picture is not of the size the file gives"));
        card.preparation.source = std::move(source);
        card.preparation.sourceEncoded = *decoded;
        return true;
    }

    const QJsonObject& m_root;
    QString m_problem;
};

// Whether JSON text holds at most `limit` values, counted by the separators and brackets outside
// its strings: a cheap look before parsing, which costs many times the text for small values.
bool fewValues(const QByteArray& json, int limit)
{
    int count = 0;
    bool inString = false;
    bool escaped = false;
    for (const char c : json) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"')
            inString = true;
        else if ((c == ',' || c == '[' || c == '{') && ++count > limit)
            return false;
    }
    return true;
}

CardFileRead failure(const QString& path, const QString& problem)
{
    return {std::nullopt, QStringLiteral("The card file %1 cannot be opened: %2.")
                              .arg(QDir::toNativeSeparators(path), problem)};
}

}  // namespace

QByteArray cardToJson(const Card& card, int copies)
{
    QJsonObject root;
    root[QLatin1String("format")] = QLatin1String(CardFileFormat);
    root[QLatin1String("version")] = CardFileVersion;
    root[QLatin1String("name")] = card.name;
    QJsonObject sides;
    for (size_t i = 0; i < 4; ++i)
        sides[QLatin1String(SideKeys[i])] = card.sides[i];
    root[QLatin1String("sides")] = sides;
    root[QLatin1String("element")] =
        card.element == NoElementChosen ? QJsonValue() : QJsonValue(elementCaption(card.element));
    QJsonArray arrows;
    for (int i = 0; i < CardArrowCount; ++i)
        if (card.arrows[size_t(i)])
            arrows.append(arrowWord(i));
    root[QLatin1String("arrows")] = arrows;
    root[QLatin1String("x")] = card.x;
    root[QLatin1String("y")] = card.y;
    QJsonObject placement;
    for (const PlacementField& field : PlacementFields)
        placement[QLatin1String(field.key)] = card.placement.*field.member;
    root[QLatin1String("placement")] = placement;
    if (card.mainPicture.isNull()) {
        root[QLatin1String("picture")] = QJsonValue();
    } else {
        QJsonObject picture;
        picture[QLatin1String("path")] = card.mainPicturePath;
        picture[QLatin1String("width")] = card.mainPicture.width();
        picture[QLatin1String("height")] = card.mainPicture.height();
        picture[QLatin1String("png")] = QString::fromLatin1(pngBytes(card.mainPicture).toBase64());
        root[QLatin1String("picture")] = picture;
    }
    if (card.preparation.source.isNull()) {
        root[QLatin1String("preparation")] = QJsonValue();
    } else {
        QJsonObject settings;
        const QMap<QString, QString> texts = pictureFitSettings(card.preparation.fit);
        for (auto it = texts.begin(); it != texts.end(); ++it)
            settings[it.key()] = it.value();
        QJsonObject preparation;
        preparation[QLatin1String("settings")] = settings;
        preparation[QLatin1String("width")] = card.preparation.source.width();
        preparation[QLatin1String("height")] = card.preparation.source.height();
        if (keepsOriginal(card.preparation))
            preparation[QLatin1String("original")] =
                QString::fromLatin1(card.preparation.sourceEncoded.toBase64());
        else
            preparation[QLatin1String("png")] =
                QString::fromLatin1(pngBytes(card.preparation.source).toBase64());
        root[QLatin1String("preparation")] = preparation;
    }
    if (copies != 1)
        root[QLatin1String("copies")] = copies;
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

namespace {

// The optional "copies" member: a whole number 0-99, 1 when absent.
bool readCopies(const QJsonObject& root, int* copies, QString* problem)
{
    const QJsonValue value = root.value(QLatin1String("copies"));
    if (value.isUndefined() || value.isNull())
        return true;
    const double number = value.toDouble(-1);
    if (!value.isDouble() || number < 0 || number > MaxCardCopies || number != std::floor(number)) {
        *problem =
            QStringLiteral("\"copies\" is not a whole number from 0 to %1").arg(MaxCardCopies);
        return false;
    }
    *copies = int(number);
    return true;
}

// The text is let go once parsed, so that a large file is not held twice.
CardFileRead parseCard(QByteArray json, const QString& pathForMessages)
{
    if (!fewValues(json, MaxCardFileValues))
        return failure(pathForMessages,
                       QStringLiteral("it holds far more values than a card has, so it is not a "
                                      "card file"));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    json = QByteArray();
    if (parseError.error != QJsonParseError::NoError)
        return failure(pathForMessages, QStringLiteral("it is damaged (%1 at byte %2)")
                                            .arg(parseError.errorString())
                                            .arg(parseError.offset));
    const QJsonObject root = document.object();
    if (!document.isObject() ||
        root.value(QLatin1String("format")).toString() != QLatin1String(CardFileFormat))
        return failure(pathForMessages, QStringLiteral("it is not an Orvane card file"));
    const QJsonValue version = root.value(QLatin1String("version"));
    // Compared as a double: a version beyond any integer type must not be converted to one.
    const double versionNumber = version.toDouble();
    if (!version.isDouble() || !(versionNumber >= 1) || versionNumber != std::floor(versionNumber))
        return failure(pathForMessages, QStringLiteral("its format version is missing or wrong"));
    if (versionNumber > CardFileVersion)
        return failure(pathForMessages,
                       QStringLiteral("it was written in format version %1 by a newer Orvane; "
                                      "this one reads up to version %2")
                           .arg(versionNumber > 1e6 ? QStringLiteral("beyond 1000000")
                                                    : QString::number(versionNumber, 'f', 0))
                           .arg(CardFileVersion));
    QString problem;
    std::optional<Card> card = CardReader(root).read(&problem);
    int copies = 1;
    if (!card || !readCopies(root, &copies, &problem))
        return failure(pathForMessages, QStringLiteral("it is damaged: %1").arg(problem));
    return {std::move(card), {}, copies};
}

}  // namespace

CardFileRead cardFromJson(const QByteArray& json, const QString& pathForMessages)
{
    return parseCard(json, pathForMessages);
}

CardFileRead readCardFile(const QString& path)
{
    ReadFile read = readRegularFile(path, MaxCardFileBytes);
    if (read.tooLarge)
        return failure(path,
                       QStringLiteral("it is far too large to be a card file (%1 MiB at most)")
                           .arg(MaxCardFileBytes >> 20));
    if (!read.error.isEmpty())
        return failure(path, read.error);
    return parseCard(std::exchange(read.bytes, {}), path);
}

int readCardFileCopies(const QString& path)
{
    const ReadFile read = readRegularFile(path, MaxCardFileBytes);
    if (!read.error.isEmpty() || read.tooLarge)
        return 1;
    int copies = 1;
    QString ignored;
    return readCopies(QJsonDocument::fromJson(read.bytes).object(), &copies, &ignored) ? copies : 1;
}

QString packOfCardJson(const QByteArray& json)
{
    const QJsonValue pack = QJsonDocument::fromJson(json).object().value(QLatin1String("pack"));
    return pack.isString() ? pack.toString().left(MaxNameChars) : QString();
}

QByteArray cardToJsonWithPack(const Card& card, const QString& pack, int copies)
{
    const QByteArray json = cardToJson(card, copies);
    if (pack.isEmpty())
        return json;
    QJsonObject root = QJsonDocument::fromJson(json).object();
    root[QLatin1String("pack")] = pack;
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QString readCardFilePack(const QString& path)
{
    const ReadFile read = readRegularFile(path, MaxCardFileBytes);
    return read.error.isEmpty() && !read.tooLarge ? packOfCardJson(read.bytes) : QString();
}

namespace {

bool writeCardJson(const QByteArray& json, const QString& path, QString* error)
{
    QString why;
    if (!writeFileAtomically(path, json, &why, true)) {
        if (error)
            *error = QStringLiteral("The card file %1 cannot be written: %2.")
                         .arg(QDir::toNativeSeparators(path), why);
        return false;
    }
    return true;
}

}  // namespace

bool writeCardFile(const Card& card, const QString& path, QString* error, int copies)
{
    return writeCardJson(cardToJson(card, copies), path, error);
}

bool writeCardFileWithPack(const Card& card, const QString& pack, const QString& path,
                           QString* error, int copies)
{
    return writeCardJson(cardToJsonWithPack(card, pack, copies), path, error);
}

}  // namespace orvane
