// SPDX-License-Identifier: GPL-3.0-or-later
// renderDeck: every card of a deck or card file as pictures, records and a sheet, in parallel.
#include "files/deck_render.h"

#include "render/part_pack.h"
#include "render/part_scales.h"
#include "render/picture_colours.h"

#include "card/card_file.h"
#include "card/card_file_pack.h"
#include "card/card_rules.h"
#include "card/deck_file.h"
#include "files/card_export.h"
#include "files/card_record.h"
#include "files/card_sheet.h"
#include "files/file_kind.h"
#include "files/main_picture.h"
#include "files/pack_back.h"
#include "files/pack_store.h"
#include "render/asset_catalogue.h"
#include "render/picture_prep.h"
#include "system/parallel_for.h"
#include "system/regular_file.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <QTemporaryFile>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <future>
#include <iterator>
#include <mutex>
#include <optional>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace orvane {
namespace {

// The parts a row that names a pack of its own is drawn with, and a digest of the pack's files
// (a remembered card is made again when they change).
struct RowPack {
    std::shared_ptr<const PartScales> parts;
    QByteArray digest;
};

struct Job {
    const DeckRow* row = nullptr;  // held by the run's list of its input's rows
    QString where;                 // "deck.csv:12" or the card file: the start of each problem line
    int input = 0;                 // which input of the run, for the order of the problems
    QString outDir;       // the folder of the card's files, absolute; shared by the input's cards
    QStringList outputs;  // the files the card is written to, full paths
    std::shared_ptr<const RowPack> pack{};  // null: the run's parts
};

struct Outcome {
    bool done = false;  // every file of the card written (or kept)
    int pictures = 0;
    int replaced = 0;
    int kept = 0;
    int unchanged = 0;    // files left as they were: they held the same bytes
    bool reused = false;  // known to be as an earlier run left it: not rendered
    QStringList written;
    QString problem;
    QString warning;
    RenderedCard sheetCard;  // kept only for a sheet or the outputs made of all cards
    QString name;
    QByteArray inputs;        // when remembered: what the card was made from
    QList<FileStamp> stamps;  // when remembered: its files as they were left, all of them
    QSize oversizedPicture;   // the picture was larger than the card, unfitted
};

// The outputs made of all cards at once need every card's pictures kept.
bool keepsPictures(const DeckRenderOptions& options)
{
    return !options.sheet.isEmpty() || options.play.any() || options.print.active();
}

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
    // The parts the pictures are drawn with at the output's scale (the pack's, or `parts`
    // enlarged); the pictures are encoded at 1 x then. Null: `parts`, encoded at the scale.
    const CardParts* scaledParts = nullptr;
    // Set: the cards kept for the sheets and the outputs of all cards are drawn with these, so
    // that each output drawing them larger uses the pack's larger parts.
    std::shared_ptr<const PartScales> sheetParts;
    QString date;  // the records' date, in the system's short format
    PictureBudget* budget = nullptr;
    bool remember = false;                  // the run keeps what each card was made from
    const DeckRenderMemo* known = nullptr;  // what an earlier run left, when anything
    QByteArray runInputs;                   // a digest of what every card is made from
};

// The memory a picture will take while it is decoded and prepared, from its header: the
// decoded picture, and with a preparation about as much again for the work copies.
qint64 pictureCost(QSize size, bool prepared)
{
    if (!size.isValid())
        return 0;
    const qint64 decoded = qint64(size.width()) * size.height() * 4;
    return prepared ? decoded * 2 : decoded;
}

void addStamp(QCryptographicHash& hash, const FileStamp& stamp)
{
    hash.addData(QStringLiteral("%1 %2 %3 %4 %5\n")
                     .arg(stamp.size)
                     .arg(stamp.modifiedNs)
                     .arg(stamp.changedNs)
                     .arg(stamp.inode)
                     .arg(stamp.device)
                     .toUtf8());
}

// A digest of what every card of the run is made from: the program, the output's form, the
// records' date and the part files.
QByteArray runInputs(const DeckRenderOptions& options, const QString& partsRoot,
                     const QString& date)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (QCoreApplication::instance()) {
        hash.addData(QCoreApplication::applicationVersion().toUtf8());
        addStamp(hash, statFile(QCoreApplication::applicationFilePath()));
    }
    hash.addData(QStringLiteral("%1 %2 %3\n")
                     .arg(exportSuffix(options.format))
                     .arg(options.scale)
                     .arg(options.records ? date : QString())
                     .toUtf8());
    const QDir root(partsRoot);
    for (const QString& part : assets::allFiles()) {
        hash.addData(part.toUtf8());
        addStamp(hash, statFile(root.filePath(part)));
    }
    if (!options.pack.isEmpty()) {
        hash.addData(QDir(options.pack).absolutePath().toUtf8());
        for (const QString& file : packWatchFiles(options.pack))
            addStamp(hash, statFile(file));
    }
    return hash.result();
}

void addSettings(QCryptographicHash& hash, const QMap<QString, QString>& settings)
{
    for (auto it = settings.cbegin(); it != settings.cend(); ++it)
        hash.addData((it.key() + QLatin1Char('=') + it.value() + QLatin1Char('\n')).toUtf8());
}

void addPixels(QCryptographicHash& hash, const QImage& image)
{
    hash.addData(QStringLiteral("%1 %2 %3\n")
                     .arg(image.width())
                     .arg(image.height())
                     .arg(int(image.format()))
                     .toUtf8());
    const auto rowBytes = qsizetype(image.width()) * image.depth() / 8;
    for (int y = 0; y < image.height(); ++y)
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(image.constScanLine(y)),
                                    rowBytes));
}

// Everything of the card that its pictures show, fed to the digest field by field (cheaper
// than writing the card out as a card file, which encodes its pictures again).
void addCard(QCryptographicHash& hash, const Card& card)
{
    QByteArray fields = card.name.toUtf8();
    fields += '\n';
    for (const QString& side : card.sides)
        fields += side.toUtf8() + '\n';
    fields += QByteArray::number(card.element) + ' ';
    for (const bool arrow : card.arrows)
        fields += arrow ? '1' : '0';
    fields += ' ' + QByteArray::number(card.x) + ' ' + QByteArray::number(card.y);
    for (const PlacementField& field : PlacementFields)
        fields += ' ' + QByteArray::number(card.placement.*field.member);
    fields += '\n' + card.mainPicturePath.toUtf8() + '\n';
    hash.addData(fields);
    hash.addData(card.mainPicture.isNull() ? "no picture\n" : "picture\n");
    if (!card.mainPicture.isNull())
        addPixels(hash, card.mainPicture);
    if (card.preparation.source.isNull())
        return;
    addSettings(hash, pictureFitSettings(card.preparation.fit));
    addPixels(hash, card.preparation.source);
    hash.addData(card.preparation.sourceEncoded);
}

// A digest of everything a card's files are made from: what every card is made from, the card,
// its preparation cells, the options that fill them and its picture file's stamp.
QByteArray cardInputs(const Job& job, const Work& work)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(work.runInputs);
    addCard(hash, job.row->card);
    if (job.pack)
        hash.addData(job.pack->digest);
    // The preparation settings matter only to a card with a picture.
    const Card& card = job.row->card;
    if (!card.mainPicturePath.isEmpty() || !card.mainPicture.isNull())
        for (const QMap<QString, QString>* map :
             {&job.row->pictureFit, &work.options->pictureFit}) {
            addSettings(hash, *map);
            hash.addData("--\n");  // the row's own apart from those for every card
        }
    if (!job.row->card.mainPicturePath.isEmpty())
        addStamp(hash, statFile(job.row->card.mainPicturePath));
    // A palette file edited since changes the card as its picture would.
    const QString palette = combinePictureFitSettings(job.row->pictureFit, work.options->pictureFit)
                                .value(QStringLiteral("palette"))
                                .trimmed();
    if (!palette.isEmpty() &&
        palette.compare(QLatin1String(PartsPaletteName), Qt::CaseInsensitive) != 0)
        addStamp(hash, statFile(palette));
    return hash.result();
}

// The card's files are as an earlier run left them.
bool filesAsLeft(const QStringList& outputs, const QList<FileStamp>& stamps)
{
    if (outputs.size() != stamps.size())
        return false;
    for (qsizetype k = 0; k < outputs.size(); ++k)
        if (!stamps[k].exists || statFile(outputs[k]) != stamps[k])
            return false;
    return true;
}

QString oversizedWarning(const QString& where, const QString& picture, QSize size)
{
    return QStringLiteral("%1: column picture: %2 is %3 × %4 pixels; only its upper-left %5 × %5 "
                          "is used. To fit it to the card, give the row a fit column (fit or "
                          "fill) or run with --fit fit")
        .arg(where, QDir::toNativeSeparators(picture))
        .arg(size.width())
        .arg(size.height())
        .arg(PreparedPictureMaxSide);
}

// Prepares the card's main picture as Prepare Main Picture... does on OK: the picture as loaded
// is the source, the prepared picture goes into the main picture box, and the card's x and y
// move it as the scroll bars do. A card file's own preparation was made already.
bool prepareMainPicture(Card& card, const QMap<QString, QString>& own,
                        const QMap<QString, QString>& forEveryCard, const CardParts* parts,
                        QString* problem)
{
    if (card.mainPicture.isNull() || !card.preparation.source.isNull())
        return true;
    const QMap<QString, QString> settings = combinePictureFitSettings(own, forEveryCard);
    if (settings.isEmpty())
        return true;
    PictureFitProblem why;
    std::optional<PictureFit> fit = parsePictureFit(settings, &why);
    if (!fit) {  // each part was checked on its own; kept for settings made elsewhere
        *problem = QStringLiteral("column %1: %2").arg(why.name, why.message);
        return false;
    }
    // A palette's colours are kept with the card's preparation, so they are read once here.
    QString paletteProblem;
    if (!resolvePalette(*fit, parts, &paletteProblem)) {
        *problem = QStringLiteral("column %1").arg(paletteProblem);
        return false;
    }
    card.preparation = {card.mainPicture, *fit};
    card.mainPicture = preparePicture(card.preparation.source, *fit);
    return true;
}

// Gives each row that names a pack its parts: one set of parts for each pack, its problems told
// once. A pack that is not installed (nor a folder) is told for the row, whose card is then
// drawn with the built-in parts, keeping its pack's name, as the editor shows it.
void chooseRowPacks(QList<Job>& jobs, const QStringList& inputs, const CardParts& builtIn,
                    DeckRenderResult& result)
{
    std::optional<QList<InstalledPack>> installed;
    QHash<QString, std::shared_ptr<const RowPack>> byFolder;
    std::shared_ptr<const RowPack> builtInPack;
    for (Job& job : jobs) {
        const QString& cell = job.row->pack;
        if (cell.isEmpty())
            continue;
        if (!installed)
            installed = installedPacks();
        const QString folder =
            rowPackFolder(cell, QFileInfo(inputs[job.input]).absolutePath(), *installed);
        if (folder.isEmpty()) {
            result.warnings << QStringLiteral("%1: column pack: the pack \"%2\" is not installed "
                                              "and is no folder; the card is drawn with the "
                                              "built-in parts")
                                   .arg(job.where, cell);
            if (!builtInPack)
                builtInPack = std::make_shared<const RowPack>(
                    RowPack{std::make_shared<const PartScales>(builtIn), {}});
            job.pack = builtInPack;
            continue;
        }
        std::shared_ptr<const RowPack>& pack = byFolder[folder];
        if (!pack) {
            const PackParts loaded = loadPackParts(folder, 1, builtIn);
            const QString shown = QDir::toNativeSeparators(folder);
            for (const QString& problem : loaded.problems)
                result.warnings
                    << QStringLiteral("pack %1: %2; the built-in part is used").arg(shown, problem);
            for (const QString& warning : loaded.warnings)
                result.warnings << QStringLiteral("pack %1: %2").arg(shown, warning);
            QCryptographicHash digest(QCryptographicHash::Sha256);
            digest.addData(folder.toUtf8());
            for (const QString& file : packWatchFiles(folder)) {
                addStamp(digest, statFile(file));
                if (QFileInfo(file).isFile())
                    result.sources << QFileInfo(file).absoluteFilePath();
            }
            pack = std::make_shared<const RowPack>(
                RowPack{std::make_shared<const PartScales>(builtIn, folder), digest.result()});
        }
        job.pack = pack;
    }
}

Outcome renderOne(const Job& job, const Work& work)
{
    Outcome outcome;
    Card card = job.row->card;
    const DeckRenderOptions& options = *work.options;

    // Made from the same inputs as in an earlier run, its files as that run left them: they
    // hold the bytes it would write, so it is neither rendered nor encoded to compare.
    if (work.remember)
        outcome.inputs = cardInputs(job, work);
    if (work.known && !keepsPictures(options)) {
        const auto known = work.known->cards.constFind(job.outputs.join(QLatin1Char('\n')));
        if (known != work.known->cards.cend() && known->inputs == outcome.inputs &&
            filesAsLeft(job.outputs, known->files)) {
            outcome.unchanged = int(job.outputs.size());
            outcome.reused = true;
            outcome.stamps = known->files;
            outcome.oversizedPicture = known->oversizedPicture;
            if (outcome.oversizedPicture.isValid())
                outcome.warning =
                    oversizedWarning(job.where, card.mainPicturePath, outcome.oversizedPicture);
            outcome.done = true;
            return outcome;
        }
    }

    const QMap<QString, QString> settings =
        combinePictureFitSettings(job.row->pictureFit, options.pictureFit);
    std::optional<BudgetShare> share;  // held until the card's big pictures are let go
    if (card.mainPicture.isNull() && !card.mainPicturePath.isEmpty()) {
        const QString shown = QDir::toNativeSeparators(card.mainPicturePath);
        const LoadedPicture loaded =
            loadMainPicture(card.mainPicturePath, false, [&](QSize size) {
                share.emplace(*work.budget, pictureCost(size, !settings.isEmpty()));
            });
        if (loaded.image.isNull()) {
            outcome.problem = QStringLiteral("%1: column picture: %2 cannot be read: %3")
                                  .arg(job.where, shown, loaded.error);
            return outcome;
        }
        card.mainPicture = loaded.image;
        const QSize size = card.mainPicture.size();
        if (settings.isEmpty() &&
            (size.width() > PreparedPictureMaxSide || size.height() > PreparedPictureMaxSide)) {
            outcome.oversizedPicture = size;
            outcome.warning = oversizedWarning(job.where, card.mainPicturePath, size);
        }
    }
    // A row with a pack of its own: its parts at 1 x, at the run's scale and for the sheets.
    const CardParts* parts = job.pack ? &job.pack->parts->at(1) : work.parts;
    const CardParts* scaledParts = work.scaledParts;
    if (job.pack)
        scaledParts = options.scale > 1 ? &job.pack->parts->at(options.scale) : nullptr;
    const std::shared_ptr<const PartScales>& sheetParts =
        job.pack ? job.pack->parts : work.sheetParts;
    if (!prepareMainPicture(card, job.row->pictureFit, options.pictureFit, parts,
                            &outcome.problem)) {
        outcome.problem = QStringLiteral("%1: %2").arg(job.where, outcome.problem);
        return outcome;
    }
    const bool wantsSheetCard = keepsPictures(options);
    // A sheet drawn larger prepares a row's picture again from its file, read when needed.
    PictureSourceReader readSource;
    if (job.row->card.mainPicture.isNull() && !card.mainPicturePath.isEmpty())
        readSource = [path = card.mainPicturePath] { return loadMainPicture(path).image; };
    RenderedCard rendered = wantsSheetCard && sheetParts
                                ? renderCardWithScales(card, sheetParts, std::move(readSource))
                                : renderCard(card, *parts);
    std::optional<RenderedCard> scaled;
    if (scaledParts && options.pictures)
        scaled = renderCard(card, *scaledParts);
    const int encodeScale = scaled ? 1 : options.scale;
    if (!wantsSheetCard && scaled)
        rendered = {};
    card.mainPicture = QImage();
    card.preparation = {};
    share.reset();
    const QString base = safeFileName(card.name);

    const auto write = [&](const QString& fileName, const QByteArray& bytes, const QString& why) {
        const QString path = QDir(job.outDir).filePath(fileName);
        QString error = why;
        // A file already holding the same bytes is left as it is: its time stamp tells printing
        // and syncing tools that nothing changed.
        if (!bytes.isEmpty() && fileHolds(path, bytes)) {
            ++outcome.unchanged;
            return true;
        }
        const WriteOutcome written =
            bytes.isEmpty()
                ? WriteOutcome::Failed
                : writeWholeFile(path, bytes,
                                 {.keepExisting = options.keepExisting, .replaceLink = true},
                                 &error);
        switch (written) {
        case WriteOutcome::Failed:
            outcome.problem = QStringLiteral("%1: %2 cannot be written: %3")
                                  .arg(job.where, QDir::toNativeSeparators(path), error);
            return false;
        case WriteOutcome::Replaced:
            ++outcome.replaced;
            outcome.written << path;
            break;
        case WriteOutcome::Kept: ++outcome.kept; break;
        case WriteOutcome::Created: outcome.written << path; break;
        }
        return true;
    };
    if (options.pictures)
        for (const CardColour colour : {CardColour::Blue, CardColour::Red}) {
            QString why;
            const RenderedCard& picture = scaled ? *scaled : rendered;
            const QByteArray bytes =
                encodeCardPicture(cardFace(picture, colour), options.format, encodeScale, &why);
            const qsizetype writtenBefore = outcome.written.size();
            if (!write(exportFileName(base, colour, options.format), bytes, why))
                return outcome;
            if (outcome.written.size() > writtenBefore)
                ++outcome.pictures;
        }
    if (options.records) {
        const CardRecordInput record{card.name, card.sides, cardTotal(card.sides),
                                     std::max(0, card.element), work.date};
        if (!write(base + QStringLiteral(".txt"), cardRecord(record), {}))
            return outcome;
    }
    if (wantsSheetCard) {
        outcome.sheetCard = std::move(rendered);
        outcome.name = card.name;
    }
    // A file kept by --no-clobber does not hold what the card would write: not remembered.
    if (work.remember && outcome.kept == 0)
        for (const QString& output : job.outputs)
            outcome.stamps << statFile(output);
    outcome.done = true;
    return outcome;
}

QString problemText(const DeckProblem& problem)
{
    return problem.line > 0 ? problem.text()
                            : QStringLiteral("%1: %2").arg(problem.file, problem.message);
}

// The cards of one input; its problems go to `problems`.
QList<Job> readInput(const QString& input, int index, QList<PlacedProblem>& problems,
                     QStringList& warnings, QList<DeckRow>& rows)
{
    QList<Job> jobs;
    // A card file is told from a deck by its content (JSON), whatever its name.
    if (fileKindOf(input) != FileKind::CardFile) {
        Deck deck = readDeck(input);
        for (const DeckProblem& problem : deck.problems)
            problems.append({index, problem.line, problemText(problem)});
        for (const DeckProblem& warning : std::as_const(deck.warnings))
            warnings << problemText(warning);
        rows = std::move(deck.rows);
        jobs.reserve(rows.size());
        for (const DeckRow& row : std::as_const(rows))
            jobs.append({&row, QStringLiteral("%1:%2").arg(input).arg(row.line), index, {}, {}});
        return jobs;
    }
    CardFileRead read = readCardFile(input);
    if (!read.card) {
        problems.append({index, 0, read.error});
        return jobs;
    }
    read.card->name = displayName(*read.card, input);
    // The card file is held to a deck row's rules: the editor keeps any text in a number box,
    // but a card written by orvane-render is one a deck could hold.
    if (const QString problem = cardDeckProblem(*read.card); !problem.isEmpty()) {
        problems.append({index, 0, QStringLiteral("%1: %2").arg(input, problem)});
        return jobs;
    }
    if (read.card->name.contains(QChar::ReplacementCharacter))
        warnings << QStringLiteral("%1: the name \"%2\" holds a character that could not be read "
                                   "(shown as %3); its file names hold it too")
                        .arg(input, read.card->name.left(60), QString(QChar::ReplacementCharacter));
    // A card file kept with a pack is drawn with it, as a deck row naming it is.
    rows.append(DeckRow{0, std::move(*read.card), {}, read.copies, readCardFilePack(input)});
    jobs.append({&rows.constLast(), input, index, {}, {}});
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
    // Many cards share a picture: each path is looked up once, for the last card naming it (as
    // if every card were told in turn, the last one staying).
    QSet<QString> seen;
    std::vector<const Job*> lastUsers;  // the last card of each path, from the end
    for (auto job = jobs.crbegin(); job != jobs.crend(); ++job)
        if (const QString& path = job->row->card.mainPicturePath;
            !path.isEmpty() && !seen.contains(path)) {
            seen.insert(path);
            lastUsers.push_back(&*job);
        }
    for (auto job = lastUsers.crbegin(); job != lastUsers.crend(); ++job)
        read.insert(fileIdentity((*job)->row->card.mainPicturePath),
                    QStringLiteral("the picture of %1").arg((*job)->where));
    read.remove(QString());
    return read;
}

// Whether a file of that name is in its folder, from one listing of each folder: a deck's
// outputs are many names in one folder, and a listing is far cheaper than a look-up of each.
class FolderListings {
public:
    bool holds(const QString& path)
    {
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        if (slash < 0)
            return QFileInfo::exists(path);
        const QString folder = slash == 0 ? QStringLiteral("/") : path.left(slash);
        auto names = m_names.find(folder);
        if (names == m_names.end())
            names = m_names.insert(folder, namesIn(folder));
        return names->contains(path.mid(slash + 1));
    }

private:
    static QSet<QString> namesIn(const QString& folder)
    {
        QSet<QString> names;
        std::error_code error;
        for (std::filesystem::directory_iterator
                 entry(std::filesystem::path(QFile::encodeName(folder).toStdString()), error),
             end;
             !error && entry != end; entry.increment(error))
            names.insert(QFile::decodeName(entry->path().filename().c_str()));
        return names;
    }

    QHash<QString, QSet<QString>> m_names;
};

// Gives every card its output files. A card whose files another card of the run writes already
// is a problem of its own; an output that is a file the run reads refuses the whole run, before
// anything is written.
bool planOutputs(const DeckRenderOptions& options, const QStringList& inputs, QList<Job>& jobs,
                 QList<PlacedProblem>& problems, QString* fatal)
{
    const QHash<QString, QString> read = filesRead(inputs, jobs);
    FolderListings listings;
    const auto refuseIfRead = [&](const QString& output, const QString& what) {
        if (!listings.holds(output))
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
    planned.reserve(jobs.size());
    QDir folder;
    for (Job& job : jobs) {
        if (job.outDir != folder.path())
            folder = QDir(job.outDir);
        const QString base = safeFileName(job.row->card.name);
        if (options.pictures)
            for (const CardColour colour : {CardColour::Blue, CardColour::Red})
                job.outputs << folder.filePath(exportFileName(base, colour, options.format));
        if (options.records)
            job.outputs << folder.filePath(base + QStringLiteral(".txt"));
        QString clash;
        for (const QString& output : job.outputs) {
            if (refuseIfRead(output, QStringLiteral("the card of %1").arg(job.where)))
                return false;
            if (const auto other = writer.constFind(output.toCaseFolded()); other != writer.cend())
                clash = *other;
        }
        if (!clash.isEmpty()) {
            problems.append({job.input, job.row->line,
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
        const bool fits = expected.isValid() ? size == expected
                                             : size.width() <= PreparedPictureMaxSide &&
                                                   size.height() <= PreparedPictureMaxSide;
        if (!fits)
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

bool fileHolds(const QString& path, const QByteArray& bytes)
{
    // A link is no output of ours, whatever it names: it is replaced. No file there, or one of
    // another size, is told by this one look.
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile() || info.size() != bytes.size())
        return false;
    const OpenedFile opened = openRegularFile(path);
    if (!opened.file || opened.size != bytes.size())
        return false;
    return opened.file->read(bytes.size() + 1) == bytes;
}

bool readyDeckCard(Card& card, const QMap<QString, QString>& own,
                   const QMap<QString, QString>& forEveryCard, QString* problem,
                   const CardParts* parts)
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
    std::optional<CardParts> ownParts;
    if (!parts && combinePictureFitSettings(own, forEveryCard)
                          .value(QStringLiteral("palette"))
                          .trimmed()
                          .compare(QLatin1String(PartsPaletteName), Qt::CaseInsensitive) == 0) {
        // The parts palette without parts given: the built-in parts beside the program.
        QString ignored;
        ownParts = CardParts::load(QCoreApplication::applicationDirPath(), &ignored);
        parts = ownParts ? &*ownParts : nullptr;
    }
    return prepareMainPicture(card, own, forEveryCard, parts, problem);
}

DeckRenderResult renderDeck(const DeckRenderOptions& options, const Progress& progress)
{
    DeckRenderResult result;
    const QStringList inputs = QStringList{options.input} + options.moreInputs;
    const QString partsRoot =
        options.partsRoot.isEmpty() ? QCoreApplication::applicationDirPath() : options.partsRoot;
    // The parts are checked and read on a thread of their own while the decks are read: for a
    // deck of a hundred cards each takes about as long as the other.
    struct ReadParts {
        std::optional<CardParts> parts;
        QString error;
    };
    std::future<ReadParts> partsRead = std::async(std::launch::async, [partsRoot] {
        ReadParts read;
        if (checkParts(partsRoot, &read.error))
            read.parts = CardParts::load(partsRoot, &read.error);
        return read;
    });
    QList<PlacedProblem> problems;
    // Every input's rows, held here for the whole run: the jobs point into them.
    std::vector<QList<DeckRow>> rowsOfInputs(size_t(inputs.size()));
    QList<Job> jobs;
    for (qsizetype k = 0; k < inputs.size(); ++k) {
        const QString folder = options.outDir.isEmpty() ? QFileInfo(inputs[k]).absolutePath()
                                                        : QDir(options.outDir).absolutePath();
        result.sources << QFileInfo(inputs[k]).absoluteFilePath();
        QList<Job> read =
            readInput(inputs[k], int(k), problems, result.warnings, rowsOfInputs[size_t(k)]);
        for (Job& job : read)
            job.outDir = folder;
        if (jobs.isEmpty())
            jobs = std::move(read);
        else
            std::move(read.begin(), read.end(), std::back_inserter(jobs));
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

    for (const QString& part : assets::allFiles())
        result.sources << QDir(partsRoot).absoluteFilePath(part);
    QSet<QString> pictures;
    for (const Job& job : std::as_const(jobs))
        if (const QString& path = job.row->card.mainPicturePath;
            !path.isEmpty() && !pictures.contains(path)) {
            pictures.insert(path);
            result.sources << path;
        }
    const ReadParts readParts = partsRead.get();
    const std::optional<CardParts>& parts = readParts.parts;
    if (!parts) {
        result.fatal = readParts.error;
        return result;
    }
    QString error;
    SheetLayout layout(options.cardMm, options.sides, options.paper);
    layout.finish = options.play.sheetFinish;
    if (!options.sheet.isEmpty() && cardsPerSheetPage(layout) == 0) {
        result.fatal = QStringLiteral("cards of %1 mm do not fit on the paper").arg(options.cardMm);
        return result;
    }
    // A run that cannot write stops before the work of planning every card's files.
    if (options.pictures || options.records) {
        QSet<QString> checked;
        for (const Job& job : std::as_const(jobs))
            if (!checked.contains(job.outDir)) {
                checked.insert(job.outDir);
                if (!checkOutputFolder(job.outDir, &error)) {
                    result.fatal = error;
                    return result;
                }
            }
    }
    if (!planOutputs(options, inputs, jobs, problems, &result.fatal))
        return result;
    // A pack's own back stands in for ours wherever a back is printed.
    PlayOutputs play = options.play;
    play.backPicture = backWithPack(options.play.backPicture, options.pack, true);
    PrintRequest print = options.print;
    print.backPicture = backWithPack(options.print.backPicture, options.pack, false);
    if (!options.sheet.isEmpty() && !options.play.backPicture.isEmpty()) {
        layout.back =
            loadCardBack(backWithPack(options.play.backPicture, options.pack, false), &error);
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

    // Pictures at a scale are drawn at that scale: a pack's larger parts, a prepared picture
    // prepared again from its source. The sheets keep the 1 x cards.
    std::optional<CardParts> scaledParts;
    if (!options.pack.isEmpty()) {
        PackParts packParts = loadPackParts(options.pack, options.scale, *parts);
        const QString pack = QDir::toNativeSeparators(options.pack);
        for (const QString& problem : std::as_const(packParts.problems))
            result.warnings
                << QStringLiteral("pack %1: %2; the built-in part is used").arg(pack, problem);
        for (const QString& warning : std::as_const(packParts.warnings))
            result.warnings << QStringLiteral("pack %1: %2").arg(pack, warning);
        scaledParts = std::move(packParts.parts);
        for (const QString& file : packWatchFiles(options.pack))
            if (QFileInfo(file).isFile())
                result.sources << QFileInfo(file).absoluteFilePath();
    } else if (options.scale > 1) {
        scaledParts = enlargedParts(*parts, options.scale);
    }
    chooseRowPacks(jobs, inputs, *parts, result);

    // The sheets, print pictures and play outputs are made of cards kept at 1 x; each of them
    // draws its cards again at its own scale, with the pack's parts for it (or the built-in
    // parts enlarged) and a picture prepared from a larger source prepared again.
    Work work;
    if (keepsPictures(options))
        work.sheetParts = std::make_shared<const PartScales>(*parts, options.pack);
    work.options = &options;
    work.parts = work.sheetParts ? &work.sheetParts->at(1) : &*parts;
    if (scaledParts)
        work.scaledParts = &*scaledParts;
    work.date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    PictureBudget budget(options.pictureMemoryBudget);
    work.budget = &budget;
    // What the last run into each output folder left: this process's own, else the record.
    QStringList outDirs;
    if (options.pictures || options.records)
        for (const Job& job : std::as_const(jobs))
            if (outDirs.isEmpty() || outDirs.constLast() != job.outDir)
                if (!outDirs.contains(job.outDir))
                    outDirs << job.outDir;
    DeckRenderMemo recorded;
    work.remember = options.memo || !options.recordFolder.isEmpty();
    if (work.remember) {
        work.runInputs = runInputs(options, partsRoot, work.date);
        if (options.memo && !options.memo->cards.isEmpty()) {
            work.known = options.memo;
        } else if (!options.recordFolder.isEmpty()) {
            for (const QString& folder : std::as_const(outDirs))
                loadOutputRecord(options.recordFolder, folder, recorded);
            work.known = &recorded;
        }
    }

    // Workers take the next card until none is left or the run is cancelled.
    const int total = int(jobs.size());
    std::vector<Outcome> outcomes(size_t(jobs.size()));
    const int finished = parallelFor(total, options.jobs, progress, [&](int k) {
        outcomes[size_t(k)] = renderOne(jobs[k], work);
    });
    result.cancelled = progress.stopRequested() && finished < total;

    QList<RenderedCard> sheetCards;
    QList<NamedCard> playCards;
    DeckRenderMemo memo;
    // Files written moments ago could change again without their times showing it.
    const qint64 nowNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                             std::chrono::system_clock::now().time_since_epoch())
                             .count();
    for (size_t k = 0; k < outcomes.size(); ++k) {
        Outcome& outcome = outcomes[k];
        const Job& job = jobs[qsizetype(k)];
        result.pictures += outcome.pictures;
        result.replaced += outcome.replaced;
        result.kept += outcome.kept;
        result.unchanged += outcome.unchanged;
        result.reused += outcome.reused ? 1 : 0;
        result.written << outcome.written;
        if (!outcome.warning.isEmpty())
            result.warnings << outcome.warning;
        if (!outcome.written.isEmpty())
            result.changedCards << job.row->card.name;
        if (outcome.done) {
            ++result.cards;
            if (!outcome.inputs.isEmpty() && outcome.stamps.size() == job.outputs.size() &&
                std::all_of(outcome.stamps.cbegin(), outcome.stamps.cend(),
                            [nowNs](const FileStamp& f) { return stampSettled(f, nowNs); }))
                memo.cards.insert(job.outputs.join(QLatin1Char('\n')),
                                  {outcome.inputs, outcome.stamps, outcome.oversizedPicture});
            if (options.play.any() || options.print.active())
                playCards.append(
                    {outcome.name, safeFileName(outcome.name), outcome.sheetCard, job.row->copies});
            if (!options.sheet.isEmpty())
                for (int copy = 0; copy < job.row->copies; ++copy)
                    sheetCards.append(outcome.sheetCard);
        } else if (!outcome.problem.isEmpty()) {
            problems.append(
                {jobs[qsizetype(k)].input, jobs[qsizetype(k)].row->line, outcome.problem});
        }
    }
    result.problems = sortedProblems();
    // Cards not reached by a cancelled run keep what was known of them (their files are
    // checked against it all the same).
    if (result.cancelled && work.known)
        for (auto it = work.known->cards.cbegin(); it != work.known->cards.cend(); ++it)
            if (!memo.cards.contains(it.key()))
                memo.cards.insert(it.key(), it.value());
    // A record that cannot be written only makes the next run compare bytes again.
    if (!options.recordFolder.isEmpty())
        for (const QString& folder : std::as_const(outDirs))
            saveOutputRecord(options.recordFolder, folder, memo);
    if (options.memo)
        *options.memo = std::move(memo);
    if (!options.sheet.isEmpty() && !result.cancelled) {
        if (!writeCardSheet(options.sheet, sheetCards, layout, &result.sheetPages, &error)) {
            result.sheetPages = 0;  // no sheet was written
            result.problems << QStringLiteral("%1: the sheet cannot be written: %2")
                                   .arg(QDir::toNativeSeparators(options.sheet), error);
        }
    }
    if (options.play.any() && !result.cancelled) {
        const QString deckName = safeFileName(QFileInfo(options.input).completeBaseName());
        const PlayOutputsResult written = writePlayOutputs(play, deckName, playCards);
        result.playFiles = written.written;
        result.problems << written.problems;
    }
    if (options.print.active() && !result.cancelled) {
        const PrintResult printed = writePrint(print, playCards, progress.withListener({}));
        result.printFiles = printed.written;
        result.printPages = printed.pages;
        result.printPictures = printed.pictures;
        result.problems << printed.problems;
        result.cancelled = result.cancelled || printed.cancelled;
    }
    return result;
}

}  // namespace orvane
