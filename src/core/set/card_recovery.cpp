// SPDX-License-Identifier: GPL-3.0-or-later
#include "set/card_recovery.h"

#include "card/card_file.h"
#include "card/card_file_pack.h"
#include "document/card_document.h"
#include "files/card_export.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUndoCommand>
#include <QUndoStack>

namespace orvane {
namespace {

constexpr const char* RecoveryFormat = "orvane-card-recovery";
constexpr int RecoveryVersion = 1;

// The recovered card over the file's: undone, the file's card comes back.
class RestoreCardCommand : public QUndoCommand {
public:
    RestoreCardCommand(CardDocument& document, const CardDocument::State& before,
                       const CardDocument::State& after)
        : QUndoCommand(QStringLiteral("Restore Card")), m_document(document), m_before(before),
          m_after(after)
    {
    }
    void redo() override { m_document.restore(m_after, CardDocument::Change::Everything); }
    void undo() override { m_document.restore(m_before, CardDocument::Change::Everything); }

private:
    CardDocument& m_document;
    CardDocument::State m_before;
    CardDocument::State m_after;
};

}  // namespace

CardRecoveryWriter::CardRecoveryWriter(CardDocument& document, const QString& path, int delayMs)
    : DelayedRecoveryFile(&document, path, delayMs,
                          [&document] { return cardRecoveryText(document); })
{
    const auto follow = [this, &document] { DelayedRecoveryFile::follow(document.isModified()); };
    connect(&document, &CardDocument::changed, this, follow);
    connect(&document, &CardDocument::modifiedChanged, this, follow);
}

QByteArray cardRecoveryText(const CardDocument& document)
{
    QJsonObject root;
    root.insert(QStringLiteral("format"), QLatin1String(RecoveryFormat));
    root.insert(QStringLiteral("version"), RecoveryVersion);
    root.insert(QStringLiteral("path"), document.filePath());
    QJsonArray drawn;
    for (const QString& side : document.drawnSides())
        drawn.append(side);
    root.insert(QStringLiteral("drawnSides"), drawn);
    QJsonArray order;
    for (int arrow : document.tickOrder())
        order.append(arrow);
    root.insert(QStringLiteral("tickOrder"), order);
    if (!document.pack().isEmpty())
        root.insert(QStringLiteral("pack"), document.pack());
    root.insert(QStringLiteral("card"),
                QJsonDocument::fromJson(cardToJson(document.card())).object());
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

std::optional<RecoveredCard> readCardRecovery(const QByteArray& text, QString* error)
{
    const auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("The card cannot be restored: %1.").arg(why);
        return std::nullopt;
    };
    QJsonParseError parseError;
    const QJsonObject root = QJsonDocument::fromJson(text, &parseError).object();
    if (parseError.error != QJsonParseError::NoError ||
        root.value(QStringLiteral("format")).toString() != QLatin1String(RecoveryFormat))
        return fail(QStringLiteral("the recovery file is damaged"));
    if (root.value(QStringLiteral("version")).toInt() > RecoveryVersion)
        return fail(QStringLiteral("the recovery file is of a newer version"));
    const CardFileRead read =
        cardFromJson(QJsonDocument(root.value(QStringLiteral("card")).toObject()).toJson(),
                     QStringLiteral("recovery"));
    if (!read.card)
        return fail(read.error);
    RecoveredCard recovered;
    recovered.card = *read.card;
    recovered.filePath = root.value(QStringLiteral("path")).toString();
    recovered.pack = root.value(QStringLiteral("pack")).toString();
    const QJsonArray drawn = root.value(QStringLiteral("drawnSides")).toArray();
    for (qsizetype i = 0; i < drawn.size() && i < qsizetype(recovered.drawnSides.size()); ++i)
        recovered.drawnSides[size_t(i)] = drawn[i].toString();
    for (const QJsonValue& arrow : root.value(QStringLiteral("tickOrder")).toArray())
        recovered.tickOrder.push_back(arrow.toInt());
    return recovered;
}

void restoreCard(CardDocument& document, const RecoveredCard& recovered)
{
    Card base;
    QString basePack;
    if (!recovered.filePath.isEmpty() && QFileInfo::exists(recovered.filePath))
        if (const CardFileRead read = readCardFile(recovered.filePath); read.card) {
            base = *read.card;
            basePack = readCardFilePack(recovered.filePath);
        }
    document.startOver(base, recovered.filePath, basePack);
    const CardDocument::State before = document.state();
    // The pack is part of the step: Undo goes back to the file's pack too.
    const CardDocument::State after{recovered.card, recovered.drawnSides, recovered.pack,
                                    recovered.tickOrder};
    document.undoStack()->push(new RestoreCardCommand(document, before, after));
}

}  // namespace orvane
