// SPDX-License-Identifier: GPL-3.0-or-later
// The record of what a run wrote into an output folder: a later run skips exactly the cards
// whose inputs and files are as that run left them, renders the others, and writes the same
// files and says the same as a run without any record.
#include "card/card_file.h"
#include "files/card_export.h"
#include "files/deck_render.h"
#include "files/output_record.h"
#include "render/asset_catalogue.h"
#include "support/child_process.h"
#include "support/images.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace orvane;

namespace {

// Longer than the time a freshly written file is not trusted for.
void waitForTimesToSettle()
{
    QThread::msleep(150);
}

void setModified(const QString& path, const QDateTime& when)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite)) << path.toStdString();
    ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
}

// Every file of a folder with its bytes and modification time.
struct FolderState {
    QMap<QString, QByteArray> bytes;
    QMap<QString, qint64> modifiedNs;
};

FolderState folderState(const QString& folder)
{
    FolderState state;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files, QDir::Name)) {
        QFile file(info.filePath());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        state.bytes.insert(info.fileName(), file.readAll());
        state.modifiedNs.insert(info.fileName(), statFile(info.filePath()).modifiedNs);
    }
    return state;
}

QStringList fileNames(const QStringList& paths)
{
    QStringList names;
    for (const QString& path : paths)
        names << QFileInfo(path).fileName();
    return names;
}

// A deck of three cards (two with pictures, one of them larger than the card), its own copy of
// the parts and a cache folder for the records.
struct Deck {
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
    QString deck() const { return path(QStringLiteral("deck.csv")); }
    QString out() const { return path(QStringLiteral("out")); }
    QString parts() const { return path(QStringLiteral("parts")); }
    QString cache() const { return path(QStringLiteral("cache")); }

    Deck()
    {
        gradient(40, 40).save(path(QStringLiteral("goblin.png")));
        solid(80, 70, qRgb(20, 200, 40)).save(path(QStringLiteral("slime.png")));
        writeDeck("Goblin,1,2,3,4,goblin.png\nSlime,5,5,5,5,slime.png\nGolem,9,9,9,9,\n");
        QDir().mkpath(parts());
        std::filesystem::copy(
            std::filesystem::path(qEnvironmentVariable("ORVANE_BIN_DIR").toStdString()) / "gfx",
            std::filesystem::path(parts().toStdString()) / "gfx",
            std::filesystem::copy_options::recursive);
    }
    void writeDeck(const QByteArray& rows) const
    {
        writeFile(deck(), "name,up,left,right,down,picture\n" + rows);
    }
    DeckRenderOptions options(const QString& outDir = {}) const
    {
        DeckRenderOptions options;
        options.input = deck();
        options.outDir = outDir.isEmpty() ? out() : outDir;
        options.partsRoot = parts();
        options.records = true;
        options.recordFolder = cache();
        return options;
    }
    // A first run, then a second once the files' times have settled: the second compares the
    // bytes and leaves a record every card of a third run can trust.
    void renderAndRecord(const DeckRenderOptions& options) const
    {
        ASSERT_TRUE(renderDeck(options).ok());
        waitForTimesToSettle();
        const DeckRenderResult second = renderDeck(options);
        ASSERT_TRUE(second.ok());
        ASSERT_TRUE(second.written.isEmpty());
        waitForTimesToSettle();
    }
};

// Runs with the record give what a run without it gives, files and words.
void expectSameAsWithoutRecord(const Deck& deck, const DeckRenderOptions& options,
                               const DeckRenderResult& result)
{
    const QString plainOut = deck.path(QStringLiteral("plain"));
    DeckRenderOptions plain = options;
    plain.outDir = plainOut;
    plain.recordFolder.clear();
    const DeckRenderResult expected = renderDeck(plain);
    EXPECT_EQ(result.cards, expected.cards);
    EXPECT_EQ(result.problems, expected.problems);
    EXPECT_EQ(result.warnings, expected.warnings);
    EXPECT_EQ(folderState(options.outDir).bytes, folderState(plainOut).bytes);
    QDir(plainOut).removeRecursively();
}

TEST(OutputRecord, ARunSkipsExactlyTheCardsWhoseInputsAndFilesAreAsLeft)
{
    const auto recordFile = [](const Deck& d) { return outputRecordPath(d.cache(), d.out()); };
    const struct {
        const char* what;
        std::function<void(const Deck&, DeckRenderOptions&)> change;
        int reused;           // cards not rendered
        QStringList written;  // files written, in the deck's order
    } cases[] = {
        {"nothing changed", [](const Deck&, DeckRenderOptions&) {}, 3, {}},
        {"a changed row",
         [](const Deck& d, DeckRenderOptions&) {
             d.writeDeck("Goblin,1,2,3,5,goblin.png\nSlime,5,5,5,5,slime.png\nGolem,9,9,9,9,\n");
         },
         2,
         {"Goblin-blue.png", "Goblin-red.png", "Goblin.txt"}},
        {"a picture touched, its bytes the same",
         [](const Deck& d, DeckRenderOptions&) {
             setModified(d.path("slime.png"), QDateTime::currentDateTimeUtc());
         },
         2,
         {}},
        {"a picture replaced by another",
         [](const Deck& d, DeckRenderOptions&) { gradient(30, 30).save(d.path("goblin.png")); },
         2,
         {"Goblin-blue.png", "Goblin-red.png"}},
        {"an output touched, its bytes the same",
         [](const Deck& d, DeckRenderOptions&) {
             setModified(d.path("out/Golem-blue.png"), QDateTime::currentDateTimeUtc());
         },
         2,
         {}},
        {"an output overwritten with other bytes of its size",
         [](const Deck& d, DeckRenderOptions&) {
             const qint64 size = QFileInfo(d.path("out/Golem-red.png")).size();
             writeFile(d.path("out/Golem-red.png"), QByteArray(size, 'x'));
         },
         2,
         {"Golem-red.png"}},
        {"an output deleted",
         [](const Deck& d, DeckRenderOptions&) { QFile::remove(d.path("out/Slime.txt")); },
         2,
         {"Slime.txt"}},
        {"another option",
         [](const Deck&, DeckRenderOptions& options) { options.scale = 2; },
         0,
         {"Goblin-blue.png", "Goblin-red.png", "Slime-blue.png", "Slime-red.png", "Golem-blue.png",
          "Golem-red.png"}},
        {"another preparation for every card",
         [](const Deck&, DeckRenderOptions& options) { options.pictureFit.insert("fit", "fit"); },
         1,  // Golem has no picture
         {"Goblin-blue.png", "Goblin-red.png", "Slime-blue.png", "Slime-red.png"}},
        {"a part file touched",
         [](const Deck& d, DeckRenderOptions&) {
             setModified(QDir(d.parts()).filePath(assets::allFiles().front()),
                         QDateTime::currentDateTimeUtc());
         },
         0,
         {}},
        {"the record damaged",
         [&](const Deck& d, DeckRenderOptions&) {
             QFile file(recordFile(d));
             ASSERT_TRUE(file.open(QIODevice::ReadWrite));
             file.seek(file.size() / 2);
             const char byte = file.peek(1).at(0);
             file.write(QByteArray(1, char(byte ^ 0x5a)));
         },
         0,
         {}},
        {"the record cut short",
         [&](const Deck& d, DeckRenderOptions&) { QFile::resize(recordFile(d), 20); },
         0,
         {}},
        {"the record gone",
         [&](const Deck& d, DeckRenderOptions&) { QFile::remove(recordFile(d)); },
         0,
         {}},
        {"the record of another folder in its place",
         [&](const Deck& d, DeckRenderOptions& options) {
             DeckRenderOptions other = options;
             other.outDir = d.path("other");
             ASSERT_TRUE(renderDeck(other).ok());
             waitForTimesToSettle();
             ASSERT_TRUE(renderDeck(other).ok());
             QFile::remove(recordFile(d));
             QFile::copy(outputRecordPath(d.cache(), other.outDir), recordFile(d));
         },
         0,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Deck deck;
        DeckRenderOptions options = deck.options();
        deck.renderAndRecord(options);
        c.change(deck, options);
        const FolderState changed = folderState(deck.out());

        const DeckRenderResult result = renderDeck(options);
        ASSERT_TRUE(result.ok()) << result.fatal.toStdString();
        EXPECT_EQ(result.reused, c.reused);
        EXPECT_EQ(fileNames(result.written), c.written);
        EXPECT_EQ(result.unchanged, 9 - c.written.size());
        // Only the files written have new times.
        const FolderState after = folderState(deck.out());
        for (auto it = after.modifiedNs.cbegin(); it != after.modifiedNs.cend(); ++it) {
            if (!c.written.contains(it.key())) {
                EXPECT_EQ(it.value(), changed.modifiedNs.value(it.key())) << it.key().toStdString();
            }
        }
        expectSameAsWithoutRecord(deck, options, result);

        // The files that run wrote are trusted once their times have settled.
        waitForTimesToSettle();
        ASSERT_TRUE(renderDeck(options).ok());
        waitForTimesToSettle();
        EXPECT_EQ(renderDeck(options).reused, 3);
    }
}

// A card whose picture is larger than the card is warned of, rendered or not.
TEST(OutputRecord, ASkippedCardIsWarnedOfAsARenderedOne)
{
    const Deck deck;
    const DeckRenderOptions options = deck.options();
    deck.renderAndRecord(options);
    const DeckRenderResult result = renderDeck(options);
    EXPECT_EQ(result.reused, 3);
    ASSERT_EQ(result.warnings.size(), 1);
    EXPECT_TRUE(result.warnings[0].contains(QStringLiteral("slime.png is 80 × 70 pixels")))
        << result.warnings[0].toStdString();
    expectSameAsWithoutRecord(deck, options, result);
}

// A row's own preparation cells and those for every card are told apart: a row giving its fit
// alone takes no scale from the options, a row giving both does.
TEST(OutputRecord, ARowsOwnPreparationIsToldFromTheOptions)
{
    const Deck deck;
    writeFile(deck.deck(), "name,up,left,right,down,picture,fit,scale\n"
                           "Slime,5,5,5,5,slime.png,none,\n");
    DeckRenderOptions options = deck.options();
    options.pictureFit.insert("scale", "50");
    deck.renderAndRecord(options);

    writeFile(deck.deck(), "name,up,left,right,down,picture,fit,scale\n"
                           "Slime,5,5,5,5,slime.png,none,50\n");
    options.pictureFit.clear();
    const DeckRenderResult result = renderDeck(options);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.reused, 0);
    EXPECT_EQ(fileNames(result.written), QStringList({"Slime-blue.png", "Slime-red.png"}));
    expectSameAsWithoutRecord(deck, options, result);
}

// Each output folder has its own record: rendering into one does not make the other's cards
// count as there, nor take its record away.
TEST(OutputRecord, TwoOutputFoldersDoNotShareARecord)
{
    const Deck deck;
    const DeckRenderOptions first = deck.options(deck.path("first"));
    const DeckRenderOptions second = deck.options(deck.path("second"));
    deck.renderAndRecord(first);
    EXPECT_NE(outputRecordPath(deck.cache(), first.outDir),
              outputRecordPath(deck.cache(), second.outDir));

    const DeckRenderResult other = renderDeck(second);
    EXPECT_EQ(other.reused, 0);
    EXPECT_EQ(other.written.size(), 9);
    EXPECT_EQ(renderDeck(first).reused, 3);
    // Neither record is in an output folder.
    for (const QString& folder : {first.outDir, second.outDir})
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 9);
}

// A record that cannot be written, or a cache folder that cannot be made, changes nothing the
// user sees: every card is compared and the run succeeds.
TEST(OutputRecord, AnUnwritableCacheStillRendersEveryCard)
{
    const Deck deck;
    writeFile(deck.path("not-a-folder"), "x");
    for (const QString& cache : {deck.path("not-a-folder"), deck.path("not-a-folder/cache")}) {
        SCOPED_TRACE(cache.toStdString());
        DeckRenderOptions options = deck.options();
        options.recordFolder = cache;
        const DeckRenderResult first = renderDeck(options);
        ASSERT_TRUE(first.ok());
        waitForTimesToSettle();
        const DeckRenderResult again = renderDeck(options);
        ASSERT_TRUE(again.ok());
        EXPECT_EQ(again.reused, 0);
        EXPECT_TRUE(again.written.isEmpty());
        EXPECT_EQ(again.unchanged, 9);
        expectSameAsWithoutRecord(deck, options, again);
        QDir(deck.out()).removeRecursively();
    }
}

// A file --no-clobber kept does not hold the card: the next run says it is kept again, never
// that it is unchanged.
TEST(OutputRecord, AFileKeptByNoClobberIsNotRemembered)
{
    const Deck deck;
    QDir().mkpath(deck.out());
    writeFile(deck.path("out/Golem-red.png"), "someone else's picture");
    DeckRenderOptions options = deck.options();
    options.keepExisting = true;
    deck.renderAndRecord(options);
    const DeckRenderResult again = renderDeck(options);
    EXPECT_EQ(again.kept, 1);
    EXPECT_EQ(again.unchanged, 8);
    EXPECT_EQ(again.reused, 2);
}

// A card file's card is drawn again when anything its pictures show changed, down to one pixel
// of its main picture, and only then.
TEST(OutputRecord, ACardFileIsDrawnAgainWhenAnythingItShowsChanged)
{
    const auto card = [] {
        Card c;
        c.name = QStringLiteral("Imp");
        c.sides = {"1", "2", "3", "4"};
        c.element = 2;
        c.arrows[3] = true;
        c.mainPicture = gradient(30, 20).convertToFormat(QImage::Format_RGB32);
        c.x = 4;
        return c;
    };
    const struct {
        const char* what;
        std::function<void(Card&)> change;
        bool drawn;
    } cases[] = {
        {"nothing", [](Card&) {}, false},
        {"one pixel of the picture", [](Card& c) { c.mainPicture.setPixel(7, 9, 0xFF123456u); },
         true},
        {"the picture moved", [](Card& c) { c.y = 3; }, true},
        {"another arrow", [](Card& c) { c.arrows[3] = false, c.arrows[6] = true; }, true},
        {"another element", [](Card& c) { c.element = 5; }, true},
        {"a number", [](Card& c) { c.sides[2] = QStringLiteral("7"); }, true},
        {"a number's place", [](Card& c) { c.placement.TopX = qint16(c.placement.TopX + 1); },
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Deck deck;
        DeckRenderOptions options = deck.options();
        options.input = deck.path(QStringLiteral("imp.orvcard"));
        writeFile(options.input, cardToJson(card()));
        deck.renderAndRecord(options);
        Card changed = card();
        c.change(changed);
        writeFile(options.input, cardToJson(changed));
        const DeckRenderResult result = renderDeck(options);
        ASSERT_TRUE(result.ok()) << result.fatal.toStdString();
        EXPECT_EQ(result.reused, c.drawn ? 0 : 1);
    }
}

}  // namespace
