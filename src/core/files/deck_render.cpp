// renderDeck: every card of a deck or card file as pictures, records and a sheet, in parallel.
#include "card/card_file.h"
#include "card/card_rules.h"
#include "card/deck_file.h"
#include "files/card_export.h"
#include "files/card_record.h"
#include "files/card_sheet.h"
#include "files/main_picture.h"
#include "render/picture_prep.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QThread>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace orvane {
namespace {

struct Job {
    DeckRow row;
    QString where;  // "deck.csv:12" or the card file: the start of each problem line
};

struct Outcome {
    bool done = false;  // every file of the card written
    int pictures = 0;
    QString problem;
    RenderedCard sheetCard;  // kept only for a sheet or the outputs made of all cards
    QString name;
};

// What every worker shares, read-only.
struct Work {
    const DeckRenderOptions* options = nullptr;
    const CardParts* parts = nullptr;
    QDir outDir;
    QString date;  // the records' date, in the system's short format
};

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
    Card card = job.row.card;
    const DeckRenderOptions& options = *work.options;
    if (!readyDeckCard(card, job.row.pictureFit, options.pictureFit, &outcome.problem)) {
        outcome.problem = QStringLiteral("%1: %2").arg(job.where, outcome.problem);
        return outcome;
    }
    RenderedCard rendered = renderCard(card, *work.parts);
    const QString base = safeFileName(card.name);

    const auto write = [&](const QString& fileName, const QByteArray& bytes, const QString& why) {
        const QString path = work.outDir.filePath(fileName);
        QString error = why;
        if (bytes.isEmpty() || !writeFileAtomically(path, bytes, &error)) {
            outcome.problem = QStringLiteral("%1: %2 cannot be written: %3")
                                  .arg(job.where, QDir::toNativeSeparators(path), error);
            return false;
        }
        return true;
    };
    for (const bool blue : {true, false}) {
        QString why;
        const QByteArray bytes = encodeCardPicture(blue ? rendered.blue : rendered.red,
                                                   options.format, options.scale, &why);
        if (!write(exportFileName(base, blue, options.format), bytes, why))
            return outcome;
        ++outcome.pictures;
    }
    if (options.records) {
        const CardRecordInput record{card.name, card.sides, cardTotal(card.sides),
                                     std::max(0, card.element), work.date};
        if (!write(base + QStringLiteral(".txt"), cardRecord(record), {}))
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
    if (QFileInfo(options.input).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0) {
        Deck deck = readDeck(options.input);
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
    jobs.append({DeckRow{0, std::move(*read.card), {}}, options.input});
    return jobs;
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
    const QList<Job> jobs = readJobs(options, result);
    if (!result.fatal.isEmpty())
        return result;

    const QString partsRoot =
        options.partsRoot.isEmpty() ? QCoreApplication::applicationDirPath() : options.partsRoot;
    QString error;
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
    for (Outcome& outcome : outcomes) {
        result.pictures += outcome.pictures;
        if (outcome.done) {
            ++result.cards;
            if (options.play.any())
                playCards.append({outcome.name, safeFileName(outcome.name), outcome.sheetCard});
            if (!options.sheet.isEmpty())
                sheetCards.append(std::move(outcome.sheetCard));
        } else if (!outcome.problem.isEmpty()) {
            result.problems << outcome.problem;
        }
    }
    if (!options.sheet.isEmpty() && !result.cancelled) {
        if (!writeCardSheet(options.sheet, sheetCards, layout, &result.sheetPages, &error))
            result.problems << QStringLiteral("%1: the sheet cannot be written: %2")
                                   .arg(QDir::toNativeSeparators(options.sheet), error);
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
