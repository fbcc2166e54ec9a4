// SPDX-License-Identifier: GPL-3.0-or-later
// The outputs made from a whole deck at once: tabletop deck sheets with their saved objects, and
// a texture atlas with its index.
#include "files/play_outputs.h"

#include "card/card.h"
#include "files/card_export.h"
#include "files/main_picture.h"
#include "files/png_writer.h"
#include "files/tabletop_sheet.h"
#include "files/texture_atlas.h"
#include "render/part_scales.h"
#include "system/parallel_for.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <vector>

// The back is compiled into the static core library, so it is registered explicitly; the macro
// must be used outside any namespace.
static void registerCardBack()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(card_back);
        return true;
    }();
    (void)registered;
}

namespace orvane {

std::optional<CardColours> cardColoursFromName(const QString& name)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("both"))
        return CardColours::Both;
    if (n == QLatin1String("blue"))
        return CardColours::Blue;
    if (n == QLatin1String("red"))
        return CardColours::Red;
    return std::nullopt;
}

std::optional<CutLines> cutLinesFromName(const QString& name)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("corners"))
        return CutLines::Corners;
    if (n == QLatin1String("full"))
        return CutLines::Full;
    if (n == QLatin1String("none"))
        return CutLines::None;
    return std::nullopt;
}

QList<CardColour> cardFaces(CardColours colours)
{
    switch (colours) {
    case CardColours::Blue: return {CardColour::Blue};
    case CardColours::Red: return {CardColour::Red};
    case CardColours::Both: break;
    }
    return {CardColour::Blue, CardColour::Red};
}

QString colourName(CardColour colour)
{
    return colour == CardColour::Blue ? QStringLiteral("blue") : QStringLiteral("red");
}

const QImage& cardFace(const RenderedCard& card, CardColour colour)
{
    return colour == CardColour::Blue ? card.blue : card.red;
}

QImage builtinCardBack()
{
    registerCardBack();
    return QImage(QStringLiteral(":/cardback/cardback.xpm")).convertToFormat(QImage::Format_RGB32);
}

QImage loadCardBack(const QString& choice, QString* error)
{
    if (choice.isEmpty() || choice == QLatin1String(BuiltinBackName))
        return builtinCardBack();
    const LoadedPicture loaded = loadMainPicture(choice);
    if (loaded.image.isNull() && error)
        *error = QStringLiteral("%1 cannot be read: %2")
                     .arg(QDir::toNativeSeparators(choice), loaded.error);
    return loaded.image;
}

QImage cardSquarePicture(const QImage& picture, int side)
{
    if (picture.isNull() || side <= 0)
        return {};
    if (picture.size() == QSize(CardSide, CardSide) && side % CardSide == 0)
        return scaleCardPicture(picture, side / CardSide);
    const QImage covered =
        picture.convertToFormat(QImage::Format_RGB32)
            .scaled(side, side, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    return covered.copy((covered.width() - side) / 2, (covered.height() - side) / 2, side, side);
}

namespace {

QString tabletopSheetName(const QString& deck, CardColour colour, int n)
{
    return QStringLiteral("%1-%2-%3.png").arg(deck, colourName(colour)).arg(n);
}

QString tabletopObjectName(const QString& deck, CardColour colour)
{
    return QStringLiteral("%1-%2.json").arg(deck, colourName(colour));
}

QString tabletopBackName(const QString& deck)
{
    return QStringLiteral("%1-back.png").arg(deck);
}

QString atlasIndexPath(const QString& atlasPath)
{
    const QFileInfo info(atlasPath);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".json"));
}

int atlasFrameCount(const PlayOutputs& outputs, int cards)
{
    return cards * int(cardFaces(outputs.colours).size());
}

// Writes the files in order, counting pictures for the progress and stopping on cancel.
class Writer {
public:
    Writer(PlayOutputsResult& result, int total, const Progress& progress)
        : m_result(result), m_total(total), m_progress(progress)
    {
    }

    const Progress& progress() const { return m_progress; }

    void problem(const QString& text) { m_result.problems << text; }

    // A file written elsewhere (on a worker thread), in the order of the outputs.
    void written(const QString& path) { m_result.written << path; }

    bool stopped()
    {
        if (m_progress.stopRequested())
            m_result.cancelled = true;
        return m_result.cancelled;
    }

    bool write(const QString& path, const QByteArray& bytes, const QString& why = {})
    {
        QString error = why;
        if (bytes.isEmpty() || !writeOutputFile(path, bytes, &error)) {
            m_result.problems << QStringLiteral("%1 cannot be written: %2")
                                     .arg(QDir::toNativeSeparators(path), error);
            return false;
        }
        m_result.written << path;
        return true;
    }

    void pictureDone()
    {
        ++m_done;
        m_progress.report(m_done, m_total);
    }

private:
    PlayOutputsResult& m_result;
    int m_total = 0;
    int m_done = 0;
    const Progress& m_progress;
};

int tabletopScale(const PlayOutputs& outputs, int cards)
{
    return outputs.tabletopScale > 0 ? outputs.tabletopScale : largestTabletopScale(cards);
}

bool writeTabletop(const PlayOutputs& outputs, const QString& deckName,
                   const QList<NamedCard>& cards, Writer& writer, PlayOutputsResult& result)
{
    const QDir dir(outputs.tabletopDir);
    if (!QDir().mkpath(dir.absolutePath())) {
        result.problems << QStringLiteral("the folder %1 cannot be made")
                               .arg(QDir::toNativeSeparators(dir.absolutePath()));
        return false;
    }
    const int scale = tabletopScale(outputs, int(cards.size()));
    const int side = CardSide * scale;
    QString error;
    const QImage back = cardSquarePicture(loadCardBack(outputs.backPicture, &error), side);
    if (back.isNull()) {
        result.problems << QStringLiteral("the card back %1").arg(error);
        return false;
    }
    QImage hidden = back;
    if (!outputs.hiddenPicture.isEmpty()) {
        hidden = cardSquarePicture(loadCardBack(outputs.hiddenPicture, &error), side);
        if (hidden.isNull()) {
            result.problems << QStringLiteral("the hidden card %1").arg(error);
            return false;
        }
    }
    if (writer.stopped())
        return false;
    const QString backPath = dir.absoluteFilePath(tabletopBackName(deckName));
    if (!writer.write(backPath, encodePng(back, &error), error))
        return false;
    writer.pictureDone();

    // Every sheet of every colour is made and written on its own, on as many threads as there
    // are cores: most of the time goes into compressing the large pictures.
    struct SheetTask {
        CardColour colour = CardColour::Blue;
        int first = 0;
        int count = 0;
        QString path;
        bool written = false;
        QString problem;
    };
    const QList<int> counts = tabletopSheetCounts(int(cards.size()));
    std::vector<SheetTask> tasks;
    for (const CardColour colour : cardFaces(outputs.colours)) {
        int first = 0;
        for (qsizetype sheet = 0; sheet < counts.size(); ++sheet) {
            tasks.push_back(
                {colour,
                 first,
                 counts[sheet],
                 dir.absoluteFilePath(tabletopSheetName(deckName, colour, int(sheet) + 1)),
                 false,
                 {}});
            first += counts[sheet];
        }
    }
    // Each sheet done is one picture more, told from this thread.
    const Progress& progress = writer.progress();
    const Progress sheetProgress =
        progress.isHeard() ? progress.withListener([&](int, int) { writer.pictureDone(); })
                           : progress;
    parallelFor(int(tasks.size()), outputs.threads, sheetProgress, [&](int t) {
        SheetTask& task = tasks[size_t(t)];
        QList<QImage> faces;
        for (int k = task.first; k < task.first + task.count; ++k)
            faces << cardFace(cardAtScale(cards[k].pictures, scale), task.colour);
        QString why;
        const QByteArray png = encodePng(composeTabletopSheet(faces, hidden, scale), &why);
        if (png.isEmpty() || !writeOutputFile(task.path, png, &why)) {
            task.problem = QStringLiteral("%1 cannot be written: %2")
                               .arg(QDir::toNativeSeparators(task.path), why);
            return;
        }
        task.written = true;
    });

    QStringList names;
    for (const NamedCard& card : cards)
        names << card.name;
    int firstDeckId = 1;
    for (const CardColour colour : cardFaces(outputs.colours)) {
        TabletopDeck deck;
        deck.nickname = QStringLiteral("%1 (%2)").arg(deckName, colourName(colour));
        deck.cardNames = names;
        deck.backUrl = QUrl::fromLocalFile(backPath).toString();
        deck.firstDeckId = firstDeckId;
        bool whole = true;
        for (const SheetTask& task : tasks) {
            if (task.colour != colour)
                continue;
            if (task.written) {
                writer.written(task.path);
                deck.faceUrls << QUrl::fromLocalFile(task.path).toString();
            }
            if (!task.problem.isEmpty())
                result.problems << task.problem;
            whole = whole && task.written;
        }
        // A saved object names every sheet of its colour, so it is written only beside all.
        if (writer.stopped() || !whole)
            return false;
        if (!writer.write(dir.absoluteFilePath(tabletopObjectName(deckName, colour)),
                          tabletopSavedObject(deck)))
            return false;
        // Each colour's decks have ids of their own, so both can lie on one table.
        firstDeckId += int(counts.size());
    }
    return true;
}

bool writeAtlas(const PlayOutputs& outputs, const QList<NamedCard>& cards, Writer& writer)
{
    QList<QImage> pictures;
    QStringList names;
    for (const NamedCard& card : cards) {
        const RenderedCard drawn = cardAtScale(card.pictures, outputs.atlasScale);
        for (const CardColour colour : cardFaces(outputs.colours)) {
            pictures << scaleCardPicture(cardFace(drawn, colour), 1);
            names << QStringLiteral("%1-%2").arg(card.fileBase, colourName(colour));
        }
    }
    if (writer.stopped())
        return false;
    const QString folder = QFileInfo(outputs.atlasPath).absolutePath();
    if (!QDir().mkpath(folder)) {
        writer.problem(
            QStringLiteral("the folder %1 cannot be made").arg(QDir::toNativeSeparators(folder)));
        return false;
    }
    const AtlasLayout layout = layOutAtlas(int(pictures.size()), CardSide * outputs.atlasScale,
                                           outputs.atlasPadding, outputs.atlasExtrude);
    QString error;
    const QByteArray png =
        encodePngWithAlpha(composeAtlas(pictures, layout, outputs.atlasExtrude), &error);
    if (!writer.write(outputs.atlasPath, png, error))
        return false;
    writer.pictureDone();
    return writer.write(atlasIndexPath(outputs.atlasPath),
                        atlasIndex(layout, uniqueNames(names),
                                   QFileInfo(outputs.atlasPath).fileName(), outputs.atlasScale));
}

}  // namespace

QStringList plannedPlayFiles(const PlayOutputs& outputs, const QString& deckName, int cards)
{
    QStringList files;
    if (!outputs.tabletopDir.isEmpty()) {
        const QDir dir(outputs.tabletopDir);
        files << dir.absoluteFilePath(tabletopBackName(deckName));
        const qsizetype sheets = tabletopSheetCounts(cards).size();
        for (const CardColour colour : cardFaces(outputs.colours)) {
            for (int n = 1; n <= sheets; ++n)
                files << dir.absoluteFilePath(tabletopSheetName(deckName, colour, n));
            files << dir.absoluteFilePath(tabletopObjectName(deckName, colour));
        }
    }
    if (!outputs.atlasPath.isEmpty())
        files << QFileInfo(outputs.atlasPath).absoluteFilePath()
              << QFileInfo(atlasIndexPath(outputs.atlasPath)).absoluteFilePath();
    return files;
}

QString checkPlayOutputs(const PlayOutputs& outputs, int cards)
{
    if (!outputs.tabletopDir.isEmpty() && outputs.tabletopScale > 0 &&
        !tabletopScaleFits(cards, outputs.tabletopScale)) {
        const TabletopGrid grid = tabletopGrid(std::min(cards, TabletopCardsPerSheet));
        const int cell = CardSide * outputs.tabletopScale;
        return QStringLiteral("at scale %1 a deck sheet of %2 x %3 cards is %4 x %5 pixels, over "
                              "the limit of %6; the largest scale that fits is %7")
            .arg(outputs.tabletopScale)
            .arg(grid.columns)
            .arg(grid.rows)
            .arg(grid.columns * cell)
            .arg(grid.rows * cell)
            .arg(TabletopMaxSide)
            .arg(largestTabletopScale(cards));
    }
    if (!outputs.atlasPath.isEmpty()) {
        const AtlasLayout layout =
            layOutAtlas(atlasFrameCount(outputs, cards), CardSide * outputs.atlasScale,
                        outputs.atlasPadding, outputs.atlasExtrude);
        if (layout.size.width() > MaxAtlasSide || layout.size.height() > MaxAtlasSide)
            return QStringLiteral("the atlas would be %1 x %2 pixels, over the limit of %3 a side")
                .arg(layout.size.width())
                .arg(layout.size.height())
                .arg(MaxAtlasSide);
    }
    return {};
}

PlayOutputsResult writePlayOutputs(const PlayOutputs& outputs, const QString& deckName,
                                   const QList<NamedCard>& cards, const Progress& progress)
{
    PlayOutputsResult result;
    // The deck sheets hold every copy of a card, the atlas each card once.
    QList<NamedCard> copies;
    for (const NamedCard& card : cards)
        for (int copy = 0; copy < card.copies; ++copy)
            copies << card;
    PlayOutputs tabletopOnly = outputs, atlasOnly = outputs;
    tabletopOnly.atlasPath.clear();
    atlasOnly.tabletopDir.clear();
    for (const QString& problem : {checkPlayOutputs(tabletopOnly, int(copies.size())),
                                   checkPlayOutputs(atlasOnly, int(cards.size()))})
        if (!problem.isEmpty()) {
            result.problems << problem;
            return result;
        }
    int total = 0;
    if (!outputs.tabletopDir.isEmpty())
        total += 1 + int(tabletopSheetCounts(int(copies.size())).size() *
                         cardFaces(outputs.colours).size());
    if (!outputs.atlasPath.isEmpty())
        total += 1;
    Writer writer(result, total, progress);
    if (!outputs.tabletopDir.isEmpty() && !copies.isEmpty())
        writeTabletop(outputs, deckName, copies, writer, result);
    if (!outputs.atlasPath.isEmpty() && !cards.isEmpty() && !result.cancelled)
        writeAtlas(outputs, cards, writer);
    return result;
}

}  // namespace orvane
