// renderDeck: every card of a deck or card file as pictures, records and a sheet, in parallel.
#include "card/card_file.h"
#include "card/card_rules.h"
#include "card/deck_file.h"
#include "files/card_export.h"
#include "files/card_record.h"
#include "files/card_sheet.h"
#include "files/file_kind.h"
#include "files/main_picture.h"
#include "render/picture_prep.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <QTemporaryFile>
#include <QThread>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace orvane {
namespace {

struct Job {
    DeckRow row;
    QString where;  // "deck.csv:12" or the card file: the start of each problem line
    int input = 0;  // which input of the run, for the order of the problems
    QDir outDir;
    QStringList outputs;  // the files the card is written to, full paths
};

struct Outcome {
    bool done = false;  // every file of the card written (or kept)
    int pictures = 0;
    int replaced = 0;
    int kept = 0;
    QString problem;
    RenderedCard sheetCard;  // kept only for a sheet or the outputs made of all cards
    QString name;
};

// A problem with its place, so that every problem is told in input and line order.
struct PlacedProblem {
    int input = 0;
    int line = 0;
    QString text;
};

// What every worker shares, read-only.
struct Work {
    const DeckRenderOptions* options = nullptr;
    const CardParts* parts = nullptr;
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
        const QString path = job.outDir.filePath(fileName);
        QString error = why;
        const WriteOutcome written =
            bytes.isEmpty()
                ? WriteOutcome::Failed
                : writeWholeFile(path, bytes, {.keepExisting = options.keepExisting}, &error);
        switch (written) {
        case WriteOutcome::Failed:
            outcome.problem = QStringLiteral("%1: %2 cannot be written: %3")
                                  .arg(job.where, QDir::toNativeSeparators(path), error);
            return false;
        case WriteOutcome::Replaced: ++outcome.replaced; break;
        case WriteOutcome::Kept: ++outcome.kept; break;
        case WriteOutcome::Created: break;
        }
        return true;
    };
    if (options.pictures)
        for (const bool blue : {true, false}) {
            QString why;
            const QByteArray bytes = encodeCardPicture(blue ? rendered.blue : rendered.red,
                                                       options.format, options.scale, &why);
            const int keptBefore = outcome.kept;
            if (!write(exportFileName(base, blue, options.format), bytes, why))
                return outcome;
            if (outcome.kept == keptBefore)
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

QString problemText(const DeckProblem& problem)
{
    return problem.line > 0 ? problem.text()
                            : QStringLiteral("%1: %2").arg(problem.file, problem.message);
}

// The cards of one input; its problems go to `problems`.
QList<Job> readInput(const QString& input, int index, QList<PlacedProblem>& problems)
{
    QList<Job> jobs;
    // A card file is told from a deck by its content (JSON), whatever its name.
    if (fileKindOf(input) != FileKind::CardFile) {
        Deck deck = readDeck(input);
        for (const DeckProblem& problem : deck.problems)
            problems.append({index, problem.line, problemText(problem)});
        for (DeckRow& row : deck.rows) {
            const QString where = QStringLiteral("%1:%2").arg(input).arg(row.line);
            jobs.append({std::move(row), where, index, {}, {}});
        }
        return jobs;
    }
    CardFileRead read = readCardFile(input);
    if (!read.card) {
        problems.append({index, 0, read.error});
        return jobs;
    }
    if (read.card->name.trimmed().isEmpty())
        read.card->name = QFileInfo(input).completeBaseName();
    jobs.append({DeckRow{0, std::move(*read.card), {}}, input, index, {}, {}});
    return jobs;
}

// The same file whatever the path that names it (a link, "..", another hard link).
QString fileIdentity(const QString& path)
{
#ifndef _WIN32
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) == 0)
        return QStringLiteral("%1:%2").arg(info.st_dev).arg(info.st_ino);
#endif
    return QFileInfo(path).canonicalFilePath();
}

// Every file the run reads, by identity, with what it is for the user.
QHash<QString, QString> filesRead(const QStringList& inputs, const QList<Job>& jobs)
{
    QHash<QString, QString> read;
    for (const QString& input : inputs)
        read.insert(fileIdentity(input),
                    QStringLiteral("the input %1").arg(QDir::toNativeSeparators(input)));
    for (const Job& job : jobs)
        if (!job.row.card.mainPicturePath.isEmpty())
            read.insert(fileIdentity(job.row.card.mainPicturePath),
                        QStringLiteral("the picture of %1").arg(job.where));
    read.remove(QString());
    return read;
}

// Gives every card its output files. A card whose files another card of the run writes already
// is a problem of its own; an output that is a file the run reads refuses the whole run, before
// anything is written.
bool planOutputs(const DeckRenderOptions& options, const QStringList& inputs, QList<Job>& jobs,
                 QList<PlacedProblem>& problems, QString* fatal)
{
    const QHash<QString, QString> read = filesRead(inputs, jobs);
    const auto refuseIfRead = [&](const QString& output, const QString& what) {
        if (!QFileInfo::exists(output))
            return false;
        const auto found = read.constFind(fileIdentity(output));
        if (found == read.cend())
            return false;
        *fatal = QStringLiteral("%1 would replace %2 with %3; nothing was written")
                     .arg(QDir::toNativeSeparators(output), *found, what);
        return true;
    };
    QHash<QString, QString> writer;  // output path (case-blind) -> the card writing it
    QList<Job> planned;
    for (Job& job : jobs) {
        const QString base = safeFileName(job.row.card.name);
        if (options.pictures)
            for (const bool blue : {true, false})
                job.outputs << job.outDir.filePath(exportFileName(base, blue, options.format));
        if (options.records)
            job.outputs << job.outDir.filePath(base + QStringLiteral(".txt"));
        QString clash;
        for (const QString& output : job.outputs) {
            if (refuseIfRead(output, QStringLiteral("the card of %1").arg(job.where)))
                return false;
            if (const auto other = writer.constFind(output.toCaseFolded()); other != writer.cend())
                clash = *other;
        }
        if (!clash.isEmpty()) {
            problems.append({job.input, job.row.line,
                             QStringLiteral("%1: the card of %2 is written to the same files")
                                 .arg(job.where, clash)});
            continue;
        }
        for (const QString& output : job.outputs)
            writer.insert(output.toCaseFolded(), job.where);
        planned.append(std::move(job));
    }
    jobs = std::move(planned);
    if (!options.sheet.isEmpty()) {
        if (refuseIfRead(options.sheet, QStringLiteral("the sheet")))
            return false;
        if (const auto other = writer.constFind(QDir(options.sheet).absolutePath().toCaseFolded());
            other != writer.cend()) {
            *fatal =
                QStringLiteral("the sheet %1 would replace the card of %2; nothing was written")
                    .arg(QDir::toNativeSeparators(options.sheet), *other);
            return false;
        }
    }
    return true;
}

// Fails early, with one message, when nothing can be written in the folder. The probe is a
// temporary of a name no other file has, so no user's file and no other run is touched.
bool checkOutputFolder(const QString& folder, QString* error)
{
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("the output folder %1 cannot be made")
                     .arg(QDir::toNativeSeparators(folder));
        return false;
    }
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".orv-XXXXXX.part")));
    if (!probe.open()) {
        *error = QStringLiteral("nothing can be written in the output folder %1: %2")
                     .arg(QDir::toNativeSeparators(folder), probe.errorString());
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
    const QStringList inputs = QStringList{options.input} + options.moreInputs;
    QList<PlacedProblem> problems;
    QList<Job> jobs;
    for (qsizetype k = 0; k < inputs.size(); ++k) {
        const QString folder = options.outDir.isEmpty() ? QFileInfo(inputs[k]).absolutePath()
                                                        : QDir(options.outDir).absolutePath();
        for (Job& job : readInput(inputs[k], int(k), problems)) {
            job.outDir = QDir(folder);
            jobs.append(std::move(job));
        }
    }
    const auto sortedProblems = [&problems] {
        std::stable_sort(problems.begin(), problems.end(), [](const auto& a, const auto& b) {
            return std::pair(a.input, a.line) < std::pair(b.input, b.line);
        });
        QStringList texts;
        for (const PlacedProblem& problem : problems)
            texts << problem.text;
        return texts;
    };
    if (jobs.isEmpty() && !problems.isEmpty()) {
        result.fatal = sortedProblems().join(QLatin1Char('\n'));
        return result;
    }

    const QString partsRoot =
        options.partsRoot.isEmpty() ? QCoreApplication::applicationDirPath() : options.partsRoot;
    QString error;
    const std::optional<CardParts> parts = CardParts::load(partsRoot, &error);
    if (!parts) {
        result.fatal = error;
        return result;
    }
    SheetLayout layout(options.cardMm, options.sides, options.paper);
    layout.finish = options.play.sheetFinish;
    if (!options.sheet.isEmpty() && cardsPerSheetPage(layout) == 0) {
        result.fatal = QStringLiteral("cards of %1 mm do not fit on the paper").arg(options.cardMm);
        return result;
    }
    if (!planOutputs(options, inputs, jobs, problems, &result.fatal))
        return result;
    if (options.pictures || options.records) {
        QSet<QString> checked;
        for (const Job& job : jobs)
            if (!checked.contains(job.outDir.path())) {
                checked.insert(job.outDir.path());
                if (!checkOutputFolder(job.outDir.path(), &error)) {
                    result.fatal = error;
                    return result;
                }
            }
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
    for (size_t k = 0; k < outcomes.size(); ++k) {
        Outcome& outcome = outcomes[k];
        result.pictures += outcome.pictures;
        result.replaced += outcome.replaced;
        result.kept += outcome.kept;
        if (outcome.done) {
            ++result.cards;
            if (options.play.any())
                playCards.append({outcome.name, safeFileName(outcome.name), outcome.sheetCard});
            if (!options.sheet.isEmpty())
                sheetCards.append(std::move(outcome.sheetCard));
        } else if (!outcome.problem.isEmpty()) {
            problems.append(
                {jobs[qsizetype(k)].input, jobs[qsizetype(k)].row.line, outcome.problem});
        }
    }
    result.problems = sortedProblems();
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
