// SPDX-License-Identifier: GPL-3.0-or-later
// orvane-render following a deck from the outside: decks as spreadsheet programs write them,
// files rewritten only when their bytes change, --list-written, --watch, and hostile inputs
// that must end in a short message within bounded memory.
#include "card/card_file.h"
#include "card/deck_text.h"
#include "render/asset_catalogue.h"
#include "support/child_process.h"
#include "support/images.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QThread>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <functional>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

using namespace orvane;

namespace {

// Under AddressSanitizer or ThreadSanitizer a child runs many times slower and its resident size
// counts the sanitizer's shadow memory, so the bounds on time and memory are checked only in a
// plain build.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool UnderSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool UnderSanitizer = true;
#else
constexpr bool UnderSanitizer = false;
#endif
#else
constexpr bool UnderSanitizer = false;
#endif

// Gives every file of a folder a modification time long past, so a rewrite shows.
void ageFiles(const QString& folder)
{
    const QDateTime past(QDate(2001, 1, 1), QTime(12, 0), Qt::UTC);
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files)) {
        QFile file(info.filePath());
        file.open(QIODevice::ReadWrite);
        file.setFileTime(past, QFileDevice::FileModificationTime);
    }
}

QStringList filesNewerThan2001(const QString& folder)
{
    QStringList names;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files, QDir::Name))
        if (info.lastModified().date().year() > 2001)
            names << info.fileName();
    return names;
}

// A deck of three cards with pictures beside it.
struct DeckFolder {
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
    QString deck() const { return path(QStringLiteral("deck.csv")); }
    QString out() const { return path(QStringLiteral("out")); }

    DeckFolder()
    {
        gradient(40, 40).save(path(QStringLiteral("goblin.png")));
        solid(30, 30, qRgb(20, 200, 40)).save(path(QStringLiteral("slime.png")));
        writeDeck("Goblin,1,2,3,4,goblin.png\nSlime,5,5,5,5,slime.png\nGolem,9,9,9,9,\n");
    }
    void writeDeck(const QByteArray& rows) const
    {
        writeFile(deck(), "name,up,left,right,down,picture\n" + rows);
    }
};

TEST(DeckFollow, FilesHoldingTheSameBytesAreNotRewritten)
{
    DeckFolder folder;
    const QStringList arguments{folder.deck(), "--out", folder.out(), "--records",
                                "--list-written"};
    const ChildRun first = render(arguments);
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_EQ(first.out.count(folder.out()), 9) << first.out.toStdString();

    ageFiles(folder.out());
    const ChildRun again = render(arguments);
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_TRUE(again.out.startsWith(QStringLiteral("3 cards, 0 pictures, 9 files unchanged in ")))
        << again.out.toStdString();
    EXPECT_TRUE(filesNewerThan2001(folder.out()).isEmpty());

    // One row changed: its card's files alone are written, and listed.
    folder.writeDeck("Goblin,1,2,3,5,goblin.png\nSlime,5,5,5,5,slime.png\nGolem,9,9,9,9,\n");
    const ChildRun changed = render(arguments);
    EXPECT_EQ(changed.exitCode, 0) << changed.err.toStdString();
    const QStringList written = QStringList{"Goblin-blue.png", "Goblin-red.png", "Goblin.txt"};
    EXPECT_EQ(filesNewerThan2001(folder.out()), written);
    QStringList listed = changed.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(listed.size(), 4) << changed.out.toStdString();  // three files and the summary
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(listed[k], QDir(folder.out()).filePath(written[k]));
    EXPECT_TRUE(listed[3].startsWith(QStringLiteral("3 cards, 2 pictures, 6 files unchanged")))
        << listed[3].toStdString();
}

// orvane-render with its cache folder in `cacheHome`.
ChildRun renderWithCache(const QStringList& arguments, const QString& cacheHome)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), cacheHome);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(ORVANE_RENDER), arguments);
    ChildRun run;
    if (!process.waitForFinished(120000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QString withoutTime(QString text)
{
    return text.replace(QRegularExpression(QStringLiteral(" in [0-9.]+ s")), QString());
}

// A run again keeps what it learnt of the output folder in the user's cache, never in the
// folder, and says what a run comparing every card's bytes says; a cache that cannot be written
// changes nothing the user sees.
TEST(DeckFollow, ARunAgainKeepsItsRecordInTheCacheAndSaysTheSame)
{
    DeckFolder folder;
    gradient(90, 64).save(folder.path(QStringLiteral("goblin.png")));  // warned of
    const QString cache = folder.path(QStringLiteral("cache"));
    const QStringList arguments{folder.deck(), "--out", folder.out(), "--records",
                                "--list-written"};
    ASSERT_EQ(renderWithCache(arguments, cache).exitCode, 0);
    QThread::msleep(150);  // files written moments ago are compared, not trusted
    const ChildRun compared = renderWithCache(arguments, cache);
    QThread::msleep(150);
    const ChildRun recorded = renderWithCache(arguments, cache);
    ASSERT_EQ(recorded.exitCode, 0) << recorded.err.toStdString();
    EXPECT_EQ(withoutTime(recorded.out),
              QStringLiteral("3 cards, 0 pictures, 9 files unchanged\n"));
    EXPECT_EQ(withoutTime(recorded.out), withoutTime(compared.out));
    EXPECT_EQ(recorded.err, compared.err);
    EXPECT_TRUE(recorded.err.contains(QStringLiteral("is 90 × 64 pixels")))
        << recorded.err.toStdString();

    const QDir records(QDir(cache).filePath(QStringLiteral("orvane-render/written")));
    EXPECT_EQ(records.entryList(QDir::Files).size(), 1);
    EXPECT_EQ(QDir(folder.out()).entryList(QDir::Files | QDir::Hidden).size(), 9);

    writeFile(folder.path(QStringLiteral("blocked")), "a file where the cache folder would be");
    const ChildRun blocked = renderWithCache(arguments, folder.path(QStringLiteral("blocked")));
    EXPECT_EQ(blocked.exitCode, 0);
    EXPECT_EQ(withoutTime(blocked.out), withoutTime(compared.out));
    EXPECT_EQ(blocked.err, compared.err);
}

// The same deck in the forms spreadsheet programs write gives the same pictures.
TEST(DeckFollow, SpreadsheetFormsGiveTheSameCards)
{
    DeckFolder folder;
    const QString text = QStringLiteral("Name,Up,Left,Right,Down,Picture,Arrows\r\n"
                                        "Café,1,2,3,4,goblin.png,up-left\r\n"
                                        "Slime,5,5,5,5,.\\slime.png,top-right bottom\r\n");
    const auto inForm = [&](DeckEncoding encoding, char separator) {
        QString t = text;
        t.replace(QLatin1Char(','), QLatin1Char(separator));
        return encodeDeckText(t.toUtf8(), {encoding, separator});
    };
    ASSERT_TRUE(writeFile(folder.deck(), text.toUtf8()));
    ASSERT_EQ(render({folder.deck(), "--out", folder.path("reference")}).exitCode, 0);
    const struct {
        const char* what;
        QByteArray bytes;
        bool warned;  // of the code page
    } cases[] = {
        {"semicolons, UTF-8 with BOM", inForm(DeckEncoding::Utf8Bom, ';'), false},
        {"tabs, UTF-16 LE", inForm(DeckEncoding::Utf16LE, '\t'), false},
        {"commas, UTF-16 BE", inForm(DeckEncoding::Utf16BE, ','), false},
        {"semicolons, Windows-1252", inForm(DeckEncoding::Windows1252, ';'), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(writeFile(folder.deck(), c.bytes));
        const QString out = folder.path(QLatin1String(c.what));
        const ChildRun run = render({folder.deck(), "--out", out});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.err.contains(QStringLiteral("Windows-1252")), c.warned)
            << run.err.toStdString();
        for (const char* name : {"Café-blue.png", "Café-red.png", "Slime-blue.png"}) {
            const QByteArray bytes = fileBytes(QDir(out).filePath(QString::fromUtf8(name)));
            EXPECT_FALSE(bytes.isEmpty()) << name;
            EXPECT_EQ(bytes,
                      fileBytes(QDir(folder.path("reference")).filePath(QString::fromUtf8(name))))
                << name;
        }
    }
}

TEST(DeckFollow, WarningsAndRefusalsOfWholeDecks)
{
    DeckFolder folder;
    gradient(100, 80).save(folder.path(QStringLiteral("big.png")));
    const struct {
        const char* what;
        const char* file;
        QByteArray bytes;
        int exitCode;
        const char* said;  // on stderr
    } cases[] = {
        {"misspelled column", "a.csv", "Name,Up,Left,Right,Down,Image\nHero,1,2,3,4,x.png\n", 0,
         "column \"Image\" is not read; did you mean picture?"},
        {"picture larger than the card", "b.csv",
         "name,up,left,right,down,picture\nHero,1,2,3,4,big.png\n", 0,
         "big.png is 100 × 80 pixels; only its upper-left 62 × 62 is used"},
        {"workbook", "c.xlsx", QByteArray("PK\x03\x04", 4) + QByteArray(300, 'z'), 1,
         "choose File > Save As"},
        {"huge name", "d.csv",
         "name,up,left,right,down\n" + QByteArray(UnderSanitizer ? 256 << 10 : 8 << 20, 'n') +
             ",1,1,1,1\n",
         1, "is longer than 64 KiB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = folder.path(QLatin1String(c.file));
        ASSERT_TRUE(writeFile(path, c.bytes));
        const ChildRun run = render({path, "--out", folder.out()});
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.said))) << run.err.toStdString();
        EXPECT_LT(run.err.size(), 600) << "messages stay short";
    }
}

// A card file is held to a deck row's rules, and bounded before it is parsed.
TEST(DeckFollow, CardFilesGetTheDecksChecks)
{
    QTemporaryDir dir;
    const auto cardWith = [](std::array<QString, 4> sides, bool allArrows) {
        Card card;
        card.name = QStringLiteral("Odd");
        card.sides = sides;
        card.element = 8;
        if (allArrows)
            card.arrows.fill(true);
        return cardToJson(card);
    };
    QByteArray manyArrows = cardWith({"A", "A", "A", "A"}, false);
    manyArrows.replace("\"arrows\": [\n    ]",
                       "\"arrows\": [" + QByteArray("\"up\",").repeated(1 << 20) + "\"up\"]");
    const struct {
        const char* what;
        QByteArray json;
        const char* said;
    } cases[] = {
        {"all arrows on sides 1", cardWith({"1", "1", "1", "1"}, true), "8 arrows"},
        {"side 99", cardWith({"99", "1", "1", "1"}, false), "\"99\""},
        {"side 0", cardWith({"0", "1", "1", "1"}, false), "\"0\""},
        {"empty side", cardWith({"", "1", "1", "1"}, false), "up side"},
        {"side of a megabyte", cardWith({QString(1 << 20, 'x'), "1", "1", "1"}, false),
         "longer than"},
        {"a million arrows", manyArrows, "far more values than a card has"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = dir.filePath(QStringLiteral("odd.orvcard"));
        ASSERT_TRUE(writeFile(path, c.json));
        const ChildRun run = render({path, "--out", dir.filePath("out")});
        EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(c.said))) << run.err.toStdString();
        EXPECT_LT(run.err.size(), 600);
        EXPECT_FALSE(QFile::exists(dir.filePath("out/Odd-blue.png")));
    }
}

// Every part decodes whole at the size of its kind, or nothing is rendered.
TEST(DeckFollow, PartsAreCheckedToDecodeAtTheirSizes)
{
    DeckFolder folder;
    const QString bin = qEnvironmentVariable("ORVANE_BIN_DIR");
    const QString digit = QStringLiteral("gfx/bitblts/7.bmp");
    const QByteArray whole = fileBytes(QDir(bin).filePath(digit));
    ASSERT_FALSE(whole.isEmpty());
    QByteArray large;
    {
        QBuffer buffer(&large);
        buffer.open(QIODevice::WriteOnly);
        solid(200, 200, qRgb(9, 9, 9)).save(&buffer, "BMP");
    }
    const struct {
        const char* what;
        QByteArray bytes;
        const char* said;
    } cases[] = {
        {"cut short", whole.left(whole.size() - 20), "gfx/bitblts/7.bmp ("},
        {"too large", large, "200 × 200 pixels; a part of its kind is 9 × 9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir parts;
        for (const QString& name : assets::allFiles()) {
            QDir().mkpath(QFileInfo(parts.filePath(name)).path());
            QFile::copy(QDir(bin).filePath(name), parts.filePath(name));
        }
        QFile::remove(parts.filePath(digit));
        ASSERT_TRUE(writeFile(parts.filePath(digit), c.bytes));
        const ChildRun run =
            render({folder.deck(), "--out", folder.out(), "--parts", parts.path()});
        EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.said))) << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(QDir(folder.out()).filePath("Golem-blue.png")));
    }
}

#ifndef _WIN32
// Inputs that never end or never answer are refused at once; a run over many copies of a large
// picture on many threads stays within its memory budget.
TEST(DeckFollow, HostileInputsEndQuicklyWithinBoundedMemory)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo.csv"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString proc = dir.filePath(QStringLiteral("proc.csv"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/pagemap"), proc));
    for (const QString& input : {fifo, proc}) {
        QElapsedTimer timer;
        timer.start();
        const ChildRun run = render({input, "--out", dir.filePath("out")});
        EXPECT_NE(run.exitCode, 0) << input.toStdString();
        EXPECT_NE(run.exitCode, -1) << "it did not end";
        EXPECT_LT(timer.elapsed(), 10000);
    }

    // Eight rows of one 25-megapixel photo, fitted, on eight threads (two under the sanitizer,
    // whose decoding of each is many times slower and whose memory is not bounded here).
    QImage photo(6000, 4000, QImage::Format_RGB32);
    photo.fill(qRgb(120, 60, 30));
    ASSERT_TRUE(photo.save(dir.filePath(QStringLiteral("photo.jpg")), "JPEG", 50));
    photo = QImage();
    QByteArray rows = "name,up,left,right,down,picture,fit\n";
    for (int k = 0; k < (UnderSanitizer ? 2 : 8); ++k)
        rows += "Card" + QByteArray::number(k) + ",1,1,1,1,photo.jpg,fit\n";
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("photos.csv")), rows));
    const ChildRun run =
        render({dir.filePath("photos.csv"), "--out", dir.filePath("out"), "--jobs", "8"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    // The largest resident size of any child this test waited for.
    struct rusage usage {};
    ASSERT_EQ(::getrusage(RUSAGE_CHILDREN, &usage), 0);
    if (!UnderSanitizer) {
        EXPECT_LT(usage.ru_maxrss, 300L * 1024) << "KiB";
    }
}

// A child orvane-render --watch, read line by line.
class Watcher {
public:
    explicit Watcher(const QStringList& arguments)
    {
        m_process.setProgram(QStringLiteral(ORVANE_RENDER));
        m_process.setArguments(arguments + QStringList{"--watch"});
        m_process.start();
    }
    ~Watcher()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    // The next line on stdout, or empty after `ms` without one.
    QString nextLine(int ms = 5000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!m_process.canReadLine()) {
            if (timer.elapsed() > ms || m_process.state() == QProcess::NotRunning)
                return {};
            m_process.waitForReadyRead(50);
        }
        return QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }
    int stop(int signal)
    {
        ::kill(pid_t(m_process.processId()), signal);
        if (!m_process.waitForFinished(5000))
            return -1;
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -2;
    }
    QString errors() { return QString::fromLocal8Bit(m_process.readAllStandardError()); }

private:
    QProcess m_process;
};

TEST(DeckFollow, WatchRendersWhatChangedAndStopsCleanly)
{
    DeckFolder folder;
    Watcher watch({folder.deck(), "--out", folder.out()});
    const QString first = watch.nextLine();
    ASSERT_TRUE(first.startsWith(QStringLiteral("3 cards, 6 pictures"))) << first.toStdString();
    ASSERT_TRUE(first.contains(QStringLiteral("Watching"))) << first.toStdString();

    // A row changed in place.
    ageFiles(folder.out());
    folder.writeDeck("Goblin,1,2,3,5,goblin.png\nSlime,5,5,5,5,slime.png\nGolem,9,9,9,9,\n");
    QString line = watch.nextLine();
    EXPECT_TRUE(line.startsWith(QStringLiteral("1 card changed: Goblin in ")))
        << line.toStdString();
    EXPECT_EQ(filesNewerThan2001(folder.out()), QStringList({"Goblin-blue.png", "Goblin-red.png"}));

    // A picture saved as editors do: a new file renamed over the old one.
    ageFiles(folder.out());
    solid(30, 30, qRgb(200, 20, 40)).save(folder.path(QStringLiteral("slime.tmp.png")));
    ASSERT_EQ(::rename(QFile::encodeName(folder.path("slime.tmp.png")).constData(),
                       QFile::encodeName(folder.path("slime.png")).constData()),
              0);
    line = watch.nextLine();
    EXPECT_TRUE(line.startsWith(QStringLiteral("1 card changed: Slime in "))) << line.toStdString();
    EXPECT_EQ(filesNewerThan2001(folder.out()), QStringList({"Slime-blue.png", "Slime-red.png"}));

    // A deck caught half-saved is not rendered until it is whole.
    {
        QFile deck(folder.deck());
        ASSERT_TRUE(deck.open(QIODevice::WriteOnly | QIODevice::Truncate));
        deck.write("name,up,left,right,down,picture\nGoblin,1,2,3,5,goblin.png\nSlime,5,5,5,5,"
                   "slime.png\nGol");
        deck.flush();
        EXPECT_TRUE(watch.nextLine(400).isEmpty()) << "rendered half a deck";
        deck.write("em,9,9,9,8,\n");
    }
    line = watch.nextLine();
    EXPECT_TRUE(line.startsWith(QStringLiteral("1 card changed: Golem in "))) << line.toStdString();

    // Saved again with the same content: nothing is written.
    folder.writeDeck("Goblin,1,2,3,5,goblin.png\nSlime,5,5,5,5,slime.png\nGolem,9,9,9,8,\n");
    line = watch.nextLine();
    EXPECT_TRUE(line.startsWith(QStringLiteral("no card changed"))) << line.toStdString();

    // An output someone overwrote is put right with the next change, though its row is the same.
    const QString slime = QDir(folder.out()).filePath(QStringLiteral("Slime-blue.png"));
    const QByteArray slimeBytes = fileBytes(slime);
    writeFile(slime, QByteArray(slimeBytes.size(), 'x'));
    folder.writeDeck("Goblin,1,2,3,6,goblin.png\nSlime,5,5,5,5,slime.png\nGolem,9,9,9,8,\n");
    line = watch.nextLine();
    EXPECT_TRUE(line.startsWith(QStringLiteral("2 cards changed: Goblin, Slime in ")))
        << line.toStdString();
    EXPECT_EQ(fileBytes(slime), slimeBytes);

    EXPECT_EQ(watch.stop(SIGINT), 130) << watch.errors().toStdString();
    for (const QString& name : QDir(folder.out()).entryList(QDir::Files | QDir::Hidden))
        EXPECT_FALSE(name.endsWith(QStringLiteral(".part"))) << name.toStdString();
}

// Saves `picture` as editors do: a new file renamed over the old one.
void replacePicture(const DeckFolder& folder, const char* name, const QImage& picture)
{
    const QString temporary = folder.path(QStringLiteral("replacing.png"));
    ASSERT_TRUE(picture.save(temporary));
    ASSERT_EQ(::rename(QFile::encodeName(temporary).constData(),
                       QFile::encodeName(folder.path(QLatin1String(name))).constData()),
              0);
}

// A warning is printed when it appears, not on every change after it, and again once it went
// away and came back.
TEST(DeckFollow, WatchPrintsAWarningOnceUntilItComesBack)
{
    DeckFolder folder;
    gradient(90, 64).save(folder.path(QStringLiteral("goblin.png")));  // larger than a card
    Watcher watch({folder.deck(), "--out", folder.out()});
    ASSERT_TRUE(watch.nextLine().startsWith(QStringLiteral("3 cards, 6 pictures")));

    const struct {
        const char* what;
        std::function<void()> change;
        const char* expected;
    } steps[] = {
        {"another row changed",
         [&] {
             folder.writeDeck(
                 "Goblin,1,2,3,4,goblin.png\nSlime,5,5,5,5,slime.png\nGolem,9,9,9,8,\n");
         },
         "1 card changed: Golem in "},
        {"the picture fits: the warning goes",
         [&] { replacePicture(folder, "goblin.png", gradient(40, 40)); },
         "1 card changed: Goblin in "},
        {"too large again: the warning comes back",
         [&] { replacePicture(folder, "goblin.png", gradient(90, 64)); },
         "1 card changed: Goblin in "},
        {"the same deck saved again",
         [&] {
             folder.writeDeck(
                 "Goblin,1,2,3,4,goblin.png\nSlime,5,5,5,5,slime.png\nGolem,9,9,9,8,\n");
         },
         "no card changed"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        const QString line = watch.nextLine();
        EXPECT_TRUE(line.startsWith(QLatin1String(step.expected))) << line.toStdString();
    }
    EXPECT_EQ(watch.stop(SIGINT), 130);
    const QString errors = watch.errors();
    EXPECT_EQ(errors.count(QStringLiteral("warning: ")), 2) << errors.toStdString();
    EXPECT_EQ(errors.count(QStringLiteral("deck.csv:2: column picture: ")), 2)
        << errors.toStdString();
}

TEST(DeckFollow, WatchEndsOnSigtermAndRefusesTheSheet)
{
    DeckFolder folder;
    Watcher watch({folder.deck(), "--out", folder.out()});
    ASSERT_FALSE(watch.nextLine().isEmpty());
    EXPECT_EQ(watch.stop(SIGTERM), 143);
    const ChildRun sheet =
        render({folder.deck(), "--watch", "--sheet", folder.path("s.pdf"), "--out", folder.out()});
    EXPECT_EQ(sheet.exitCode, 2) << sheet.err.toStdString();
}
#endif

}  // namespace
