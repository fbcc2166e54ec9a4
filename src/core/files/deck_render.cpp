// renderDeck: every card of a deck or card file as pictures, records and a sheet, in parallel.
#include "files/deck_render.h"

#include "card/card_file.h"
#include "card/card_rules.h"
#include "card/deck_file.h"
#include "files/card_export.h"
#include "files/card_record.h"
#include "files/card_sheet.h"
#include "files/main_picture.h"
#include "platform/regular_file.h"
#include "render/asset_catalogue.h"
#include "render/picture_prep.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLocale>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace orvane {
namespace {

struct Job {
    DeckRow row;
    QString where;  // "deck.csv:12" or the card file: the start of each problem line
};

struct Outcome {
    bool done = false;  // every file of the card in place
    int pictures = 0;   // picture files written
    int unchanged = 0;  // files left as they were: they held the same bytes
    QStringList written;
    QString problem;
    QString warning;
    RenderedCard sheetCard;  // kept only for a sheet or the outputs made of all cards
    QString name;
    QString memoKey;  // with a memo: the card's key and inputs, to remember
    QByteArray inputs;
    QStringList files;  // every file of the card, written or not
};

// Bytes of decoded pictures in flight: a worker waits for its picture's share before decoding,
// so that many workers on large pictures do not hold them all at once.
class PictureBudget {
public:
    explicit PictureBudget(qint64 bytes) : m_total(std::max<qint64>(bytes, 1)), m_free(m_total) {}

    // Takes `bytes` (at most the whole budget), waiting until that much is free.
    qint64 take(qint64 bytes)
    {
        bytes = std::clamp<qint64>(bytes, 0, m_total);
        std::unique_lock lock(m_mutex);
        m_freed.wait(lock, [&] { return m_free >= bytes; });
        m_free -= bytes;
        return bytes;
    }
    void give(qint64 bytes)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_free += bytes;
        }
        m_freed.notify_all();
    }

private:
    const qint64 m_total;
    qint64 m_free;
    std::mutex m_mutex;
    std::condition_variable m_freed;
};

// A share of the budget, given back when it goes out of scope.
class BudgetShare {
public:
    BudgetShare(PictureBudget& budget, qint64 bytes) : m_budget(budget), m_bytes(budget.take(bytes))
    {
    }
    ~BudgetShare() { m_budget.give(m_bytes); }
    BudgetShare(const BudgetShare&) = delete;
    BudgetShare& operator=(const BudgetShare&) = delete;

private:
    PictureBudget& m_budget;
    qint64 m_bytes;
};

// What every worker shares, read-only.
struct Work {
    const DeckRenderOptions* options = nullptr;
    const CardParts* parts = nullptr;
    QDir outDir;
    QString date;  // the records' date, in the system's short format
    PictureBudget* budget = nullptr;
};

// The memory a picture will take while it is decoded and prepared, from its header: the
// decoded picture, and with a preparation about as much again for the work copies.
qint64 pictureCost(const QString& path, bool prepared)
{
    const OpenedFile opened = openRegularFile(path);
    if (!opened.file)
        return 0;
    QImageReader reader(opened.file.get());
    const QSize size = reader.size();
    if (!size.isValid())
        return 0;
    const qint64 decoded = qint64(size.width()) * size.height() * 4;
    return prepared ? decoded * 2 : decoded;
}

// A digest of everything a card's files are made from: the card, its preparation cells, the
// options that fill them and its picture file's size, time and identity.
QByteArray cardInputs(const Job& job, const DeckRenderOptions& options)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(cardToJson(job.row.card));
    for (const QMap<QString, QString>* map : {&job.row.pictureFit, &options.pictureFit})
        for (auto it = map->cbegin(); it != map->cend(); ++it)
            hash.addData((it.key() + QLatin1Char('=') + it.value() + QLatin1Char('\n')).toUtf8());
    if (!job.row.card.mainPicturePath.isEmpty()) {
        const QFileInfo info(job.row.card.mainPicturePath);
        hash.addData(QStringLiteral("%1 %2 %3")
                         .arg(info.size())
                         .arg(info.lastModified().toMSecsSinceEpoch())
                         .arg(info.metadataChangeTime().toMSecsSinceEpoch())
                         .toUtf8());
    }
    return hash.result();
}

// Prepares the card's main picture as Prepare Main Picture... does on OK: the picture as loaded
// is the source, the prepared picture goes into the main picture box, and the card's x and y
// move it as the scroll bars do. A card file's own preparation was made already.
bool prepareMainPicture(Card& card, const QMap<QString, QString>& own,
                        const QMap<QString, QString>& forEveryCard, QString* problem)
{
    if (card.mainPicture.isNull() || !card.preparation.source.isNull())
        return true;
    const QMap<QString, QString> settings = combinePictureFitSettings(own, forEveryCard);
    if (settings.isEmpty())
        return true;
    PictureFitProblem why;
    const std::optional<PictureFit> fit = parsePictureFit(settings, &why);
    if (!fit) {  // each part was checked on its own; kept for settings made elsewhere
        *problem = QStringLiteral("column %1: %2").arg(why.name, why.message);
        return false;
    }
    card.preparation = {card.mainPicture, *fit};
    card.mainPicture = preparePicture(card.preparation.source, *fit);
    return true;
}

Outcome renderOne(const Job& job, const Work& work)
{
    Outcome outcome;
    const DeckRenderOptions& options = *work.options;
    Card card = job.row.card;
    const QString base = safeFileName(card.name);
    for (const bool blue : {true, false})
        outcome.files << work.outDir.filePath(exportFileName(base, blue, options.format));
    if (options.records)
        outcome.files << work.outDir.filePath(base + QStringLiteral(".txt"));

    // Unchanged since the last run, its files still there: nothing to do.
    if (options.memo) {
        outcome.memoKey = base.toCaseFolded();
        outcome.inputs = cardInputs(job, options);
        const auto known = options.memo->cards.constFind(outcome.memoKey);
        if (known != options.memo->cards.cend() && known->inputs == outcome.inputs &&
            known->files == outcome.files && options.sheet.isEmpty() && !options.play.any() &&
            std::all_of(outcome.files.cbegin(), outcome.files.cend(),
                        [](const QString& f) { return QFileInfo(f).isFile(); })) {
            outcome.unchanged = int(outcome.files.size());
            outcome.done = true;
            return outcome;
        }
    }

    const QMap<QString, QString> settings =
        combinePictureFitSettings(job.row.pictureFit, options.pictureFit);
    std::optional<BudgetShare> share;  // held until the card's big pictures are let go
    if (card.mainPicture.isNull() && !card.mainPicturePath.isEmpty()) {
        const QString shown = QDir::toNativeSeparators(card.mainPicturePath);
        share.emplace(*work.budget, pictureCost(card.mainPicturePath, !settings.isEmpty()));
        const LoadedPicture loaded = loadMainPicture(card.mainPicturePath);
        if (loaded.image.isNull()) {
            outcome.problem = QStringLiteral("%1: column picture: %2 cannot be read: %3")
                                  .arg(job.where, shown, loaded.error);
            return outcome;
        }
        card.mainPicture = loaded.image;
        const QSize size = card.mainPicture.size();
        if (settings.isEmpty() &&
            (size.width() > PreparedPictureMaxSide || size.height() > PreparedPictureMaxSide))
            outcome.warning = QStringLiteral("%1: column picture: %2 is %3 × %4 pixels; only its "
                                             "upper-left %5 × %5 is used. To fit it to the card, "
                                             "give the row a fit column (fit or fill) or run "
                                             "with --fit fit")
                                  .arg(job.where, shown)
                                  .arg(size.width())
                                  .arg(size.height())
                                  .arg(PreparedPictureMaxSide);
        if (!prepareMainPicture(card, job.row.pictureFit, options.pictureFit, &outcome.problem)) {
            outcome.problem = QStringLiteral("%1: %2").arg(job.where, outcome.problem);
            return outcome;
        }
    } else if (!prepareMainPicture(card, job.row.pictureFit, options.pictureFit,
                                   &outcome.problem)) {
        outcome.problem = QStringLiteral("%1: %2").arg(job.where, outcome.problem);
        return outcome;
    }
    RenderedCard rendered = renderCard(card, *work.parts);
    card.mainPicture = QImage();
    card.preparation = {};
    share.reset();

    // A file already holding the same bytes is left as it is: its time stamp tells printing
    // and syncing tools that nothing changed.
    const auto write = [&](const QString& path, const QByteArray& bytes, const QString& why) {
        QString error = why;
        if (!bytes.isEmpty() && fileHolds(path, bytes)) {
            ++outcome.unchanged;
            return true;
        }
        if (bytes.isEmpty() || !writeFileAtomically(path, bytes, &error)) {
            outcome.problem = QStringLiteral("%1: %2 cannot be written: %3")
                                  .arg(job.where, QDir::toNativeSeparators(path), error);
            return false;
        }
        outcome.written << path;
        return true;
    };
    for (const bool blue : {true, false}) {
        QString why;
        const QByteArray bytes = encodeCardPicture(blue ? rendered.blue : rendered.red,
                                                   options.format, options.scale, &why);
        const int before = int(outcome.written.size());
        if (!write(outcome.files[blue ? 0 : 1], bytes, why))
            return outcome;
        outcome.pictures += int(outcome.written.size()) - before;
    }
    if (options.records) {
        const CardRecordInput record{card.name, card.sides, cardTotal(card.sides),
                                     std::max(0, card.element), work.date};
        if (!write(outcome.files[2], cardRecord(record), {}))
            return outcome;
    }
    if (!options.sheet.isEmpty() || options.play.any()) {
        outcome.sheetCard = std::move(rendered);
        outcome.name = card.name;
    }
    outcome.done = true;
    return outcome;
}

// The cards to render, or a fatal problem.
QList<Job> readJobs(const DeckRenderOptions& options, DeckRenderResult& result)
{
    QList<Job> jobs;
    // A spreadsheet program's own workbook goes to the deck reader too, which says how to save
    // it as CSV.
    static const QStringList deckSuffixes = {QStringLiteral("csv"), QStringLiteral("tsv"),
                                             QStringLiteral("xlsx"), QStringLiteral("xls"),
                                             QStringLiteral("ods")};
    if (deckSuffixes.contains(QFileInfo(options.input).suffix(), Qt::CaseInsensitive)) {
        Deck deck = readDeck(options.input);
        for (const DeckProblem& warning : std::as_const(deck.warnings))
            result.warnings << warning.text();
        QStringList wholeDeck;
        for (const DeckProblem& problem : deck.problems) {
            result.problems << problem.text();
            if (problem.column.isEmpty())
                wholeDeck << problem.text();
        }
        if (deck.rows.isEmpty() && !wholeDeck.isEmpty()) {
            result.fatal = wholeDeck.join(QLatin1Char('\n'));
            result.problems.clear();
        }
        for (DeckRow& row : deck.rows) {
            const QString where = QStringLiteral("%1:%2").arg(options.input).arg(row.line);
            jobs.append({std::move(row), where});
        }
        return jobs;
    }
    CardFileRead read = readCardFile(options.input);
    if (!read.card) {
        result.fatal = read.error;
        return jobs;
    }
    if (read.card->name.trimmed().isEmpty())
        read.card->name = QFileInfo(options.input).completeBaseName();
    // The card file is held to a deck row's rules: the editor keeps any text in a number box,
    // but a card written by orvane-render is one a deck could hold.
    if (const QString problem = cardDeckProblem(*read.card); !problem.isEmpty()) {
        result.problems << QStringLiteral("%1: %2").arg(options.input, problem);
        return jobs;
    }
    if (read.card->name.contains(QChar::ReplacementCharacter))
        result.warnings << QStringLiteral("%1: the name \"%2\" holds a character that could not "
                                          "be read (shown as %3); its file names hold it too")
                               .arg(options.input, read.card->name.left(60),
                                    QString(QChar::ReplacementCharacter));
    jobs.append({DeckRow{0, std::move(*read.card), {}}, options.input});
    return jobs;
}

// Every part decodes whole (a cut-off file is refused, not drawn in part) and has the size the
// card layout is made for; an arrow fits on the card. One message names every bad file.
bool checkParts(const QString& root, QString* error)
{
    QStringList problems;
    for (const QString& name : assets::allFiles()) {
        const LoadedPicture loaded = loadMainPicture(QDir(root).filePath(name));
        if (loaded.image.isNull()) {
            problems << QStringLiteral("%1 (%2)").arg(name, loaded.error);
            continue;
        }
        const QSize size = loaded.image.size();
        const QSize expected = assets::expectedSize(name);
        if (expected.isValid()
                ? size != expected
                : size.width() > PreparedPictureMaxSide || size.height() > PreparedPictureMaxSide)
            problems
                << QStringLiteral("%1 (it is %2 × %3 pixels; a part of its kind is %4)")
                       .arg(name)
                       .arg(size.width())
                       .arg(size.height())
                       .arg(expected.isValid()
                                ? QStringLiteral("%1 × %2")
                                      .arg(expected.width())
                                      .arg(expected.height())
                                : QStringLiteral("at most %1 × %1").arg(PreparedPictureMaxSide));
    }
    if (problems.isEmpty())
        return true;
    *error = QStringLiteral("%1 of the %2 card parts in %3 cannot be used:\n  %4")
                 .arg(problems.size())
                 .arg(assets::allFiles().size())
                 .arg(QDir::toNativeSeparators(QDir(root).filePath(QStringLiteral("gfx"))),
                      problems.join(QStringLiteral("\n  ")));
    return false;
}

// Fails early, with one message, when nothing can be written in the folder.
bool checkOutputFolder(const QString& folder, QString* error)
{
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("the output folder %1 cannot be made")
                     .arg(QDir::toNativeSeparators(folder));
        return false;
    }
    const QString probe = QDir(folder).filePath(QStringLiteral(".orvane-render-check"));
    QString why;
    if (!writeFileAtomically(probe, QByteArray(), &why) || !QFile::remove(probe)) {
        *error = QStringLiteral("nothing can be written in the output folder %1: %2")
                     .arg(QDir::toNativeSeparators(folder), why);
        return false;
    }
    return true;
}

}  // namespace

bool fileHolds(const QString& path, const QByteArray& bytes)
{
    const OpenedFile opened = openRegularFile(path);
    if (!opened.file || opened.size != bytes.size())
        return false;
    const QByteArray held = opened.file->read(bytes.size() + 1);
    return held == bytes;
}

bool readyDeckCard(Card& card, const QMap<QString, QString>& own,
                   const QMap<QString, QString>& forEveryCard, QString* problem)
{
    if (card.mainPicture.isNull() && !card.mainPicturePath.isEmpty()) {
        const LoadedPicture loaded = loadMainPicture(card.mainPicturePath);
        if (loaded.image.isNull()) {
            *problem = QStringLiteral("column picture: %1 cannot be read: %2")
                           .arg(QDir::toNativeSeparators(card.mainPicturePath), loaded.error);
            return false;
        }
        card.mainPicture = loaded.image;
    }
    return prepareMainPicture(card, own, forEveryCard, problem);
}

DeckRenderResult renderDeck(const DeckRenderOptions& options,
                            const std::function<void(int, int)>& progress,
                            const std::atomic_bool* cancel)
{
    DeckRenderResult result;
    const QString partsRoot =
        options.partsRoot.isEmpty() ? QCoreApplication::applicationDirPath() : options.partsRoot;
    result.sources << QFileInfo(options.input).absoluteFilePath();
    for (const QString& part : assets::allFiles())
        result.sources << QDir(partsRoot).absoluteFilePath(part);
    const QList<Job> jobs = readJobs(options, result);
    QSet<QString> pictures;
    for (const Job& job : jobs)
        if (const QString& path = job.row.card.mainPicturePath;
            !path.isEmpty() && !pictures.contains(path)) {
            pictures.insert(path);
            result.sources << path;
        }
    if (!result.fatal.isEmpty())
        return result;

    QString error;
    if (!checkParts(partsRoot, &error)) {
        result.fatal = error;
        return result;
    }
    const std::optional<CardParts> parts = CardParts::load(partsRoot, &error);
    if (!parts) {
        result.fatal = error;
        return result;
    }
    const QString outDir = options.outDir.isEmpty() ? QFileInfo(options.input).absolutePath()
                                                    : QDir(options.outDir).absolutePath();
    if (!checkOutputFolder(outDir, &error)) {
        result.fatal = error;
        return result;
    }
    SheetLayout layout(options.cardMm, options.sides, options.paper);
    layout.finish = options.play.sheetFinish;
    if (!options.sheet.isEmpty() && cardsPerSheetPage(layout) == 0) {
        result.fatal = QStringLiteral("cards of %1 mm do not fit on the paper").arg(options.cardMm);
        return result;
    }
    if (!options.sheet.isEmpty() && !options.play.backPicture.isEmpty()) {
        layout.back = loadCardBack(options.play.backPicture, &error);
        if (layout.back.isNull()) {
            result.fatal = QStringLiteral("the card back %1").arg(error);
            return result;
        }
    }
    if (const QString problem = checkPlayOutputs(options.play, int(jobs.size()));
        !problem.isEmpty()) {
        result.fatal = problem;
        return result;
    }

    Work work;
    work.options = &options;
    work.parts = &*parts;
    work.outDir = QDir(outDir);
    work.date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    PictureBudget budget(options.pictureMemoryBudget);
    work.budget = &budget;

    // Workers take the next card until none is left or the run is cancelled.
    const int total = int(jobs.size());
    std::vector<Outcome> outcomes(size_t(jobs.size()));
    std::atomic_int next{0};
    std::atomic_int finished{0};
    const auto cancelled = [cancel] { return cancel && cancel->load(); };
    const int threads =
        std::max(1, std::min(total, options.jobs > 0 ? options.jobs : QThread::idealThreadCount()));
    std::atomic_int active{threads};
    std::mutex mutex;
    std::condition_variable changed;
    const auto worker = [&] {
        for (int k = next.fetch_add(1); k < total && !cancelled(); k = next.fetch_add(1)) {
            outcomes[size_t(k)] = renderOne(jobs[k], work);
            finished.fetch_add(1);
            changed.notify_one();
        }
        active.fetch_sub(1);
        changed.notify_one();
    };
    std::vector<std::thread> pool;
    if (!progress) {
        for (int t = 1; t < threads; ++t)
            pool.emplace_back(worker);
        worker();  // the calling thread works too
    } else if (threads == 1) {
        for (int k = 0; k < total && !cancelled(); ++k) {
            outcomes[size_t(k)] = renderOne(jobs[k], work);
            finished.fetch_add(1);
            progress(k + 1, total);
        }
    } else {
        for (int t = 0; t < threads; ++t)
            pool.emplace_back(worker);
        int reported = -1;
        std::unique_lock lock(mutex);
        for (;;) {
            const bool last = active.load() == 0;
            if (const int now = finished.load(); now != reported) {
                reported = now;
                progress(now, total);
            }
            if (last)
                break;
            changed.wait_for(lock, std::chrono::milliseconds(50));
        }
    }
    for (std::thread& t : pool)
        t.join();
    result.cancelled = cancelled() && finished.load() < total;

    QList<RenderedCard> sheetCards;
    QList<NamedCard> playCards;
    DeckRenderMemo memo;
    for (size_t k = 0; k < outcomes.size(); ++k) {
        Outcome& outcome = outcomes[k];
        result.pictures += outcome.pictures;
        result.unchanged += outcome.unchanged;
        result.written << outcome.written;
        if (!outcome.warning.isEmpty())
            result.warnings << outcome.warning;
        if (!outcome.written.isEmpty())
            result.changedCards << jobs[qsizetype(k)].row.card.name;
        if (outcome.done) {
            ++result.cards;
            if (options.play.any())
                playCards.append({outcome.name, safeFileName(outcome.name), outcome.sheetCard});
            if (!options.sheet.isEmpty())
                sheetCards.append(std::move(outcome.sheetCard));
            if (!outcome.memoKey.isEmpty())
                memo.cards.insert(outcome.memoKey, {outcome.inputs, outcome.files});
        } else if (!outcome.problem.isEmpty()) {
            result.problems << outcome.problem;
        }
    }
    // Cards not reached by a cancelled run keep what was known of them.
    if (options.memo) {
        if (result.cancelled)
            for (auto it = options.memo->cards.cbegin(); it != options.memo->cards.cend(); ++it)
                if (!memo.cards.contains(it.key()))
                    memo.cards.insert(it.key(), it.value());
        *options.memo = std::move(memo);
    }
    if (!options.sheet.isEmpty() && !result.cancelled) {
        if (!writeCardSheet(options.sheet, sheetCards, layout, &result.sheetPages, &error)) {
            result.sheetPages = 0;  // no sheet was written
            result.problems << QStringLiteral("%1: the sheet cannot be written: %2")
                                   .arg(QDir::toNativeSeparators(options.sheet), error);
        }
    }
    if (options.play.any() && !result.cancelled) {
        const QString deckName = safeFileName(QFileInfo(options.input).completeBaseName());
        const PlayOutputsResult written = writePlayOutputs(options.play, deckName, playCards);
        result.playFiles = written.written;
        result.problems << written.problems;
    }
    return result;
}

}  // namespace orvane
