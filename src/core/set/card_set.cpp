// SPDX-License-Identifier: GPL-3.0-or-later
#include "set/card_set.h"

#include "card/card_file.h"
#include "card/card_rules.h"
#include "card/csv_records.h"
#include "card/deck_file.h"
#include "files/card_export.h"
#include "render/picture_prep.h"
#include "set/deck_store.h"
#include "set/set_commands.h"
#include "set/set_folder_order.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QUndoStack>

#include <algorithm>

namespace orvane {
namespace {

// The size of a picture read for a card with no fit asked for, when it is larger than the card
// (only its upper-left corner reaches the card); invalid otherwise.
QSize unfittedOversize(const Card& read)
{
    const QSize size = read.mainPicture.size();
    if (!read.preparation.source.isNull() ||
        (size.width() <= PreparedPictureMaxSide && size.height() <= PreparedPictureMaxSide))
        return {};
    return size;
}

// Two names that give the same file names, case ignored, are the same name.
QString nameKey(const QString& name)
{
    return safeFileName(name.trimmed()).toCaseFolded();
}

}  // namespace

CardSet::CardSet(QUndoStack* stack, QObject* parent)
    : QObject(parent), m_stack(stack), m_ownStack(stack == nullptr),
      m_store(std::make_unique<DeckStore>())
{
    if (m_ownStack)
        m_stack = new QUndoStack(this);
    connect(m_stack, &QUndoStack::cleanChanged, this, &CardSet::changed);
}

CardSet::~CardSet() = default;

void CardSet::startOver(std::unique_ptr<SetStore> store, SetCards cards)
{
    m_store = std::move(store);
    m_cards = std::move(cards);
    m_indexValid = false;
    m_ready.reset();
    m_restored = false;
    m_stack->clear();
}

void CardSet::startNew()
{
    startOver(std::make_unique<DeckStore>(), {});
    emit opened();
    emit cardsReset();
    emit changed();
}

bool CardSet::open(const QString& path, QString* error)
{
    std::unique_ptr<SetStore> store = SetStore::forPath(path);
    SetCards cards;
    if (!store->read(cards, m_nextId, error))
        return false;
    startOver(std::move(store), std::move(cards));
    emit opened();
    emit cardsReset();
    emit changed();
    return true;
}

bool CardSet::save(QString* error, const QString& path, bool* encodingLacks)
{
    if (encodingLacks)
        *encodingLacks = false;
    if (path.isEmpty()) {
        if (!m_store->save(m_cards, error, encodingLacks))
            return false;
    } else {
        // Save As: the set belongs to the deck written, once it is written.
        bool keepsSources = false;
        std::unique_ptr<SetStore> deck = m_store->deckAt(path, &keepsSources);
        SetCards cards = m_cards;
        if (!keepsSources)
            cards.sources.clear();
        if (!deck->save(cards, error, encodingLacks))
            return false;
        m_store = std::move(deck);
        m_cards = std::move(cards);
    }
    m_indexValid = false;
    m_restored = false;
    m_stack->setClean();
    // A card of the history that is not in the set now comes back as a new card.
    emit cardsReset();
    emit changed();
    return true;
}

const DeckTextForm& CardSet::deckForm() const
{
    static const DeckTextForm none;
    const DeckTextForm* form = m_store->form();
    return form ? *form : none;
}

void CardSet::setDeckEncoding(DeckEncoding encoding)
{
    if (DeckTextForm* form = m_store->form())
        form->encoding = encoding;
}

bool CardSet::isModified() const
{
    return m_restored || !m_stack->isClean();
}

int CardSet::indexOf(quint64 id) const
{
    if (!m_indexValid) {
        m_index.clear();
        m_index.reserve(m_cards.entries.size());
        for (qsizetype i = 0; i < m_cards.entries.size(); ++i)
            m_index.insert(m_cards.entries[i].id, int(i));
        m_indexValid = true;
    }
    return m_index.value(id, -1);
}

const SetEntry* CardSet::entry(quint64 id) const
{
    const int i = indexOf(id);
    return i < 0 ? nullptr : &m_cards.entries[i];
}

bool CardSet::isChanged(quint64 id) const
{
    const SetEntry* e = entry(id);
    return e && m_store->isChanged(m_cards, *e);
}

Card CardSet::readyCard(quint64 id, QString* problem) const
{
    const SetEntry* e = entry(id);
    if (!e)
        return {};
    Card card = e->card;
    if (e->isBad() || !card.mainPicture.isNull() || card.mainPicturePath.isEmpty())
        return card;
    // A picture that cannot be read is kept as such too: the editor asks for its card often.
    if (!m_ready || m_ready->id != id || m_ready->path != card.mainPicturePath ||
        m_ready->fit != e->pictureFit) {
        Card read = card;
        QString why;
        if (!readyDeckCard(read, e->pictureFit, {}, &why))
            read.mainPicture = QImage();
        m_ready = ReadyPicture{id,
                               card.mainPicturePath,
                               e->pictureFit,
                               read.mainPicture,
                               read.mainPicture.isNull() ? PicturePreparation() : read.preparation,
                               read.mainPicture.isNull() ? why : QString(),
                               unfittedOversize(read)};
    }
    card.mainPicture = m_ready->picture;
    card.preparation = m_ready->preparation;
    if (problem)
        *problem = m_ready->problem;
    return card;
}

QString CardSet::pictureNote(quint64 id) const
{
    QString problem;
    const Card card = readyCard(id, &problem);
    if (!problem.isEmpty())
        return problem;
    if (!m_ready || m_ready->id != id || !m_ready->oversized.isValid() ||
        card.mainPicture != m_ready->picture)
        return {};
    return tr("The picture %1 is %2 × %3 pixels: only its upper-left %4 × %4 reaches the card. "
              "Prepare Main Picture... fits it to the card, or give the row a fit column.")
        .arg(QDir::toNativeSeparators(m_ready->path))
        .arg(m_ready->oversized.width())
        .arg(m_ready->oversized.height())
        .arg(PreparedPictureMaxSide);
}

const Card& CardSet::editedCard(quint64 id) const
{
    m_edited = readyCard(id);
    return m_edited;
}

QString CardSet::nameProblem(const QString& name, quint64 exceptId) const
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("A card needs a name.");
    const QString key = nameKey(name);
    for (const SetEntry& e : m_cards.entries)
        if (e.id != exceptId && !e.card.name.trimmed().isEmpty() && nameKey(e.card.name) == key)
            return e.card.name.trimmed() == name.trimmed()
                       ? QStringLiteral("The set already has a card named \"%1\".")
                             .arg(e.card.name.trimmed())
                       : QStringLiteral("\"%1\" gives the same file names as the card \"%2\".")
                             .arg(name.trimmed(), e.card.name.trimmed());
    return {};
}

QString CardSet::uniqueName(const QString& base) const
{
    const QString trimmed = base.trimmed().isEmpty() ? QStringLiteral("Card") : base.trimmed();
    if (nameProblem(trimmed).isEmpty())
        return trimmed;
    for (int n = 2;; ++n) {
        const QString name = QStringLiteral("%1 %2").arg(trimmed).arg(n);
        if (nameProblem(name).isEmpty())
            return name;
    }
}

SetEntry CardSet::newEntry(const Card& card) const
{
    SetEntry entry;
    entry.id = m_nextId++;
    entry.card = card;
    entry.card.name = uniqueName(card.name);
    entry.pictureChanged = !card.mainPicture.isNull();
    return entry;
}

// ---- Operations --------------------------------------------------------------------------------

quint64 CardSet::addCard(const Card& card, int index)
{
    const int at = index < 0 || index > count() ? count() : index;
    const SetEntry entry = newEntry(card);
    m_stack->push(new EntryInsertCommand(*this, {{at, entry}}, true,
                                         QStringLiteral("Add Card \"%1\"").arg(entry.card.name)));
    return entry.id;
}

QList<quint64> CardSet::duplicateCards(const QList<quint64>& ids)
{
    QList<int> positions;
    for (quint64 id : ids)
        if (const int i = indexOf(id); i >= 0 && !m_cards.entries[i].isBad())
            positions << i;
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    QList<QPair<int, SetEntry>> items;
    QList<quint64> made;
    QStringList taken;  // names given in this step, not in the set yet
    for (qsizetype k = 0; k < positions.size(); ++k) {
        Card card = readyCard(m_cards.entries[positions[k]].id);
        QString name = uniqueName(card.name);
        for (int n = 2; taken.contains(nameKey(name)); ++n)
            name = uniqueName(QStringLiteral("%1 %2").arg(card.name.trimmed()).arg(n));
        taken << nameKey(name);
        card.name = name;
        SetEntry entry = newEntry(card);
        entry.card.name = name;
        // A deck card's picture stays the same file: the copy's row names it too.
        const SetEntry& from = m_cards.entries[positions[k]];
        entry.copies = from.copies;
        entry.pack = from.pack;  // drawn with the same parts
        if (!from.pictureChanged && from.card.mainPicture.isNull()) {
            entry.card.mainPicture = QImage();
            entry.card.preparation = from.card.preparation;
            entry.pictureFit = from.pictureFit;
            entry.pictureChanged = false;
        }
        items.append({positions[k] + int(k) + 1, entry});
        made << entry.id;
    }
    if (!items.isEmpty())
        m_stack->push(new EntryInsertCommand(*this, items, true,
                                             items.size() == 1
                                                 ? QStringLiteral("Duplicate Card")
                                                 : QStringLiteral("Duplicate Cards")));
    return made;
}

void CardSet::removeCards(const QList<quint64>& ids)
{
    QList<QPair<int, SetEntry>> items;
    for (qsizetype i = 0; i < m_cards.entries.size(); ++i)
        if (ids.contains(m_cards.entries[i].id))
            items.append({int(i), m_cards.entries[i]});
    if (!items.isEmpty())
        m_stack->push(new EntryInsertCommand(*this, items, false,
                                             items.size() == 1 ? QStringLiteral("Delete Card")
                                                               : QStringLiteral("Delete Cards")));
}

void CardSet::moveCards(const QList<quint64>& ids, int index)
{
    QList<quint64> moving;
    QList<quint64> before;
    QList<quint64> staying;
    int insertAt = -1;  // among the staying cards
    for (qsizetype i = 0; i < m_cards.entries.size(); ++i) {
        if (i == index)
            insertAt = int(staying.size());
        const quint64 id = m_cards.entries[i].id;
        before << id;
        (ids.contains(id) ? moving : staying) << id;
    }
    if (insertAt < 0)
        insertAt = int(staying.size());
    if (moving.isEmpty())
        return;
    QList<quint64> after = staying;
    for (qsizetype k = 0; k < moving.size(); ++k)
        after.insert(insertAt + k, moving[k]);
    if (after != before)
        m_stack->push(new EntryOrderCommand(*this, before, after));
}

bool CardSet::renameCard(quint64 id, const QString& name, QString* error)
{
    const SetEntry* e = entry(id);
    if (!e)
        return false;
    if (const QString problem = nameProblem(name, id); !problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    if (e->card.name == name.trimmed())
        return true;
    SetEntry after = *e;
    after.card.name = name.trimmed();
    pushChange({after}, QStringLiteral("Rename Card"));
    return true;
}

bool CardSet::setCopies(quint64 id, int copies)
{
    const SetEntry* e = entry(id);
    if (!e || e->isBad() || copies < 0 || copies > MaxCardCopies)
        return false;
    if (e->copies == copies)
        return true;
    SetEntry after = *e;
    after.copies = copies;
    pushChange({after}, QStringLiteral("Copies of \"%1\"").arg(e->card.name));
    return true;
}

std::optional<SetEntry> CardSet::editedEntry(quint64 id, const Card& card) const
{
    const SetEntry* e = entry(id);
    if (!e || e->isBad())
        return std::nullopt;
    SetEntry after = *e;
    after.card = card;
    if (!e->pictureChanged && e->card.mainPicture.isNull() && !e->card.mainPicturePath.isEmpty()) {
        // A picture still kept by its path: the same pixels as reading it give keep the row's cell.
        const Card ready = readyCard(id);
        if (card.mainPicturePath == ready.mainPicturePath &&
            card.mainPicture == ready.mainPicture && card.preparation == ready.preparation) {
            after.card.mainPicture = QImage();
            after.card.preparation = e->card.preparation;
        } else {
            after.pictureChanged = true;
        }
    } else if (card.mainPicture != e->card.mainPicture || card.preparation != e->card.preparation) {
        after.pictureChanged = true;
    }
    if (after.pictureChanged && showsRowPicture(id, card)) {
        // The row's own picture again (a picture load undone): the row keeps its cell.
        const SetSource& source = m_cards.sources[id];
        after.card.mainPicture = QImage();
        after.card.preparation = source.original.preparation;
        after.pictureChanged = false;
    }
    if (after.card == e->card && after.pictureChanged == e->pictureChanged)
        return std::nullopt;
    return after;
}

bool CardSet::showsRowPicture(quint64 id, const Card& card) const
{
    const auto source = m_cards.sources.constFind(id);
    if (source == m_cards.sources.cend() || source->original.mainPicturePath.isEmpty() ||
        card.mainPicturePath != source->original.mainPicturePath || card.mainPicture.isNull())
        return false;
    const SetEntry* e = entry(id);
    if (!e || e->pictureFit != source->originalPictureFit)
        return false;
    // The row's picture as last read for this card, else read now (and kept for the next edit).
    if (!m_ready || m_ready->id != id || m_ready->path != card.mainPicturePath ||
        m_ready->fit != source->originalPictureFit) {
        Card own = source->original;
        if (!readyDeckCard(own, source->originalPictureFit, {}, nullptr))
            return false;
        m_ready = ReadyPicture{id,
                               own.mainPicturePath,
                               source->originalPictureFit,
                               own.mainPicture,
                               own.preparation,
                               QString(),
                               unfittedOversize(own)};
    }
    return m_ready->picture == card.mainPicture && m_ready->preparation == card.preparation;
}

void CardSet::setCard(quint64 id, const Card& card, int mergeKey)
{
    if (const std::optional<SetEntry> after = editedEntry(id, card))
        pushChange({*after}, QStringLiteral("Edit Card \"%1\"").arg(card.name), mergeKey);
}

void CardSet::takeCard(quint64 id, const Card& card)
{
    const std::optional<SetEntry> after = editedEntry(id, card);
    if (!after)
        return;
    m_cards.entries[indexOf(id)] = *after;
    emit cardChanged(id);
    emit changed();
}

QString CardSet::packOf(quint64 id) const
{
    const SetEntry* e = entry(id);
    return e ? e->pack : QString();
}

void CardSet::takePack(quint64 id, const QString& pack)
{
    const qsizetype k = indexOf(id);
    if (k < 0 || m_cards.entries[k].pack == pack)
        return;
    m_cards.entries[k].pack = pack;
    emit cardChanged(id);
    emit changed();
}

void CardSet::changeCards(const QList<quint64>& ids, int changes, const Card& model,
                          const QMap<QString, QString>& pictureFit)
{
    QList<SetEntry> after;
    for (const SetEntry& e : m_cards.entries) {
        if (!ids.contains(e.id) || e.isBad())
            continue;
        SetEntry changed = e;
        Card& card = changed.card;
        if (changes & int(SetChange::Element)) {
            card.element = model.element;
            if (card.element == ElementTrap)
                card.sides = {"2", "2", "2", "2"};
            if (card.arrowCount() > arrowLimit(cardTotal(card.sides)))
                card.arrows.fill(false);
        }
        if (changes & int(SetChange::Placement))
            card.placement = model.placement;
        if (changes & int(SetChange::PictureFit)) {
            if (card.mainPicture.isNull()) {
                changed.pictureFit = pictureFit;  // the row's cells prepare its picture
            } else if (const std::optional<PictureFit> fit = parsePictureFit(pictureFit, nullptr)) {
                if (card.preparation.source.isNull())
                    card.preparation.source = card.mainPicture;
                card.preparation.fit = *fit;
                card.mainPicture = preparePicture(card.preparation.source, *fit);
                changed.pictureChanged = true;
            }
        }
        if (changed.card != e.card || changed.pictureFit != e.pictureFit)
            after << changed;
    }
    if (!after.isEmpty())
        pushChange(after, QStringLiteral("Change %1 Cards").arg(after.size()));
}

QString CardSet::rowCell(quint64 id, const QString& column) const
{
    const SetEntry* e = entry(id);
    return e ? headerCell(m_store->header(), e->fields, column) : QString();
}

bool CardSet::setRowCell(quint64 id, const QString& column, const QString& text, QString* error)
{
    const SetEntry* e = entry(id);
    const QStringList& header = m_store->header();
    if (!e || header.isEmpty())
        return false;  // only a deck's rows have cells
    qsizetype k = 0;
    while (k < header.size() && header[k].trimmed().compare(column, Qt::CaseInsensitive) != 0)
        ++k;
    if (k == header.size()) {
        if (error)
            *error = QStringLiteral("The deck has no column \"%1\".").arg(column);
        return false;
    }
    SetEntry after = *e;
    while (after.fields.size() <= k)
        after.fields << QString();
    after.fields[k] = text;
    pushChange({rowReadAgain(after)}, QStringLiteral("Mend Row"));
    return true;
}

SetEntry CardSet::rowReadAgain(SetEntry e) const
{
    // The row read by the deck's own reader, as the only row of a deck of this header.
    const QByteArray csv = csvLine(m_store->header()) + '\n' + csvLine(e.fields) + '\n';
    const Deck deck = readDeckText(csv, m_store->path());
    if (!deck.rows.isEmpty()) {
        e.card = deck.rows.front().card;
        e.pictureFit = deck.rows.front().pictureFit;
        e.copies = deck.rows.front().copies;
        e.pack = deck.rows.front().pack;
        e.problem = nameProblem(e.card.name, e.id);
        e.problemColumn = e.problem.isEmpty() ? QString() : QStringLiteral("name");
    } else if (!deck.problems.isEmpty()) {
        e.card = Card();
        e.card.name = headerCell(m_store->header(), e.fields, QStringLiteral("name"));
        e.problem = deck.problems.front().message;
        e.problemColumn = deck.problems.front().column;
    }
    e.pictureChanged = false;
    return e;
}

QByteArray CardSet::copyCards(const QList<quint64>& ids) const
{
    QJsonArray cards;
    for (const SetEntry& e : m_cards.entries)
        if (ids.contains(e.id) && !e.isBad())
            cards.append(QJsonDocument::fromJson(cardToJson(readyCard(e.id), e.copies)).object());
    return QJsonDocument(cards).toJson(QJsonDocument::Compact);
}

QList<quint64> CardSet::pasteCards(const QByteArray& bytes, int index)
{
    const QJsonArray cards = QJsonDocument::fromJson(bytes).array();
    int at = index < 0 || index > count() ? count() : index;
    QList<QPair<int, SetEntry>> items;
    QList<quint64> made;
    QStringList taken;
    for (const QJsonValue& value : cards) {
        const CardFileRead read = cardFromJson(QJsonDocument(value.toObject()).toJson(), {});
        if (!read.card)
            continue;
        SetEntry entry = newEntry(*read.card);
        entry.copies = read.copies;
        for (int n = 2; taken.contains(nameKey(entry.card.name)); ++n)
            entry.card.name = uniqueName(QStringLiteral("%1 %2").arg(read.card->name).arg(n));
        taken << nameKey(entry.card.name);
        items.append({at++, entry});
        made << entry.id;
    }
    if (!items.isEmpty())
        m_stack->push(new EntryInsertCommand(*this, items, true,
                                             items.size() == 1 ? QStringLiteral("Paste Card")
                                                               : QStringLiteral("Paste Cards")));
    return made;
}

// ---- What the commands do ----------------------------------------------------------------------

void CardSet::insertEntries(const QList<QPair<int, SetEntry>>& items)
{
    for (const auto& [at, entry] : items)
        m_cards.entries.insert(std::clamp(at, 0, count()), entry);
    m_indexValid = false;
    emit cardsReset();
    emit changed();
}

void CardSet::removeEntries(const QList<QPair<int, SetEntry>>& items)
{
    QSet<quint64> ids;
    for (const auto& item : items)
        ids.insert(item.second.id);
    m_cards.entries.removeIf([&](const SetEntry& e) { return ids.contains(e.id); });
    m_indexValid = false;
    emit cardsReset();
    emit changed();
}

void CardSet::reorder(const QList<quint64>& order)
{
    QHash<quint64, SetEntry> byId;
    for (const SetEntry& e : std::as_const(m_cards.entries))
        byId.insert(e.id, e);
    QList<SetEntry> entries;
    for (quint64 id : order)
        if (const auto it = byId.constFind(id); it != byId.cend())
            entries << *it;
    m_cards.entries = entries;
    m_indexValid = false;
    emit cardsReset();
    emit changed();
}

void CardSet::putEntries(const QList<SetEntry>& entries)
{
    for (const SetEntry& e : entries)
        if (const int i = indexOf(e.id); i >= 0)
            m_cards.entries[i] = e;
    for (const SetEntry& e : entries) {
        emit cardChanged(e.id);
        emit cardReplaced(e.id);
    }
    emit changed();
}

void CardSet::pushChange(const QList<SetEntry>& after, const QString& text, int mergeKey)
{
    QList<SetEntry> before;
    for (const SetEntry& e : after)
        before << *entry(e.id);
    m_stack->push(new EntryChangeCommand(*this, before, after, text, mergeKey));
}

}  // namespace orvane
