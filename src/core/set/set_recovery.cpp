// SPDX-License-Identifier: GPL-3.0-or-later
// The recovery file: the set's whole state as JSON, written a few seconds after each change, so
// that a crash or a killed process loses nothing.
#include "set/card_set.h"

#include "card/card_file.h"
#include "files/card_export.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUndoStack>

#include <algorithm>

namespace orvane {
namespace {

constexpr const char* RecoveryFormat = "orvane-set-recovery";
constexpr int RecoveryVersion = 1;

QJsonObject mapToJson(const QMap<QString, QString>& map)
{
    QJsonObject object;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        object.insert(it.key(), it.value());
    return object;
}

QMap<QString, QString> mapFromJson(const QJsonObject& object)
{
    QMap<QString, QString> map;
    for (auto it = object.begin(); it != object.end(); ++it)
        map.insert(it.key(), it.value().toString());
    return map;
}

}  // namespace

QByteArray CardSet::recoveryText() const
{
    QJsonArray entries;
    for (const SetEntry& e : m_cards.entries) {
        const SetSource source = m_cards.sources.value(e.id);
        QJsonObject entry;
        entry.insert(QStringLiteral("record"), source.record);
        entry.insert(QStringLiteral("file"), source.filePath);
        entry.insert(QStringLiteral("line"), e.line);
        entry.insert(QStringLiteral("problem"), e.problem);
        entry.insert(QStringLiteral("problemColumn"), e.problemColumn);
        entry.insert(QStringLiteral("fields"), QJsonArray::fromStringList(e.fields));
        entry.insert(QStringLiteral("fit"), mapToJson(e.pictureFit));
        entry.insert(QStringLiteral("pictureChanged"), e.pictureChanged);
        entry.insert(QStringLiteral("copies"), e.copies);
        entry.insert(QStringLiteral("picturePath"), e.card.mainPicturePath);
        entry.insert(QStringLiteral("pack"), e.pack);
        entry.insert(QStringLiteral("card"), QJsonDocument::fromJson(cardToJson(e.card)).object());
        entries.append(entry);
    }
    QJsonObject root;
    root.insert(QStringLiteral("format"), QLatin1String(RecoveryFormat));
    root.insert(QStringLiteral("version"), RecoveryVersion);
    root.insert(QStringLiteral("kind"), m_store->recoveryKind());
    root.insert(QStringLiteral("path"), m_store->path());
    root.insert(QStringLiteral("digest"), m_store->recoveryDigest());
    root.insert(QStringLiteral("entries"), entries);
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

bool CardSet::restore(const QByteArray& text, QString* error)
{
    const auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("The set cannot be restored: %1.").arg(why);
        return false;
    };
    QJsonParseError parseError;
    const QJsonObject root = QJsonDocument::fromJson(text, &parseError).object();
    if (parseError.error != QJsonParseError::NoError ||
        root.value(QStringLiteral("format")).toString() != QLatin1String(RecoveryFormat))
        return fail(QStringLiteral("the recovery file is damaged"));
    if (root.value(QStringLiteral("version")).toInt() > RecoveryVersion)
        return fail(QStringLiteral("the recovery file is of a newer version"));

    const QString kind = root.value(QStringLiteral("kind")).toString();
    const QString path = root.value(QStringLiteral("path")).toString();
    // The set's files as they are now; a deck must be the very file the state was taken from.
    std::unique_ptr<SetStore> store = SetStore::forRecovery(kind, path);
    SetCards now;
    quint64 nextId = m_nextId;
    QString why;
    if (!store->read(now, nextId, &why))
        return fail(why);
    if (store->recoveryDigest() != root.value(QStringLiteral("digest")).toString())
        return fail(QStringLiteral("the deck %1 was changed since").arg(path));

    // The cards as read now, found again by their row or file.
    QHash<int, quint64> idOfRecord;
    QHash<QString, quint64> idOfFile;
    for (auto it = now.sources.cbegin(); it != now.sources.cend(); ++it) {
        if (it->record >= 0)
            idOfRecord.insert(it->record, it.key());
        if (!it->filePath.isEmpty())
            idOfFile.insert(it->filePath, it.key());
    }
    QList<SetEntry> entries;
    for (const QJsonValue& value : root.value(QStringLiteral("entries")).toArray()) {
        const QJsonObject object = value.toObject();
        const CardFileRead read =
            cardFromJson(QJsonDocument(object.value(QStringLiteral("card")).toObject()).toJson(),
                         QStringLiteral("recovery"));
        if (!read.card)
            return fail(read.error);
        SetEntry e;
        const int record = object.value(QStringLiteral("record")).toInt(-1);
        const QString file = object.value(QStringLiteral("file")).toString();
        e.id = record >= 0 && idOfRecord.contains(record)   ? idOfRecord.take(record)
               : !file.isEmpty() && idOfFile.contains(file) ? idOfFile.take(file)
                                                            : nextId++;
        e.card = *read.card;
        e.card.mainPicturePath = object.value(QStringLiteral("picturePath")).toString();
        e.pictureFit = mapFromJson(object.value(QStringLiteral("fit")).toObject());
        e.pictureChanged = object.value(QStringLiteral("pictureChanged")).toBool();
        e.copies = std::clamp(object.value(QStringLiteral("copies")).toInt(1), 0, MaxCardCopies);
        e.pack = object.value(QStringLiteral("pack")).toString();
        e.problem = object.value(QStringLiteral("problem")).toString();
        e.problemColumn = object.value(QStringLiteral("problemColumn")).toString();
        e.line = object.value(QStringLiteral("line")).toInt();
        for (const QJsonValue& field : object.value(QStringLiteral("fields")).toArray())
            e.fields << field.toString();
        entries << e;
    }
    m_nextId = nextId;
    now.entries = entries;
    startOver(std::move(store), std::move(now));
    m_restored = true;
    emit opened();
    emit cardsReset();
    emit changed();
    return true;
}

RecoveryWriter::RecoveryWriter(CardSet& set, const QString& path, int delayMs)
    : DelayedRecoveryFile(&set, path, delayMs, [&set] { return set.recoveryText(); })
{
    connect(&set, &CardSet::changed, this, [this, &set] { follow(set.isModified()); });
}

}  // namespace orvane
